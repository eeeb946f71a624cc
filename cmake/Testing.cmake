# GoogleTest is built from Debian's sources with the active toolchain, so the
# native and the Windows build each get a matching copy.
include(GoogleTest)

if(NOT BRELVIN_FUZZ AND NOT BRELVIN_BENCH)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# A Windows test that starts programs sharing system-wide names (the touch
# block, the driver's mutex and window, the low-level mouse hook, the cursor)
# holds one of the run's Wine desktops while it runs: a prefix with a
# wineserver of its own, which scripts/wine-run.sh picks from what ctest
# hands the test. No other test sees its windows, hooks or named objects, so
# tests on different desktops run side by side. cmake/wine-desktops.json
# counts the desktops; the test presets name it.
set(BRELVIN_ALONE_ON_A_DESKTOP RESOURCE_GROUPS desktops:1)

# brelvin_lock_touch_socket(<program> <regex>)
# Desktops share the host, and with it the touch socket's fixed port: the
# cases of the GoogleTest <program> (discovered in this folder) whose names
# match <regex> listen on it or have the driver connect to it, and never run
# beside each other.
function(brelvin_lock_touch_socket program cases)
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${program}_touch_socket.cmake")
  file(WRITE "${script}"
    "foreach(test IN LISTS ${program}_TESTS)\n"
    "  if(test MATCHES [==[${cases}]==])\n"
    "    set_tests_properties(\"\${test}\" PROPERTIES RESOURCE_LOCK touch_socket)\n"
    "  endif()\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()

# brelvin_add_test(<name> [PORTABLE] SOURCES ... LIBS ...)
# One GoogleTest executable; its cases are discovered when ctest runs, so the
# Windows build does not start Wine at build time. The cases of a PORTABLE
# program (one the native build has too, where each case is a test of its
# own) run in the Windows builds as one test: the whole program in one Wine
# process, as each start of a program under Wine costs a good part of a
# second.
function(brelvin_add_test name)
  cmake_parse_arguments(ARG "PORTABLE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
  if(WIN32 AND ARG_PORTABLE)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600) # every case of the program together
    return()
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 180
    PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>)
endfunction()

# brelvin_add_benchmark(<name> SOURCES ... LIBS ... [INCLUDES ...] [QUICK_ARGS ...])
# A native benchmark program (Google Benchmark, or a main of its own that
# prints figures). The bench preset builds it optimised into
# build/bench/bench/, where `make bench` runs it in full. The native test
# build compiles it too and runs it once as the test Benchmark.<name>, with
# QUICK_ARGS (default: the least time Google Benchmark takes per case), so
# that no benchmark can stop compiling or running unnoticed.
function(brelvin_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;INCLUDES;QUICK_ARGS" ${ARGN})
  if(WIN32 OR BRELVIN_FUZZ OR BRELVIN_TSAN)
    return()
  endif()
  if(BRELVIN_BENCH)
    find_package(benchmark REQUIRED)
  else()
    find_package(benchmark QUIET)
    if(NOT benchmark_FOUND)
      return()
    endif()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${ARG_INCLUDES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  if(NOT BRELVIN_BENCH)
    if(NOT ARG_QUICK_ARGS)
      set(ARG_QUICK_ARGS --benchmark_min_time=0.0001)
    endif()
    add_test(NAME Benchmark.${name} COMMAND ${name} ${ARG_QUICK_ARGS})
    set_tests_properties(Benchmark.${name} PROPERTIES TIMEOUT 300 LABELS benchmark)
  endif()
endfunction()
