#!/usr/bin/env bash
# The engine and the controllers know no toolkit: only platform/qt and app include Qt.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(grep -rn -E '#\s*include\s*[<"]Q[A-Za-z]+' catalogue persistence ui resources tools platform/*.h 2>/dev/null || true)
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
# System headers: the file layer's POSIX calls live in persistence/posix (a Windows port puts
# its own beside them in persistence/win32); the rest of the engine and the controllers use
# the standard library only.
system=$(grep -rn -E '#\s*include\s*<(unistd|fcntl|pwd|grp|dirent|dlfcn|windows)\.h>|#\s*include\s*<sys/' \
           catalogue persistence ui 2>/dev/null | grep -v -E '^persistence/(posix|win32)/' || true)
if [ -n "$system" ]; then
  echo "system headers outside persistence/posix and persistence/win32:"
  echo "$system"
  exit 1
fi
# Every file the program opens is closed when it starts another program (xdg-open, the
# calculator): streams that cannot say so are not used, mkstemp gives way to
# mkostemp(..., O_CLOEXEC), every fopen mode carries "e" and every ::open names O_CLOEXEC. Tests, benchmarks and fuzz
# targets start nothing and are not checked.
program_sources=(catalogue persistence ui resources tools platform app)
leaks=$(grep -rn -E 'std::(i|o)?fstream\b|\bmkstemps?\(|\bfopen\([^;]*,[[:space:]]*"[^"e]*"' \
          --include='*.cpp' --include='*.h' --include='*.c' "${program_sources[@]}" 2>/dev/null || true)
leaks+=$(grep -rn -E '(^|[^[:alnum:]_])::open(at)?\(' --include='*.cpp' --include='*.c' "${program_sources[@]}" 2>/dev/null |
           grep -v O_CLOEXEC || true)
if [ -n "$leaks" ]; then
  echo "files opened without close-on-exec (use a descriptor opened with O_CLOEXEC, or fopen mode \"e\"):"
  echo "$leaks"
  exit 1
fi
echo "layers ok"
