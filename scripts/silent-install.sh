#!/usr/bin/env bash
# Usage: silent-install.sh SETUP-EXE OUTPUT-DIR
# Installs all six modules with "SETUP-EXE /S /LOG=C:\silent.log" into a fresh Wine prefix of
# its own, as an administrator's script would, and prints the exit code, the log and the
# programs-list entries the install left. A 32-bit program runs under Wine's 32-bit half.
# Leaves silent.log and uninstall.reg in OUTPUT-DIR; fails unless setup answers 0.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
setup=$(realpath "$1")
output=$2
mkdir -p "$output"
output=$(realpath "$output")
wine=/usr/lib/wine/wine64
file -b "$setup" | grep -q 'Intel 80386' && wine=/usr/lib/wine/wine

prefix=$(mktemp -d /tmp/netquillo-silent.XXXXXX)
rmdir "$prefix"
"$here/wine-prefix.sh" "$prefix" >/dev/null
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

status=0
xvfb-run -a "$wine" "$setup" /S '/LOG=C:\silent.log' </dev/null >/dev/null 2>&1 || status=$?
echo "$(basename "$setup") /S /LOG=C:\\silent.log: exit code $status"
if [ -f "$prefix/drive_c/silent.log" ]; then
  tr -d '\r' <"$prefix/drive_c/silent.log" >"$output/silent.log"
  echo "The log:"
  sed 's/^/  /' "$output/silent.log"
fi
"$wine" reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
  'C:\uninstall.reg' /y </dev/null >/dev/null 2>&1 || true
if [ -f "$prefix/drive_c/uninstall.reg" ]; then
  # reg export writes UTF-16; the entries of the suite's modules are all ASCII.
  iconv -f UTF-16 -t UTF-8 "$prefix/drive_c/uninstall.reg" | tr -d '\r' >"$output/uninstall.reg"
  echo "The programs-list entry of WebQuillo (and of each module alike):"
  sed -n '/\\Uninstall\\WebQuillo\]$/,/^$/p' "$output/uninstall.reg" | sed 's/^/  /'
fi
exit $status
