#!/usr/bin/env bash
# The main job: builds the product, NetQuilloSetup.exe (32-bit Windows), checks what it is,
# and shows what setup does so far on this machine's emulation of Windows.
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

cmake --preset host >/dev/null
cmake --build --preset host -j"$(nproc)" --target show_context
echo
echo "The setup context as a run builds it:"
build/host/tools/show_context/show_context
