#!/bin/bash
# The virtual machine's agent, which its first process hands over to once the host's control
# folder is mounted at /nqctl (scripts/vm/vm.sh puts this script there at each start, so that it
# can change without a new image). It mounts what Wine needs and the project's tree, at the same
# path as on the host so that every path a script passes means the same file on both sides, then
# serves the host's requests until it asks the machine to stop. A request is a script, NAME.req
# in the queue; its output goes to NAME.out and NAME.err and its exit code, last, to NAME.rc.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
mountpoint -q /dev/pts || mount -t devpts devpts /dev/pts
mount -t tmpfs -o mode=1777 shm /dev/shm
chmod 1777 /tmp
hostname netquillo-vm
ip link set lo up 2>/dev/null || true
project=$(cat /nqctl/project)
mkdir -p "$project"
# Through the page cache ("loose"): with "mmap" a program that Wine mapped from the share read
# zeros in place of its code and died at its first instruction. The host may rebuild a file
# between two requests, so each request starts with the guest's caches dropped.
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose nqproject "$project"
[ -f /nqctl/clock ] && date -s "@$(cat /nqctl/clock)" >/dev/null
echo "ready $(date +%s)" >/nqctl/ready

queue=/nqctl/queue
while [ ! -e /nqctl/stop ]; do
  for request in "$queue"/*.req; do
    [ -e "$request" ] || continue
    name=${request%.req}
    mv "$request" "$name.run" || continue
    echo 3 >/proc/sys/vm/drop_caches
    (
      status=0
      bash "$name.run" >"$name.out" 2>"$name.err" </dev/null || status=$?
      echo "$status" >"$name.rc.part"
      mv "$name.rc.part" "$name.rc"
    ) &
  done
  sleep 0.2
done
wait
sync
umount "$project" 2>/dev/null
mount -o remount,ro / 2>/dev/null
echo o >/proc/sysrq-trigger
sleep 10
