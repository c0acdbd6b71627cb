#!/usr/bin/env bash
# Configures (once) and builds Korvex into build/.  KORVEX_WERROR=ON in the
# environment (CI) configures again with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths relative to the checkout, so a fresh clone elsewhere reuses the cache.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi
if [[ -n "${KORVEX_WERROR:-}" ]]; then
  args+=(-DKORVEX_WERROR="$KORVEX_WERROR")
fi
if [[ ! -f build/CMakeCache.txt || -n "${KORVEX_WERROR:-}" ]]; then
  cmake -S . -B build "${args[@]}" >/dev/null
fi
cmake --build build -j"$(nproc)" "$@"
