#!/usr/bin/env bash
# The fault sweep alone: setup's default install on the host emulation (ASan, UBSan) once for
# every call that can fail, with that call failing, for the NT and the 95 family, over a first
# install, and with failures that persist; then the summaries. The test command runs the same
# sweeps among the other tests; this is the quick way to look at the failure surface.
# Usage: scripts/sweep.sh [ctest -R pattern, e.g. nt-persistent]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh

cmake --preset host >/dev/null
cmake --build --preset host -j"$(nproc)" --target fault_sweep
status=0
ctest --preset host -L sweep -R "host.sweep.${1:-}" --output-on-failure || status=$?
for summary in build/host/tests/sweep/sweep-*${1:-}*.txt; do
  [ -f "$summary" ] && { cat "$summary"; echo; }
done
exit $status
