#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up what building and running need, builds Meridal as it is packaged (optimised,
# without the tests) and starts it in the current folder, where it keeps "Meridal.xml" and
# "log.txt". The same build installs with `cmake --install build/package` (to /usr).
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
bin=$PWD/build/package/bin
cd "$here"
exec "$bin/meridal" "$@"
