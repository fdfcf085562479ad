# SPDX-License-Identifier: MIT

# tessaly_warnings(target): the project's warning set, errors when TESSALY_WERROR is on.
function(tessaly_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                         -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
                         -Woverloaded-virtual)
  if(TESSALY_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# tessaly_test(name sources... LIBS libs...): a GoogleTest program registered with CTest.
function(tessaly_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  tessaly_warnings(${name})
  if(CMAKE_CROSSCOMPILING)
    # One test per program, run by CMAKE_CROSSCOMPILING_EMULATOR (Wine):
    # listing the cases would start every program once more at build time.
    # The programs share the settings file of the Windows directory, so
    # they run one at a time.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
