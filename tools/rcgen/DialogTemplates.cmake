# qz_dialog_templates(TARGET SCRIPT SYMBOL): a library TARGET holding the
# dialog templates of the resource script SCRIPT as the simulated machine's
# table qz::templates::SYMBOL. Windows programs carry the script's compiled
# resources instead, so in the Windows build the library is empty.
include_guard(GLOBAL)

function(qz_dialog_templates target script symbol)
  if(WIN32)
    add_library(${target} INTERFACE)
    return()
  endif()
  if(NOT TARGET qz_rcgen)
    add_executable(qz_rcgen ${PROJECT_SOURCE_DIR}/tools/rcgen/rcgen.cpp)
    target_link_libraries(qz_rcgen PRIVATE qz_text)
    target_include_directories(qz_rcgen PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(qz_rcgen PRIVATE -Wall -Wextra -Werror)
  endif()
  get_filename_component(script_path ${script} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND qz_rcgen ${script_path} ${output} ${symbol}
    DEPENDS qz_rcgen ${script_path}
    COMMENT "Dialog templates of ${script}"
    VERBATIM)
  add_library(${target} STATIC ${output})
  target_link_libraries(${target} PUBLIC qz_flags)
endfunction()
