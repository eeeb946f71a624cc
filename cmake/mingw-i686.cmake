# 32-bit Windows, the suite's shipping build (its peers are 32-bit programs).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRELVIN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
