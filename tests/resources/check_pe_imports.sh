#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A Windows program or module imports only DLLs that every Windows system has (never
# libwinpthread-1.dll, libstdc++-6.dll or libgcc_s_seh-1.dll, which only a mingw-w64
# installation has), and exports exactly the names given after "--exports".
#   check_pe_imports.sh OBJDUMP FILE [--exports NAME...]
set -eu
objdump=$1
file=$2
shift 2
system_dlls="KERNEL32.dll msvcrt.dll USER32.dll GDI32.dll COMCTL32.dll SHELL32.dll ADVAPI32.dll VERSION.dll"
imports=$("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
for dll in $imports; do
  case " $system_dlls " in
    *" $dll "*) ;;
    *) echo "$file imports $dll, which is no system DLL"; exit 1 ;;
  esac
done
if [ "${1:-}" = "--exports" ]; then
  shift
  expected=$(printf '%s\n' "$@" | sort)
  # The export table's name lines: "[   0] Name".
  exports=$("$objdump" -p "$file" | sed -n 's/^\s*\[ *[0-9]*\] \([A-Za-z_][A-Za-z0-9_]*\)$/\1/p' | sort)
  [ "$exports" = "$expected" ] || { echo "exported names:"; echo "$exports"; exit 1; }
fi
echo "imports: $(echo $imports)"
