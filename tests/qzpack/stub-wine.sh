#!/bin/bash
# The stub under Wine, with a stand-in setup program (fake_setup.exe, packed
# as QZSetup.exe) that reports what it was given:
#   - its arguments passed on, its status returned (finished, failed, left),
#     its working directory the extraction folder, with the medium's files
#     and an access list, read back, whose every entry is for the user, the
#     administrators or the system; the folder gone after each run;
#   - a damaged file (cut at five points after the stub's image, a byte
#     flipped in the payload, the recorded length or hash, data appended
#     after the signature) and names that leave the folder or name a device
#     (written by qzpack_craft) refused with status 10: the setup program
#     never runs, no folder stays, nothing is written outside;
#   - the damaged file's message box, its Hungarian text as shown;
#   - a bcrypt.dll, version.dll or cabinet.dll planted beside the file, which
#     an ordinary LoadLibrary there does load, is not loaded by the stub,
#     silent or showing its box;
#   - qzpack.exe, with the programs of its own folder, writes the same file
#     as the native qzpack.
# Wine keeps a folder's access list as Unix permissions and gives back the
# entries they can hold (not the "protected" flag, nor the administrators'
# entry): the check is that no one else has one.
#
#   stub-wine.sh NATIVE_QZPACK QZPACK_CRAFT BIN_DIR HELPERS_DIR OBJDUMP
# Environment: QZ_WINEPREFIX (an initialised prefix), QZ_WINE_ARCH. Exit
# status 0 when all hold, 1 otherwise, 77 when something needed is missing.
set -u
qzpack=$1 craft=$2 bin=$3 helpers=$4 objdump=$5
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
skip() { echo "SKIP: $*"; exit 77; }
[ -x "$qzpack" ] || skip "no native qzpack at $qzpack"
[ -x "$craft" ] || skip "no qzpack_craft at $craft"
for tool in openssl osslsigncode; do command -v $tool > /dev/null || skip "no $tool"; done
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
qz_tools=$root/tools
. "$qz_tools/wine-arch.sh"
export WINEPREFIX=${QZ_WINEPREFIX:?} WINEDEBUG=-all LC_ALL=hu_HU.UTF-8
base_overrides="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDLLOVERRIDES=$base_overrides
out=$(mktemp -d)
wineserver -p
trap 'wineserver -k 2>/dev/null; rm -rf "$out"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# The prefix's temporary folder, where the stub extracts.
temp=$(winepath -u "$(wine cmd /c echo %TEMP% | tr -d '\r')")
[ -d "$temp" ] || skip "no temporary folder at $temp"
leftovers() { find "$temp" -maxdepth 1 -name 'qzsetup-*' | wc -l; }

mkdir -p "$out/programs"
cp "$bin/qzstub.exe" "$out/programs/"
cp "$helpers/fake_setup.exe" "$out/programs/QZSetup.exe"
"$qzpack" "$root/samples/medium" -o "$out/good.exe" --programs "$out/programs" > "$out/pack.txt" || exit 1
export QZ_FAKE_REPORT
QZ_FAKE_REPORT=$(winepath -w "$out/report.txt")
report() { sed -n "s/^$1: //p" "$out/report.txt" | tr -d '\r'; }

# run FILE ARGS...: the stub, from the file's folder; sets $status.
run() {
  rm -f "$out/report.txt"
  local file=$1
  shift
  (cd "$(dirname "$file")" && timeout 120 wine "$file" "$@") > /dev/null 2>&1
  status=$?
}

# --- a good file: arguments in, status out, the folder and its access list
before=$(leftovers)
for exit in 0 1 3; do
  run "$out/good.exe" /S /NOOVERWRITE "/EXIT=$exit" '/D=C:\QZTEST'
  [ "$status" = "$exit" ] || fail "the setup program's status $exit came back as $status"
  [ "$(report arguments)" = "/S /NOOVERWRITE /EXIT=$exit /D=C:\\QZTEST" ] ||
    fail "the arguments came as: $(report arguments)"
  folder=$(report directory)
  [[ "$folder" =~ \\qzsetup-[0-9a-f]{16}$ ]] || fail "the working directory was $folder"
  [ -e "$(winepath -u "$folder")" ] && fail "the extraction folder $folder stayed after status $exit"
