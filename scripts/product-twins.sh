#!/usr/bin/env bash
# The 32-bit product's forms of the end-to-end scenarios whose 64-bit twins the test command
# plays (wine.e2e.*-product: a held file at a reinstall, two setups at once, a run killed and
# repaired, names outside the code page) and the start gate with the product, under Wine's
# 32-bit half: here, or in the small virtual machine where this machine's kernel refuses i386
# programs (scripts/on-wine32.sh). About 12 minutes in the machine on two cores.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh

export NQ_VM_CONTROL
NQ_VM_CONTROL=$(mktemp -d /tmp/netquillo-vm.XXXXXX)
trap 'scripts/on-wine32.sh --stop "$NQ_VM_CONTROL"' EXIT
# The machine boots while the builds run.
scripts/on-wine32.sh --start "$NQ_VM_CONTROL" &

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$(nproc)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)"
wait
xvfb-run -a ctest --test-dir build/win64 --output-on-failure -L '^product-twins$' \
  --repeat until-pass:2
