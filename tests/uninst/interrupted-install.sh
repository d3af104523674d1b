#!/bin/bash
# An installation killed at each registry write of its registration, then
# the uninstaller: every run must end with the application's keys and
# program group gone, and a fresh installation must then succeed. The
# desktop shortcut is saved before "Link" names it: killed at that write,
# the run leaves that one shortcut, which nothing registered; at every other
# write the shortcut is either not made yet or removed.
#
#   interrupted-install.sh QZSETUP QZUNINST MEDIUM WORKDIR
set -u
setup=$1 uninst=$2 medium=$3 work=$4
app="QZ Raktár"
user=${USER:-$(id -un)}
programs="users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
failed=0
fail() { echo "FAIL (killed at write $n): $*"; failed=1; }

# The registration's values: "Home Dir", "Version", "DisplayName",
# "UninstallString", then "Link" while the shortcuts are made.
for n in 1 2 3 4 5; do
  machine=$work/machine-$n
  rm -rf "$machine"
  (cd "$medium" && "$setup" --machine "$machine" --dir 'C:\QZRAKTAR' --kill-at-write "$n" \
      --kill-under 'HKEY_LOCAL_MACHINE\SOFTWARE\Vormex kft' \
      --kill-under 'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall') > "$work/setup-$n.txt" 2>&1
  status=$?
  [ "$status" = 137 ] || fail "the setup ended with $status, not killed (137)"
  (cd "$medium" && "$uninst" --machine "$machine" "$app") > "$work/uninst-$n.txt" 2>&1
  status=$?
  # What the registration lacks (nothing at all, the program group not yet
  # made) makes a step fail, 1; every other status is a fault.
  [ "$status" = 0 ] || [ "$status" = 1 ] || fail "the uninstaller ended with $status"
  registry=$(iconv -f CP1250 -t UTF-8 "$machine/registry.reg")
  grep -qi '^\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft' <<< "$registry" && fail "the maker's key stays"
  grep -qi "Uninstall\\\\$app\]" <<< "$registry" && fail "the uninstall entry stays"
  [ -e "$machine/drive_c/$programs/$app" ] && fail "the program group stays"
  desktop_link=$machine/drive_c/users/$user/Desktop/$app.lnk
  if [ "$n" = 5 ]; then
    [ -e "$desktop_link" ] || fail "the shortcut saved before its registration is gone"
    links=$(find "$machine/drive_c/users/$user/Desktop" -name '*.lnk' | wc -l)
    [ "$links" = 1 ] || fail "$links desktop shortcuts, not the one unregistered"
  else
    [ -e "$desktop_link" ] && fail "the desktop link stays"
  fi
  (cd "$medium" && "$setup" --machine "$machine" --dir 'C:\QZRAKTAR') > "$work/again-$n.txt" 2>&1
  status=$?
  [ "$status" = 0 ] || fail "the fresh installation ended with $status"
done
[ "$failed" = 0 ] && echo "every interrupted registration was removed and installed again"
exit $failed
