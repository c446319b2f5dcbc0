#!/usr/bin/env bash
# Usage: make-image.sh DIR
# Makes, in DIR, the small virtual machine that runs 32-bit Windows programs on a machine whose
# kernel refuses i386 programs: a Debian root of this machine's own suite and archive, with the
# same Wine (its 64-bit and 32-bit halves), a virtual display and ImageMagick, as an ext4 image,
# with Debian's kernel and initrd beside it to boot it. The guest's kernel runs i386 programs
# under full emulation, whatever the host's does. Leaves DIR/.complete last; nothing mounted.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=$1
root=$dir/root
mkdir -p "$dir"
# A run cut off inside the chroot may have left the host's /proc, /sys and /dev bound there:
# never remove through them.
for fs in proc sys dev; do umount -l "$root/$fs" 2>/dev/null || true; done
rm -rf --one-file-system "$root" "$dir/.complete"

# The same suite and archive as the host's, so that both roads run the same Wine.
# shellcheck disable=SC1091
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
mirror=http://deb.debian.org/debian
debootstrap --variant=minbase --arch=amd64 "$suite" "$root" "$mirror" >"$dir/debootstrap.log" 2>&1 ||
  { tail -20 "$dir/debootstrap.log" >&2; exit 1; }

mounted=()
unmount_all() {
  local m
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  mounted=()
}
trap unmount_all EXIT
for fs in proc sys dev; do
  mount --bind "/$fs" "$root/$fs"
  mounted+=("$root/$fs")
done

# The host's own archive (its updates and security suites too), in place of debootstrap's list.
rm -f "$root/etc/apt/sources.list"
cp /etc/apt/sources.list.d/*.sources "$root/etc/apt/sources.list.d/" 2>/dev/null || true
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$root/etc/apt/sources.list"
# The guest's packages: one list, whose hash names the image (scripts/vm/vm.sh).
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@" </dev/null; }
in_root dpkg --add-architecture i386
in_root apt-get update -qq
# Wine needs the X and font libraries it only recommends, as on the host.
# shellcheck disable=SC2046
in_root apt-get install -y -qq $(grep -v '^#' "$here/packages-wine.txt") >"$dir/apt.log" 2>&1 ||
  { tail -20 "$dir/apt.log" >&2; exit 1; }
# shellcheck disable=SC2046
in_root apt-get install -y -qq --no-install-recommends $(grep -v '^#' "$here/packages-base.txt") \
  >>"$dir/apt.log" 2>&1 || { tail -20 "$dir/apt.log" >&2; exit 1; }
in_root apt-get clean
unmount_all

# Debian's Wine libraries carry their debug information; without it the root and every prefix
# made from it are much smaller, and nothing here reads it.
find "$root/usr/lib/x86_64-linux-gnu/wine" "$root/usr/lib/i386-linux-gnu/wine" \
  \( -name '*.dll' -o -name '*.exe' -o -name '*.drv' -o -name '*.sys' -o -name '*.so' \) \
  -type f -size +64k -print0 2>/dev/null | xargs -0 -r -n 64 strip --strip-debug 2>/dev/null || true

# The machine's first process: it mounts the host's control folder and hands over to the agent
# that the host put there (guest-agent.sh), so that the agent can change without a new image.
cat >"$root/sbin/nq-init" <<'INIT'
#!/bin/sh
mount -t proc proc /proc 2>/dev/null
modprobe -a 9p 9pnet_virtio
mkdir -p /nqctl
mount -t 9p -o trans=virtio,version=9p2000.L,msize=1048576,cache=none nqctl /nqctl
exec /bin/bash /nqctl/agent.sh
INIT
chmod 755 "$root/sbin/nq-init"
echo netquillo-vm >"$root/etc/hostname"
cp "$root"/boot/vmlinuz-* "$dir/vmlinuz"
cp "$root"/boot/initrd.img-* "$dir/initrd.img"
rm -rf "$root/boot"/* "$root/usr/share/doc" "$root/usr/share/man" "$root/var/cache/apt"/*.bin

rm -f "$dir/root.img"
mke2fs -q -t ext4 -L nqroot -d "$root" "$dir/root.img" 6G
rm -rf --one-file-system "$root"
touch "$dir/.complete"
