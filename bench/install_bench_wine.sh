#!/usr/bin/env bash
# The install-phase benchmark of the win64 build under Wine, in a throwaway prefix on a virtual
# display. Wine draws window frames itself there ("Managed" off): with no window manager to
# answer it, Wine's X11 driver would otherwise wait two seconds each time a window is hidden.
# Usage: bench/install_bench_wine.sh [runs] [no-links]   (after building install_bench in win64)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
WINEPREFIX=$(mktemp -d /tmp/netquillo-bench.XXXXXX)
rmdir "$WINEPREFIX"
export WINEPREFIX
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
scripts/wine-prefix.sh "$WINEPREFIX" >/dev/null
printf '\n[Software\\\\Wine\\\\X11 Driver] 0\n"Managed"="N"\n' >>"$WINEPREFIX/user.reg"
xvfb-run -a scripts/wine-run.sh build/win64/bench/install_bench.exe "$@"
