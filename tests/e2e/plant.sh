# For a scenario's prepare: an application that the setup program registered
# earlier, as far as the programs see it, planted without running them.
#
#   plant_app NAME VERSION HOME
#
# The application's key with "Home Dir" (HOME, a Windows path) and
# "Version", the uninstall entry with "DisplayName" and "UninstallString",
# the uninstaller in the Windows directory and the program group folder. The
# home directory itself is the scenario's to make (home_dir gives its host
# path).
plant_app() {
  local app=$1 version=$2 home=$3
  reg_import <<REG
[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\$app]
"Home Dir"="${home//\\/\\\\}"
"Version"="$version"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$app]
"DisplayName"="$app"
"UninstallString"="C:\\\\windows\\\\qzuninst.exe \\"$app\\""
REG
  mkdir -p "$DRIVE_C/windows" "$DRIVE_C/users/$USER_NAME/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$app"
  cp "$UNINSTALLER" "$DRIVE_C/windows/qzuninst.exe"
}

# The host path of a Windows path on drive C:.
home_dir() { echo "$DRIVE_C/$(echo "${1#[Cc]:\\}" | tr '\\' /)"; }
