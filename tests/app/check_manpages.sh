#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages render without a warning, have a NAME line that whatis and apropos can
# index, and describe every option that their program's --help lists.
# Arguments: the folder of the built pages, the programs meridal-convert and meridal.
set -eu
pages=$1
convert=$2
window=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export LC_ALL=C.UTF-8 MANWIDTH=80 MANPAGER=cat PAGER=cat

for page in meridal meridal-convert; do
  file="$pages/$page.1.gz"
  [ -s "$file" ] || { echo "no manual page $file"; exit 1; }
  man --warnings -E UTF-8 -l "$file" >"$scratch/$page.txt" 2>"$scratch/$page.warnings"
  if [ -s "$scratch/$page.warnings" ]; then
    echo "$page(1) renders with warnings:"
    cat "$scratch/$page.warnings"
    exit 1
  fi
  whatis=$(lexgrog "$file") || { echo "lexgrog cannot read the NAME of $page(1): $whatis"; exit 1; }
  case $whatis in
    *"\"$page - "*) ;;
    *) echo "the NAME line of $page(1) does not begin with \"$page - \": $whatis"; exit 1 ;;
  esac
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES ENCODINGS "EXIT STATUS" EXAMPLES; do
    grep -q "^$section\$" "$scratch/$page.txt" || { echo "$page(1) has no section $section"; exit 1; }
  done
done

# Every option that a program's help lists, long and short, appears in the OPTIONS section of
# its page.
describes_every_option() { # page, program
  "$2" --help >"$scratch/help.txt"
  options=$(grep -oE -- '(^|[][ ,|])--?[a-z][a-z-]*' "$scratch/help.txt" | sed 's/^[][ ,|]//' | sort -u)
  [ -n "$options" ] || { echo "$1 --help lists no option"; exit 1; }
  sed -n '/^OPTIONS$/,/^[A-Z]/p' "$scratch/$1.txt" >"$scratch/options.txt"
  missing=""
  for option in $options; do
    grep -qE -- "(^|[ ,|=])$option([ ,=]|\$)" "$scratch/options.txt" || missing="$missing $option"
  done
  if [ -n "$missing" ]; then
    echo "$1(1) does not describe:$missing"
    exit 1
  fi
}
describes_every_option meridal-convert "$convert"
describes_every_option meridal "$window"
echo "manual pages ok"
