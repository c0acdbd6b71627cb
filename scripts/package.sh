#!/usr/bin/env bash
# Builds the Debian package BUILD_DIR/korvex_<version>_amd64.deb (BUILD_DIR:
# build/ unless given) and checks it with lintian, which must report no
# errors.  A build folder that scripts/build.sh or ./test.sh made is reused:
# only what the package holds is brought up to date, nothing is built twice.
#
#     scripts/package.sh [BUILD_DIR]
#     sudo apt install ./build/korvex_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}

scripts/install-deps.sh --package
if [[ ! -f $dir/CMakeCache.txt ]]; then
  if [[ $dir == build ]]; then
    scripts/build.sh --target korvex
  else
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
fi
# cpack installs the project first; without this it would build every target
# of the folder (tests, benchmarks) for a package that holds none of them.
cmake -S . -B "$dir" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target korvex korvex_data korvex_packaging_files

rm -f "$dir"/korvex_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
debs=("$dir"/korvex_*_amd64.deb)
deb=${debs[0]}
[[ -f $deb ]] || { echo "package.sh: cpack made no package in $dir" >&2; exit 1; }
echo "$deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

echo "lintian $deb:"
lintian --fail-on error "$deb"
echo "lintian: no errors"
