# Sourced by run-scenario: runs of a medium packed into one file (qzpack).
# A run is packed when its folder or the scenario's holds a file "packed":
# under Wine the run's medium (this side's copy, with the real uninstaller)
# is packed by the native qzpack with the Windows programs, and that file
# is started from a download folder in place of QZSetup.exe in the medium.
# The Btrieve engine is not packed: the prefix gets it in its system
# folder, as an engine's installation puts it. After the run no extraction
# folder may stay. The native side runs the folder medium as ever, so the
# comparison shows that packing changes nothing.
#
# Environment: QZ_QZPACK (the native qzpack; default: beside QZ_NATIVE).

packed_run() { [ -f "$1/packed" ] || [ -f "$scenario/packed" ]; }

any_packed_run() {
  local run
  for run in "${runs[@]}"; do packed_run "$run" && return 0; done
  return 1
}

# Before the first run: the engine in the system folder of the programs'
# architecture (a 32-bit program in a 64-bit prefix finds it in syswow64),
# and each packed run's medium packed.
packed_prepare() {
  any_packed_run || return 0
  local system=$DRIVE_C/windows/system32 run medium file qzpack=${QZ_QZPACK:-$(dirname "${QZ_NATIVE:-.}")/qzpack}
  [ "$QZ_WINE_ARCH" = i686 ] && [ -d "$DRIVE_C/windows/syswow64" ] && system=$DRIVE_C/windows/syswow64
  cp "$QZ_WINDOWS_BIN/wbtrv32.dll" "$system/"
  mkdir -p "$out/wine/download"
  for run in "${runs[@]}"; do
    packed_run "$run" || continue
    file=$(packed_file "$run")
    [ -f "$file" ] && continue
    medium=$(medium_of "$run")
    "$qzpack" "$MEDIA/$medium" -o "$file" --programs "$QZ_WINDOWS_BIN" > "$out/wine/pack-$medium.txt" 2>&1 ||
      { note "qzpack could not pack $medium: $(cat "$out/wine/pack-$medium.txt")"; failed=1; }
  done
}

# The packed file of a run's medium, in the download folder.
packed_file() { echo "$out/wine/download/$(medium_of "$1")-setup.exe"; }

# After a packed run: the stub removed its extraction folder.
packed_folder_gone() {
  local left
  left=$(find "$DRIVE_C/users" "$DRIVE_C/windows/temp" -maxdepth 5 -type d -name 'qzsetup-*' 2>/dev/null)
  [ -z "$left" ] || { note "run $index: the extraction folder stayed: $left"; failed=1; }
}
