# Cross-compiling the Windows build with Debian's MinGW-w64 (posix threads):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DROMO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DROMO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DROMO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DROMO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DROMO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The C and C++ runtimes and winpthread linked in: dromo.exe needs no DLL
# beyond those of Windows itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
