#!/usr/bin/env bash
# The test suite on both platforms: on the host emulation (under ASan and UBSan) with the
# fuzz targets for a bounded time each, the same suite built for 64-bit Windows and run under
# Wine in a throwaway prefix, and built 32-bit with the product's toolchain and flags and run
# under Wine's 32-bit half (here, or in the small virtual machine where this machine's kernel
# refuses i386 programs: scripts/on-wine32.sh). One ctest summary counts them all.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh

# The machine for 32-bit programs, where one is needed, boots while the builds run.
# Two throwaway prefixes for the 64-bit suite (made below): the default Windows version, and
# win98 for the tests of the 95 family (those whose names contain Win9x; scripts/wine-run.sh
# picks the prefix).
WINEPREFIX=$(mktemp -d /tmp/netquillo-wine.XXXXXX)
NQ_WINEPREFIX_WIN98=$(mktemp -d /tmp/netquillo-wine98.XXXXXX)
rmdir "$WINEPREFIX" "$NQ_WINEPREFIX_WIN98"
export WINEPREFIX NQ_WINEPREFIX_WIN98 NQ_VM_CONTROL
NQ_VM_CONTROL=$(mktemp -d /tmp/netquillo-vm.XXXXXX)
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX=$NQ_WINEPREFIX_WIN98 /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$NQ_WINEPREFIX_WIN98"
  scripts/on-wine32.sh --stop "$NQ_VM_CONTROL"
}
trap cleanup EXIT
scripts/on-wine32.sh --start "$NQ_VM_CONTROL" &

cmake --preset host >/dev/null
cmake --build --preset host -j"$(nproc)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$(nproc)"
# The product itself, for the end-to-end scenarios that play it under Wine's 32-bit half.
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)"
# The suite with the product's code generation.
cmake --preset win32-tests >/dev/null
cmake --build --preset win32-tests -j"$(nproc)"

scripts/wine-prefix.sh "$WINEPREFIX" >/dev/null
scripts/wine-prefix.sh "$NQ_WINEPREFIX_WIN98" win98 >/dev/null

# One ctest run over both build trees, so that one summary counts both platforms; the Wine
# tests hold a lock on their prefix, so only the host tests run side by side.
cat >build/CTestTestfile.cmake <<'TESTS'
subdirs("host")
subdirs("fuzz")
subdirs("win64")
subdirs("win32-tests")
TESTS
status=0
# The sweeps that fail every call are scripts/sweep.sh's; these take a sample of each. The
# product's forms of the scenarios that run here with the 64-bit build are
# scripts/product-twins.sh's.
# A test that fails is run once more: Wine's loader now and then asserts as a program exits
# ("Inconsistency detected by ld.so"), after the test itself has passed. Both runs are printed.
xvfb-run -a ctest --test-dir build --output-on-failure -j"$(nproc)" -LE '^(full-sweep|product-twins)$' \
  --repeat until-pass:2 || status=$?

# The fault sweeps' summaries: the failure surface of the whole install at a glance.
for summary in build/host/tests/sweep/sweep-*.txt; do
  [ -f "$summary" ] && { echo; sed '/^calls by function:/,/^outcomes:/{/^outcomes:/!d}' "$summary"; }
done
exit $status
