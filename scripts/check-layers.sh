#!/usr/bin/env bash
# The engine and the controllers know no toolkit: only platform/qt and app include Qt (and the
# authoring tools of resources/authoring, which lay the layouts out on Linux and are no part of
# the program).
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(grep -rn -E '#\s*include\s*[<"]Q[A-Za-z]+' catalogue persistence ui resources tools platform/*.h 2>/dev/null |
      grep -v '^resources/authoring/' || true)
if [ -n "$bad" ]; then
  echo "Qt included outside platform/qt and app:"
  echo "$bad"
  exit 1
fi
# Lower layers never include higher ones.
check() { # folder, forbidden include prefixes...
  local dir=$1; shift
  for p in "$@"; do
    hits=$(grep -rn -E "#\s*include\s*\"$p/" "$dir" 2>/dev/null || true)
    if [ -n "$hits" ]; then echo "$dir must not include $p/:"; echo "$hits"; exit 1; fi
  done
}
check catalogue persistence ui app platform tools resources
check persistence ui app platform tools
check ui app tools
check platform ui app persistence tools
echo "layers ok"
