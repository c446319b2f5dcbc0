#!/usr/bin/env bash
# Setup beside the installer people would pick instead: an NSIS installer (makensis, Debian's
# nsis package) of the same payload files, with a settings key, an uninstall entry, a document
# type and a desktop link per module. Prints the ratios ours / NSIS of the image size (NSIS with
# zlib and with solid LZMA) and of the overhead outside the carried data, and, under Wine's
# 32-bit half, the time from start to the first page and the time of a silent install (/S) of
# all six onto a clean prefix, the two alternating, with the median and extremes of RUNS runs
# each.
# Usage: bench/peer.sh [RUNS]   (after building the win32 and win64 presets; RUNS defaults to 5)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
runs=${1:-5}
ours=build/win32/NetQuilloSetup.exe
files=$PWD/build/win32/payloads/files
[ -f "$ours" ] && [ -d "$files" ] || { echo "peer: build the win32 preset first" >&2; exit 1; }
if ! command -v makensis >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nsis </dev/null >/dev/null
fi

work=$(mktemp -d /tmp/netquillo-peer.XXXXXX)
trap 'WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
modules=(Web Email Phone File News IRC)

echo "NetQuillo licence agreement" >"$work/licence.txt"
# The NSIS script: one section per module, as setup installs them all by default.
script=$work/peer.nsi
{
  echo 'Name "NetQuillo"'
  echo 'InstallDir "$PROGRAMFILES\NetQuillo"'
  echo 'RequestExecutionLevel admin'
  echo 'XPStyle on'
  echo 'Page license'
  echo 'Page components'
  echo 'Page directory'
  echo 'Page instfiles'
  echo "LicenseData \"$work/licence.txt\""
  echo 'Section "-common"'
  echo '  SetOutPath "$INSTDIR"'
  echo "  File \"$files/NetQuillo.dll\""
  echo "  File \"$files/Wizard.bmp\""
  echo 'SectionEnd'
  for m in "${modules[@]}"; do
    p=${m}Quillo
    echo "Section \"$p\""
    echo '  SetOutPath "$INSTDIR"'
    for f in "$p.exe" "$p.hlp" "$p.cnt" "${p}Uninstall.exe"; do
      echo "  File \"$files/$f\""
    done
    echo "  WriteRegStr HKLM \"Software\\NetQuillo\\$p\" \"InstallPath\" \"\$INSTDIR\""
    echo "  WriteRegStr HKLM \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$p\" \"DisplayName\" \"$p\""
    echo "  WriteRegStr HKLM \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$p\" \"UninstallString\" '\"\$INSTDIR\\${p}Uninstall.exe\"'"
    echo "  WriteRegStr HKCR \".$(echo "$m" | tr '[:upper:]' '[:lower:]')q\" \"\" \"$p.Document\""
    echo "  WriteRegStr HKCR \"$p.Document\\shell\\open\\command\" \"\" '\"\$INSTDIR\\$p.exe\" \"%1\"'"
    echo "  CreateShortCut \"\$DESKTOP\\$p.lnk\" \"\$INSTDIR\\$p.exe\""
    echo 'SectionEnd'
  done
} >"$script"

makensis -V1 -X"SetCompressor /FINAL zlib" -X"OutFile $work/peer-zlib.exe" "$script" >/dev/null
makensis -V1 -X"SetCompressor /FINAL /SOLID lzma" -X"OutFile $work/peer-lzma.exe" "$script" >/dev/null
# NSIS's own part is the stub makensis writes before the compressed data: an installer of no
# files at all, less its few bytes of header and script.
printf 'OutFile "%s"\nSection\nSectionEnd\n' "$work/empty.exe" >"$work/empty.nsi"
makensis -V1 "$work/empty.nsi" >/dev/null

