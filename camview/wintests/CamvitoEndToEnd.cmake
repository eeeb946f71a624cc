# End-to-end tests of Camvito.exe under Wine with the fake camera and the
# stand-in camera service. They share one registry, one single-instance
# mutex and one camera service window, so each runs alone on a desktop; the
# fake camera writes its log beside itself, in the build folder that all
# desktops share, so they never run beside each other either.
# Both programs come from sim/, which is added after camview/, so the tests
# are defined once the whole tree is read.
function(camview_add_end_to_end_tests)
  set(here ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  if(NOT TARGET ZorvikSrv OR NOT TARGET FakeCamera)
    message(STATUS "camview: fake camera or stand-in camera service missing, end-to-end tests left out")
    return()
  endif()
  add_executable(camview_e2e_tests ${here}/CamvitoEndToEndTest.cpp ${here}/CaptureGraphTest.cpp ${here}/CameraLoanTest.cpp
    ${here}/LiveViewTest.cpp)
  set_target_properties(camview_e2e_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/camview/wintests)
  target_link_libraries(camview_e2e_tests PRIVATE camview_capture fake_camera_registry sim_harness comctl32 user32
    GTest::gtest GTest::gtest_main GTest::gmock)
  target_link_options(camview_e2e_tests PRIVATE -mconsole)
  target_compile_definitions(camview_e2e_tests PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX
    CAMVITO_EXE="$<TARGET_FILE:Camvito>"
    CAMERA_SERVICE_EXE="$<TARGET_FILE:ZorvikSrv>"
    FAKE_CAMERA_DLL="$<TARGET_FILE:FakeCamera>")
  add_dependencies(camview_e2e_tests Camvito ZorvikSrv FakeCamera)
  gtest_discover_tests(camview_e2e_tests
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 90 ${BRELVIN_ALONE_ON_A_DESKTOP} RESOURCE_LOCK fake_camera_log
    WORKING_DIRECTORY $<TARGET_FILE_DIR:camview_e2e_tests>)
endfunction()
