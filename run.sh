#!/usr/bin/env bash
# Installs what is missing, builds Korvex and opens it on FILE
# (or on a sample document when no FILE is given).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
file="${1:-examples/sample-utf8.txt}"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "run.sh: no display is available (DISPLAY is not set)." >&2
  echo "Start an X server (for example: Xvfb :99 & export DISPLAY=:99) and run again," >&2
  echo "or render without a window: build/korvex --render \"$file\" --out preview.png" >&2
  exit 2
fi
exec build/korvex "$file"
