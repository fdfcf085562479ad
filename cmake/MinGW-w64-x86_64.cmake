# SPDX-License-Identifier: MIT

# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers
# (g++-mingw-w64-x86-64-posix, mingw-w64-tools). The "posix" flavour of the
# compiler has the C++ threads (std::thread, std::mutex) the code uses.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64-x86_64.cmake
# scripts/build-windows.sh does this.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSALY_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSALY_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSALY_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSALY_MINGW_TRIPLET}-windres)
# The IDL compiler that writes type libraries.
set(TESSALY_WIDL ${TESSALY_MINGW_TRIPLET}-widl CACHE FILEPATH "IDL compiler for type libraries")

# Headers and libraries of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TESSALY_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs and DLLs carry their C and C++ run-time libraries and the
# threads library inside, so that they run from any directory, under Wine
# or on Windows, without MinGW's DLLs beside them: they import only the
# system's DLLs (kernel32, msvcrt, ws2_32 and the like).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine (wine64 from the wine64 package).
find_program(TESSALY_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TESSALY_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSALY_WINE})
endif()
