# 64-bit Windows build of the same sources. It exists for test machines that
# cannot execute 32-bit code (and so cannot run 32-bit programs under Wine);
# nothing of it is shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRELVIN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
