#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages as a user gets them: builds meridal and meridal-convert, checks their
# files and control fields, runs lintian, installs both with apt-get, runs meridal-convert
# from the PATH and starts meridal as the desktop menu does until its window is painted,
# purges both and checks that nothing of them is left.
#
# It changes the system, so it runs only as root and only where no meridal package is
# installed already; HOME and the XDG folders point into a scratch folder. CI runs it
# (MERIDAL_PACKAGE_TEST=1 scripts/test.sh); it cleans up after itself, also when it fails.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ "$(id -u)" -ne 0 ]; then
  echo "package test skipped: it installs packages, which needs root"
  exit 0
fi
for package in meridal meridal-convert; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  if [ -n "$status" ] && [ "$status" != "not-installed" ]; then
    echo "package test skipped: $package is on this system already ($status), and the test would remove it"
    exit 0
  fi
done

version=$(sed -n 's/^project(Meridal VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
maintainer="Meridal Developers <developers@meridal.org>"

scratch=$(mktemp -d)
chmod 755 "$scratch"
installed=0
window=""
cleanup() {
  if [ -n "$window" ]; then
    kill "$window" 2>/dev/null || true
    wait "$window" 2>/dev/null || true
  fi
  if [ "$installed" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq meridal meridal-convert >/dev/null 2>&1 || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "package test: $*" >&2
  exit 1
}

echo "-- building the packages"
bash scripts/package.sh >"$scratch/package.log" 2>&1 || { cat "$scratch/package.log"; fail "scripts/package.sh failed"; }
mkdir "$scratch/debs"
for package in meridal-convert meridal; do
  cp "build/package/${package}_${version}_${arch}.deb" "$scratch/debs/" ||
    fail "scripts/package.sh made no ${package}_${version}_${arch}.deb"
done
chmod -R a+rX "$scratch/debs"
convertDeb=$scratch/debs/meridal-convert_${version}_${arch}.deb
windowDeb=$scratch/debs/meridal_${version}_${arch}.deb

echo "-- files"
# Mode, owner and path of every entry but the folders, which are all drwxr-xr-x root/root.
entries() {
  dpkg-deb -c "$1" | awk '$1 !~ /^d/ { $3 = $4 = $5 = ""; print } $1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root") { print "odd folder: " $0 }' |
    tr -s ' '
}
diff -u - <(entries "$convertDeb") <<EOF || fail "meridal-convert holds other files than expected"
lrwxrwxrwx root/root ./usr/bin/meridal-convert -> ../lib/meridal/meridal-convert
-rw-r--r-- root/root ./usr/lib/meridal/TessaryRes.dll
-rwxr-xr-x root/root ./usr/lib/meridal/meridal-convert
-rw-r--r-- root/root ./usr/share/doc/meridal-convert/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/meridal-convert/copyright
-rw-r--r-- root/root ./usr/share/lintian/overrides/meridal-convert
-rw-r--r-- root/root ./usr/share/man/man1/meridal-convert.1.gz
EOF
diff -u - <(entries "$windowDeb") <<EOF || fail "meridal holds other files than expected"
-rwxr-xr-x root/root ./usr/bin/meridal
-rwxr-xr-x root/root ./usr/lib/meridal/meridal
-rw-r--r-- root/root ./usr/share/applications/org.meridal.Meridal.desktop
-rw-r--r-- root/root ./usr/share/doc/meridal/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/meridal/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/org.meridal.Meridal.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/org.meridal.Meridal.svg
-rw-r--r-- root/root ./usr/share/lintian/overrides/meridal
-rw-r--r-- root/root ./usr/share/man/man1/meridal.1.gz
-rw-r--r-- root/root ./usr/share/meridal/guide/catalogue.html
-rw-r--r-- root/root ./usr/share/meridal/guide/guide.css
-rw-r--r-- root/root ./usr/share/meridal/guide/index.html
-rw-r--r-- root/root ./usr/share/meridal/guide/log.html
-rw-r--r-- root/root ./usr/share/meridal/guide/meridal-convert.html
-rw-r--r-- root/root ./usr/share/meridal/guide/window.html
-rw-r--r-- root/root ./usr/share/metainfo/org.meridal.Meridal.metainfo.xml
EOF

echo "-- control fields"
field() { dpkg-deb -f "$1" "$2"; }
expect() { # deb, field, expected value
  local value
  value=$(field "$1" "$2")
  [ "$value" = "$3" ] || fail "$(basename "$1"): $2 is \"$value\", not \"$3\""
}
for deb in "$convertDeb" "$windowDeb"; do
  expect "$deb" Version "$version"
  expect "$deb" Architecture "$arch"
  expect "$deb" Section utils
  expect "$deb" Priority optional
  expect "$deb" Maintainer "$maintainer"
  # No maintainer scripts: installing and removing run nothing of ours.
  members=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sort | tr '\n' ' ')
  [ "$members" = "./control ./md5sums " ] || fail "$(basename "$deb") has control members $members"
done
expect "$convertDeb" Package meridal-convert
expect "$windowDeb" Package meridal
expect "$windowDeb" Recommends "xdg-utils, fonts-dejavu-core"
expect "$windowDeb" Suggests "gnome-calculator | kcalc | galculator | mate-calc | qalculate-gtk | x11-apps"
[ "$(field "$convertDeb" Description | head -n 1)" = "command-line unit converter with an editable catalogue" ] ||
  fail "meridal-convert's synopsis is $(field "$convertDeb" Description | head -n 1)"
[ "$(field "$windowDeb" Description | head -n 1)" = "desktop unit converter with an editable catalogue" ] ||
  fail "meridal's synopsis is $(field "$windowDeb" Description | head -n 1)"
convertDepends=$(field "$convertDeb" Depends)
windowDepends=$(field "$windowDeb" Depends)
case $convertDepends in
  *qt*) fail "meridal-convert depends on Qt: $convertDepends" ;;
  *libstdc++6*) ;;
  *) fail "meridal-convert has no dependencies from dpkg-shlibdeps: $convertDepends" ;;
