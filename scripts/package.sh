#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages meridal and meridal-convert into build/package/:
#   sudo apt install ./build/package/meridal-convert_*.deb ./build/package/meridal_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh --package
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
cpack --preset package
