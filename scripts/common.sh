# Shared set-up for scripts/run and scripts/test: install the Debian packages that are missing,
# then configure and build. Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${OBRIN_JOBS:-$(nproc)}"

OBRIN_PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev fonts-dejavu-core xvfb xauth
)

ensure_packages() {
  local missing=()
  for p in "${OBRIN_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Some packages are missing. Run this, then try again:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
}

# configure_and_build DIR [cmake options...] [--target TARGET...]
configure_and_build() {
  local dir="$1"; shift
  local options=() targets=()
  while [ $# -gt 0 ]; do
    if [ "$1" = "--target" ]; then targets+=(--target "$2"); shift 2; else options+=("$1"); shift; fi
  done
  cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja "${options[@]}" >/dev/null
  cmake --build "$ROOT/$dir" -j "$JOBS" "${targets[@]}"
}
