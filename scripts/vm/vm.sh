#!/usr/bin/env bash
# The small virtual machine that runs 32-bit Windows programs where this machine's kernel
# refuses i386 programs (scripts/on-wine32.sh is its one user):
#   vm.sh path            prints the folder of this machine's image, made or not
#   vm.sh image           makes the machine's image once (and again when its recipe or this
#                         machine's Wine changes) and prints its folder
#   vm.sh start CONTROL   boots it, with CONTROL as the folder the two sides talk through
#   vm.sh run CONTROL COMMAND...
#                         runs COMMAND there, in this folder, and answers its output and exit code
#   vm.sh stop CONTROL    shuts it down and removes CONTROL
# The guest sees the project's tree at the same path as here, so paths mean the same files.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
project=$(cd "$here/../.." && pwd)
cache=${NQ_VM_CACHE:-/var/cache/netquillo}

# The image is named by everything that goes into it, the host's Wine version among them.
image_dir() {
  local key
  key=$( (cat "$here/make-image.sh" "$here/packages-"*.txt
    cat /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null
    dpkg-query -W -f='${Version}' wine64) | sha256sum | cut -c1-16)
  echo "$cache/vm-$key"
}

qemu_boot() { # CONTROL IMAGE-DIR [writable]
  local control=$1 dir=$2 snapshot=on
  [ "${3:-}" = writable ] && snapshot=off
  # KVM where it works; TCG otherwise. A CPU model without TSX: with "max", Wine's processes
  # brought an oops in the guest's kernel.
  local accel=(-accel tcg,thread=multi -cpu Haswell-noTSX)
  if [ -w /dev/kvm ] && [ -z "${NQ_VM_NO_KVM:-}" ]; then accel=(-accel kvm -cpu host); fi
  qemu-system-x86_64 "${accel[@]}" -smp 2 -m 3072 -display none -no-reboot \
    -kernel "$dir/vmlinuz" -initrd "$dir/initrd.img" \
    -append "root=LABEL=nqroot rw console=ttyS0 quiet panic=-1 init=/sbin/nq-init" \
    -drive "file=$dir/root.img,format=raw,if=virtio,snapshot=$snapshot" \
    -virtfs "local,path=$control,mount_tag=nqctl,security_model=none" \
    -virtfs "local,path=$project,mount_tag=nqproject,security_model=none" \
    -nic none -serial "file:$control/console.log" -pidfile "$control/qemu.pid" -daemonize \
    2>"$control/qemu.log"
}

wait_ready() { # CONTROL SECONDS
  local control=$1 i
  for ((i = 0; i < $2 * 10; i++)); do
    [ -f "$control/ready" ] && return 0
    # Stopped while it was still booting.
    [ -d "$control" ] || return 1
    if [ -f "$control/qemu.pid" ] && ! kill -0 "$(cat "$control/qemu.pid")" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "vm: the virtual machine did not come up; its console:" >&2
  tail -30 "$control/console.log" >&2 2>/dev/null || true
  return 1
}

start() { # CONTROL [IMAGE-DIR [writable]]
  local control=$1 dir=${2:-$(image_dir)}
  [ -f "$dir/.complete" ] || [ "${3:-}" = writable ] || { echo "vm: no image in $dir" >&2; return 1; }
  mkdir -p "$control/queue"
  cp "$here/guest-agent.sh" "$control/agent.sh"
  echo "$project" >"$control/project"
  date +%s >"$control/clock"
  qemu_boot "$control" "$dir" "${3:-}"
  wait_ready "$control" 180
}

stop() { # CONTROL
  local control=$1 pid= i
  [ -d "$control" ] || return 0
  # A machine that is being started writes its process number within moments.
  for ((i = 0; i < 50; i++)); do
    [ -f "$control/qemu.pid" ] || [ ! -f "$control/project" ] && break
    sleep 0.1
  done
  [ -f "$control/qemu.pid" ] && pid=$(cat "$control/qemu.pid")
  touch "$control/stop"
  for ((i = 0; i < 300; i++)); do
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$control"
}

run() { # CONTROL COMMAND...
  local control=$1 name request
  shift
  # A machine that is still booting (started in the background) is waited for.
  wait_ready "$control" 300
  name=$control/queue/$(date +%s%N)-$$-$RANDOM
  request=$name.part
  {
    echo "cd $(printf %q "$PWD") || exit 125"
    # What the scripts read from their caller's environment goes along; the rest is the guest's.
    local variable
    while IFS= read -r variable; do
      printf 'export %s=%q\n' "$variable" "${!variable}"
    done < <(compgen -e | grep -E '^(NQ_|WINE|CTEST|GTEST_)' | grep -vE '^(NQ_VM|WINEPREFIX$|NQ_WINEPREFIX_)')
    printf 'export NQ_IN_VM=1\n'
    printf 'exec'
    printf ' %q' "$@"
    echo
  } >"$request"
  mv "$request" "$name.req"
  while [ ! -f "$name.rc" ]; do
    if ! kill -0 "$(cat "$control/qemu.pid")" 2>/dev/null; then
      echo "vm: the virtual machine stopped while running $*" >&2
      return 1
    fi
    sleep 0.1
  done
  cat "$name.out"
  cat "$name.err" >&2
  local status
  status=$(cat "$name.rc")
  rm -f "$name".*
  return "$status"
}

# Makes the image, then boots it once writable to make the pristine Wine prefixes inside it, so
# that no later run pays for them.
image() {
  local dir control
  dir=$(image_dir)
  mkdir -p "$cache"
  exec 8>"$cache/.lock"
  flock 8
  if [ ! -f "$dir/.complete" ]; then
    rm -rf --one-file-system "$cache"/vm-*
    "$here/make-image.sh" "$dir.part"
    rm -f "$dir.part/.complete"
    control=$(mktemp -d /tmp/netquillo-vm.XXXXXX)
    trap 'stop "$control"' EXIT
    start "$control" "$dir.part" writable
    run "$control" bash -c 'scripts/wine-prefix.sh /tmp/p >/dev/null &&
      scripts/wine-prefix.sh /tmp/p98 win98 >/dev/null && rm -rf /tmp/p /tmp/p98 &&
      /usr/lib/wine/wine --version' >"$dir.part/wine-version"
    stop "$control"
    trap - EXIT
    local host_version
    host_version=$(/usr/lib/wine/wine64 --version)
    [ "$(cat "$dir.part/wine-version")" = "$host_version" ] || {
      echo "vm: the guest's Wine is $(cat "$dir.part/wine-version"), this machine's $host_version" >&2
      exit 1
    }
    touch "$dir.part/.complete"
    mv "$dir.part" "$dir"
  fi
  flock -u 8
  echo "$dir"
}

command=$1
shift
case $command in
  image) image ;;
  path) image_dir ;;
  start) start "$1" ;;
  stop) stop "$1" ;;
  run) run "$@" ;;
  *) echo "usage: vm.sh image | start CONTROL | run CONTROL COMMAND... | stop CONTROL" >&2; exit 2 ;;
esac
