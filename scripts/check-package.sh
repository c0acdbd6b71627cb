#!/usr/bin/env bash
# The Debian package as a user gets it: built by scripts/package.sh, unpacked
# into a scratch root (dpkg -x), and the installed program run from there with
# its own XDG folders.  Fails when a data file is missing from the package,
# when the program fails, when it does not read the user's settings folder, or
# when it writes anything under usr/.
#
#     scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}

scripts/package.sh "$dir"
debs=("$dir"/korvex_*_amd64.deb)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "${debs[0]}" "$root"
korvex=$root/usr/bin/korvex

fail() {
  echo "check-package.sh: $*" >&2
  exit 1
}

# Every shipped data file and help page is in the package.
for f in Support/* Help/*; do
  [[ -f $root/usr/share/korvex/$f ]] || fail "the package lacks usr/share/korvex/$f"
done
desktop-file-validate "$root/usr/share/applications/korvex.desktop"
# Korvex opens drawings; it must not become the handler of every text file.
grep -qx 'MimeType=image/vnd.dxf;' "$root/usr/share/applications/korvex.desktop" ||
  fail "the desktop entry does not declare exactly the DXF type"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.korvex.korvex.metainfo.xml"

snapshot() { (cd "$root/usr" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(snapshot)

export XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data HOME=$root/home QT_QPA_PLATFORM=offscreen
sample=examples/sample-utf8.txt
plain=$("$korvex" --render "$sample" --out "$root/plain.png") || fail "korvex --render failed"
[[ $plain =~ ^[1-9][0-9]*x[1-9][0-9]*$ && -s $root/plain.png ]] || fail "korvex --render printed '$plain'"
# A larger render font in the user's settings file must show in the size.
mkdir -p "$XDG_CONFIG_HOME/korvex"
printf '[Render]\r\nFontSize=33\r\n' >"$XDG_CONFIG_HOME/korvex/korvex.ini"
large=$("$korvex" --render "$sample") || fail "korvex --render failed with the user's settings"
[[ $large != "$plain" ]] || fail "the installed program did not read $XDG_CONFIG_HOME/korvex/korvex.ini"

[[ $(snapshot) == "$before" ]] || fail "the program wrote under usr/"
echo "package check: $plain, with the user's settings $large; nothing written under usr/"
