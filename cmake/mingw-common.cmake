# Shared part of the MinGW-w64 toolchain files: posix threads, static runtime,
# test executables run under Wine in the build tree's private prefix.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${BRELVIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRELVIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${BRELVIN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRELVIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every executable and DLL carries its own runtime, so nothing besides the
# system DLLs has to be shipped or found on the target.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
