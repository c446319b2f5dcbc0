#!/usr/bin/env bash
# Runs the installer by hand under Wine on your display: the 64-bit build of the product's
# sources, which wine64 runs on every machine (where the kernel refuses i386 programs the 32-bit
# product runs only in the virtual machine, which has no display of yours), in a prefix of its own that stays
# between runs (build/wineprefix-run), so that a second run meets the first install. When
# setup has ended it prints what is installed. NQ_RUN_FRESH=1 starts from a new prefix.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no display; bash scripts/build.sh runs the scripted install on a virtual one" >&2
  exit 1
fi
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target NetQuilloSetup nq_robot

prefix=$PWD/build/wineprefix-run
[ -n "${NQ_RUN_FRESH:-}" ] && rm -rf "$prefix"
if [ ! -d "$prefix" ]; then
  scripts/wine-prefix.sh "$prefix" >/dev/null
  # Wine points the desktop at your home folder: keep setup's links inside the prefix.
  for link in "$prefix"/drive_c/users/*/Desktop; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
  done
fi
export WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
/usr/lib/wine/wine64 build/win64/NetQuilloSetup.exe || true

report=build/run-report
rm -rf "$report" && mkdir -p "$report"
/usr/lib/wine/wine64 build/win64/tests/e2e/nq_robot.exe report NetQuilloSetup.exe \
  "Z:${PWD//\//\\}\\${report//\//\\}" </dev/null >/dev/null
/usr/lib/wine/wineserver -w
echo
scripts/install-summary.sh "$report"
