#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a long conversion log costs the window, not a test: for logs of several sizes, the time
# from starting meridal until it first draws a window under Xvfb, the processor time until
# then, and the peak memory of the process (/usr/bin/time), median of RUNS runs (default 5).
# A log over the limits of persistence/log_file.h is refused at start: then the window (and
# the message saying so) appears at once.
#
#   bench/log-window.sh [BUILD_FOLDER] [KIND:ENTRIES...]
#
# KIND is "typical" (entries like "12 in  =  1.000000 ft"), "empty" (NUL bytes: every NUL
# ends an entry) or "mbN" (ENTRIES entries of equal length filling N MB). Default: the
# limits and their neighbours.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
runs=${RUNS:-5}
logs=("$@")
[ ${#logs[@]} -gt 0 ] || logs=(typical:100000 typical:1000000 empty:1000000 mb32:1000 mb32:1000000
                               typical:1000001 empty:16777216 empty:104857600)

bash scripts/setup-debian.sh --bench

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target meridal >/dev/null
bin=$(cd "$build/bin" && pwd)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cc -O2 -o "$scratch/startup-probe" bench/startup-probe.c -lX11 -lXdamage

make_log() { # kind entries file
  case $1 in
    typical) awk -v n="$2" 'BEGIN { for (i = 0; i < n; i++) printf "%d in  =  %d.000000 ft\r\n", i * 12, i }' ;;
    empty) head -c "$2" /dev/zero ;;
    mb*) awk -v n="$2" -v total="$(( ${1#mb} << 20 ))" 'BEGIN {
           size = int(total / n) - 2; line = "x"
           while (length(line) < size) line = line line
           line = substr(line, 1, size)
           for (i = 0; i < n; i++) printf "%s\r\n", line }' ;;
    *) echo "unknown kind $1" >&2; exit 2 ;;
  esac > "$3"
}

cat > "$scratch/rounds.sh" <<ROUNDS
set -eu
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p -m 700 "\$XDG_RUNTIME_DIR"
cd "\$1"
for run in \$(seq $runs); do
  /usr/bin/time -f "rss %M" "$scratch/startup-probe" 60000 "$bin/meridal" 2>&1 | tr '\n' ' '
  echo
done
ROUNDS

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "First window under Xvfb with a log of ENTRIES, median of $runs runs:"
printf '  %-8s %9s %8s %10s %8s %9s\n' kind entries MB painted-ms cpu-ms peak-MB
for log in "${logs[@]}"; do
  kind=${log%%:*} entries=${log#*:}
  folder="$scratch/$kind-$entries"
  mkdir -p "$folder"
  make_log "$kind" "$entries" "$folder/log.txt"
  size=$(stat -c %s "$folder/log.txt")
  xvfb-run -a -s "-screen 0 1280x1024x24" bash "$scratch/rounds.sh" "$folder" 2>/dev/null > "$folder/times"
  printf '  %-8s %9s %8.1f %10s %8s %9.0f\n' "$kind" "$entries" "$(awk -v b="$size" 'BEGIN { print b / 1048576 }')" \
    "$(awk '{ print $4 }' "$folder/times" | median)" "$(awk '{ print $6 }' "$folder/times" | median)" \
    "$(awk '{ print $8 / 1024 }' "$folder/times" | median)"
  rm -rf "$folder"
done
