#!/bin/sh
# The resource module exports exactly one symbol, TessaryFindResource, and needs no library
# but libc, so it loads into any program on any Linux system.
set -eu
module=$1

case "$(basename "$module")" in
  TessaryRes.dll) ;;
  *) echo "the module is named $(basename "$module"), not TessaryRes.dll"; exit 1 ;;
esac

exports=$(nm -D --defined-only "$module" | awk '{ print $NF }')
if [ "$exports" != "TessaryFindResource" ]; then
  echo "exported symbols:"; echo "$exports"; exit 1
fi

needed=$(readelf -d "$module" | sed -n 's/.*(NEEDED).*\[\(.*\)\].*/\1/p')
for library in $needed; do
  if [ "$library" != "libc.so.6" ]; then
    echo "the module needs $library"; exit 1
  fi
done
echo "exports: $exports; needs: ${needed:-nothing}"
