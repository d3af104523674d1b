# What both mingw-w64 toolchains share; the including file sets
# QZ_MINGW_TRIPLET (i686-w64-mingw32 or x86_64-w64-mingw32) first. The
# posix-thread compilers are needed: GoogleTest uses std::mutex, which the
# win32-thread ones lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QZ_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QZ_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QZ_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QZ_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The binutils of the same target (dlltool, objdump, nm) are found by this
# prefix.
set(QZ_MINGW_TOOL_PREFIX ${QZ_MINGW_TRIPLET}- CACHE STRING "Prefix of the target's binutils")
