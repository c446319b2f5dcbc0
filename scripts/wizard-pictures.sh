#!/usr/bin/env bash
# Usage: wizard-pictures.sh SHOW_WIZARD_EXE OUT_DIR
# Runs the show_wizard program under Wine on a virtual display and leaves page-<id>.png of
# every wizard page in OUT_DIR. Wine draws the windows' frames and captions itself (the X11
# driver's "Managed" off), so the pictures show them as Windows would, without a window manager.
# NQ_PICTURES_DPI (default 96) is the display's dots an inch, as the prefix's "LogPixels" sets
# it; a density other than 96 gets a prefix of its own.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=$(realpath "$1")
out=$2
mkdir -p "$out"
out=$(realpath "$out")

# ImageMagick's own convert; another of that name may come first on PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || { echo "wizard-pictures.sh: $convert missing (apt-get install imagemagick)" >&2; exit 1; }

dpi=${NQ_PICTURES_DPI:-96}
suffix=
[ "$dpi" = 96 ] || suffix=-${dpi}dpi
export WINEPREFIX=${NQ_PICTURES_WINEPREFIX:-$(dirname "$program")/wineprefix-pictures$suffix}
"$here/wine-prefix.sh" "$WINEPREFIX" >/dev/null
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
  >/dev/null 2>&1 </dev/null
/usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
  >/dev/null 2>&1 </dev/null
# A machine as the pages usually meet it: a registered owner and organisation, the system's
# proxies for HTTP and FTP, and the browser's news server.
settings='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
/usr/lib/wine/wine64 reg add "$settings" /v ProxyEnable /t REG_BINARY /d 01000000 /f \
  >/dev/null 2>&1 </dev/null
/usr/lib/wine/wine64 reg add "$settings" /v ProxyServer /t REG_SZ \
  /d 'http=proxy.example.com:8080;ftp=proxy.example.com:2121' /f >/dev/null 2>&1 </dev/null
/usr/lib/wine/wine64 reg add 'HKCU\Software\Netscape\Netscape Navigator\Services' \
  /v NNTP_Server /t REG_SZ /d news.example.com:119 /f >/dev/null 2>&1 </dev/null
for value in "RegisteredOwner=Alex Example" "RegisteredOrganization=Example Ltd"; do
  /usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' \
    /v "${value%%=*}" /t REG_SZ /d "${value#*=}" /f >/dev/null 2>&1 </dev/null
done
# The program must meet a wineserver that starts on the virtual display: one left from the
# step above has no display, and its windows would never reach the screen.
/usr/lib/wine/wineserver -k 2>/dev/null || true
/usr/lib/wine/wineserver --wait 2>/dev/null || true

rm -f "$out"/page-*.bmp "$out"/page-*.png
status=0
(cd "$out" && timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" \
  /usr/lib/wine/wine64 "$program" </dev/null) || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
for bitmap in "$out"/page-*.bmp; do
  [ -e "$bitmap" ] || continue
  # Without metadata or dates, so that an unchanged page gives the same file.
  "$convert" "$bitmap" -strip -define png:exclude-chunk=date,time "${bitmap%.bmp}.png"
  rm -f "$bitmap"
done
ls "$out"/page-*.png 2>/dev/null || true
exit $status
