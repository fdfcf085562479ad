# SPDX-License-Identifier: MIT

# GoogleTest for the Windows build, compiled with the cross compiler from
# the sources of Debian's googletest package: nothing is downloaded, and
# the targets carry the names find_package(GTest) gives on Linux.

set(TESSALY_GOOGLETEST_SOURCE /usr/src/googletest/googletest CACHE PATH
    "GoogleTest's sources, for the Windows build")
if(NOT EXISTS ${TESSALY_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest's sources are missing from ${TESSALY_GOOGLETEST_SOURCE}: "
                      "install Debian's googletest package (scripts/setup.sh)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF)
# The threads of the posix flavour of MinGW-w64 are the ones GoogleTest's
# own Windows code expects; its pthread code is for other systems.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TESSALY_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
