#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# meridal-convert for Windows, run under Wine, gives the Linux program's answers: every
# dimension's unit list of the default catalogue, and a conversion from each unit to the next
# one of its dimension with values of every kind, in both notations. Then the same for a few
# conversions under a Japanese locale, whose ANSI code page (932) would mangle the degree sign
# if any text went through it.
#   compare_with_windows.sh LINUX_PROGRAM WINDOWS_PROGRAM LOCALE_FOLDER
set -euo pipefail
linux=$1
windows=$2
locales=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" # no Meridal.xml here: both read the default catalogue of their module

failures=0
compared=0
compare() { # what the Linux program printed, what the Windows one printed, the arguments
  local expected=$1 actual=$2
  shift 2
  compared=$((compared + 1))
  if [ "$expected" != "$actual" ]; then
    failures=$((failures + 1))
    echo "meridal-convert $*: Linux gives \"$expected\", Windows \"$actual\""
  fi
}
on_windows() { # Wine's output, CR LF made LF
  wine "$windows" "$@" 2>&1 | tr -d '\r'
}
in_japanese() { # the same under a Japanese locale (this shell keeps its own)
  env LOCPATH="$locales" LC_ALL=ja_JP.UTF-8 wine "$windows" "$@" 2>&1 | tr -d '\r'
}

values=(1 12.5 -40 0.001 1e6 -2.5E-3 .5 +3)
n=0
while IFS= read -r dimension; do
  compare "$("$linux" --list "$dimension" 2>&1)" "$(on_windows --list "$dimension")" --list "$dimension"
  mapfile -t units < <("$linux" --list "$dimension")
  count=${#units[@]}
  for ((i = 0; i < count; i++)); do
    from=${units[i]}
    to=${units[(i + 1) % count]}
    value=${values[n % ${#values[@]}]}
    flags=()
    [ $((n % 3)) -eq 0 ] && flags=(-e)
    n=$((n + 1))
    compare "$("$linux" "${flags[@]}" -- "$value" "$from" "$to" 2>&1)" \
            "$(on_windows "${flags[@]}" -- "$value" "$from" "$to")" "${flags[@]}" "$value" "$from" "$to"
  done
done < <("$linux" --list)

# A Japanese locale, compiled into a folder of the build's own when the machine has none.
mkdir -p "$locales"
[ -d "$locales/ja_JP.UTF-8" ] || localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >/dev/null 2>&1 || true
if [ -d "$locales/ja_JP.UTF-8" ]; then
  for args in "100 °C °F" "--list Temperature" "1 °c K" "-e 451 °F °C"; do
    read -ra words <<<"$args"
    compare "$("$linux" "${words[@]}" 2>&1)" \
            "$(in_japanese "${words[@]}")" "${words[@]}" "(Japanese locale)"
  done
else
  echo "no Japanese locale could be compiled: the code-page check did not run"
  failures=$((failures + 1))
fi

echo "$compared answers compared, $failures differ"
[ "$failures" -eq 0 ]
