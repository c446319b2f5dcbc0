#!/usr/bin/env bash
# Prints how the product image's bytes divide between its resources (the payloads, dialogs and
# icon it carries) and everything else: the program itself with its runtime and tables.
# Usage: bench/image_size.sh [path to NetQuilloSetup.exe]
set -euo pipefail
image=${1:-build/win32/NetQuilloSetup.exe}
total=$(stat -c %s "$image")
resources=$(( 0x$(i686-w64-mingw32-objdump -h "$image" | awk '$2 == ".rsrc" { print $3 }') ))
# The section's size in the file is its raw size rounded up to the file alignment (512).
resources_in_file=$(( (resources + 511) / 512 * 512 ))
echo "image:              $total bytes"
echo "resources:          $resources_in_file bytes"
echo "outside resources:  $(( total - resources_in_file )) bytes (goal: below the 91,604 of an NSIS stub, the installer people would pick instead)"
i686-w64-mingw32-objdump -h "$image" | awk '/^ +[0-9]+ \./ { print $2, $3 }' |
  while read -r name size; do printf '  %-8s %7d bytes\n' "$name" $((0x$size)); done
