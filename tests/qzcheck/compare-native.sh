#!/bin/sh
# qzcheck.exe under Wine against the native qzcheck: the same findings, the
# same JSON and the same exit status on the sample media and on the broken
# medium, and --plan refused. Run from the source tree's top.
#
#   compare-native.sh NATIVE_QZCHECK QZCHECK_EXE
# Exit status 0 when they agree, 1 otherwise, 77 when the native program
# has not been built (cmake --build --preset test).
native=$1
windows=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ -x "$native" ] || { echo "SKIP: no native qzcheck at $native"; exit 77; }
out=$(mktemp -d)
# One wineserver serves all the runs below: a run that starts while the
# previous run's server is shutting down loses its connection ("wine client
# error: recvmsg").
qz_tools="$root/tools"
. "$qz_tools/wine-arch.sh"
export WINEPREFIX="${QZ_WINEPREFIX:-$PWD/wineprefix}"
wineserver -p
trap 'wineserver -k 2>/dev/null; rm -rf "$out"' EXIT
failed=0
for medium in samples/medium samples/medium-patch samples/medium-update tests/qzcheck/broken-medium; do
  for mode in text json; do
    flag=""
    [ $mode = json ] && flag=--json
    "$native" $flag "$medium" > "$out/native.txt" 2> "$out/native.err"
    native_status=$?
    "$root/tools/wine-run" "$windows" $flag "$medium" > "$out/wine.txt" 2> "$out/wine.err"
    wine_status=$?
    if [ "$native_status" != "$wine_status" ]; then
      echo "$medium ($mode): exit status $native_status natively, $wine_status under Wine"
      cat "$out/wine.err"
      failed=1
    fi
    if ! diff -u "$out/native.txt" "$out/wine.txt"; then
      echo "$medium ($mode): the findings differ (native -, Wine +)"
      failed=1
    fi
    [ $mode = text ] && echo "$medium: $(tail -n 1 "$out/wine.txt") (exit $wine_status on both)"
  done
done
"$root/tools/wine-run" "$windows" --plan samples/medium > "$out/plan.txt" 2> "$out/plan.err"
status=$?
if [ "$status" != 64 ] || ! grep -q -- "--plan runs on the simulated machine of the native qzcheck only" "$out/plan.err"; then
  echo "--plan under Wine: exit status $status, not 64 with its reason:"
  cat "$out/plan.err"
  failed=1
fi
exit $failed
