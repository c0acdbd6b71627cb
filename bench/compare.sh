#!/usr/bin/env bash
# Renderer against ezdxf's MText tokenizer on the same generated 100 KB text,
# measured in turns so that both see the same machine; best times are compared.
#   bench/compare.sh [ROUNDS]        (after scripts/build.sh; needs python3-ezdxf)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
bench=build/bench/bench_render
text="$(mktemp --suffix=.txt)"
trap 'rm -f "$text"' EXIT
if ! /usr/bin/python3 -c 'import ezdxf' 2>/dev/null; then
  echo "compare.sh: python3-ezdxf is missing (scripts/install-deps.sh --bench)" >&2
  exit 2
fi
QT_QPA_PLATFORM=offscreen "$bench" --write-text="$text" >/dev/null 2>&1
best_ezdxf=""
best_render=""
best_bare=""
for ((i = 1; i <= rounds; ++i)); do
  e=$(/usr/bin/python3 bench/ezdxf_tokenize.py "$text" 5 | sed -E 's/.*: ([0-9.]+) ms.*/\1/')
  out=$(QT_QPA_PLATFORM=offscreen "$bench" --benchmark_filter='Render100K|BareQPainter100K' \
        --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null)
  r=$(grep '^"BM_Render100K_median"' <<<"$out" | cut -d, -f3)
  b=$(grep '^"BM_BareQPainter100K_median"' <<<"$out" | cut -d, -f3)
  r=$(awk -v v="$r" 'BEGIN { printf "%.2f", v }')  # the benchmarks report in ms
  b=$(awk -v v="$b" 'BEGIN { printf "%.2f", v }')
  echo "round $i: ezdxf tokenizer ${e} ms, render ${r} ms, bare QPainter ${b} ms"
  best_ezdxf=$(awk -v a="$best_ezdxf" -v b="$e" 'BEGIN { print (a == "" || b < a) ? b : a }')
  best_render=$(awk -v a="$best_render" -v b="$r" 'BEGIN { print (a == "" || b < a) ? b : a }')
  best_bare=$(awk -v a="$best_bare" -v b="$b" 'BEGIN { print (a == "" || b < a) ? b : a }')
done
awk -v e="$best_ezdxf" -v r="$best_render" -v b="$best_bare" 'BEGIN {
  printf "best: ezdxf %.2f ms, render %.2f ms, bare QPainter %.2f ms\n", e, r, b
  printf "render is %.2fx as fast as the ezdxf tokenizer, %.2fx as fast as the bare QPainter loop\n", e / r, b / r
}'
