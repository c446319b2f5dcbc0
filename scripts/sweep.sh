#!/usr/bin/env bash
# The whole fault sweep: setup's default install on the host emulation (ASan, UBSan) once for
# every call that can fail, with that call failing, for the NT and the 95 family, over a first
# install, over an earlier install, and with failures that persist; the cut-off sweeps, which
# end the process at every call that may change the machine and start setup again; the
# power-cut sweeps, which besides lose what was not flushed; then the summaries. The test
# command runs a sample of the calls of each; this runs every one (on two cores about 40
# minutes for the six fault sweeps, 35 for the four cut-off sweeps and 30 for the four
# power-cut sweeps).
# Usage: scripts/sweep.sh [ctest -R pattern, e.g. nt-persistent]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh

cmake --preset host >/dev/null
cmake --build --preset host -j"$(nproc)" --target fault_sweep
status=0
ctest --test-dir build/host -L '^full-sweep$' -R "host.full-sweep.${1:-}" --output-on-failure \
  -j"$(nproc)" || status=$?
for summary in build/host/tests/sweep/full-sweep-*${1:-}*.txt; do
  [ -f "$summary" ] && { cat "$summary"; echo; }
done
exit $status
