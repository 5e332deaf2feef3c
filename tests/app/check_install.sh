#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch folder and checks that what lands there runs.
# Arguments: the build folder, the install folder of the programs (relative to the prefix).
set -eu
build=$1
libexec=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=/opt/meridal
DESTDIR="$scratch/root" cmake --install "$build" --prefix "$prefix" >/dev/null
root="$scratch/root$prefix"

for program in bin/meridal bin/meridal-convert "$libexec/meridal" "$libexec/meridal-convert"; do
  [ -x "$root/$program" ] || { echo "not installed or not executable: $program"; exit 1; }
done
for file in "$libexec/TessaryRes.dll" share/applications/org.meridal.Meridal.desktop \
    share/metainfo/org.meridal.Meridal.metainfo.xml share/icons/hicolor/scalable/apps/org.meridal.Meridal.svg \
    share/icons/hicolor/256x256/apps/org.meridal.Meridal.png share/meridal/guide/index.html \
    share/man/man1/meridal.1.gz share/man/man1/meridal-convert.1.gz \
    share/doc/meridal/copyright share/doc/meridal-convert/changelog.gz; do
  [ -e "$root/$file" ] || { echo "not installed: $file"; exit 1; }
done

# The command on the PATH reaches the real program and its resource module.
"$root/bin/meridal-convert" --version

# The window's launcher starts the program, which writes the default catalogue into its
# working folder as its window opens. Arguments: the folder it should appear in, then the
# environment and options of the start.
starts_in() {
  folder=$1
  shift
  env XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen "$@" &
  pid=$!
  tries=0
  while [ ! -s "$folder/Meridal.xml" ] && [ $tries -lt 100 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -s "$folder/Meridal.xml" ] || { echo "the installed meridal did not start in $folder: $*"; exit 1; }
}

# From a terminal: the current folder.
mkdir "$scratch/work"
cd "$scratch/work"
starts_in "$scratch/work" "$root/bin/meridal"
# From the desktop menu: the user's data folder, made when missing; a relative XDG_DATA_HOME
# does not count.
starts_in "$scratch/data/meridal" XDG_DATA_HOME="$scratch/data" "$root/bin/meridal" --desktop
starts_in "$scratch/home/.local/share/meridal" HOME="$scratch/home" XDG_DATA_HOME=relative "$root/bin/meridal" --desktop
[ ! -e "$scratch/work/relative" ] || { echo "a relative XDG_DATA_HOME was used"; exit 1; }
grep -q '^Exec=meridal --desktop$' "$root/share/applications/org.meridal.Meridal.desktop" ||
  { echo "the desktop entry does not start meridal --desktop"; exit 1; }
echo "installed layout ok"
