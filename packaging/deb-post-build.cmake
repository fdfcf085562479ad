# SPDX-License-Identifier: MIT

# Run by CPack (CPACK_POST_BUILD_SCRIPTS) once the Debian packages are
# built. CPack gives every package with a library in /usr/lib a postinst and
# a postrm that only call ldconfig; Debian does that with the ldconfig
# trigger, which the library packages carry (packaging/deb/triggers), so the
# scripts go. Packages with scripts of any other content stay as they are.

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
  set(changed FALSE)
  if(EXISTS "${control}/triggers")
    foreach(script postinst postrm)
      if(EXISTS "${control}/${script}")
        file(READ "${control}/${script}" text)
        if(text STREQUAL cpack_ldconfig_${script})
          file(REMOVE "${control}/${script}")
          set(changed TRUE)
        endif()
      endif()
    endforeach()
  endif()
  if(changed)
    message(STATUS "Dropped the ldconfig scripts (the trigger does it): ${deb}")
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build "${tree}" "${deb}"
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
