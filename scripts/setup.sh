#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine, as root, with no terminal.
# Safe to run again: it installs only what is missing.
set -euo pipefail
packages=(
  cmake make g++ gcc file            # the host build
  googletest                         # GoogleTest sources, built per toolchain
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix  # the Windows builds
  wine64 xvfb xauth                  # running the Windows tests and the installer
  fonts-wine                         # Wine's own fonts: Marlett draws the caption buttons
  clang libclang-rt-14-dev           # fuzz targets (libFuzzer)
  mscompress                         # the reference SZDD tools the benchmarks compare with
  imagemagick                        # the pictures of the wizard's pages and the installer's steps
  osslsigncode openssl               # signing setup and the uninstallers, and checking it
)
# The product and the uninstallers it installs are 32-bit programs. Where the kernel runs i386
# programs, Wine's 32-bit half (from the i386 side of the archive) runs them here; elsewhere a
# small virtual machine does, booting a Debian root of this suite with the same Wine under full
# emulation (scripts/vm/). scripts/on-wine32.sh runs a program on whichever road this is.
# The probe: a 96-byte i386 program that only exits with 42.
probe=$(mktemp)
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
probe_status=0
"$probe" 2>/dev/null || probe_status=$?
rm -f "$probe"
if [ $probe_status -eq 42 ]; then
  road=native
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_update=1
  fi
  packages+=(wine32:i386)
else
  road=vm
  packages+=(qemu-system-x86 debootstrap e2fsprogs)
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # With its recommendations: Wine needs the X and font libraries it only recommends.
  [ ${#missing[@]} -eq 0 ] || apt-get install -y -qq "${missing[@]}" </dev/null
fi

if [ $road = native ]; then
  echo "setup: this machine's kernel runs i386 programs: the 32-bit product runs under Wine's 32-bit half here"
else
  vm=$(dirname "${BASH_SOURCE[0]}")/vm/vm.sh
  image=$("$vm" path)
  if [ ! -f "$image/.complete" ]; then
    started=$(date +%s)
    echo "setup: making the virtual machine for 32-bit programs (once; a few minutes)..."
    "$vm" image >/dev/null
    echo "setup: made $image in $(($(date +%s) - started)) s, $(du -sh "$image" | cut -f1) on disk"
  fi
  echo "setup: this machine's kernel refuses i386 programs: the 32-bit product runs under Wine in a virtual machine (qemu, $image)"
fi
