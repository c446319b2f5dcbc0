#!/bin/sh
# The patch checker as patch authors run it: a good patch prints the registry and exits with
# 0; a broken one prints FILE:LINE:COLUMN and what was expected, and exits with 1.
# Usage: patchcheck_tool_test.sh PATCHCHECK PATCH_FOLDER
set -u
tool=$1
patches=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAILED: $*"
    echo "--- stdout"; cat "$scratch/out"
    echo "--- stderr"; cat "$scratch/err"
    exit 1
}

"$tool" --module IRC "$patches/irc.txt" >"$scratch/out" 2>"$scratch/err" ||
    fail "the carried IRC patch was refused"
[ "$(head -n 1 "$scratch/out")" = "REGEDIT4" ] || fail "no REGEDIT4 header"
grep -qxF '"VircCommandLine"="-chat \"%1\""' "$scratch/out" || fail "VircCommandLine missing"
grep -qxF '[HKEY_CURRENT_USER\Software\QuilloSoft\NetQuillo\CurrentVersion\IRC\Clients]' \
    "$scratch/out" || fail "IRC\\Clients missing"
[ -s "$scratch/err" ] && fail "stderr not empty"

# Without --module the patch is the Web module's: values before any section go to its key.
printf 'REGPATCH1.0000\r\n"v"=number:7\r\n' >"$scratch/plain.txt"
"$tool" "$scratch/plain.txt" >"$scratch/out" 2>"$scratch/err" || fail "plain patch refused"
grep -qxF '[HKEY_CURRENT_USER\Software\QuilloSoft\NetQuillo\CurrentVersion\Web]' \
    "$scratch/out" || fail "not the Web module's key"

printf 'REGPATCH1.0000\n[Web]\n"a"=binary:1,100\n' >"$scratch/bad.txt"
"$tool" --module Web "$scratch/bad.txt" >"$scratch/out" 2>"$scratch/err"
status=$?
[ $status -eq 1 ] || fail "exit status $status for a broken patch"
[ "$(cat "$scratch/err")" = "$scratch/bad.txt:3:14: expected a hexadecimal byte of at most FF" ] ||
    fail "wrong diagnostic"
[ -s "$scratch/out" ] && fail "stdout not empty for a broken patch"

"$tool" >"$scratch/out" 2>"$scratch/err"
[ $? -eq 2 ] || fail "no usage error without a file"
"$tool" "$scratch/missing.txt" >"$scratch/out" 2>"$scratch/err"
[ $? -eq 2 ] || fail "no error for a missing file"
echo "patchcheck behaves"