done
[ "$(leftovers)" = "$before" ] || fail "extraction folders stayed in $temp"
[ "$(report file | wc -l)" = 20 ] || fail "the folder held $(report file | wc -l) entries, not the medium's 19 and QZSetup.exe"
grep -qx 'file: ADATOK.DAT\\CIKK.DAT' "$out/report.txt" || fail "ADATOK.DAT\\CIKK.DAT was not extracted"
# "D:P(A;OICI;FA;;;SY)...": allowing entries alone, each for the user (full
# access), the administrators or the system.
user=$(report user)
entries=$(report access | sed 's/^D:[A-Z]*//; s/^(//; s/)$//; s/)(/\n/g')
[ -n "$entries" ] || fail "the folder's access list is empty: $(report access)"
while IFS=';' read -r type flags rights _ _ sid; do
  case "$type;$sid" in
    "A;SY"|"A;BA") ;;
    "A;$user") [ "$rights" = FA ] || fail "the user's entry gives $rights, not full access" ;;
    *) fail "the folder's access list has an entry for $sid ($type;$flags;$rights)" ;;
  esac
done <<< "$entries"
echo "a good file: statuses 0, 1, 3 and the arguments passed on; folder $(report access); removed each time"

# --- damaged files: refused before the setup program runs
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=QZSetup test (throw-away)" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
cp "$out/good.exe" "$out/signed.exe"
sh "$root/tools/sign-file" osslsigncode "$out/cert.pem" "$out/key.pem" "$out/signed.exe" || exit 1
record=$(( $("$objdump" -h "$out/good.exe" | awk '$2 == ".qzpack" { print "0x" $6 }') ))
payload=$(sed -n 's/.* bytes at \([0-9]*\),.*/\1/p' "$out/pack.txt")
size=$(stat -c %s "$out/good.exe")
flip() {
  local byte
  byte=$(od -An -tu1 -j"$2" -N1 "$1" | tr -d ' ')
  printf "$(printf '\\%03o' $((byte ^ 1)))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
damaged() {  # NAME FROM HOW AT: a copy of FROM (good|signed) cut at AT, with AT flipped, or appended to
  cp "$out/$2.exe" "$out/$1.exe"
  case $3 in
    cut) truncate -s "$4" "$out/$1.exe" ;;
    flip) flip "$out/$1.exe" "$4" ;;
    append) printf 'appended' >> "$out/$1.exe" ;;
  esac
}
# A file cut inside the stub's image does not start at all; the stub sees
# the cuts that leave its image whole.
damaged cut-payload good cut "$payload"
damaged cut-index good cut $((payload + 30))
damaged cut-data good cut $((payload + 5000))
damaged cut-certificate signed cut "$size"
damaged cut-end signed cut $(($(stat -c %s "$out/signed.exe") - 1))
damaged payload signed flip $((payload + 5000))
damaged length good flip $((record + 24))
damaged hash signed flip $((record + 40))
damaged appended signed append
before=$(leftovers)
for name in cut-payload cut-index cut-data cut-certificate cut-end payload length hash appended; do
  run "$out/$name.exe" /S /EXIT=0
  [ "$status" = 10 ] || fail "damaged ($name): status $status, not 10"
  [ -f "$out/report.txt" ] && fail "damaged ($name): the setup program ran"
done
[ "$(leftovers)" = "$before" ] || fail "a damaged file left an extraction folder"
echo "damaged files ($size bytes intact): 9 refused with status 10, the setup program never started"

# --- crafted names: refused, nothing written anywhere
n=0
for name in 'C:\evil-absolute.txt' '\evil-root.txt' '..\evil-parent.txt' 'NYOMTAT\..\..\evil-climb.txt' 'NUL' 'CON.txt' 'COM1'; do
  n=$((n + 1))
  "$craft" "$out/programs/qzstub.exe" "$out/programs/QZSetup.exe" "$out/crafted-$n.exe" "$name" || exit 1
  run "$out/crafted-$n.exe" /S
  [ "$status" = 10 ] || fail "the crafted name $name: status $status, not 10"
  [ -f "$out/report.txt" ] && fail "the crafted name $name: the setup program ran"
