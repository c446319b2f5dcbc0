#!/usr/bin/env bash
# Usage: check-imports.sh IMAGE...
# Setup and the uninstallers run as administrator, started from wherever the user keeps them (a
# Downloads folder, say). A library in an import table that is not one of the system's known
# DLLs is looked for first in the program's own folder, so whatever file of that name someone
# left there would run with those rights. Each image may import only the libraries below; any
# other name (lz32, comctl32, version...) fails the check. The program loads lz32 and comctl32
# itself, by full path from the System folder (driver/system_libraries.h).
set -euo pipefail
allowed=" ADVAPI32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL SHELL32.DLL USER32.DLL "
status=0
for image in "$@"; do
  # Read whole before grep, so that pipefail sees no broken pipe.
  listing=$(objdump -p "$image")
  names=$(grep -E '^[[:space:]]*DLL Name: ' <<<"$listing" | awk '{ print toupper($3) }' || true)
  if [ -z "$names" ]; then
    echo "check-imports: $image: no import table found" >&2
    status=1
    continue
  fi
  # Terminal-Server aware: on a terminal server the Windows folder must be the machine's.
  if ! grep -q 'TERMINAL_SERVICE_AWARE' <<<"$listing"; then
    echo "check-imports: $image is not marked Terminal-Server aware" >&2
    status=1
  fi
  for name in $names; do
    if [[ "$allowed" != *" $name "* ]]; then
      echo "check-imports: $image imports $name, which is not a known DLL of the system" >&2
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "Imports: only known DLLs in $# images"
exit $status
