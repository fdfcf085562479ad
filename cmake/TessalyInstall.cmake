# SPDX-License-Identifier: MIT

# What the libraries show to the outside and where their files install.
# Included before the folders, which call the functions below; the package
# itself (export set, config files, pkg-config, CPack) is written by
# TessalyPackage.cmake after every folder has made its targets.

# Public headers install under one folder of the project's own, so that
# nothing generic such as platform/error.h lands in the system include
# directory. Users and the sources alike include them as
# "tessaly/platform/error.h", from the include directory itself.
set(TESSALY_INSTALL_HEADER_DIR ${CMAKE_INSTALL_INCLUDEDIR}/tessaly)
set(TESSALY_INSTALL_INCLUDE_DIRS ${CMAKE_INSTALL_INCLUDEDIR})
set(TESSALY_INSTALL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tessaly)
set(TESSALY_INSTALL_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Install components, one per Debian package (scripts/package.sh).
set(TESSALY_COMPONENT_RUNTIME runtime)
# liblattix apart, so that a web server taking libmorvane does not pull Qt.
set(TESSALY_COMPONENT_LATTIX lattix)
set(TESSALY_COMPONENT_DEVEL devel)
set(TESSALY_COMPONENT_TOOLS tools)
set(TESSALY_COMPONENT_GUI gui)
# The Python module for the distribution's Python.
set(TESSALY_COMPONENT_PYTHON python)

# tessaly_hidden_symbols(target...): only what the headers mark with the
# library's export macro leaves the shared library.
function(tessaly_hidden_symbols)
  set_target_properties(${ARGN} PROPERTIES CXX_VISIBILITY_PRESET hidden
                                           VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# tessaly_public_headers(target source_include_dir): the folder of public
# headers, in the build tree and once installed.
function(tessaly_public_headers target dir)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${dir}>
    "$<INSTALL_INTERFACE:${TESSALY_INSTALL_INCLUDE_DIRS}>")
endfunction()

# tessaly_install_library(target [component]): a shared library of the
# package, its runtime file in the runtime package (or the one given) and its
# link file in -dev. Libraries find each other in their own directory.
function(tessaly_install_library target)
  set(component ${TESSALY_COMPONENT_RUNTIME})
  if(ARGC GREATER 1)
    set(component ${ARGV1})
  endif()
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target} EXPORT TessalyTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            COMPONENT ${component}
            NAMELINK_COMPONENT ${TESSALY_COMPONENT_DEVEL})
endfunction()

# tessaly_install_program(target component): a program in bin/.
function(tessaly_install_program target component)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
                                    COMPONENT ${component})
endfunction()
