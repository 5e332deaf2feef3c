#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows resource module holds resources only: its entry point is 0 (no code of it ever
# runs), it imports nothing (its import table, if any, ends before its first descriptor) and
# exports no name.
#   check_resource_only.sh OBJDUMP FILE
set -eu
headers=$("$1" -p "$2")
entry=$(echo "$headers" | sed -n 's/^AddressOfEntryPoint[[:space:]]*//p')
case "$entry" in
  *[!0]*|"") echo "$2: entry point $entry"; exit 1 ;;
esac
imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -z "$imports" ] || { echo "$2 imports: $imports"; exit 1; }
# The export table's name lines: "[   0] Name".
exports=$(echo "$headers" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] \([A-Za-z_][A-Za-z0-9_@]*\)$/\1/p')
[ -z "$exports" ] || { echo "$2 exports:"; echo "$exports"; exit 1; }
sections=$(echo "$headers" | grep -c 'Resource Directory \[.rsrc\]' || true)
[ "$sections" = 1 ] || { echo "$2 has no resource directory"; exit 1; }
echo "entry point 0, no imports, no exports"
