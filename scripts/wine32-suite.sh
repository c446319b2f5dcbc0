#!/usr/bin/env bash
# Usage: wine32-suite.sh NQ_TESTS-EXE [win98]
# Runs the whole test suite built 32-bit with the product's toolchain in one Wine process, in a
# throwaway prefix of its own on a virtual display: the tests of the NT family in a prefix of
# the default Windows version, or with win98 those of the 95 family. One process for the suite,
# not one per test, since a Wine start costs seconds where the 32-bit half runs under emulation
# (scripts/on-wine32.sh). Prints GoogleTest's summary; fails when any test fails.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tests=$1
version=${2:-}
filter='*'
# Under emulation the whole suite takes some twenty minutes; there it runs the tests that only a
# 32-bit build can fail: the layouts and sizes of what crosses the API (dialog templates, property
# sheet pages, bitmap headers, find data, version and registry buffers, LZ and SZDD streams) and
# the dialog and resource code. The rest is the same code on both pointer sizes, and the 64-bit
# suite runs it.
if [ -n "${NQ_IN_VM:-}" ]; then
  filter='Wizard*:*PageTest.*:ResourceApi.*:PayloadResources.*:PayloadExtractorTest.*'
  filter+=':CarriedPatches.*:BitmapFileTest.*:BackdropTest.*:Szdd*:LzApi.*:RegistryApi.*'
  filter+=':RegKeyTest.*:RestartDeletionsTest.*:RestartApi.*:FileApi.*:VersionApi.*:WindowApi.*'
  filter+=':ShellApi.*:DesktopLinksTest.*:ProgressBoxTest.*:Taskbar.*:UninstallTest.*'
fi
if [ "$version" = win98 ]; then
  filter="*Win9x*-*_HostOnly"
else
  filter="$filter-*Win9x*:*_HostOnly"
fi

prefix=$(mktemp -d /tmp/netquillo-wine32.XXXXXX)
rmdir "$prefix"
"$here/wine-prefix.sh" "$prefix" $version >/dev/null
export WINEPREFIX=$prefix
# A test that crashes ends the run at once instead of waiting on Wine's debugger.
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe="
unset NQ_WINE_VERSION
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT
xvfb-run -a "$here/wine-run.sh" "$tests" --gtest_filter="$filter" --gtest_brief=1
