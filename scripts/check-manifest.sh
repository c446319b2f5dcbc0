#!/usr/bin/env bash
# Usage: check-manifest.sh IMAGE...
# Checks that each Windows image carries the suite's application manifest: a resource of type
# 24 (RT_MANIFEST) in its resource directory, asking for administrator rights and naming
# Windows Vista to 11, aware of the system's DPI, and not asking for the version 6 common
# controls, which would change how the pages look; UTF-8 as the code page of its 8-bit calls.
set -euo pipefail
status=0
for image in "$@"; do
  # The type table's entries are the lines indented by three blanks after the offset.
  types=$(objdump -p "$image" | sed -n '/The .rsrc Resource Directory section/,$p' |
    grep -E '^[0-9a-f]{3}   Entry: ID: ' || true)
  problems=()
  grep -q 'ID: 0x000018,' <<<"$types" || problems+=("no RT_MANIFEST resource")
  grep -aq 'level="requireAdministrator" uiAccess="false"' "$image" ||
    problems+=("no requireAdministrator execution level")
  grep -aq 'trustInfo xmlns="urn:schemas-microsoft-com:asm.v2"' "$image" ||
    problems+=("trustInfo not in the asm.v2 namespace")
  for id in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    grep -aq "supportedOS Id=\"{$id}\"" "$image" || problems+=("supportedOS {$id} missing")
  done
  grep -aq '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
    "$image" || problems+=("not aware of the system's DPI")
  grep -aq '<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>' \
    "$image" || problems+=("not UTF-8 as its code page")
  for unwanted in Microsoft.Windows.Common-Controls dpiAwareness; do
    if grep -aq "$unwanted" "$image"; then problems+=("has $unwanted"); fi
  done
  if [ ${#problems[@]} -eq 0 ]; then
    echo "manifest: $(basename "$image") ok"
  else
    echo "manifest: $(basename "$image"): ${problems[*]}" >&2
    status=1
  fi
done
exit $status
