#!/usr/bin/env bash
# Sets everything up, builds Meridal and starts it in the current folder, where it keeps
# "Meridal.xml" and "log.txt".
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target meridal meridal-convert
bin=$PWD/build/release/bin
cd "$here"
exec "$bin/meridal" "$@"
