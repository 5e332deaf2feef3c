#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The resource module exports exactly one symbol, TessaryFindResource, and needs no library
# but libc, so it loads into any program on any Linux system.
set -eu
exports=$(nm -D --defined-only "$1" | awk '{ print $NF }')
[ "$exports" = "TessaryFindResource" ] || { echo "exported symbols:"; echo "$exports"; exit 1; }
needed=$(readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\].*/\1/p')
for library in $needed; do
  [ "$library" = "libc.so.6" ] || { echo "the module needs $library"; exit 1; }
done
echo "exports: $exports; needs: ${needed:-nothing}"
