#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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
# System headers: split by file, not by #ifdef. POSIX headers only in a posix/ folder (and in
# platform/qt, where the Qt desktop needs them), Windows headers only in a win32/ folder; the
# rest of the program uses the standard library only. Tests, benchmarks and fuzz targets are
# not checked.
program_folders=(catalogue persistence ui resources tools platform app)
posix_headers='unistd|fcntl|pwd|grp|dirent|dlfcn|poll|termios|spawn|pthread|signal|syslog|netdb|libgen|sched|semaphore|glob|fnmatch|wordexp|utime|langinfo|iconv|elf|link|sys/[a-z_]+|arpa/[a-z_]+|netinet/[a-z_]+'
windows_headers='windows|win[a-z0-9_]*|[a-z0-9_]*api|shlobj|shlwapi|shobjidl|commctrl|commdlg|sddl|accctrl|objbase|ole2|oleauto|olectl|psapi|tlhelp32|dbghelp|ntdef|ntstatus|versionhelpers|uxtheme|dwmapi|richedit|io|direct|process|conio|share'
system=$(grep -rn -E "#\s*include\s*<($posix_headers)\.h>" --include='*.cpp' --include='*.h' --include='*.c' \
           "${program_folders[@]}" 2>/dev/null | grep -v -E '^([a-z_]+/)*posix/|^platform/qt/' || true)
if [ -n "$system" ]; then
  echo "POSIX headers outside a posix/ folder (and platform/qt):"
  echo "$system"
  exit 1
fi
system=$(grep -rn -i -E "#\s*include\s*<($windows_headers)\.h>" --include='*.cpp' --include='*.h' --include='*.c' \
           "${program_folders[@]}" 2>/dev/null | grep -v -E '^([a-z_]+/)*win32/' || true)
if [ -n "$system" ]; then
  echo "Windows headers outside a win32/ folder:"
  echo "$system"
  exit 1
fi
# Every file the program opens is closed when it starts another program (xdg-open, the
# calculator): streams that cannot say so are not used, mkstemp gives way to
# mkostemp(..., O_CLOEXEC), every fopen mode carries "e" and every ::open names O_CLOEXEC. Tests, benchmarks and fuzz
# targets start nothing and are not checked.
program_sources=("${program_folders[@]}")
leaks=$(grep -rn -E 'std::(i|o)?fstream\b|\bmkstemps?\(|\bfopen\([^;]*,[[:space:]]*"[^"e]*"' \
          --include='*.cpp' --include='*.h' --include='*.c' "${program_sources[@]}" 2>/dev/null || true)
leaks+=$(grep -rn -E '(^|[^[:alnum:]_])::open(at)?\(' --include='*.cpp' --include='*.c' "${program_sources[@]}" 2>/dev/null |
           grep -v O_CLOEXEC || true)
if [ -n "$leaks" ]; then
  echo "files opened without close-on-exec (use a descriptor opened with O_CLOEXEC, or fopen mode \"e\"):"
  echo "$leaks"
  exit 1
fi
# Every C/C++, CMake and shell source says its licence on its first line (after a "#!" line);
# data files (the test data, the fuzz corpus, the generated dialog templates that a test
# compares byte for byte) are what they are and carry none.
unlicensed=$(git ls-files 2>/dev/null |
  grep -E '\.(cpp|h|c|cmake|sh)$|\.(cmake|sh)\.in$|(^|/)CMakeLists\.txt$|^\.ci/run$' |
  grep -v -E '(^|/)data/|^fuzz/corpus/|^resources/win32/dialogs\.rc$' |
  while read -r f; do
    first=$(head -1 "$f")
    case "$first" in '#!'*) first=$(sed -n 2p "$f") ;; esac
    case "$first" in
      '// SPDX-License-Identifier: GPL-3.0-or-later'|'# SPDX-License-Identifier: GPL-3.0-or-later') ;;
      *) echo "$f" ;;
    esac
  done)
if [ -n "$unlicensed" ]; then
  echo "sources without the line \"SPDX-License-Identifier: GPL-3.0-or-later\" at the top:"
  echo "$unlicensed"
  exit 1
fi
echo "layers ok"
