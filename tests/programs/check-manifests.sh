#!/bin/sh
# The manifest each program carries, checked from its file alone (the
# 32-bit programs on a host that cannot run them): the resource compiler
# stores the manifest's bytes unchanged, so every line of
# platform/win32/programs.manifest stands in the program.
#   check-manifests.sh MANIFEST PROGRAM...
set -e
manifest=$1
shift
status=0
for program in "$@"; do
  missing=$(grep -v '^\s*$' "$manifest" | sed 's/\r$//' | while IFS= read -r line; do
    grep -aqF -- "$line" "$program" || echo "$line"
  done)
  if [ -n "$missing" ]; then
    echo "$program: the manifest lacks:"
    echo "$missing"
    status=1
  else
    echo "$program: manifest ok"
  fi
done
exit $status
