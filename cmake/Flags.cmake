# Our own code: every narrow literal is Windows-1250. (clang, which only the
# fuzz build uses, writes narrow literals in UTF-8 alone; the parsers it
# fuzzes do not depend on them.) Warnings are errors where we choose so: the
# presets and CI; a plain build of another compiler or optimisation level
# still builds when that compiler finds something new to warn about.
option(QZ_WERROR "Treat warnings in our own code as errors" OFF)
add_library(qz_flags INTERFACE)
target_compile_options(qz_flags INTERFACE
  -finput-charset=UTF-8 $<$<CXX_COMPILER_ID:GNU>:-fexec-charset=CP1250>
  -Wall -Wextra -Wformat=2 -Wformat-nonliteral -Wshadow -Wnon-virtual-dtor
  $<$<BOOL:${QZ_WERROR}>:-Werror>)
target_include_directories(qz_flags INTERFACE ${PROJECT_SOURCE_DIR})
if(WIN32)
  target_compile_definitions(qz_flags INTERFACE
    WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 __USE_MINGW_ANSI_STDIO=1)
  # No mingw runtime DLLs to carry into the Wine prefix.
  target_link_options(qz_flags INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# The standard library's checked accessors in the test and fuzz builds: a
# back() of an empty view or an index past a string's end stops the run
# instead of reading astray.
if(QZ_SANITIZE OR QZ_FUZZ)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()
if(QZ_SANITIZE)
  set(QZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${QZ_SANITIZERS})
  add_link_options(${QZ_SANITIZERS})
endif()

# Adds a library of our own code: qz_library(name SOURCES ... LINKS ...)
function(qz_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC qz_flags ${ARG_LINKS})
endfunction()

if(WIN32)
  # The binutils of the target, for a toolchain file that does not name them.
  if(NOT QZ_MINGW_TOOL_PREFIX)
    get_filename_component(compiler ${CMAKE_C_COMPILER} NAME)
    string(REGEX REPLACE "gcc.*$" "" compiler_prefix ${compiler})
    set(QZ_MINGW_TOOL_PREFIX ${compiler_prefix} CACHE STRING "Prefix of the target's binutils" FORCE)
  endif()
  # ctest runs the Windows test programs under Wine, in a prefix of this
  # tree, with the loader of the programs' architecture (QZ_WINE_ARCH: Debian's
  # wine wrapper would take the 32-bit loader for 64-bit programs too).
  set(QZ_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QZ_WINE_ARCH x86_64)
  else()
    set(QZ_WINE_ARCH i686)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR env QZ_WINE_ARCH=${QZ_WINE_ARCH} ${PROJECT_SOURCE_DIR}/tools/wine-run)
endif()
