# 32-bit Windows programs with mingw-w64: the product.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QZ_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
