# SPDX-License-Identifier: MIT

# Run by CPack (CPACK_POST_BUILD_SCRIPTS) once the Debian packages are
# built, for what CPack's DEB generator cannot say itself:
#
# - CPack gives every package with a library in /usr/lib a postinst and a
#   postrm that only call ldconfig. Debian does that with the ldconfig
#   trigger, which the library packages carry (packaging/deb/*/triggers), so
#   these scripts go; scripts of any other content stay.
# - The packages named in CPACK_TESSALY_MULTI_ARCH_SAME get the field
#   "Multi-Arch: same".
# - The -dbgsym packages (.ddeb) get what Debian's have and CPack 3.25
#   gets wrong: an md5sums file with the paths inside the package (CPack
#   writes its own staging paths), debugging files of mode 0644, and their
#   documents as a link to those of the package they belong to
#   (usr/share/doc/<package>-dbgsym -> <package>).

set(cpack_ldconfig_postinst "#!/bin/sh\n\nset -e\n\nif [ \"$1\" = \"configure\" ]; then\n\tldconfig\nfi\n")
set(cpack_ldconfig_postrm "#!/bin/sh\n\nset -e\n\nif [ \"$1\" = \"remove\" ]; then\n\tldconfig\nfi\n")

foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.d?deb$")
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

  if(deb MATCHES "\\.ddeb$")
    string(REGEX REPLACE "-dbgsym$" "" of_package "${package}")
    file(MAKE_DIRECTORY "${tree}/usr/share/doc")
    file(CREATE_LINK "${of_package}" "${tree}/usr/share/doc/${package}" SYMBOLIC)
    file(GLOB_RECURSE debug_files LIST_DIRECTORIES false RELATIVE "${tree}" "${tree}/usr/*.debug")
    set(md5sums "")
    foreach(file IN LISTS debug_files)
      file(CHMOD "${tree}/${file}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
      file(MD5 "${tree}/${file}" sum)
      string(APPEND md5sums "${sum}  ${file}\n")
    endforeach()
    file(WRITE "${control}/md5sums" "${md5sums}")
    list(APPEND changes "md5sums, modes, doc link")
  endif()
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
