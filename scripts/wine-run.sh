#!/usr/bin/env bash
# Runs a Windows program under Wine: the emulator of the Windows builds' tests. A 32-bit program
# runs under Wine's 32-bit half, where scripts/on-wine32.sh has put the caller.
# Uses $WINEPREFIX when the caller made one (scripts/test.sh makes a throwaway prefix per
# run); otherwise a prefix of the build's own, copied once from the cached pristine prefix.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# With NQ_WINE_VERSION set (e.g. win98) the program runs in a second prefix that reports that
# Windows version: $NQ_WINEPREFIX_<VERSION> when the caller made one, else one of the build's.
if [ -n "${NQ_WINE_VERSION:-}" ]; then
  variable=NQ_WINEPREFIX_${NQ_WINE_VERSION^^}
  WINEPREFIX=${!variable:-}
  if [ -z "$WINEPREFIX" ]; then
    WINEPREFIX=$("$here/wine-prefix.sh" "$here/../build/wineprefix-$NQ_WINE_VERSION" \
      "$NQ_WINE_VERSION")
  fi
  export WINEPREFIX
elif [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$("$here/wine-prefix.sh" "$here/../build/wineprefix")
  export WINEPREFIX
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# A wineserver that outlives each program by a minute makes every later start cheap. Wine's
# own background processes must not hold our output open, hence no pipes to them.
/usr/lib/wine/wineserver -p60 </dev/null >/dev/null 2>&1 || true
output=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$output" "$errors"' EXIT
status=0
wine=/usr/lib/wine/wine64
file -b "$1" | grep -q 'Intel 80386' && wine=/usr/lib/wine/wine
"$wine" "$@" >"$output" 2>"$errors" </dev/null || status=$?
# Windows programs end lines with CR LF; the test tools here read Unix lines.
tr -d '\r' <"$output"
tr -d '\r' <"$errors" >&2
exit $status
