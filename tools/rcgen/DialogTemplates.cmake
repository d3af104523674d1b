# qz_dialog_templates(TARGET SCRIPT SYMBOL): a library TARGET holding the
# dialog templates of the resource script SCRIPT as the dialog engine's
# table qz::templates::SYMBOL. The native programs show their dialogs from
# it; the Windows programs carry the script's compiled resources for their
# windows and the same table for an unattended run, which makes no window.
include_guard(GLOBAL)

function(qz_dialog_templates target script symbol)
  if(NOT TARGET qz_rcgen)
    if(CMAKE_CROSSCOMPILING)
      # rcgen runs on the build machine: built there by its own compiler.
      include(ExternalProject)
      set(host ${CMAKE_BINARY_DIR}/tools/rcgen)
      ExternalProject_Add(qz_rcgen
        SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/rcgen
        BINARY_DIR ${host}/host
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=${host}/host-install
        CMAKE_CACHE_ARGS -DCMAKE_TOOLCHAIN_FILE:FILEPATH= -DCMAKE_CROSSCOMPILING_EMULATOR:STRING=
        BUILD_BYPRODUCTS ${host}/host-install/bin/rcgen
        BUILD_ALWAYS ON)
      set_property(GLOBAL PROPERTY QZ_RCGEN_COMMAND ${host}/host-install/bin/rcgen)
    else()
      add_executable(qz_rcgen ${PROJECT_SOURCE_DIR}/tools/rcgen/rcgen.cpp)
      target_link_libraries(qz_rcgen PRIVATE qz_text)
      target_include_directories(qz_rcgen PRIVATE ${PROJECT_SOURCE_DIR})
      target_compile_options(qz_rcgen PRIVATE -Wall -Wextra -Werror)
      set_property(GLOBAL PROPERTY QZ_RCGEN_COMMAND qz_rcgen)
    endif()
  endif()
  get_property(rcgen_command GLOBAL PROPERTY QZ_RCGEN_COMMAND)
  get_filename_component(script_path ${script} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${rcgen_command} ${script_path} ${output} ${symbol}
    DEPENDS qz_rcgen ${script_path}
    COMMENT "Dialog templates of ${script}"
    VERBATIM)
  add_library(${target} STATIC ${output})
  target_link_libraries(${target} PUBLIC qz_flags)
endfunction()
