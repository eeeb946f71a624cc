# Version resource and manifest of a shipped program or library.
#
#   brelvin_windows_resources(<target> DESCRIPTION <text> [MANIFEST <file>])
#
# Every binary gets one VERSIONINFO from the project version, so Explorer's
# properties, the package and the file itself all name the same version; the
# original file name is the target's own output name. An executable's
# manifest template (under its program folder) is filled in with the same
# version and embedded as the process manifest.
set(BRELVIN_PRODUCT_NAME "Brelvin Whiteboard")
set(BRELVIN_COMPANY_NAME "Brelvin Whiteboard")
set(_brelvin_resources_dir ${CMAKE_CURRENT_LIST_DIR})

function(brelvin_windows_resources target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;MANIFEST" "" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  if(NOT ARG_DESCRIPTION)
    message(FATAL_ERROR "brelvin_windows_resources(${target}): DESCRIPTION is required")
  endif()

  set(VERSION_MAJOR ${CMAKE_PROJECT_VERSION_MAJOR})
  set(VERSION_MINOR ${CMAKE_PROJECT_VERSION_MINOR})
  set(VERSION_PATCH ${CMAKE_PROJECT_VERSION_PATCH})
  set(VERSION_TEXT ${CMAKE_PROJECT_VERSION})
  set(MANIFEST_VERSION ${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}.0)
  set(FILE_DESCRIPTION "${ARG_DESCRIPTION}")
  set(PRODUCT_NAME "${BRELVIN_PRODUCT_NAME}")
  set(COMPANY_NAME "${BRELVIN_COMPANY_NAME}")
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "EXECUTABLE")
    set(FILE_TYPE VFT_APP)
  else()
    set(FILE_TYPE VFT_DLL)
  endif()

  set(MANIFEST_STATEMENT "")
  if(ARG_MANIFEST)
    get_filename_component(template ${ARG_MANIFEST} ABSOLUTE)
    get_filename_component(manifest_name ${template} NAME)
    string(REGEX REPLACE "\\.in$" "" manifest_name ${manifest_name})
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${manifest_name})
    configure_file(${template} ${manifest} @ONLY)
    set(MANIFEST_STATEMENT "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${manifest}\"")
  endif()

  # The file name is only known at generation time (prefix, output name).
  set(stage ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources.rc.in)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources.rc)
  set(ORIGINAL_FILENAME "$<TARGET_FILE_NAME:${target}>")
  set(INTERNAL_NAME "$<TARGET_FILE_BASE_NAME:${target}>")
  configure_file(${_brelvin_resources_dir}/VersionInfo.rc.in ${stage} @ONLY)
  file(GENERATE OUTPUT ${rc} INPUT ${stage})
  target_sources(${target} PRIVATE ${rc})
  if(ARG_MANIFEST)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  endif()
endfunction()
