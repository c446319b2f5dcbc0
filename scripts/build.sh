#!/usr/bin/env bash
# The main job: builds the product, NetQuilloSetup.exe (32-bit Windows), checks what it is,
# and runs the installer under Wine twice: a robot plays the default install of all six modules
# on a virtual display, a picture is taken of every step, and what was installed is printed;
# then a silent install (/S) into a second prefix prints its exit code, its log and the
# programs-list entry. Both run the product under Wine's 32-bit half: here where the kernel runs
# i386 programs, in a small virtual machine elsewhere (scripts/on-wine32.sh). To run the
# installer yourself on your display: bash scripts/run.sh.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)"
exe=build/win32/NetQuilloSetup.exe
echo
echo "Built $exe: $(file -b "$exe")"
file -b "$exe" | grep -q 'PE32 executable (GUI) Intel 80386' || {
  echo "build: $exe is not a 32-bit Windows GUI program for i386" >&2
  exit 1
}
# Setup and the six uninstallers import only known DLLs of the system.
scripts/check-imports.sh "$exe" build/win32/payloads/files/*Uninstall.exe
# Setup and the six uninstallers it carries declare their execution level and systems.
scripts/check-manifest.sh "$exe" build/win32/payloads/files/*Uninstall.exe
bench/image_size.sh "$exe"

# The machine for 32-bit programs boots while the robot is built (nothing to boot natively).
export NQ_VM_CONTROL
NQ_VM_CONTROL=$(mktemp -d /tmp/netquillo-vm.XXXXXX)
trap 'scripts/on-wine32.sh --stop "$NQ_VM_CONTROL"' EXIT
scripts/on-wine32.sh --start "$NQ_VM_CONTROL" &
booting=$!
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$(nproc)" --target NetQuilloSetup nq_robot
wait $booting
played=$exe scenario=product
run=build/install-run
echo
echo "Running the installer under Wine ($played, $(scripts/on-wine32.sh --road)), the default"
echo "install of all six modules played by tests/e2e's robot on a virtual display..."
if ! scripts/on-wine32.sh bash tests/e2e/run_scenario.sh "$scenario" "$played" \
  build/win64/tests/e2e/nq_robot.exe "$run" >"$run.log" 2>&1; then
  cat "$run.log" >&2
  echo "build: the installer did not install as expected (see above)" >&2
  exit 1
fi
echo
echo "What the user saw and did:"
sed 's/^/  /' "$run/steps.txt"
echo
echo "Pictures of every step, in $run/pictures:"
ls "$run/pictures" | sed 's/^/  /'
echo
scripts/install-summary.sh "$run"
echo
echo "The install matches tests/e2e/expected/$scenario."
echo
echo "A silent install of all six into a second prefix, as an administrator's script runs it:"
if ! scripts/on-wine32.sh scripts/silent-install.sh "$played" build/install-silent | sed 's/^/  /'; then
  echo "build: the silent install did not answer 0 (see above)" >&2
  exit 1
fi
echo
echo "To run setup yourself: bash scripts/run.sh"
