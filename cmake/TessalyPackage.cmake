# SPDX-License-Identifier: MIT

# The package for users of the libraries and for distributions: the CMake
# package, the pkg-config files, the documents and the Debian packages.
# Included at the end of the top-level CMakeLists.txt, once the folders have
# made and installed their targets.

include(CMakePackageConfigHelpers)

# find_package(Tessaly 4 CONFIG REQUIRED): Tessaly::platform,
# Tessaly::morvane and, when built with the GUI, Tessaly::lattix.
install(EXPORT TessalyTargets NAMESPACE Tessaly::
        DESTINATION ${TESSALY_INSTALL_CMAKE_DIR} COMPONENT ${TESSALY_COMPONENT_DEVEL})
configure_package_config_file(cmake/TessalyConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/TessalyConfig.cmake
  INSTALL_DESTINATION ${TESSALY_INSTALL_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/TessalyConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/TessalyConfig.cmake
              ${CMAKE_BINARY_DIR}/package/TessalyConfigVersion.cmake
        DESTINATION ${TESSALY_INSTALL_CMAKE_DIR} COMPONENT ${TESSALY_COMPONENT_DEVEL})

# The .pc files name their prefix literally, so that pkg-config recognises
# /usr/include and leaves it out of the flags (an explicit -I/usr/include
# breaks the C++ library's #include_next). The prefix is only known when the
# tree is installed (cmake --install --prefix, CPack), so the files are
# completed then.
set(TESSALY_PC_PREFIX "@TESSALY_PC_PREFIX@")
set(TESSALY_PC_CFLAGS "")
foreach(dir IN LISTS TESSALY_INSTALL_INCLUDE_DIRS)
  string(APPEND TESSALY_PC_CFLAGS " -I\${prefix}/${dir}")
endforeach()
set(tessaly_pc_files morvane)
if(TARGET lattix AND TESSALY_GUI)
  list(APPEND tessaly_pc_files lattix)
endif()
foreach(pc IN LISTS tessaly_pc_files)
  configure_file(cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/package/${pc}.pc.in @ONLY)
  install(CODE "
    set(TESSALY_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(pc_file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TESSALY_INSTALL_PKGCONFIG_DIR}/${pc}.pc\")
    message(STATUS \"Installing: \${pc_file}\")
    configure_file(\"${CMAKE_BINARY_DIR}/package/${pc}.pc.in\" \"\${pc_file}\" @ONLY)
    " COMPONENT ${TESSALY_COMPONENT_DEVEL})
endforeach()

# Manual pages, section 1, each with its program's package.
install(FILES docs/man/morvane.1 docs/man/wgsim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${TESSALY_COMPONENT_TOOLS})
if(TARGET ravelset)
  install(FILES docs/man/ravelset.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${TESSALY_COMPONENT_GUI})
  install(FILES packaging/ravelset.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT ${TESSALY_COMPONENT_GUI})
  install(FILES packaging/ravelset.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          COMPONENT ${TESSALY_COMPONENT_GUI})
endif()

# The licence beside the libraries; documents and examples for developers.
install(FILES LICENSE README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT ${TESSALY_COMPONENT_RUNTIME})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT ${TESSALY_COMPONENT_DEVEL} PATTERN man EXCLUDE)
install(DIRECTORY examples DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT ${TESSALY_COMPONENT_DEVEL})

# Debian packages (scripts/package.sh runs cpack -G DEB): one per install
# component, dependencies from dpkg-shlibdeps. The programs' own libraries
# are found in this build while their dependencies are computed; the
# packages then depend on the runtime package of the same version.
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VENDOR "The Tessaly authors")
set(CPACK_PACKAGE_CONTACT "The Tessaly authors <maintainers@tessaly.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Account gateway for bulletin-board hosts, with its tools")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENTS_ALL ${TESSALY_COMPONENT_RUNTIME} ${TESSALY_COMPONENT_DEVEL}
                         ${TESSALY_COMPONENT_TOOLS})

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtessaly${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "Tessaly libraries: libmorvane (the WG account gateway) and the platform layer")

set(CPACK_DEBIAN_DEVEL_PACKAGE_NAME libtessaly-dev)
set(CPACK_DEBIAN_DEVEL_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVEL_DEPENDS ${TESSALY_COMPONENT_RUNTIME})
set(CPACK_COMPONENT_DEVEL_DESCRIPTION
    "Tessaly development files: headers, the CMake package, pkg-config files, the embedding guide")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME tessaly-tools)
set(CPACK_COMPONENT_TOOLS_DEPENDS ${TESSALY_COMPONENT_RUNTIME})
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "Tessaly tools: morvane, WG from the shell, and wgsim, a server-module simulator")

if(TESSALY_GUI AND TARGET lattix)
  list(APPEND CPACK_COMPONENTS_ALL ${TESSALY_COMPONENT_LATTIX})
  set(CPACK_DEBIAN_LATTIX_PACKAGE_NAME liblattix1)
  set(CPACK_DEBIAN_LATTIX_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_LATTIX_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_COMPONENT_LATTIX_DEPENDS ${TESSALY_COMPONENT_RUNTIME})
  set(CPACK_COMPONENT_LATTIX_DESCRIPTION
      "Lattix: Quadrel, the IPv4 address entry control of Tessaly, for Qt 6")
  list(APPEND CPACK_COMPONENT_DEVEL_DEPENDS ${TESSALY_COMPONENT_LATTIX})
endif()

if(TARGET ravelset)
  list(APPEND CPACK_COMPONENTS_ALL ${TESSALY_COMPONENT_GUI})
  set(CPACK_DEBIAN_GUI_PACKAGE_NAME ravelset)
  set(CPACK_COMPONENT_GUI_DEPENDS ${TESSALY_COMPONENT_RUNTIME} ${TESSALY_COMPONENT_LATTIX})
  set(CPACK_COMPONENT_GUI_DESCRIPTION
      "Ravelset, the settings window for the Tessaly account gateway")
endif()

if(TARGET morvane_python)
  list(APPEND CPACK_COMPONENTS_ALL ${TESSALY_COMPONENT_PYTHON})
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-morvane)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS ${MORVANE_PYTHON_DEPENDS})
  set(CPACK_COMPONENT_PYTHON_DEPENDS ${TESSALY_COMPONENT_RUNTIME})
  set(CPACK_COMPONENT_PYTHON_DESCRIPTION
      "The Tessaly account gateway WG for Python web pages (module morvane)")
endif()

include(CPack)
