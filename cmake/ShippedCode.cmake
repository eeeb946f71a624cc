# What ships and what only the tests run, told apart once every target exists
# (Windows builds only).
#
#   brelvin_split_shipped_code(<shipped target>...)
#
# The shipped binaries and every library they link keep the release flags.
# Everything else (test programs, stand-ins, GoogleTest) only ever runs in
# tests, so it is built with -O1, which compiles it in half the time.
# With BRELVIN_SHIPPED_FILE_BY_FILE, what ships is also compiled one file at
# a time in a unity build: a file that misses an include then fails in the
# shipping build instead of hiding behind the file before it in a batch.
# The custom target `shipped` builds what ships and nothing else.

function(_brelvin_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    _brelvin_targets_below(${subdir} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(_brelvin_link_closure out)
  set(pending ${ARGN})
  set(seen)
  while(pending)  # names of targets only, never a false constant
    list(POP_FRONT pending target)
    if(target IN_LIST seen)
      continue()
    endif()
    get_target_property(aliased ${target} ALIASED_TARGET)
    if(aliased)
      list(APPEND pending ${aliased})
      continue()
    endif()
    list(APPEND seen ${target})
    get_target_property(libraries ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS libraries interface)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" library "${library}")
      if(TARGET "${library}")
        list(APPEND pending ${library})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(brelvin_split_shipped_code)
  set(shipped)
  foreach(target IN LISTS ARGN)
    if(TARGET ${target})
      list(APPEND shipped ${target})
    endif()
  endforeach()
  add_custom_target(shipped)
  if(shipped)
    add_dependencies(shipped ${shipped})
  endif()
  _brelvin_link_closure(shipped_code ${shipped})
  _brelvin_targets_below(${CMAKE_SOURCE_DIR} all_targets)
  foreach(target IN LISTS all_targets)
    get_target_property(kind ${target} TYPE)
    if(NOT kind MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      continue()
    endif()
    if(target IN_LIST shipped_code)
      if(BRELVIN_SHIPPED_FILE_BY_FILE)
        set_target_properties(${target} PROPERTIES UNITY_BUILD OFF)
      endif()
    else()
      target_compile_options(${target} PRIVATE -O1)
    endif()
  endforeach()
endfunction()
