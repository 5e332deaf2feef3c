#!/bin/sh
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
    share/icons/hicolor/256x256/apps/org.meridal.Meridal.png share/doc/meridal/index.html; do
  [ -e "$root/$file" ] || { echo "not installed: $file"; exit 1; }
done

# The command on the PATH reaches the real program and its resource module.
"$root/bin/meridal-convert" --version

# The window's launcher starts the program, which writes the default catalogue into its
# working folder as its window opens.
mkdir "$scratch/work"
cd "$scratch/work"
XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen "$root/bin/meridal" &
pid=$!
tries=0
while [ ! -s Meridal.xml ] && [ $tries -lt 100 ]; do
  sleep 0.1
  tries=$((tries + 1))
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
[ -s Meridal.xml ] || { echo "the installed meridal did not start"; exit 1; }
echo "installed layout ok"
