#!/bin/sh
# The stub checked from its files alone (also where its architecture cannot
# run): it imports only DLLs that Windows loads from the system folder
# (KnownDLLs) and that import no DLL a download's folder could stand in for
# (Wine's user32.dll imports version.dll), it carries the programs' manifest, and the sample medium
# packed with it and with the QZSetup.exe of the same build passes the
# checks the stub makes (native qzpack --verify).
#
#   check-stub.sh OBJDUMP BIN_DIR MANIFEST NATIVE_QZPACK
# Exit status 0 when all hold, 1 otherwise, 77 without the native qzpack.
objdump=$1 bin=$2 manifest=$3 qzpack=$4
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
status=0
imports=$("$objdump" -p "$bin/qzstub.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort)
for dll in $imports; do
  case $dll in
    kernel32.dll|advapi32.dll|msvcrt.dll) ;;
    *) echo "qzstub.exe imports $dll: it and what it imports would be loaded before the stub limits the search"; status=1 ;;
  esac
done
echo "qzstub.exe imports:" $imports
sh "$root/tests/programs/check-manifests.sh" "$manifest" "$bin/qzstub.exe" || status=1
[ -x "$qzpack" ] || { echo "SKIP the packed sample: no native qzpack at $qzpack"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$qzpack" "$root/samples/medium" -o "$out/medium.exe" --programs "$bin" > /dev/null || status=1
"$qzpack" --verify "$out/medium.exe" || status=1
exit $status
