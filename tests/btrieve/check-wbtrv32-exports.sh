#!/bin/sh
# Checks, with the mingw binutils, how wbtrv32.dll exports BTRCALL and how
# programs import it, without running anything:
#   check-wbtrv32-exports.sh OBJDUMP NM DLL IMPORTLIB PROGRAM...
# A 32-bit DLL exports stdcall's decorated _BTRCALL@28 as BTRCALL; a 64-bit
# one has a single calling convention and no decoration.
set -e
objdump=$1 nm=$2 dll=$3 importlib=$4
shift 4
fail() { echo "FAIL: $*"; exit 1; }

exports=$("$objdump" -p "$dll")
case $(echo "$exports" | sed -n 's/^Magic[[:space:]]*//p') in
  010b*) arch=i686 symbol=_BTRCALL@28 thunk=80000001 ;;
  020b*) arch=x86_64 symbol=BTRCALL thunk=8000000000000001 ;;
  *) fail "$dll is no PE32 or PE32+ file" ;;
esac
echo "$exports" | grep -q 'Ordinal Base 1' || fail "export ordinals do not start at 1"
echo "$exports" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -q '\[ *0\] BTRCALL$' \
  || fail "BTRCALL is not exported by name as the first (ordinal 1) entry"
count=$(echo "$exports" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -Ec '^[[:space:]]*\[ *[0-9]+\]')
[ "$count" = 1 ] || fail "wbtrv32.dll exports $count names, BTRCALL only expected"

body=$("$objdump" -d "$dll" | sed -n "/<$symbol>:/,/^\$/p")
[ -n "$body" ] || fail "wbtrv32.dll has no $symbol"
if [ $arch = i686 ]; then
  # stdcall: the function pops its 28 bytes of arguments.
  echo "$body" | grep -q 'ret *\$0x1c' || fail "BTRCALL does not return with ret \$0x1c (stdcall, seven arguments)"
else
  # The one x64 convention: the caller owns the stack, a plain ret.
  echo "$body" | grep -q 'ret *\$' && fail "BTRCALL pops arguments on x64"
  echo "$body" | grep -Eq '[[:space:]]ret[[:space:]]*$' || fail "BTRCALL has no plain ret"
fi

# The import library binds BTRCALL by ordinal 1 only.
"$nm" "$importlib" | grep -q " T $symbol\$" || fail "the import library lacks $symbol"
for program in "$@"; do
  imports=$("$objdump" -p "$program" | sed -n '/DLL Name: wbtrv32.dll/,/^$/p')
  [ -n "$imports" ] || fail "$program does not import from wbtrv32.dll"
  echo "$imports" | grep -Eq "^[[:space:]]+$thunk[[:space:]]+0*1[[:space:]]+<none>" \
    || fail "$program does not import BTRCALL by ordinal 1"
  echo "$imports" | grep -q 'BTRCALL' && fail "$program imports BTRCALL by name"
done
echo "ok ($arch): BTRCALL exported by name and as ordinal 1, $([ $arch = i686 ] && echo stdcall || echo x64 convention); imported by ordinal 1"
