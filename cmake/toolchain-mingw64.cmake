# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (packages
# g++-mingw-w64-x86-64-posix, binutils-mingw-w64-x86-64). Two uses:
#
# - the platform layer alone, checked under Wine (scripts/windows-check.sh):
#     cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
#           -DQUORLIN_PLATFORM_ONLY=ON
#   Its programs are linked statically: nothing to ship beside them.
# - the whole product with Qt for Windows (scripts/windows-build.sh), chained
#   from Qt's own toolchain file (QT_CHAINLOAD_TOOLCHAIN_FILE). The program
#   then shares the C++ runtime DLLs with the Qt DLLs it is deployed with.
#
# The compilers are the posix thread model ones, which Qt for Windows is built
# with (std::thread and std::mutex need them with GCC 12).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORLIN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORLIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORLIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORLIN_MINGW_PREFIX}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QUORLIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(QUORLIN_PLATFORM_ONLY)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()
