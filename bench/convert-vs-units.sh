#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times one conversion at a terminal: "meridal-convert 12 in ft" (Release build, default
# catalogue, in an empty folder) against GNU units' "units in ft", over repeated runs.
#
#   bash bench/convert-vs-units.sh [RUNS]
#
# MERIDAL_CONVERT may name an already built meridal-convert (with TessaryRes.dll beside it);
# otherwise the script makes a Release build in build/bench-convert. MERIDAL_BENCH_LOOP=1 times
# with a shell loop rather than with hyperfine.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-200}

bash scripts/setup-debian.sh --bench

if [ -z "${MERIDAL_CONVERT:-}" ]; then
  build=build/bench-convert
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DMERIDAL_BUILD_GUI=OFF -DMERIDAL_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target meridal-convert -j "$(nproc)" >/dev/null
  MERIDAL_CONVERT=$PWD/$build/bin/meridal-convert
fi

# An empty folder: no Meridal.xml, so the default catalogue of the resource module is read.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"

echo "meridal-convert 12 in ft -> $("$MERIDAL_CONVERT" 12 in ft)"
echo "units in ft              -> $(units in ft | tr '\n' ' ')"
[ -z "$(ls -A)" ] || { echo "meridal-convert left files behind" >&2; exit 1; }

if [ "${MERIDAL_BENCH_LOOP:-0}" != 1 ] && command -v hyperfine >/dev/null; then
  hyperfine --warmup 10 --runs "$runs" -N \
            --command-name "meridal-convert 12 in ft" "$MERIDAL_CONVERT 12 in ft" \
            --command-name "units in ft" "units in ft"
else
  time_runs() { # label, command...
    local label=$1; shift
    for _ in $(seq 10); do "$@" >/dev/null; done
    local start end
    start=$(date +%s%N)
    for _ in $(seq "$runs"); do "$@" >/dev/null; done
    end=$(date +%s%N)
    awk -v l="$label" -v t=$((end - start)) -v n="$runs" \
        'BEGIN { printf "%-26s %8.3f ms per run (%d runs)\n", l, t / n / 1e6, n }'
  }
  time_runs "meridal-convert 12 in ft" "$MERIDAL_CONVERT" 12 in ft
  time_runs "units in ft" units in ft
fi
