# The same programs built for 64-bit Windows, for testing under 64-bit Wine
# on hosts that run no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QZ_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
