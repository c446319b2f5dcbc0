#!/usr/bin/env bash
# Usage: run_scenario.sh SCENARIO SETUP-EXE ROBOT-EXE OUTPUT-DIR
# Plays one scenario of the robot against NetQuilloSetup.exe under Wine, in a fresh prefix of
# its own on a virtual display of its own, takes the pictures the robot asks for, and compares
# the robot's transcript, the registry export and the file listing with expected/SCENARIO/.
# NQ_E2E_UPDATE=1 writes the results over the expected files instead (for a reviewed change).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$here/../../scripts
scenario=$1 setup=$2 robot=$3 output=$4

# The pictures need a display whose depth and size do not depend on the caller's.
if [ -z "${NQ_E2E_DISPLAY_READY:-}" ]; then
  NQ_E2E_DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$@"
fi

windows_path() { echo "Z:${1//\//\\}"; }

# "product", "uninstall" and "silent" play the 32-bit product itself: they need it built (the win32
# preset) and Wine's 32-bit half (scripts/setup.sh). Without either they are skipped, and say why.
if [ "$scenario" = product ] || [ "$scenario" = uninstall ] || [ "$scenario" = silent ]; then
  if [ ! -f "$setup" ]; then
    echo "skipped: no $setup (cmake --preset win32 && cmake --build --preset win32)"
    exit 77
  fi
  if [ ! -d /usr/lib/i386-linux-gnu/wine/i386-windows ]; then
    echo "skipped: Wine has no 32-bit half (scripts/setup.sh installs it)"
    exit 77
  fi
fi

rm -rf "$output"
mkdir -p "$output/pictures"
version=
[ "$scenario" = win9x ] && version=win98
prefix=$(mktemp -d /tmp/netquillo-e2e.XXXXXX)
rmdir "$prefix"
"$scripts/wine-prefix.sh" "$prefix" $version >/dev/null
export WINEPREFIX=$prefix WINEDEBUG=-all
# No menu entries on the build machine for the links setup makes.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
snapper=
cleanup() {
  [ -n "$snapper" ] && kill "$snapper" 2>/dev/null || true
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

# Wine points the user's desktop at the build machine's home folder: the links setup makes
# belong in the prefix. And with unmanaged windows Wine draws their frames and captions
# itself, so that the pictures show them.
for link in "$prefix"/drive_c/users/*/Desktop; do
  if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
done
printf '\n[Software\\\\Wine\\\\X11 Driver] 0\n"Managed"="N"\n' >>"$prefix/user.reg"

# The picture taker: the robot leaves the name of each picture in snap.request and waits
# until it is gone.
request=$output/pictures/snap.request
(
  while :; do
    if [ -f "$request" ]; then
      /usr/bin/import -window root "$output/pictures/$(cat "$request").png" 2>/dev/null || true
      rm -f "$request"
    fi
    sleep 0.05
  done
) &
snapper=$!

status=0
/usr/lib/wine/wine64 "$robot" "$scenario" "$(windows_path "$setup")" \
  "$(windows_path "$output")" pictures </dev/null >"$output/robot.log" 2>&1 || status=$?
[ $status -eq 0 ] || { cat "$output/robot.log"; echo "robot failed ($status)" >&2; exit 1; }

expected=$here/expected/$scenario
if [ -n "${NQ_E2E_UPDATE:-}" ]; then
  mkdir -p "$expected"
  cp "$output/steps.txt" "$output/registry.reg" "$output/files.txt" "$expected/"
fi
failed=0
for name in steps.txt registry.reg files.txt; do
  diff -u "$expected/$name" "$output/$name" || failed=1
done
# A step whose picture was not taken says so in the transcript; here only that there are some.
pictures=$(find "$output/pictures" -name '*.png' | wc -l)
# A silent install shows nothing to take.
[ "$pictures" -gt 0 ] || [ "$scenario" = silent ] || { echo "no pictures taken" >&2; failed=1; }
echo "$scenario: $pictures pictures in $output/pictures"
exit $failed
