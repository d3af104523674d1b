# Sourced by the Wine scripts: the system's ANSI code page the Windows
# programs run under, QZ_CODE_PAGE:
#
#   1250   a Hungarian Windows (the default): LC_ALL=hu_HU.UTF-8
#   1252   an English or West European Windows: LC_ALL=C.UTF-8
#   65001  a Hungarian Windows with "Use Unicode UTF-8 for worldwide language
#          support": LC_ALL=hu_HU.UTF-8, and the programs under test are the
#          copies in bin/acp-utf8, whose manifest asks for code page UTF-8
#          (Wine takes 65001 from a program's manifest alone, never from the
#          locale or the registry)
#
# Wine takes the ANSI code page from the locale, and names files on the host
# in the locale's character set, so every locale here is a UTF-8 one. Sets
# qz_wine_locale, the LC_ALL to run Wine with, and exports QZ_CODE_PAGE;
# qz_code_page_locale_ready tells whether glibc has that locale (without it
# Wine misnames accented files).
export QZ_CODE_PAGE="${QZ_CODE_PAGE:-1250}"
case "$QZ_CODE_PAGE" in
  1250|65001) qz_wine_locale=hu_HU.UTF-8 ;;
  1252) qz_wine_locale=C.UTF-8 ;;
  *) echo "QZ_CODE_PAGE must be 1250, 1252 or 65001, not $QZ_CODE_PAGE" >&2; exit 64 ;;
esac
# "locale -a" spells hu_HU.UTF-8 as hu_HU.utf8.
qz_code_page_locale_ready() {
  locale -a 2>/dev/null | tr -d '-' | grep -qix "$(printf '%s' "$qz_wine_locale" | tr -d '-')"
}
