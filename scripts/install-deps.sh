#!/usr/bin/env bash
# Installs the Debian packages Korvex needs to build, test and run.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail
BENCH_NODE=0

PACKAGES=(
  cmake g++ make
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-translations-l10n qt6-qpa-plugins
  libhunspell-dev hunspell-ru hunspell-en-us
  fonts-liberation2 fonts-dejavu-core
  libbenchmark-dev
  python3-ezdxf  # the DXF tests read and audit the drawings with it
  ccache
  locales
)
# --gui: for looking at the program under a virtual display (run.sh, screenshots), with a
# window manager (openbox) so that focus comes back after a dialog as on a desktop.
for opt in "$@"; do
  case "$opt" in
    --gui) PACKAGES+=(xvfb xauth x11-utils xdotool imagemagick openbox) ;;
    # The renderer benchmark's reference tokenizers (bench/compare.sh): ezdxf
    # from Debian, @mlightcad/mtext-parser from npm into build/bench-node.
    --bench)
      command -v npm >/dev/null || PACKAGES+=(nodejs npm)
      BENCH_NODE=1 ;;
    # The sanitizer build and the fuzz targets (scripts/sanitize.sh, scripts/fuzz.sh):
    # clang with its sanitizer and libFuzzer runtimes, llvm-symbolizer for readable reports.
    --safety) PACKAGES+=(clang libclang-rt-dev llvm) ;;
    # The Debian package (scripts/package.sh): dpkg-shlibdeps for the library
    # dependencies, lintian to check the package, desktop-file-validate, appstreamcli.
    --package) PACKAGES+=(dpkg-dev lintian desktop-file-utils appstream) ;;
    *) echo "install-deps.sh: unknown option $opt (known: --gui, --bench, --safety, --package)" >&2; exit 2 ;;
  esac
done

SUDO=""
if [[ $(id -u) -ne 0 ]]; then
  SUDO="sudo"
fi

# Two test suites run under a comma locale (ctest's app_ru and tools_ru), so the
# decimal separator rules meet a locale where the separator is not a point.
ensure_ru_locale() {
  if locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
    return 0
  fi
  echo "Generating the ru_RU.UTF-8 locale"
  $SUDO sed -i 's/^#[[:space:]]*\(ru_RU\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  if ! grep -qx 'ru_RU\.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
}

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
ensure_ru_locale

if ((BENCH_NODE)); then
  node_dir="$(cd "$(dirname "$0")/.." && pwd)/build/bench-node"
  if [[ ! -f $node_dir/node_modules/@mlightcad/mtext-parser/package.json ]]; then
    echo "Installing @mlightcad/mtext-parser into $node_dir"
    mkdir -p "$node_dir"
    npm install --silent --no-audit --no-fund --prefix "$node_dir" @mlightcad/mtext-parser@1.5.0 >/dev/null
  fi
fi
