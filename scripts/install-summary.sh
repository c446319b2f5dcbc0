#!/usr/bin/env bash
# Usage: install-summary.sh DIR
# Prints what an install left on the machine, from the robot's files.txt and registry.reg in
# DIR: folders and files, desktop links, registry keys with their values, uninstall entries.
# The modules' own settings (their registry patches) are long: their keys are listed with the
# number of values each holds.
set -euo pipefail
dir=$1

echo "Folders and files:"
files=$({ grep -v ' -> ' "$dir/files.txt" || true; } | sed -n '/^<Windows>\\wininit.ini:$/q;p')
echo "${files:-none}" | sed 's/^/  /'
echo
echo "Desktop links:"
links=$(grep ' -> ' "$dir/files.txt" || true)
echo "${links:-none}" | sed 's/^/  /'
if grep -q '^<Windows>\\wininit.ini:$' "$dir/files.txt"; then
  echo
  echo "wininit.ini:"
  sed -n '/^<Windows>\\wininit.ini:$/,$p' "$dir/files.txt" | tail -n +2 | sed 's/^/  /'
fi
echo
echo "Registry keys and values:"
keys=$(awk '
  function flush() { if (section != "" && counted && count > 0) printf "    (%d values)\n", count }
  /^\[/ {
    flush()
    section = $0; count = 0
    # Below a module key lie the settings of its registry patch.
    counted = section ~ /CurrentVersion\\(Web|Email|Phone|File|IRC)(\\.*)?\]$/
    print "  " section
    next
  }
  /^  / { next }                     # continued hexadecimal data
  /^$/ || /^REGEDIT4$/ { next }
  {
    if (counted && $0 !~ /^"Distributor"=/) { ++count; next }
    line = $0
    if (length(line) > 96) line = substr(line, 1, 93) "..."
    print "    " line
  }
  END { flush() }
' "$dir/registry.reg")
echo "${keys:-  none}"
echo
echo "Uninstall entries:"
entries=$(awk '/^\[.*\\Uninstall\\/ { name = $0; sub(/.*\\/, "", name); sub(/\]$/, "", name) }
     /^"UninstallString"=/ && name != "" { print "  " name ": " substr($0, 19); name = "" }' \
  "$dir/registry.reg")
echo "${entries:-  none}"
