#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up benchmark of the window, not a test: the time from starting a program until it
# first draws its window, under Xvfb, for meridal (default catalogue, a conversion log of
# 1,000 entries), a bare Qt window and ConvertAll, interleaved, median of RUNS rounds
# (default 11, after one warm-up round).
# Then the time to switch to the all-units view with a catalogue of 10,000 units.
#
#   bench/startup.sh [BUILD_FOLDER]       (default build/release, configured when missing)
#
# Goals: meridal at most 1.3 times the bare window, at least 3 times faster than ConvertAll;
# the all-units switch under 50 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/release}
runs=${RUNS:-11}

bash scripts/setup-debian.sh --bench

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target meridal meridal-bare-window meridal-all-units-switch >/dev/null
bin=$(cd "$build/bin" && pwd)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cc -O2 -o "$scratch/startup-probe" bench/startup-probe.c -lX11 -lXdamage

# Meridal starts with a conversion log of 1,000 entries.
mkdir -p "$scratch/meridal"
for i in $(seq 1 1000); do printf '%d in  =  %d.000000 ft\r\n' "$((i * 12))" "$i"; done > "$scratch/meridal/log.txt"

cat > "$scratch/rounds.sh" <<ROUNDS
set -eu
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p -m 700 "\$XDG_RUNTIME_DIR" "$scratch/meridal" "$scratch/other"
measure() { # name folder program...
  local name=\$1 folder=\$2; shift 2
  (cd "\$folder" && "$scratch/startup-probe" 20000 "\$@") | sed "s/^/\$name /"
}
for round in \$(seq 0 $runs); do
  measure bare "$scratch/other" "$bin/meridal-bare-window"
  measure meridal "$scratch/meridal" "$bin/meridal"
  measure convertall "$scratch/other" convertall
done
ROUNDS
xvfb-run -a -s "-screen 0 1280x800x24" bash "$scratch/rounds.sh" 2>/dev/null > "$scratch/times"

# The first round warms the caches (and lets meridal write its default catalogue): dropped.
median() { # name field
  awk -v n="$1" -v f="$2" '$1 == n { if (seen[n]++) print $f }' "$scratch/times" | sort -n |
    awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo "Start-up under Xvfb, median of $runs runs (ms from exec; cpu: processor time until painted):"
printf '  %-11s %8s %8s %8s\n' program mapped painted cpu
for name in bare meridal convertall; do
  printf '  %-11s %8s %8s %8s\n' "$name" "$(median "$name" 3)" "$(median "$name" 5)" "$(median "$name" 7)"
done
bare=$(median bare 5)
meridal=$(median meridal 5)
convertall=$(median convertall 5)
awk -v m="$meridal" -v b="$bare" -v c="$convertall" \
    -v mc="$(median meridal 7)" -v bc="$(median bare 7)" -v cc="$(median convertall 7)" 'BEGIN {
  printf "  meridal / bare window: %.2f painted, %.2f cpu (goal at most 1.30)\n", m / b, mc / bc
  printf "  ConvertAll / meridal:  %.2f painted, %.2f cpu (goal at least 3.00)\n", c / m, cc / mc
}'

echo "Switch to the all-units view:"
(cd "$scratch" && XDG_RUNTIME_DIR="$scratch/runtime" xvfb-run -a -s "-screen 0 1280x800x24" \
  "$bin/meridal-all-units-switch" 21 2>/dev/null | sed 's/^/  /')
echo "  (goal under 50 ms)"
