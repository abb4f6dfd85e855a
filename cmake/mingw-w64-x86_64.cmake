# Cross build of the Windows x86-64 binaries with Debian's MinGW-w64 (posix threads flavour).
# Tests run under Wine through CMAKE_CROSSCOMPILING_EMULATOR, set up by the top-level project.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORLAX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORLAX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORLAX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORLAX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORLAX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every binary carries its own copy of libgcc, libstdc++ and winpthread, so it needs only
# system DLLs (and flutter_windows.dll) at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
