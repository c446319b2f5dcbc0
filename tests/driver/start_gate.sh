#!/usr/bin/env bash
# Usage: start_gate.sh IMAGE
# The real setup program under Wine, in a fresh prefix: a copy with one payload byte changed
# answers 5, copies cut short fail to start or answer 5, and none writes anything; two silent installs started together end
# with exactly one install (code 0) and one refusal (code 3, without even its log). IMAGE is
# the signed product or its 64-bit twin; scripts/wine-run.sh runs it.
set -euo pipefail
image=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export WINEPREFIX
WINEPREFIX=$("$root/scripts/wine-prefix.sh" "$work/prefix")
drive_c=$WINEPREFIX/drive_c
run() { "$root/scripts/wine-run.sh" "$@" >/dev/null 2>&1 && echo 0 || echo $?; }
fail() { echo "start_gate: $*" >&2; exit 1; }
# What setup could have written: the install folder, the logs, the uninstall entries.
written() {
  { find "$drive_c/Quillo" "$drive_c/logs" -type f 2>/dev/null || true
    grep -c 'Uninstall\\\\WebQuillo\]' "$WINEPREFIX/system.reg" || true; } | sort
}
mkdir -p "$drive_c/logs"
before=$(written)

# A byte changed in the middle (a payload), and the file cut short.
size=$(stat -c %s "$image")
cp "$image" "$drive_c/damaged.exe"
printf '\x5a' | dd of="$drive_c/damaged.exe" bs=1 seek=$((size / 2)) conv=notrunc status=none
cmp -s "$image" "$drive_c/damaged.exe" && printf '\x00' |
  dd of="$drive_c/damaged.exe" bs=1 seek=$((size / 2)) conv=notrunc status=none
# The sum covers the bytes before the certificate: the length its stamp records at 0x2C.
stamped=$(od -An -tu4 -j44 -N4 "$image" | tr -d ' ')
for length in 4096 $((size / 2)) $((stamped - 1)); do
  head -c "$length" "$image" >"$drive_c/short-$length.exe"
done
# A cut copy that the loader itself refuses never reaches setup: any code but 0 will do there.
for copy in damaged short-4096 short-$((size / 2)) short-$((stamped - 1)); do
  code=$(run "C:\\$copy.exe" /S '/LOG=C:\logs\damaged.log' '/D=C:\Quillo')
  if [ "$copy" = damaged ]; then
    [ "$code" = 5 ] || fail "$copy.exe answered $code, not 5"
  else
    [ "$code" != 0 ] || fail "$copy.exe installed"
  fi
  [ "$(written)" = "$before" ] || fail "$copy.exe wrote something"
  echo "$copy.exe: exit code $code, nothing written"
done

# Two silent installs at once.
cp "$image" "$drive_c/NetQuilloSetup.exe"
codes=$work/codes
( run 'C:\NetQuilloSetup.exe' /S '/LOG=C:\logs\first.log' '/D=C:\Quillo' >"$codes.1" ) &
( run 'C:\NetQuilloSetup.exe' /S '/LOG=C:\logs\second.log' '/D=C:\Quillo' >"$codes.2" ) &
wait
pair=$(sort "$codes.1" "$codes.2" | tr '\n' ' ')
[ "$pair" = "0 3 " ] || fail "two silent installs at once answered $pair, not 0 and 3"
logs=$(ls "$drive_c/logs")
[ "$(echo "$logs" | wc -l)" = 1 ] || fail "expected the installing run's log alone: $logs"
grep -q 'Installation complete. Exit code 0.' "$drive_c/logs/$logs" || fail "no complete install"
echo "two silent installs at once: one installed ($logs), the other answered 3"
