#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ into build-fuzz/ and runs each for
# SECONDS (default 60), one after another.  Exits non-zero when any target
# found a crash; the input is in build-fuzz/artifacts/<target>/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 600 render
# New inputs the runs find go to build-fuzz/corpus/<target>/ (kept between
# runs); the seeds of fuzz/corpus/<target>/ are only read.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
scripts/install-deps.sh --safety

args=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_COMPILER=clang++
      -DKORVEX_FUZZ=ON -DKORVEX_BENCH=OFF)
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths relative to the checkout, so a fresh clone elsewhere reuses the cache.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi
cmake -S . -B build-fuzz "${args[@]}" >/dev/null

# Every target fuzz/CMakeLists.txt defines, unless some are named.
targets=("$@")
if ((${#targets[@]} == 0)); then
  cmake --build build-fuzz -j"$(nproc)" --target korvex_fuzzers
  mapfile -t targets < <(cmake --build build-fuzz --target help | grep -v _autogen | sed -n 's/^\.\.\. fuzz_\([A-Za-z0-9_]*\).*/\1/p' | sort)
else
  cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"
fi

export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if command -v llvm-symbolizer >/dev/null; then
  export ASAN_SYMBOLIZER_PATH="$(command -v llvm-symbolizer)"
fi
mkdir -p build-fuzz/logs
failed=()
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/artifacts/$t"
  log="build-fuzz/logs/$t.log"
  echo "== fuzz_$t: ${seconds}s"
  # -timeout: an input taking longer than this is a hang, reported like a crash.
  if QT_QPA_PLATFORM=offscreen "build-fuzz/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=25 \
       -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t/" \
       "build-fuzz/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1; then
    grep -E "^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)" "$log" |
      sed 's/^stat::/   /' | tr '\n' ' '
    echo
  else
    failed+=("$t")
    grep -E "ERROR|runtime error|SUMMARY|Test unit written" "$log" | head -20 || true
    echo "   fuzz_$t FAILED, log: $log"
  fi
done
if ((${#failed[@]})); then
  echo "Fuzz targets with findings: ${failed[*]}" >&2
  exit 1
fi