esac
case $windowDepends in
  "meridal-convert (= $version), "*libqt6widgets6*) ;;
  *) fail "meridal does not depend on meridal-convert $version and Qt: $windowDepends" ;;
esac

echo "-- lintian"
# Not as root (lintian advises against it), when the system has the user nobody.
lintian=(lintian --display-info --fail-on error,warning,info)
if id nobody >/dev/null 2>&1 && command -v setpriv >/dev/null; then
  lintian=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups env HOME="$scratch" "${lintian[@]}")
fi
(cd "$scratch" && "${lintian[@]}" "$convertDeb" "$windowDeb") || fail "lintian reports the packages"

echo "-- installing with apt-get"
# From here on the programs run as a user's would, with a home of their own.
export HOME=$scratch/home XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config \
  XDG_CACHE_HOME=$scratch/cache XDG_STATE_HOME=$scratch/state XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$convertDeb" "$windowDeb" >"$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; fail "apt-get cannot install the packages"; }

mkdir "$scratch/work"
cd "$scratch/work"
[ "$(command -v meridal-convert)" = /usr/bin/meridal-convert ] || fail "meridal-convert is not on the PATH"
result=$(meridal-convert 12 in ft) || fail "meridal-convert 12 in ft failed"
[ "$result" = "1.000000" ] || fail "meridal-convert 12 in ft printed $result"
case $(meridal --version) in
  "meridal $version."*) ;;
  *) fail "meridal --version from the PATH printed $(meridal --version)" ;;
esac
[ -z "$(ls -A)" ] || fail "meridal-convert or meridal --version wrote into the current folder: $(ls -A)"
[ "$(man -w meridal-convert)" = /usr/share/man/man1/meridal-convert.1.gz ] || fail "man finds no meridal-convert(1)"
[ "$(man -w meridal)" = /usr/share/man/man1/meridal.1.gz ] || fail "man finds no meridal(1)"
# The installed module's help targets open the installed guide.
targets=$(grep -aoE 'file://[^"[:space:][:cntrl:]]+' /usr/lib/meridal/TessaryRes.dll | sort -u)
[ -n "$targets" ] || fail "the installed module has no help target in the guide"
for target in $targets; do
  [ -f "${target#file://}" ] || fail "the help target $target is not installed"
done

# Started as the desktop menu starts it: its files go to $XDG_DATA_HOME/meridal. The window
# is shown once Qt has painted it.
exec=$(sed -n 's/^Exec=//p' /usr/share/applications/org.meridal.Meridal.desktop)
[ "$exec" = "meridal --desktop" ] || fail "the desktop entry runs \"$exec\""
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.widgets.painting=true" $exec >"$scratch/window.log" 2>&1 &
window=$!
for _ in $(seq 100); do
  grep -q 'Drawing .* of QDialog(.*"ConverterDialog")' "$scratch/window.log" && break
  kill -0 "$window" 2>/dev/null || break
  sleep 0.1
done
grep -q 'Drawing .* of QDialog(.*"ConverterDialog")' "$scratch/window.log" ||
  { grep -v '^qt.widgets.painting' "$scratch/window.log" || true; fail "meridal --desktop showed no window"; }
kill "$window"
wait "$window" 2>/dev/null || true
window=""
[ -s "$XDG_DATA_HOME/meridal/Meridal.xml" ] || fail "the desktop start wrote no Meridal.xml into \$XDG_DATA_HOME/meridal"
[ -z "$(ls -A)" ] || fail "the desktop start wrote into the current folder: $(ls -A)"
cd - >/dev/null

echo "-- purging"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq meridal meridal-convert >"$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; fail "apt-get cannot purge the packages"; }
installed=0
for package in meridal meridal-convert; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ -z "$status" ] || [ "$status" = "not-installed" ] || fail "dpkg still knows $package: $status"
done
# Every path of the packages is gone, but for folders that other packages own.
paths() { dpkg-deb -c "$1" | awk '{ print $6 }'; }
left=""
while read -r path; do
  path=${path#.}
  [ -e "$path" ] || [ -L "$path" ] || continue
  if [ -d "$path" ] && [ ! -L "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then
    continue
  fi
  left="$left $path"
done < <(paths "$convertDeb"; paths "$windowDeb")
[ -z "$left" ] || fail "left behind after the purge:$left"
echo "package test passed"
