#!/bin/sh
# The packed sample medium signed as a maker signs it (tools/sign-file, a
# throw-away certificate) and checked by tools/verify-signatures: intact it
# passes; a byte flipped in the stub's code, in the payload or in the
# recorded hash, or data appended after the signature, fails it. The PE
# checksum is outside the signature (Windows ignores it for programs): a
# flipped checksum byte still passes.
#
#   signatures.sh NATIVE_QZPACK BIN_DIR OBJDUMP
# Exit status 0 when all hold, 1 otherwise, 77 when a tool is missing.
qzpack=$1 bin=$2 objdump=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ -x "$qzpack" ] || { echo "SKIP: no native qzpack at $qzpack"; exit 77; }
for tool in openssl osslsigncode; do
  command -v $tool > /dev/null || { echo "SKIP: no $tool"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=QZSetup test (throw-away)" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
"$qzpack" "$root/samples/medium" -o "$out/signed.exe" --programs "$bin" > "$out/pack.txt" || exit 1
sh "$root/tools/sign-file" osslsigncode "$out/cert.pem" "$out/key.pem" "$out/signed.exe" || exit 1

# Offsets: the record (its section), the payload (qzpack's report),
# the middle of the stub's code and the PE checksum.
record=$(( $("$objdump" -h "$out/signed.exe" | awk '$2 == ".qzpack" { print "0x" $6 }') ))
payload=$(sed -n 's/.* bytes at \([0-9]*\),.*/\1/p' "$out/pack.txt")
set -- $("$objdump" -h "$out/signed.exe" | awk '$2 == ".text" { print $3, $6 }')
code=$((0x$2 + 0x$1 / 2))
pe=$(od -An -tu4 -j60 -N4 "$out/signed.exe" | tr -d ' ')
checksum=$((pe + 24 + 64))

flip() {  # FILE OFFSET: the byte's low bit inverted
  byte=$(od -An -tu1 -j"$2" -N1 "$1" | tr -d ' ')
  printf "$(printf '\\%03o' $((byte ^ 1)))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
status=0
expect() {  # PASS|FAIL CASE FILE
  if "$root/tools/verify-signatures" "$out/cert.pem" "$3" > "$out/verify.txt" 2>&1; then got=PASS; else got=FAIL; fi
  if [ "$got" = "$1" ]; then
    echo "$2: the signature check says $got, as it must"
  else
    echo "$2: the signature check says $got, not $1:"
    cat "$out/verify.txt"
    status=1
  fi
}
case_file() {  # CASE OFFSET: a copy of the signed file with that byte flipped
  cp "$out/signed.exe" "$out/$1.exe"
  flip "$out/$1.exe" "$2"
  echo "$out/$1.exe"
}
[ -n "$record" ] && [ -n "$payload" ] && [ -n "$code" ] || { echo "offsets not found"; exit 1; }
expect PASS "intact" "$out/signed.exe"
expect FAIL "a byte of the stub's code" "$(case_file code "$code")"
expect FAIL "a byte of the payload" "$(case_file payload $((payload + 5000)))"
expect FAIL "a byte of the recorded hash" "$(case_file hash $((record + 40)))"
expect PASS "a byte of the PE checksum" "$(case_file checksum "$checksum")"
cp "$out/signed.exe" "$out/appended.exe"
printf 'appended' >> "$out/appended.exe"
expect FAIL "data appended after the signature" "$out/appended.exe"
exit $status
