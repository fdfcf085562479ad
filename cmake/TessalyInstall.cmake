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
# The development files likewise: those of the gateway and the platform
# library need no Qt, Lattix's need Qt's.
set(TESSALY_COMPONENT_DEVEL devel)
set(TESSALY_COMPONENT_LATTIX_DEVEL lattix_devel)
set(TESSALY_COMPONENT_TOOLS tools)
set(TESSALY_COMPONENT_GUI gui)
# The Python module for the distribution's Python.
set(TESSALY_COMPONENT_PYTHON python)

# The Debian package of each component; its documents (copyright,
# changelog) go to share/doc/<package>/, in a package as in any install.
set(TESSALY_PACKAGE_${TESSALY_COMPONENT_RUNTIME} libtessaly${PROJECT_VERSION_MAJOR})
set(TESSALY_PACKAGE_${TESSALY_COMPONENT_LATTIX} liblattix1)
set(TESSALY_PACKAGE_${TESSALY_COMPONENT_DEVEL} libtessaly-dev)
set(TESSALY_PACKAGE_${TESSALY_COMPONENT_LATTIX_DEVEL} liblattix-dev)
set(TESSALY_PACKAGE_${TESSALY_COMPONENT_TOOLS} tessaly-tools)
set(TESSALY_PACKAGE_${TESSALY_COMPONENT_GUI} ravelset)
set(TESSALY_PACKAGE_${TESSALY_COMPONENT_PYTHON} python3-morvane)

# Each library component's development component and CMake export set
# (lib/cmake/Tessaly/<set>.cmake): find_package(Tessaly) loads the first
# always, the Lattix one only for its component "lattix".
set(TESSALY_DEVEL_OF_${TESSALY_COMPONENT_RUNTIME} ${TESSALY_COMPONENT_DEVEL})
set(TESSALY_DEVEL_OF_${TESSALY_COMPONENT_LATTIX} ${TESSALY_COMPONENT_LATTIX_DEVEL})
set(TESSALY_EXPORT_OF_${TESSALY_COMPONENT_RUNTIME} TessalyTargets)
set(TESSALY_EXPORT_OF_${TESSALY_COMPONENT_LATTIX} TessalyLattixTargets)

# The directories the dynamic loader searches by itself. Installed into
# one of them (a package for /usr puts the libraries into /usr/lib/<triplet>),
# nothing needs a RUNPATH, and Debian wants none; under any other prefix the
# $ORIGIN-relative RUNPATH lets the tree run wherever it was installed or
# unpacked.
set(TESSALY_SYSTEM_LIBRARY_DIRS ${CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES})
if(CMAKE_LIBRARY_ARCHITECTURE)
  list(APPEND TESSALY_SYSTEM_LIBRARY_DIRS /lib/${CMAKE_LIBRARY_ARCHITECTURE}
                                          /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()

# tessaly_install_runpath(target destination component): after target was
# installed into destination, removes its RUNPATH when the library directory
# of this install is one the loader searches anyway. The prefix is only
# known at install time (cmake --install --prefix, CPack), so the decision
# is made then.
function(tessaly_install_runpath target destination component)
  install(CODE "
    set(tessaly_libdir \"${CMAKE_INSTALL_LIBDIR}\")
    if(NOT IS_ABSOLUTE \"\${tessaly_libdir}\")
      set(tessaly_libdir \"\${CMAKE_INSTALL_PREFIX}/\${tessaly_libdir}\")
    endif()
    get_filename_component(tessaly_libdir \"\${tessaly_libdir}\" ABSOLUTE)
    set(tessaly_system_dirs \"${TESSALY_SYSTEM_LIBRARY_DIRS}\")
    list(FIND tessaly_system_dirs \"\${tessaly_libdir}\" tessaly_system)
    if(tessaly_system GREATER -1)
      file(RPATH_REMOVE FILE
           \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/$<TARGET_FILE_NAME:${target}>\")
    endif()
    " COMPONENT ${component})
endfunction()

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
# package, its runtime file in the runtime package (or the one given), its
# link file and its CMake target in that component's development package.
# Libraries find each other in their own directory.
function(tessaly_install_library target)
  set(component ${TESSALY_COMPONENT_RUNTIME})
  if(ARGC GREATER 1)
    set(component ${ARGV1})
  endif()
  set(devel ${TESSALY_DEVEL_OF_${component}})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target} EXPORT ${TESSALY_EXPORT_OF_${component}}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            COMPONENT ${component}
            NAMELINK_COMPONENT ${devel})
  tessaly_install_runpath(${target} ${CMAKE_INSTALL_LIBDIR} ${component})
endfunction()

# tessaly_install_program(target component): a program in bin/.
function(tessaly_install_program target component)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
                                    COMPONENT ${component})
  tessaly_install_runpath(${target} ${CMAKE_INSTALL_BINDIR} ${component})
endfunction()
