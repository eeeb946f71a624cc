# The message table of the suite's event source (common/win32/EventMessages.mc).
#
#   brelvin_event_messages(<target>)
#
# Compiles the table with the toolchain's windmc, in the calling folder's
# build tree, and embeds it in <target>: the file the package registers as
# the source's EventMessageFile, and the file Event Viewer reads the texts
# from. Only that one target carries it; the other programs write events
# under the same source without a table of their own.
function(brelvin_event_messages target)
  if(NOT WIN32)
    return()
  endif()
  string(REGEX REPLACE "windres(\\.exe)?$" "windmc" windmc_guess "${CMAKE_RC_COMPILER}")
  find_program(BRELVIN_WINDMC NAMES ${windmc_guess} windmc REQUIRED)
  set(mc ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/win32/EventMessages.mc)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}-event-messages)
  add_custom_command(
    OUTPUT ${out}/EventMessages.rc ${out}/EventMessages.h ${out}/MSG00409.bin
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${BRELVIN_WINDMC} -h ${out} -r ${out} ${mc}
    DEPENDS ${mc}
    COMMENT "Compiling the event messages for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out}/EventMessages.rc)
  # The compiled table is read by the resource compiler, not named in the rc's
  # dependencies CMake scans.
  set_source_files_properties(${out}/EventMessages.rc PROPERTIES OBJECT_DEPENDS ${out}/MSG00409.bin)
endfunction()
