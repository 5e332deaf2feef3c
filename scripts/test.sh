#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds Meridal and runs every test: the normal build, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the tests of the banner's worker
# thread under ThreadSanitizer, the fuzz targets over their seed corpus, the Windows build's
# tests under Wine (scripts/test-windows.sh), and the house rules (layering, formatting). With MERIDAL_PACKAGE_TEST=1 (CI sets it) also the Debian packages:
# built, checked, installed, run and purged, which needs root and changes the system
# (tests/package/check_packages.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

package_test=${MERIDAL_PACKAGE_TEST:-0}
if [ "$package_test" = 1 ]; then
  bash scripts/setup-debian.sh --test --lintian
else
  bash scripts/setup-debian.sh --test
fi
jobs=$(nproc)

echo "== house rules"
bash scripts/check-layers.sh
# Every tracked C and C++ source as clang-format leaves it (build folders hold no tracked files).
git ls-files -z -- '*.cpp' '*.h' '*.c' ':(exclude)build/*' ':(exclude)*/build/*' | xargs -0 clang-format --dry-run -Werror

echo "== build and test (dev)"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== build and test (sanitizers)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" ctest --preset asan -j "$jobs"

echo "== the banner's worker thread under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

if [ -d fuzz/corpus ]; then
  echo "== fuzz targets over their seed corpus"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  ./build/fuzz/bin/fuzz_catalogue -runs=0 fuzz/corpus
  ./build/fuzz/bin/fuzz_catalogue_file -runs=0 fuzz/corpus
fi
echo "== the Windows build under Wine"
bash scripts/test-windows.sh

if [ "$package_test" = 1 ]; then
  echo "== Debian packages"
  bash tests/package/check_packages.sh
fi
echo "== all tests passed"
