#!/usr/bin/env bash
# Builds Korvex with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite under them, offscreen.  Any memory
# error, leak of our own or undefined behaviour fails the test that hit it.
# Extra arguments go to ctest (e.g. -R mtext).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --safety

args=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_COMPILER=clang++
      -DKORVEX_SANITIZE=ON -DKORVEX_BENCH=OFF)
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths relative to the checkout, so a fresh clone elsewhere reuses the cache.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi
cmake -S . -B build-asan "${args[@]}" >/dev/null
cmake --build build-asan -j"$(nproc)"

# Leaks inside Qt's and fontconfig's own caches are theirs, not ours: the
# suppressions name only third-party libraries (see the file).
# Heap blocks are filled up to 16 MB, not only their first 4 KB (see CMakeLists.txt).
export ASAN_OPTIONS="max_malloc_fill_size=16777216:detect_leaks=1:strict_init_order=1:check_initialization_order=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if command -v llvm-symbolizer >/dev/null; then
  export ASAN_SYMBOLIZER_PATH="$(command -v llvm-symbolizer)"
fi
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure "$@"
