# SPDX-License-Identifier: MIT

# Run by CPack (CPACK_POST_BUILD_SCRIPTS) once the Debian packages are
# built, for what CPack's DEB generator cannot say itself:
#
# - CPack gives every package with a library in /usr/lib a postinst and a
#   postrm that only call ldconfig. Debian does that with the ldconfig
#   trigger, which the library packages carry (packaging/deb/triggers), so
#   these scripts go; scripts of any other content stay.
# - The packages named in CPACK_TESSALY_MULTI_ARCH_SAME get the field
#   "Multi-Arch: same".

set(cpack_ldconfig_postinst "#!/bin/sh\n\nset -e\n\nif [ \"$1\" = \"configure\" ]; then\n\tldconfig\nfi\n")
set(cpack_ldconfig_postrm "#!/bin/sh\n\nset -e\n\nif [ \"$1\" = \"remove\" ]; then\n\tldconfig\nfi\n")

foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  set(control "${tree}/DEBIAN")
  set(changes)

  if(EXISTS "${control}/triggers")
    foreach(script postinst postrm)
      if(EXISTS "${control}/${script}")
        file(READ "${control}/${script}" text)
        if(text STREQUAL cpack_ldconfig_${script})
          file(REMOVE "${control}/${script}")
          list(APPEND changes "no ${script}")
        endif()
      endif()
    endforeach()
  endif()

  file(STRINGS "${control}/control" package REGEX "^Package: ")
  string(REGEX REPLACE "^Package: " "" package "${package}")
  list(FIND CPACK_TESSALY_MULTI_ARCH_SAME "${package}" multi_arch)
  if(multi_arch GREATER -1)
    file(READ "${control}/control" fields)
    if(NOT fields MATCHES "\nMulti-Arch:")
      # After Maintainer, before Package, as CPack orders its fields.
      string(REPLACE "\nPackage: " "\nMulti-Arch: same\nPackage: " fields "${fields}")
      file(WRITE "${control}/control" "${fields}")
      list(APPEND changes "Multi-Arch: same")
    endif()
  endif()

  if(changes)
    list(JOIN changes ", " changes)
    message(STATUS "${package}: ${changes}")
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build "${tree}" "${deb}"
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
