# SPDX-License-Identifier: MIT

# The package for users of the libraries and for distributions: the CMake
# package, the pkg-config files, the documents and the Debian packages.
# Included at the end of the top-level CMakeLists.txt, once the folders have
# made and installed their targets.

include(CMakePackageConfigHelpers)

# Lattix is built and installed with the GUI only.
set(TESSALY_WITH_LATTIX OFF)
if(TESSALY_GUI AND TARGET lattix)
  set(TESSALY_WITH_LATTIX ON)
endif()

# find_package(Tessaly 4 CONFIG REQUIRED): Tessaly::platform and
# Tessaly::morvane from TessalyTargets.cmake (libtessaly-dev); with the
# component lattix also Tessaly::lattix from TessalyLattixTargets.cmake
# (liblattix-dev), which alone needs Qt.
install(EXPORT TessalyTargets NAMESPACE Tessaly::
        DESTINATION ${TESSALY_INSTALL_CMAKE_DIR} COMPONENT ${TESSALY_COMPONENT_DEVEL})
if(TESSALY_WITH_LATTIX)
  install(EXPORT TessalyLattixTargets NAMESPACE Tessaly::
          DESTINATION ${TESSALY_INSTALL_CMAKE_DIR} COMPONENT ${TESSALY_COMPONENT_LATTIX_DEVEL})
endif()
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
set(tessaly_pc_component_morvane ${TESSALY_COMPONENT_DEVEL})
if(TESSALY_WITH_LATTIX)
  list(APPEND tessaly_pc_files lattix)
  set(tessaly_pc_component_lattix ${TESSALY_COMPONENT_LATTIX_DEVEL})
