# Shared by scripts/run, scripts/test, scripts/bench and scripts/fuzz: installs what is missing
# and configures and builds a build folder. Sourced, not run.
set -euo pipefail
TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages every build needs.
BASE_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev nlohmann-json3-dev
               qt6-base-dev qt6-svg-dev qt6-translations-l10n libgl-dev libgif-dev fonts-dejavu-core xauth xvfb x11-utils libxml2-utils locales-all
               desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl
               cups printer-driver-cups-pdf poppler-utils)
# What the tests need besides: the JSON Schema validator of the data export's test and LibreOffice
# headless for the spreadsheet test of the CSV export (large, but installed once).
TEST_PACKAGES=(python3-jsonschema libreoffice-calc-nogui)

ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure_and_build DIR [cmake options...]: configures once (through ccache when it is
# installed), then builds with -j2.
configure_and_build() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$TOP" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  fi
  cmake --build "$dir" -j2
}
