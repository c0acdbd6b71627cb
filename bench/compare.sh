#!/usr/bin/env bash
# The preview's re-render against two MText tokenizers on the same generated
# texts: ezdxf's MTextParser (Python) and @mlightcad/mtext-parser (Node.js).
# Measured in turns so that all see the same machine; best times are compared.
#   bench/compare.sh [ROUNDS]    (after scripts/build.sh and scripts/install-deps.sh --bench)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
bench=build/bench/bench_render
parser=build/bench-node/node_modules/@mlightcad/mtext-parser/dist/parser.js
texts="$(mktemp -d)"
trap 'rm -rf "$texts"' EXIT
if ! /usr/bin/python3 -c 'import ezdxf' 2>/dev/null; then
  echo "compare.sh: python3-ezdxf is missing (scripts/install-deps.sh --bench)" >&2
  exit 2
fi
if [[ ! -f $parser ]] || ! command -v node >/dev/null; then
  echo "compare.sh: @mlightcad/mtext-parser is missing (scripts/install-deps.sh --bench)" >&2
  exit 2
fi
QT_QPA_PLATFORM=offscreen "$bench" --write-texts="$texts" >/dev/null 2>&1
ms() { sed -E 's/.*: ([0-9.]+) ms.*/\1/'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
declare -A b=()
for ((i = 1; i <= rounds; ++i)); do
  e100=$(/usr/bin/python3 bench/ezdxf_tokenize.py "$texts/mtext100k.txt" 5 | ms)
  m100=$(node bench/mlightcad_tokenize.mjs "$parser" "$texts/mtext100k.txt" 5 | ms)
  m1m=$(node bench/mlightcad_tokenize.mjs "$parser" "$texts/mtext1m.txt" 3 | ms)
  out=$(QT_QPA_PLATFORM=offscreen "$bench" --benchmark_filter='Preview(2K|100K|1M)$|BareQPainter100K' \
        --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null)
  # Medians in ms (the 2 KB one is reported in microseconds).
  median() { grep "^\"BM_$1_median\"" <<<"$out" | cut -d, -f3 | awk -v s="$2" '{ printf "%.3f", $1 * s }'; }
  p2k=$(median Preview2K 0.001); p100=$(median Preview100K 1); p1m=$(median Preview1M 1)
  bare=$(median BareQPainter100K 1)
  echo "round $i: ezdxf 100K ${e100} ms, mlightcad 100K ${m100} ms, mlightcad 1M ${m1m} ms;" \
       "preview 2K ${p2k} ms, 100K ${p100} ms, 1M ${p1m} ms; bare QPainter 100K ${bare} ms"
  for k in e100 m100 m1m p2k p100 p1m bare; do b[$k]=$(best "${b[$k]:-}" "${!k}"); done
done
awk -v e100="${b[e100]}" -v m100="${b[m100]}" -v m1m="${b[m1m]}" -v p2k="${b[p2k]}" -v p100="${b[p100]}" \
    -v p1m="${b[p1m]}" -v bare="${b[bare]}" 'BEGIN {
  printf "best: ezdxf 100K %.2f ms, mlightcad 100K %.2f ms, mlightcad 1M %.2f ms\n", e100, m100, m1m
  printf "      preview 2K %.3f ms, 100K %.2f ms, 1M %.2f ms, bare QPainter 100K %.2f ms\n", p2k, p100, p1m, bare
  printf "preview 100K: %.1fx as fast as ezdxf (target 10x), %.1fx as fast as mlightcad (target 3x)\n", e100 / p100, m100 / p100
  printf "preview 1M: %.1fx as fast as mlightcad (target 3x)\n", m1m / p1m
}'
