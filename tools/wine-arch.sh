# Sourced by the Wine scripts: makes `wine`, `wineserver` and `winepath`
# those of the architecture of the programs under test, QZ_WINE_ARCH (i686,
# the default, or x86_64). Debian's own wrappers serve i686; for x86_64 the
# 64-bit loader is called by name (tools/wine64). The caller sets
# qz_tools to the tools folder.
case "${QZ_WINE_ARCH:-i686}" in
  i686) ;;
  x86_64)
    case ":$PATH:" in
      *":$qz_tools/wine64:"*) ;;
      *) PATH="$qz_tools/wine64:$PATH"; export PATH ;;
    esac ;;
  *) echo "QZ_WINE_ARCH must be i686 or x86_64, not $QZ_WINE_ARCH" >&2; exit 64 ;;
esac
export QZ_WINE_ARCH="${QZ_WINE_ARCH:-i686}"