endif()
foreach(pc IN LISTS tessaly_pc_files)
  configure_file(cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/package/${pc}.pc.in @ONLY)
  install(CODE "
    set(TESSALY_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(pc_file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TESSALY_INSTALL_PKGCONFIG_DIR}/${pc}.pc\")
    message(STATUS \"Installing: \${pc_file}\")
    configure_file(\"${CMAKE_BINARY_DIR}/package/${pc}.pc.in\" \"\${pc_file}\" @ONLY)
    " COMPONENT ${tessaly_pc_component_${pc}})
endforeach()

# The install components, one per Debian package, of this build.
set(tessaly_components ${TESSALY_COMPONENT_RUNTIME} ${TESSALY_COMPONENT_DEVEL}
                       ${TESSALY_COMPONENT_TOOLS})
if(TESSALY_WITH_LATTIX)
  list(APPEND tessaly_components ${TESSALY_COMPONENT_LATTIX} ${TESSALY_COMPONENT_LATTIX_DEVEL})
endif()
if(TARGET ravelset)
  list(APPEND tessaly_components ${TESSALY_COMPONENT_GUI})
endif()
if(TARGET morvane_python)
  list(APPEND tessaly_components ${TESSALY_COMPONENT_PYTHON})
endif()

set(TESSALY_DEB_MAINTAINER "The Tessaly authors <maintainers@tessaly.invalid>" CACHE STRING
    "Maintainer of the Debian packages, as 'Name <address>'")

# Manual pages and the changelog install compressed with gzip -9n, as
# Debian wants them: no name and no time stamp in the header, so that the
# same source always gives the same file.
find_program(TESSALY_GZIP gzip REQUIRED)
set(tessaly_compressed_dir ${CMAKE_BINARY_DIR}/package/compressed)
set(tessaly_compressed_files)
# tessaly_gzip(source name): ${tessaly_compressed_dir}/name, made at build time.
function(tessaly_gzip source name)
  set(output ${tessaly_compressed_dir}/${name})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${tessaly_compressed_dir}
    COMMAND ${TESSALY_GZIP} -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  set(tessaly_compressed_files ${tessaly_compressed_files} ${output} PARENT_SCOPE)
endfunction()

# Manual pages, section 1, each with its program's package.
set(tessaly_man_pages morvane wgsim)
if(TARGET ravelset)
  list(APPEND tessaly_man_pages ravelset)
endif()
foreach(page IN LISTS tessaly_man_pages)
  tessaly_gzip(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${page}.1.gz)
endforeach()
install(FILES ${tessaly_compressed_dir}/morvane.1.gz ${tessaly_compressed_dir}/wgsim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${TESSALY_COMPONENT_TOOLS})
if(TARGET ravelset)
  install(FILES ${tessaly_compressed_dir}/ravelset.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${TESSALY_COMPONENT_GUI})
  install(FILES packaging/ravelset.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT ${TESSALY_COMPONENT_GUI})
  install(FILES packaging/ravelset.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          COMPONENT ${TESSALY_COMPONENT_GUI})
endif()

# Every package has share/doc/<package>/ with the machine-readable
# copyright file (made from LICENSE) and the changelog, changelog.gz as a
# package of this project's own (a native package) has it.
file(READ LICENSE tessaly_licence)
if(NOT tessaly_licence MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.*)$")
  message(FATAL_ERROR "LICENSE: no 'Copyright (c) ...' line followed by the licence text")
endif()
set(TESSALY_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" tessaly_licence)
# The licence as the continuation lines of a field: indented, an empty
# line written as a full stop.
string(REPLACE "\n\n" "\n.\n" tessaly_licence "${tessaly_licence}")
string(REPLACE "\n" "\n " TESSALY_LICENSE_TEXT " ${tessaly_licence}")
configure_file(packaging/copyright.in ${CMAKE_BINARY_DIR}/package/copyright @ONLY)
tessaly_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog changelog.gz)
foreach(component IN LISTS tessaly_components)
  install(FILES ${CMAKE_BINARY_DIR}/package/copyright ${tessaly_compressed_dir}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${TESSALY_PACKAGE_${component}}
          COMPONENT ${component})
endforeach()

# Each document with the package of what it describes, in that package's
# share/doc/<package>/ (the manual pages name these paths); the guides
# gzipped as Debian compresses documents, the examples as they are:
#   libtessaly4      README
#   libtessaly-dev   the embedding guide, performance notes, examples/consumer
#   tessaly-tools    the guide to morvane and wgsim, wgsim's account file
#                    format, examples/wgsim.service and accounts.txt
#   ravelset         its guide with its pictures
#   python3-morvane  examples/account_page.py
# tessaly_doc(component file...): the files into the component's doc
# directory, a Markdown file as <name>.gz, an example into examples/.
function(tessaly_doc component)
  set(dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${TESSALY_PACKAGE_${component}})
  foreach(file IN LISTS ARGN)
    get_filename_component(name ${file} NAME)
    get_filename_component(subdir ${file} DIRECTORY)
    if(file MATCHES "[.]md$")
      tessaly_gzip(${PROJECT_SOURCE_DIR}/${file} ${name}.gz)
      install(FILES ${tessaly_compressed_dir}/${name}.gz DESTINATION ${dir} COMPONENT ${component})
    elseif(subdir STREQUAL "examples")
      install(FILES ${file} DESTINATION ${dir}/examples COMPONENT ${component})
    else()
      install(FILES ${file} DESTINATION ${dir} COMPONENT ${component})
    endif()
  endforeach()
  set(tessaly_compressed_files ${tessaly_compressed_files} PARENT_SCOPE)
endfunction()
tessaly_doc(${TESSALY_COMPONENT_RUNTIME} README.md)
tessaly_doc(${TESSALY_COMPONENT_DEVEL} docs/embedding.md docs/performance.md)
install(DIRECTORY examples/consumer
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${TESSALY_PACKAGE_${TESSALY_COMPONENT_DEVEL}}/examples
        COMPONENT ${TESSALY_COMPONENT_DEVEL})
tessaly_doc(${TESSALY_COMPONENT_TOOLS} docs/morvane-and-wgsim.md docs/wgsim-accounts.md
            examples/wgsim.service examples/accounts.txt)
if(TESSALY_COMPONENT_GUI IN_LIST tessaly_components)
  tessaly_doc(${TESSALY_COMPONENT_GUI} docs/ravelset.md docs/ravelset-window.png
              docs/quadrel-about.png)
endif()
if(TESSALY_COMPONENT_PYTHON IN_LIST tessaly_components)
  tessaly_doc(${TESSALY_COMPONENT_PYTHON} examples/account_page.py)
endif()
add_custom_target(tessaly_compressed_docs ALL DEPENDS ${tessaly_compressed_files})

# The one lintian tag the runtime package overrides, with the reason.
install(FILES packaging/lintian/libtessaly.overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME ${TESSALY_PACKAGE_${TESSALY_COMPONENT_RUNTIME}}
        COMPONENT ${TESSALY_COMPONENT_RUNTIME})

# Debian packages (scripts/package.sh runs cpack -G DEB): one per install
# component, dependencies from dpkg-shlibdeps. The programs' own libraries
# are found in this build while their dependencies are computed; the
# packages then depend on the runtime package of the same version. Built
# from a tree configured with the prefix /usr, the libraries, the CMake
# package and the .pc files are in the multiarch directory
# (CMAKE_INSTALL_LIBDIR is then lib/<triplet>) and nothing has a RUNPATH.
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VENDOR "The Tessaly authors")
set(CPACK_PACKAGE_CONTACT "${TESSALY_DEB_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The debugging information of every program and library goes, as Debian
# does it, into a <package>-dbgsym package (.ddeb) found by build ID; the
# DEB generator strips the files itself once it has copied it out, so they
# must reach it unstripped.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSALY_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# A shlibs file in each library package: a program linked against this
# release runs with any later one of the same soname.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/deb-post-build.cmake)
# The library packages install into the multiarch directory and share
# nothing else that differs between architectures, so that those of two
# architectures may be installed side by side (Multi-Arch: same). CPack has
# no field for it; the post-build script adds it (a CPACK_ variable, so that
# it reaches the script).
# The development packages likewise: their headers and documents are the
# same on every architecture, the rest lies in the multiarch directory.
set(CPACK_TESSALY_MULTI_ARCH_SAME ${TESSALY_PACKAGE_${TESSALY_COMPONENT_RUNTIME}}
                                  ${TESSALY_PACKAGE_${TESSALY_COMPONENT_DEVEL}})
set(CPACK_COMPONENTS_ALL ${tessaly_components})
foreach(component IN LISTS tessaly_components)
  string(TOUPPER ${component} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${TESSALY_PACKAGE_${component}})
endforeach()

# Each package's description: the summary line, then the long description
# (lines of at most 80 columns, an empty line between paragraphs).
set(tessaly_about
    "Tessaly lets the server-side pages of a web server administer the user
accounts of a bulletin-board host: WG, the account gateway, sends one
command per call to the host's server module over TCP and reports the
outcome.")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The ldconfig trigger, and the symbols file: each exported symbol with the
# release that brought it, checked against the built libraries by
# scripts/package.sh --check (which says how to update it).
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/deb/libtessaly4/triggers
    ${PROJECT_SOURCE_DIR}/packaging/deb/libtessaly4/symbols)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "Tessaly account gateway libraries
${tessaly_about}

This package holds the shared libraries: libmorvane, with the class WG,
and libtessaly-platform, the platform layer it stands on (settings
directory, TCP sockets, text conversion).")

set(CPACK_DEBIAN_DEVEL_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVEL_DEPENDS ${TESSALY_COMPONENT_RUNTIME})
set(CPACK_COMPONENT_DEVEL_DESCRIPTION
    "Tessaly account gateway libraries - development files
${tessaly_about}

This package holds what a program built against libmorvane and
libtessaly-platform needs, without Qt: the headers under
/usr/include/tessaly, the CMake package (find_package(Tessaly 4), giving
Tessaly::morvane and Tessaly::platform), morvane.pc, the embedding guide
and an example project. The headers need C++20 or later.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION net)
set(CPACK_COMPONENT_TOOLS_DEPENDS ${TESSALY_COMPONENT_RUNTIME})
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "Tessaly account gateway tools: morvane and wgsim
${tessaly_about}

This package holds two programs: morvane calls any member of WG from the
shell, for scripts and for trying things out; wgsim simulates the host's
server module on a local port, over an accounts file of its own.")

if(TESSALY_COMPONENT_LATTIX IN_LIST tessaly_components)
  set(CPACK_DEBIAN_LATTIX_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_LATTIX_PACKAGE_CONTROL_EXTRA
      ${PROJECT_SOURCE_DIR}/packaging/deb/libtessaly4/triggers
      ${PROJECT_SOURCE_DIR}/packaging/deb/liblattix1/symbols)
  set(CPACK_COMPONENT_LATTIX_DEPENDS ${TESSALY_COMPONENT_RUNTIME})
  set(CPACK_COMPONENT_LATTIX_DESCRIPTION
      "Quadrel IPv4 address entry control for Qt 6
Lattix is the control library of Tessaly, the account gateway for
bulletin-board hosts. Its one control, Quadrel, is an entry box for an IPv4
address made of four numeric octet fields, with an About box.

This package holds the shared library liblattix, which the settings window
ravelset uses.")
  list(APPEND CPACK_TESSALY_MULTI_ARCH_SAME ${TESSALY_PACKAGE_${TESSALY_COMPONENT_LATTIX}}
                                            ${TESSALY_PACKAGE_${TESSALY_COMPONENT_LATTIX_DEVEL}})

  set(CPACK_DEBIAN_LATTIX_DEVEL_PACKAGE_SECTION libdevel)
  set(CPACK_COMPONENT_LATTIX_DEVEL_DEPENDS ${TESSALY_COMPONENT_LATTIX}
                                           ${TESSALY_COMPONENT_DEVEL})
  # Its CMake targets and lattix.pc name Qt 6 Widgets: whoever builds
  # against them needs Qt's development files.
  set(CPACK_DEBIAN_LATTIX_DEVEL_PACKAGE_DEPENDS qt6-base-dev)
  set(CPACK_COMPONENT_LATTIX_DEVEL_DESCRIPTION
      "Quadrel IPv4 address entry control for Qt 6 - development files
Lattix is the control library of Tessaly, the account gateway for
bulletin-board hosts. Its one control, Quadrel, is an entry box for an IPv4
address made of four numeric octet fields, with an About box.

This package holds what a Qt 6 program built against liblattix needs: the
headers under /usr/include/tessaly/lattix, the CMake targets
(find_package(Tessaly 4 COMPONENTS lattix), giving Tessaly::lattix) and
lattix.pc.")
endif()

if(TESSALY_COMPONENT_GUI IN_LIST tessaly_components)
  set(CPACK_DEBIAN_GUI_PACKAGE_SECTION net)
  set(CPACK_COMPONENT_GUI_DEPENDS ${TESSALY_COMPONENT_RUNTIME} ${TESSALY_COMPONENT_LATTIX})
  set(CPACK_COMPONENT_GUI_DESCRIPTION
      "settings window of the Tessaly account gateway
${tessaly_about}

Ravelset is the window in which an administrator enters the local host's
and the remote host's IPv4 addresses and the port, and stores them in the
settings file the gateway reads; on its first run it writes a default
configuration.")
endif()

if(TESSALY_COMPONENT_PYTHON IN_LIST tessaly_components)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS ${MORVANE_PYTHON_DEPENDS})
  # Byte-compiled on installation, cleaned on removal, as dh_python3 does.
  set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
      ${PROJECT_SOURCE_DIR}/packaging/deb/python3-morvane/postinst
      ${PROJECT_SOURCE_DIR}/packaging/deb/python3-morvane/prerm)
  set(CPACK_COMPONENT_PYTHON_DEPENDS ${TESSALY_COMPONENT_RUNTIME})
  set(CPACK_COMPONENT_PYTHON_DESCRIPTION
      "Python 3 module of the Tessaly account gateway
${tessaly_about}

This package holds the module morvane, which gives Python web pages the
class WG of libmorvane, with its type stubs.")
endif()

include(CPack)
