#!/usr/bin/env bash
# Listing a 20 MB drawing with 5 000 MTEXT: bench_dxf against ezdxf's readfile
# (Debian's python3-ezdxf) on the same file, in turns, best times compared.
#   bench/compare_dxf.sh [ROUNDS]    (after scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
/usr/bin/python3 bench/dxf_make.py "$dir/bench.dxf" 20 5000
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
e="" k=""
for ((i = 1; i <= rounds; ++i)); do
  ez=$(/usr/bin/python3 bench/ezdxf_readfile.py "$dir/bench.dxf" 1 | sed -E 's/.*: ([0-9.]+) ms.*/\1/')
  ko=$(build/bench/bench_dxf --dxf="$dir/bench.dxf" --benchmark_filter=BM_ListDxf --benchmark_repetitions=3 \
       --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
       grep '^"BM_ListDxf/real_time_median"' | cut -d, -f3)
  echo "round $i: ezdxf ${ez} ms, korvex ${ko} ms"
  e=$(best "$e" "$ez"); k=$(best "$k" "$ko")
done
awk -v e="$e" -v k="$k" 'BEGIN {
  printf "best: ezdxf readfile %.1f ms, korvex listing %.1f ms: %.1fx as fast (target: under 1000 ms and 5x)\n", e, k, e / k }'
