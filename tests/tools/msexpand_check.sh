#!/usr/bin/env bash
# Our szdd tool against Debian's msexpand and mscompress, on the codec tests' inputs:
#   msexpand_check.sh SZDD MSEXPAND MSCOMPRESS MAKE_DATA WORKDIR
# msexpand must give back every input from our containers, and our tool must expand what
# mscompress writes. Files of a failing case stay in WORKDIR.
set -uo pipefail
szdd=$1 msexpand=$2 mscompress=$3 make_data=$4 work=$5
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for kind in Incompressible Repetitive BlankLed Text WindowRepeat; do
  for size in 0 1 1023 1024 1025 4096 8192 12288 65536; do
    name=$kind-$size
    "$make_data" "$kind" "$size" "$name" || { fail "$name: no input"; continue; }

    "$szdd" -c "$name" "$name.ours" || { fail "$name: szdd -c"; continue; }
    "$msexpand" <"$name.ours" >"$name.msexpand" 2>"$name.msexpand.err" ||
      fail "$name: msexpand refused our container: $(cat "$name.msexpand.err")"
    cmp -s "$name" "$name.msexpand" || fail "$name: msexpand gave other bytes"

    # mscompress mangles inputs shorter than 16 bytes (what it writes does not give them back
    # through msexpand either), so those sizes are left out of this direction.
    if [ "$size" -ge 16 ]; then
      cp "$name" "$name.mscompress" && "$mscompress" "$name.mscompress" ||
        { fail "$name: mscompress"; continue; }
      "$szdd" -d "$name.mscompress_" "$name.fromms" || fail "$name: szdd -d refused mscompress output"
      cmp -s "$name" "$name.fromms" || fail "$name: szdd -d gave other bytes than mscompress took"
    fi
  done
done

# Malformed input: one line on stderr, status 1, no output left behind.
printf 'SZDD\x88\xf0\x27\x33A\x00\x10\x00\x00\x00\xff' >truncated.sz
"$szdd" -d truncated.sz truncated.out 2>truncated.err
status=$?
[ $status -eq 1 ] || fail "truncated container: status $status, not 1"
[ "$(wc -l <truncated.err)" -eq 1 ] || fail "truncated container: not one line: $(cat truncated.err)"
[ ! -e truncated.out ] || fail "truncated container: output left behind"
"$szdd" -x 2>/dev/null
status=$?
[ $status -eq 2 ] || fail "usage error: status $status, not 2"

if [ $failures -eq 0 ]; then
  echo "msexpand and mscompress agree with szdd on every input"
  rm -rf "$work"
fi
[ $failures -eq 0 ]
