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
# The product and the uninstallers it installs are 32-bit programs; the end-to-end scenarios that
# run them under Wine need its 32-bit half, from the i386 side of the archive.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
packages+=(wine32:i386)
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
