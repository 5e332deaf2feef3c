#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that Meridal needs. Idempotent: when everything is there it
# only checks and returns.
#
#   setup-debian.sh            building and running: compiler, CMake, Ninja, Qt, scdoc for the
#                              manual pages, xdg-utils for the Help menu, a font (scripts/run.sh)
#   setup-debian.sh --package  and making the Debian packages (scripts/package.sh)
#   setup-debian.sh --test     and every test: GoogleTest, sanitizers, fuzzing, benchmarks, the
#                              headless window, the house rules (scripts/test.sh)
#   setup-debian.sh --lintian  and lintian, for the package test only: it pulls many packages
#   setup-debian.sh --bench    what --test installs and what the timing scripts of bench/ use:
#                              the X damage extension for their start-up probe, GNU time, and
#                              the peers they time Meridal against (ConvertAll, GNU units)
set -euo pipefail

packages=(
  cmake ninja-build g++ qt6-base-dev scdoc
  xdg-utils fonts-dejavu-core
)
package_tools=(dpkg-dev file)
test_tools=(
  clang pkg-config
  # tests, sanitizers, fuzzing, benchmarks; Qt's form loader (QUiLoader) checks our own form
  # reader, and clang-format the formatting
  libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev locales
  qt6-tools-dev libqt6opengl6-dev clang-format
  # running the window headless, screenshots, desktop-file checks, manual pages
  xvfb xauth x11-utils imagemagick xdotool
  desktop-file-utils appstream man-db
  # the Windows build and its tests under Wine; fonts-wine also gives the Tahoma in which the
  # Windows dialog templates are laid out and checked on Linux (platform/qt/authoring)
  g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine
  "${package_tools[@]}"
)

bench_tools=(libxdamage-dev time convertall units hyperfine)

for option in "$@"; do
  case $option in
    --package) packages+=("${package_tools[@]}") ;;
    --test) packages+=("${test_tools[@]}") ;;
    --lintian) packages+=("${package_tools[@]}" lintian) ;;
    --bench) packages+=("${test_tools[@]}" "${bench_tools[@]}") ;;
    *) echo "usage: setup-debian.sh [--package] [--test] [--lintian] [--bench]" >&2; exit 2 ;;
  esac
done

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
