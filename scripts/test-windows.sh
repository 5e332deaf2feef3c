#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Meridal for Windows with mingw-w64 and runs its tests under Wine, in a Wine prefix
# of the build's own (build/windows-wine), never the user's. Called by scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

export WINEPREFIX="$PWD/build/windows-wine"
export WINEDEBUG=-all
# No Mono or Gecko: nothing of ours needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree=;mshtml="
# Wine reads the process's ANSI code page from the locale; the tests pin their own.
export LC_ALL=C.UTF-8

# Nothing of an earlier run's Wine goes on.
wineserver -k >/dev/null 2>&1 || true

# The window's tests need an X display: a private Xvfb of this run's own, never the user's
# desktop. Without a window manager, Wine draws its windows on a virtual desktop of its own.
display=""
xvfb=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT
if command -v Xvfb >/dev/null 2>&1; then
  for number in $(seq 90 139); do
    if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
      display=":$number"
      break
    fi
  done
fi
if [ -n "$display" ]; then
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
  export DISPLAY="$display"
else
  echo "No Xvfb: the window's tests skip (scripts/setup-debian.sh --test installs it)."
  unset DISPLAY
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== a Wine prefix for the tests"
  wineboot --init >/dev/null 2>&1
  # Dialog units come out right only with the fonts a Windows system has.
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
    if [ -f "/usr/share/wine/fonts/$font" ]; then cp "/usr/share/wine/fonts/$font" "$fonts/"; fi
  done
fi
if ! grep -q '"Desktop"="Default"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
  wineserver -w
fi
# One wineserver for the whole run: the first process of a cold server can hang. Its desktop
# opens on the display above. The server that set the prefix up ends first.
wineserver -w
wineserver -p
wineboot >/dev/null 2>&1

echo "== build for Windows"
cmake --preset windows -DMERIDAL_TEST_DISPLAY="$display" >/dev/null
cmake --build --preset windows -j "$jobs"

echo "== test under Wine"
log=build/windows/ctest.log
set +e
ctest --preset windows -j "$jobs" --timeout 120 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e

# Every test that cannot run under Wine says why when it skips; the list of them is kept
# in tests/windows-skipped.txt, so that a new skip fails the run as a failure does.
skipped=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$log" | sort)
expected=$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' tests/windows-skipped.txt | sort)
if [ "$skipped" != "$expected" ]; then
  echo "The tests skipped under Wine are not the ones tests/windows-skipped.txt lists:"
  diff <(echo "$expected") <(echo "$skipped") || true
  status=1
fi

echo "== meridal-convert.exe under Wine against the Linux program"
cmake --build --preset dev --target meridal-convert TessaryRes.dll >/dev/null
bash tests/tools/compare_with_windows.sh "$PWD/build/dev/bin/meridal-convert" \
  "$PWD/build/windows/bin/meridal-convert.exe" "$PWD/build/windows/locale" || status=1
exit "$status"
