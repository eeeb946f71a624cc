# GoogleTest is built from Debian's sources with the active toolchain, so the
# native and the Windows build each get a matching copy.
include(GoogleTest)

if(NOT BRELVIN_FUZZ AND NOT BRELVIN_BENCH)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# brelvin_add_test(<name> SOURCES ... LIBS ...)
# One GoogleTest executable; its cases are discovered when ctest runs, so the
# Windows build does not start Wine at build time.
function(brelvin_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(BRELVIN_FUZZ OR BRELVIN_BENCH)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 180
    PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>)
endfunction()
