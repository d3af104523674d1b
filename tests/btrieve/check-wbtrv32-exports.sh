#!/bin/sh
# Checks, with the mingw binutils, how wbtrv32.dll exports BTRCALL and how a
# program imports it:
#   check-wbtrv32-exports.sh OBJDUMP NM DLL IMPORTLIB PROGRAM
set -e
objdump=$1 nm=$2 dll=$3 importlib=$4 program=$5
fail() { echo "FAIL: $*"; exit 1; }

exports=$("$objdump" -p "$dll")
echo "$exports" | grep -q 'Ordinal Base 1' || fail "export ordinals do not start at 1"
echo "$exports" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -q '\[ *0\] BTRCALL$' \
  || fail "BTRCALL is not exported by name as the first (ordinal 1) entry"
count=$(echo "$exports" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -Ec '^[[:space:]]*\[ *[0-9]+\]')
[ "$count" = 1 ] || fail "wbtrv32.dll exports $count names, BTRCALL only expected"

# stdcall: the function pops its 28 bytes of arguments.
"$objdump" -d "$dll" | sed -n '/<_BTRCALL@28>:/,/^$/p' | grep -q 'ret *\$0x1c' \
  || fail "BTRCALL does not return with ret \$0x1c (stdcall, seven arguments)"

# The import library binds _BTRCALL@28 by ordinal 1 only.
"$nm" "$importlib" | grep -q ' T _BTRCALL@28$' || fail "the import library lacks _BTRCALL@28"
imports=$("$objdump" -p "$program" | sed -n '/DLL Name: wbtrv32.dll/,/^$/p')
[ -n "$imports" ] || fail "$program does not import from wbtrv32.dll"
echo "$imports" | grep -Eq '^[[:space:]]+80000001[[:space:]]+1[[:space:]]+<none>' \
  || fail "$program does not import BTRCALL by ordinal 1"
echo "ok: BTRCALL exported by name and as ordinal 1, stdcall; imported by ordinal 1"