size() { stat -c %s "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
resources=$(( 0x$(i686-w64-mingw32-objdump -h "$ours" | awk '$2 == ".rsrc" { print $3 }') ))
ours_overhead=$(( $(size "$ours") - (resources + 511) / 512 * 512 ))
peer_overhead=$(size "$work/empty.exe")
printf '%-34s %12s %12s %7s\n' figure ours NSIS ratio
printf '%-34s %12d %12d %7s\n' "image, NSIS zlib (bytes)" "$(size "$ours")" \
  "$(size "$work/peer-zlib.exe")" "$(ratio "$(size "$ours")" "$(size "$work/peer-zlib.exe")")"
printf '%-34s %12d %12d %7s\n' "image, NSIS solid LZMA (bytes)" "$(size "$ours")" \
  "$(size "$work/peer-lzma.exe")" "$(ratio "$(size "$ours")" "$(size "$work/peer-lzma.exe")")"
printf '%-34s %12d %12d %7s\n' "overhead outside the data (bytes)" "$ours_overhead" \
  "$peer_overhead" "$(ratio "$ours_overhead" "$peer_overhead")"

# --- Silent install under Wine's 32-bit half ---------------------------------------------------
export WINEDEBUG=-all
wine=/usr/lib/wine/wine
fresh_prefix() {
  WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work/prefix"
  scripts/wine-prefix.sh "$work/prefix" >/dev/null 2>&1
}
# Seconds of one silent install; "none" when the program did not finish by itself in time.
silent_install() {
  local start end
  start=$(date +%s.%N)
  if ! WINEPREFIX=$work/prefix timeout 60 xvfb-run -a "$wine" "$1" /S >/dev/null 2>&1; then
    echo none
    return
  fi
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }'
}
# Median, least and greatest of the numbers on standard input.
summary() { sort -n | awk '{ v[NR] = $1 } END { printf "%.2f %.2f %.2f", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR] }'; }

# A kernel without 32-bit emulation cannot start Wine's 32-bit loader at all; there the product
# runs only in the virtual machine under full emulation (scripts/on-wine32.sh), about ten times
# slower than natively and unevenly so, which says nothing of setup beside NSIS.
if ! "$wine" --version >/dev/null 2>&1; then
  for figure in "first page (ms)" "silent install (s)"; do
    printf '%-34s %s\n' "$figure" "unavailable: this machine runs 32-bit programs only under emulation"
  done
  exit 0
fi
# Time to the first page: from the start until the first dialog is on the screen (our wizard,
# NSIS's licence page), by build/win64/bench/first_window.exe, in one prefix, alternating.
first_window=build/win64/bench/first_window.exe
if [ -f "$first_window" ]; then
  fresh_prefix
  first_page() {
    WINEPREFIX=$work/prefix xvfb-run -a /usr/lib/wine/wine64 "$first_window" \
      "Z:${1//\//\\}" 2>/dev/null </dev/null | tr -d '\r' || echo none
  }
  ours_pages=() peer_pages=()
  for ((run = 0; run < runs; run++)); do
    ours_pages+=("$(first_page "$PWD/$ours")")
    peer_pages+=("$(first_page "$work/peer-lzma.exe")")
  done
  read -r om ol oh < <(printf '%s\n' "${ours_pages[@]}" | summary)
  read -r pm pl ph < <(printf '%s\n' "${peer_pages[@]}" | summary)
  printf '%-34s %12s %12s %7s\n' "first page, median (ms)" "$om" "$pm" "$(ratio "$om" "$pm")"
  printf '%-34s %12s %12s\n' "  least .. greatest (ms)" "$ol..$oh" "$pl..$ph"
else
  printf '%-34s %s\n' "first page (ms)" "unavailable: build the win64 preset for $first_window"
fi

# Setup without a silent mode shows its wizard and never ends by itself: one try tells.
fresh_prefix
first=$(silent_install "$ours")
if [ "$first" = none ]; then
  printf '%-34s %s\n' "silent install (s)" "unavailable: setup does not finish by itself with /S"
  exit 0
fi
ours_times=("$first")
peer_times=()
for ((run = 0; run < runs; run++)); do
  fresh_prefix
  peer_times+=("$(silent_install "$work/peer-lzma.exe")")
  if [ ${#ours_times[@]} -lt "$runs" ]; then
    fresh_prefix
    ours_times+=("$(silent_install "$ours")")
  fi
done
read -r om ol oh < <(printf '%s\n' "${ours_times[@]}" | summary)
read -r pm pl ph < <(printf '%s\n' "${peer_times[@]}" | summary)
printf '%-34s %12s %12s %7s\n' "silent install, median (s)" "$om" "$pm" "$(ratio "$om" "$pm")"
printf '%-34s %12s %12s\n' "  least .. greatest (s)" "$ol..$oh" "$pl..$ph"
