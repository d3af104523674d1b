# Our own code: every narrow literal is Windows-1250, warnings are errors.
# (clang, which only the fuzz build uses, writes narrow literals in UTF-8
# alone; the parsers it fuzzes do not depend on them.)
add_library(qz_flags INTERFACE)
target_compile_options(qz_flags INTERFACE
  -finput-charset=UTF-8 $<$<CXX_COMPILER_ID:GNU>:-fexec-charset=CP1250>
  -Wall -Wextra -Werror -Wformat=2 -Wformat-nonliteral -Wshadow -Wnon-virtual-dtor)
target_include_directories(qz_flags INTERFACE ${PROJECT_SOURCE_DIR})
if(WIN32)
  target_compile_definitions(qz_flags INTERFACE
    WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 __USE_MINGW_ANSI_STDIO=1)
  # No mingw runtime DLLs to carry into the Wine prefix.
  target_link_options(qz_flags INTERFACE -static -static-libgcc -static-libstdc++)
endif()

if(QZ_SANITIZE)
  set(QZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
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
  # ctest runs the Windows test programs under Wine, in a prefix of this tree.
  set(QZ_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine-run)
endif()
