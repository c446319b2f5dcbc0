#!/usr/bin/env bash
# Usage: wine-prefix.sh DIR
# Makes DIR a fresh Wine prefix, copied from a pristine one that is made once and cached, and
# prints DIR. An existing DIR is kept as it is.
set -euo pipefail
dir=$1
cache=${NQ_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/netquillo}
pristine=$cache/wineprefix-pristine
if [ ! -f "$pristine/.complete" ]; then
  rm -rf "$pristine"
  mkdir -p "$cache"
  WINEPREFIX=$pristine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
  WINEPREFIX=$pristine /usr/lib/wine/wineserver --wait || true
  [ -f "$pristine/system.reg" ] || { echo "wine-prefix.sh: wineboot made no prefix" >&2; exit 1; }
  touch "$pristine/.complete"
fi
if [ ! -d "$dir" ]; then
  mkdir -p "$(dirname "$dir")"
  cp -a "$pristine" "$dir"
fi
echo "$dir"
