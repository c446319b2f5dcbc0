#!/usr/bin/env bash
# Usage: wine-prefix.sh DIR [VERSION]
# Makes DIR a fresh Wine prefix, copied from a pristine one that is made once and cached, and
# prints DIR. An existing DIR is kept as it is. With VERSION (e.g. win98) the prefix reports
# that Windows version: Wine's HKCU\Software\Wine value "Version", which is what makes
# GetVersionExA answer the 95 family. Each version has a pristine prefix of its own.
set -euo pipefail
dir=$1
version=${2:-}
cache=${NQ_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/netquillo}
# A prefix made while Wine had no 32-bit half cannot run 32-bit programs later: with that half
# installed, the pristine prefixes are others.
wow64=
[ -d /usr/lib/i386-linux-gnu/wine/i386-windows ] && wow64=-wow64
pristine=$cache/wineprefix-pristine$wow64
mkdir -p "$cache"

# Several test runs may start at once and find no cache: one makes it, the others wait.
exec 9>"$cache/.lock"
flock 9
if [ ! -f "$pristine/.complete" ]; then
  rm -rf "$pristine"
  WINEPREFIX=$pristine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
  WINEPREFIX=$pristine /usr/lib/wine/wineserver --wait || true
  [ -f "$pristine/system.reg" ] || { echo "wine-prefix.sh: wineboot made no prefix" >&2; exit 1; }
  touch "$pristine/.complete"
fi
if [ -n "$version" ]; then
  base=$pristine
  pristine=$cache/wineprefix-pristine$wow64-$version
  if [ ! -f "$pristine/.complete" ]; then
    rm -rf "$pristine"
    cp -a "$base" "$pristine"
    rm -f "$pristine/.complete"
    WINEPREFIX=$pristine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
      /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$version" /f \
      >/dev/null 2>&1 </dev/null
    # The registry reaches user.reg only when the prefix's wineserver has gone.
    WINEPREFIX=$pristine /usr/lib/wine/wineserver -k 2>/dev/null || true
    WINEPREFIX=$pristine /usr/lib/wine/wineserver --wait 2>/dev/null || true
    grep -q "^\"Version\"=\"$version\"" "$pristine/user.reg" || {
      echo "wine-prefix.sh: could not set Windows version $version" >&2
      exit 1
    }
    touch "$pristine/.complete"
  fi
fi
# Wine draws the caption buttons with Marlett's glyphs, and a new prefix's Fonts folder lacks
# the TrueType Marlett of Debian's fonts-wine: without it a close box shows the letter "r".
for font in marlett.ttf; do
  if [ -f "/usr/share/wine/fonts/$font" ] && [ ! -f "$pristine/drive_c/windows/Fonts/$font" ]; then
    cp "/usr/share/wine/fonts/$font" "$pristine/drive_c/windows/Fonts/"
  fi
done
flock -u 9

if [ ! -d "$dir" ]; then
  mkdir -p "$(dirname "$dir")"
  cp -a "$pristine" "$dir"
fi
echo "$dir"
