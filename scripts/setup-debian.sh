#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Meridal needs.
# Idempotent: when everything is there it only checks and returns.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang pkg-config
  qt6-base-dev
  # tests, sanitizers, fuzzing, benchmarks; Qt's form loader (QUiLoader) checks our own form
  # reader, and clang-format the formatting
  libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev locales
  qt6-tools-dev libqt6opengl6-dev clang-format
  # running the window headless, screenshots, desktop-file checks; Wine's Tahoma, in which
  # the Windows dialog templates are laid out (resources/authoring)
  xvfb xauth x11-utils imagemagick xdotool fonts-dejavu-core fonts-wine
  desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
