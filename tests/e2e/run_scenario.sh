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

[ -f "$setup" ] || { echo "no $setup (build its preset first)" >&2; exit 1; }

rm -rf "$output"
mkdir -p "$output/pictures"
version=
[ "$scenario" = win9x ] && version=win98
prefix=$(mktemp -d /tmp/netquillo-e2e.XXXXXX)
rmdir "$prefix"
"$scripts/wine-prefix.sh" "$prefix" $version >/dev/null
export WINEPREFIX=$prefix WINEDEBUG=-all
# "names" needs the Western code page as the system's, whatever locale the caller (or the
# virtual machine) has: Wine takes it from the locale, and C gives 1252.
case $scenario in names | names-product) export LC_ALL=C.UTF-8 ;; esac
# No menu entries on the build machine for the links setup makes.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# "planted": setup and an uninstaller in a Downloads folder beside libraries named lz32.dll and
# comctl32.dll, which Wine is told to prefer to its own wherever it finds them, as Windows
# prefers any file in the program's folder to a library that is not a known DLL.
# The "-native" forms play a 64-bit setup with 64-bit libraries, and no uninstaller.
kind=${scenario%-native}
payload_files=$(dirname "$setup")/payloads/files
downloads=$prefix/drive_c/Downloads
if [ "$scenario" = planted ]; then
  mkdir -p "$downloads"
  cp "$setup" "$payload_files/WebQuilloUninstall.exe" "$(dirname "$robot")"/planted/*.dll \
    "$downloads/"
elif [ "$scenario" = planted-native ]; then
  mkdir -p "$downloads"
  cp "$setup" "$(dirname "$robot")"/planted64/*.dll "$downloads/"
fi
if [ "$kind" = planted ]; then
  setup=$downloads/$(basename "$setup")
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;lz32,comctl32=n,b"
fi
snapper=
intruder=
cleanup() {
  [ -n "$snapper" ] && kill "$snapper" 2>/dev/null || true
  [ -n "$intruder" ] && kill "$intruder" 2>/dev/null || true
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

# "intruder": another program of the user goes for every file in the temporary folder while
# setup runs (tests/e2e/intruder).
if [ "$kind" = intruder ]; then
  /usr/lib/wine/wine64 "$(dirname "$robot")/nq_intruder.exe" "$(windows_path "$output/stop")" \
    "$(windows_path "$output/intruder.log")" </dev/null >/dev/null 2>&1 &
  intruder=$!
  # It has started once its log exists: the first Wine program of a new prefix takes seconds,
  # and ten times as long under emulation.
  for _ in $(seq 1800); do [ -f "$output/intruder.log" ] && break; sleep 0.1; done
  [ -f "$output/intruder.log" ] || { echo "the intruder did not start" >&2; exit 1; }
fi

status=0
# Setup in the prefix's Downloads is started as a user starts it, from C:, so that the
# transcript names no folder of this run's own.
setup_windows=$(windows_path "$setup")
[ "$kind" = planted ] && setup_windows="C:\\Downloads\\$(basename "$setup")"
/usr/lib/wine/wine64 "$robot" "$scenario" "$setup_windows" \
  "$(windows_path "$output")" pictures </dev/null >"$output/robot.log" 2>&1 || status=$?
[ $status -eq 0 ] || { cat "$output/robot.log"; echo "robot failed ($status)" >&2; exit 1; }
if [ -n "$intruder" ]; then
  touch "$output/stop"
  wait "$intruder" 2>/dev/null || true
  intruder=
fi

expected=$here/expected/$scenario
if [ -n "${NQ_E2E_UPDATE:-}" ]; then
  mkdir -p "$expected"
  cp "$output/steps.txt" "$output/registry.reg" "$output/files.txt" "$expected/"
fi
failed=0
for name in steps.txt registry.reg files.txt; do
  diff -u "$expected/$name" "$output/$name" || failed=1
done
# What a hostile machine must not have achieved: a planted library loaded, a file of setup's in
# the temporary folder touched, an installed file that is not its payload.
if [ "$kind" = planted ]; then
  for marker in "$downloads"/*.loaded; do
    [ -e "$marker" ] && { echo "setup or its uninstaller loaded ${marker%.loaded}" >&2; failed=1; }
  done
fi
# Wine lets a rename replace a file that is open without delete sharing (Windows refuses it);
# setup's handle keeps the file it wrote, so what it installs stays its own either way. Reading,
# writing or holding one of setup's files is what must never succeed.
if [ "$kind" = intruder ]; then
  if grep -E '^(rewrote|held) NQ' "$output/intruder.log" >&2; then
    echo "another program reached setup's temporary files (above)" >&2
    failed=1
  fi
fi
if [ "$kind" = planted ] || [ "$kind" = intruder ]; then
  installed=$prefix/drive_c/Program\ Files\ \(x86\)/QuilloSoft
  system=$prefix/drive_c/windows/syswow64
  if [ "$kind" != "$scenario" ]; then
    installed=$prefix/drive_c/Program\ Files/QuilloSoft
    system=$prefix/drive_c/windows/system32
  fi
  for file in "$payload_files"/*; do
    name=$(basename "$file")
    case $name in
      Wizard.bmp) continue ;;
      NetQuillo.dll) copy=$system/$name ;;
      *Uninstall.exe) copy=$prefix/drive_c/windows/$name ;;
      *) copy=$installed/${name%.*}/$name ;;
    esac
    cmp -s "$file" "$copy" || { echo "$copy is not the payload $name" >&2; failed=1; }
  done
fi
# A step whose picture was not taken says so in the transcript; here only that there are some.
pictures=$(find "$output/pictures" -name '*.png' | wc -l)
# A silent install shows nothing to take.
case $scenario in silent | cut-off*) ;; *)
  [ "$pictures" -gt 0 ] || { echo "no pictures taken" >&2; failed=1; } ;;
esac
echo "$scenario: $pictures pictures in $output/pictures"
exit $failed
