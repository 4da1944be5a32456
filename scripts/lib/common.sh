# Shared by the scripts: the project root, package installation and the build.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Debian packages every build needs (giflib for --record, terminfo for --terminal, Qt 6 Widgets and Xlib
# for the window).
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libgif-dev libcli11-dev libtomlplusplus-dev libncurses-dev
  qt6-base-dev libx11-dev)

# What the tests need besides: a virtual X server, screenshots, window lookup, a terminal emulator library
# and tmux to read the terminal mode back, and the end-to-end tests' interpreter.
TEST_PACKAGES=(xvfb imagemagick xdotool libvterm-dev tmux python3)

# Installs the packages that are missing (apt-get update first; root or sudo).
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir="$1"
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}
