#!/usr/bin/env bash
# Usage: on-wine32.sh COMMAND...
# Runs COMMAND where Wine's 32-bit half runs, in this folder, with its output and exit code:
# here, when this machine's kernel runs i386 programs; otherwise inside the small virtual
# machine that scripts/setup.sh made (scripts/vm/), which sees the project's tree at the same
# path. Whatever COMMAND is (a scenario, the 32-bit suite, a silent install), it cannot tell
# which road it took. Inside a caller's NQ_VM_CONTROL (a machine started by
# `on-wine32.sh --start`) the request goes to that machine; without one, a machine is booted
# for this command alone and stopped after it.
#   on-wine32.sh --road          prints "native" or "virtual machine"
#   on-wine32.sh --start DIR     boots the machine with DIR as its control folder (none natively)
#   on-wine32.sh --stop DIR      stops it
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# A kernel that refuses i386 programs answers "Exec format error" to Wine's 32-bit loader.
native() { [ -n "${NQ_IN_VM:-}" ] || /usr/lib/wine/wine --version >/dev/null 2>&1; }

case ${1:-} in
  --road)
    if native; then echo native; else echo "virtual machine"; fi
    exit 0 ;;
  --start)
    native || "$here/vm/vm.sh" start "$2"
    exit 0 ;;
  --stop)
    "$here/vm/vm.sh" stop "$2"
    exit 0 ;;
esac

if native; then exec "$@"; fi
if [ -n "${NQ_VM_CONTROL:-}" ] && [ -d "$NQ_VM_CONTROL/queue" ]; then
  exec "$here/vm/vm.sh" run "$NQ_VM_CONTROL" "$@"
fi
control=$(mktemp -d /tmp/netquillo-vm.XXXXXX)
trap '"$here/vm/vm.sh" stop "$control"' EXIT
"$here/vm/vm.sh" start "$control"
status=0
"$here/vm/vm.sh" run "$control" "$@" || status=$?
exit $status