done
stray=$(find "$WINEPREFIX/drive_c" "$out" -iname 'evil-*' 2>/dev/null)
[ -z "$stray" ] || fail "a crafted file was written: $stray"
[ "$(leftovers)" = "$before" ] || fail "a crafted file left an extraction folder"
echo "crafted names: $n refused with status 10, nothing written"

# --- the box a person sees for a damaged file, with a version.dll planted
# beside it (the box needs user32.dll, which imports version.dll)
mkdir -p "$out/box"
cp "$out/hash.exe" "$out/box/QZRaktar-2.1.exe"
cp "$helpers/planted.dll" "$out/box/version.dll"
(cd "$out/box" && WINEDLLOVERRIDES="$base_overrides;version=n,b" timeout 120 wine "$out/box/QZRaktar-2.1.exe") \
  > /dev/null 2>&1 &
stub=$!
printf 'waitbox QZRaktar-2.1\nanswer ok\n' > "$out/box.txt"
wine "$bin/uidriver.exe" "$(winepath -w "$out/box.txt")" > "$out/box-out.txt" 2>&1
wait $stub
status=$?
shown=$(grep '^Message box' "$out/box-out.txt" | tr -d '\r')
expected='Message box "QZRaktar-2.1": A telepítőfájl sérült vagy hiányos, ezért a telepítés nem indítható el.\n\nKérjük, töltse le újra a fájlt!'
[ "$shown" = "$expected" ] || fail "the box showed: $shown"
[ "$status" = 10 ] || fail "after the box the status was $status, not 10"
[ -f "$out/box/version.dll.loaded" ] && fail "the stub showing its box loaded the version.dll planted beside it"
echo "the damaged file's box: $shown"

# --- DLLs planted beside the download
for dll in bcrypt version cabinet; do
  dir=$out/downloads-$dll
  mkdir -p "$dir"
  cp "$out/good.exe" "$helpers/planted_loader.exe" "$dir/"
  cp "$helpers/planted.dll" "$dir/$dll.dll"
  (cd "$dir" && WINEDLLOVERRIDES="$base_overrides;$dll=n,b" wine "$dir/planted_loader.exe" "$dll.dll") > /dev/null 2>&1
  if [ ! -f "$dir/$dll.dll.loaded" ]; then
    fail "$dll.dll: even an ordinary LoadLibrary did not load the planted DLL; the test would prove nothing"
    continue
  fi
  rm "$dir/$dll.dll.loaded"
  (cd "$dir" && WINEDLLOVERRIDES="$base_overrides;$dll=n,b" timeout 120 wine "$dir/good.exe" /S) > /dev/null 2>&1
  status=$?
  [ -f "$dir/$dll.dll.loaded" ] && fail "the stub loaded the $dll.dll planted beside it"
  [ "$status" = 0 ] || fail "with $dll.dll planted the stub ended with $status"
done
echo "planted bcrypt.dll, version.dll, cabinet.dll: loaded by LoadLibrary beside them, not by the stub"

# --- qzpack.exe, without --programs, takes its own folder's programs and
# writes the file the native qzpack writes with them
"$qzpack" "$root/samples/medium" -o "$out/native.exe" --programs "$bin" > /dev/null || exit 1
wine "$bin/qzpack.exe" "$(winepath -w "$root/samples/medium")" -o "$(winepath -w "$out/wine.exe")" \
  > "$out/wine-pack.txt" 2>&1 || fail "qzpack.exe failed: $(cat "$out/wine-pack.txt")"
cmp -s "$out/native.exe" "$out/wine.exe" || fail "qzpack.exe and qzpack wrote different files"
echo "qzpack.exe and qzpack: the same $(stat -c %s "$out/native.exe") bytes"
exit $failed
