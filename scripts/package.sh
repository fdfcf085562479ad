#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Builds the Debian packages with CPack:
#
#   libtessaly4      the shared libraries libmorvane and libtessaly-platform
#   libtessaly-dev   their headers, the CMake package (Tessaly::morvane,
#                    Tessaly::platform), morvane.pc, the embedding guide and
#                    the consumer example: no Qt
#   liblattix1       liblattix, the Quadrel control for Qt 6 programs
#   liblattix-dev    its headers, CMake targets (component lattix) and
#                    lattix.pc; depends on libtessaly-dev and Qt's
#   tessaly-tools    morvane and wgsim, their manual pages and documents,
#                    the example systemd unit
#   ravelset         the settings window, its .desktop file, icon and guide
#   python3-morvane  the Python module, for the system's python3
#   *-dbgsym         the debugging information of each (.ddeb)
#
# The packages install under /usr, and a build tree knows its prefix from
# when it was configured: GNUInstallDirs puts the libraries, the CMake
# package and the .pc files into the multiarch directory (lib/<triplet>)
# only for /usr. So the packages come from a tree of their own,
# BUILD_DIR/deb/, configured for /usr without the tests; BUILD_DIR itself
# is left as it is. A BUILD_DIR configured with -DCMAKE_INSTALL_PREFIX=/usr
# and -DCMAKE_BUILD_TYPE=RelWithDebInfo is used itself, with no second build. Installed for /usr, nothing has a RUNPATH. Every
# package has its share/doc/<package>/copyright and changelog.gz; manual
# pages and guides are gzipped. The library and development packages are
# Multi-Arch: same; the library packages have a shlibs file, a symbols file
# (packaging/symbols/) and the ldconfig trigger, and the Python package
# byte-compiles its module on installation and removes the compiled files
# on removal (packaging/deb-post-build.cmake finishes what CPack cannot say).
# Dependencies come from dpkg-shlibdeps. The packages land in
# BUILD_DIR/packages/.
#
#   scripts/package.sh [--check] [BUILD_DIR]     (default build)
#
# --check then runs lintian on the packages, which fails on any error or
# warning, unpacks every package into one tree (dpkg-deb -x), checks the
# layout above and runs morvane --version (and imports the Python module,
# reads its metadata, byte-compiles and cleans it as the package's scripts
# do) from it, the libraries found in the tree's multiarch directory. It
# compares the libraries' exported symbols with the symbols files, finds
# every document where the manual pages and the systemd unit say, and
# builds examples/consumer/ against libtessaly4 and libtessaly-dev alone,
# unpacked without any other package, with Qt out of reach.
#
# A change to the exported symbols fails the check with the difference.
# A new symbol is added to packaging/deb/<package>/symbols with the release
# that brings it; a symbol gone breaks the ABI: new soname, new package name.
#
# Lintian overrides, each in its package with the reason beside it:
#
#   libtessaly4: package-name-doesnt-match-sonames
#     the runtime package holds libmorvane (soname 4) and libtessaly-platform
#     (soname 1), released together; an incompatible change to either must
#     rename the package (packaging/lintian/libtessaly.overrides).
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
if [[ ${1:-} == --check ]]; then
  check=true
  shift
fi
build=${1:-build}

# Only what building the packages needs (and, with --check, checking them).
TESSALY_SETUP=packaging
source scripts/setup.sh
# A build tree already configured as the packages need it (prefix /usr,
# with debugging information) serves as it is; any other is left alone.
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" 2>/dev/null; }
if [[ $(cached CMAKE_INSTALL_PREFIX) == /usr && $(cached CMAKE_BUILD_TYPE) == RelWithDebInfo ]]; then
  tree=$build
else
  tree=$build/deb
  cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON \
    -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$tree" -j "${TESSALY_JOBS:-$(nproc)}"

out=$build/packages
rm -rf "$out"
cpack --config "$tree/CPackConfig.cmake" -G DEB -B "$out" >"$tree/cpack.log" 2>&1 ||
  { cat "$tree/cpack.log" >&2; exit 1; }
ls "$out"/*.deb "$out"/*.ddeb

$check || exit 0

fail() {
  echo "package.sh: $*" >&2
  exit 1
}

expected=$(sed -n 's/^project(Tessaly VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
[[ $changelog_version == "$expected" ]] ||
  fail "packaging/changelog's latest entry is $changelog_version, not $expected: add the release's entry"

# Lintian as a Debian reviewer would run it; informational tags are shown,
# and errors and warnings fail.
lintian --display-info --fail-on error,warning "$out"/*.deb "$out"/*.ddeb 2> >(grep -v 'root privileges' >&2) ||
  fail "lintian found errors or warnings in the packages"
echo "-- lintian: no errors, no warnings"

root=$(realpath "$out")/root
rm -rf "$root"
for deb in "$out"/*.deb; do
  dpkg-deb -x "$deb" "$root"
  # Every package depends on what dpkg-shlibdeps found; all but the base
  # library package on that package, of this very version.
  depends=$(dpkg-deb -f "$deb" Depends)
  package=$(dpkg-deb -f "$deb" Package)
  # The library and development packages can be installed for two
  # architectures at once.
  if [[ $package == lib*[0-9] || $package == lib*-dev ]] &&
    [[ $(dpkg-deb -f "$deb" Multi-Arch) != same ]]; then
    fail "$deb: a library or development package without Multi-Arch: same"
  fi
  # The listing is read whole: grep -q stopping early would break the pipe,
  # and pipefail would then skip the check.
  contents=$(dpkg-deb -c "$deb")
  case "$package" in
    libtessaly-dev)
      # The gateway's and the platform's development files need no Qt.
      [[ $depends == *"libtessaly4 (= "* && $depends != *qt6* && $depends != *lattix* ]] ||
        fail "$deb: Depends '$depends' is not libtessaly4 alone"
      [[ $contents != *lattix* ]] || fail "$deb holds Lattix's files"
      ;;
    liblattix-dev)
      # Lattix's CMake targets and lattix.pc name Qt 6 Widgets.
      for want in qt6-base-dev "libtessaly-dev (= " "liblattix1 (= "; do
        [[ $depends == *"$want"* ]] || fail "$deb: Depends '$depends' lacks $want"
      done
      ;;
    python3-morvane)
      # Byte-compiled on installation and cleaned on removal, as dh_python3
      # packages are.
      dpkg-deb -e "$deb" "$out/python-control"
      grep -q '^[[:space:]]*py3compile -p python3-morvane' "$out/python-control/postinst" ||
        fail "$deb: no postinst running py3compile"
      grep -q '^[[:space:]]*py3clean -p python3-morvane' "$out/python-control/prerm" ||
        fail "$deb: no prerm running py3clean"
      [[ $depends == *"libtessaly4 (= "* && $depends == *libc6* ]] ||
        fail "$deb: Depends '$depends' lacks libc6 or libtessaly4"
      ;;
    libtessaly4) [[ $depends == *libc6* ]] || fail "$deb: Depends '$depends' lacks libc6" ;;
    *) [[ $depends == *"libtessaly4 (= "* && $depends == *libc6* ]] ||
      fail "$deb: Depends '$depends' lacks libc6 or libtessaly4" ;;
  esac
done

# A -dbgsym package with the debugging information of each package with
# programs or libraries, found by build ID.
for package in libtessaly4 tessaly-tools; do
  dbgsym=$(echo "$out/$package-dbgsym_"*.ddeb)
  [[ -f $dbgsym ]] || fail "no $package-dbgsym package"
  [[ $(dpkg-deb -c "$dbgsym") == *"/usr/lib/debug/.build-id/"*".debug"* ]] ||
    fail "$dbgsym has no debugging information by build ID"
done

# The libraries, the CMake package and the .pc files in the multiarch
# directory; no ELF file with a RUNPATH; every manual page gzipped.
libdir=$root/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for file in libmorvane.so.4 libtessaly-platform.so.1 cmake/Tessaly/TessalyConfig.cmake \
  pkgconfig/morvane.pc; do
  [[ -e $libdir/$file ]] || fail "no $file in ${libdir#"$root"}"
done
while IFS= read -r -d '' file; do
  if ! file -b "$file" | grep -q '^ELF'; then continue; fi
  # Not grep -q: stopping at the first match breaks the pipe, and with
  # pipefail the match would read as none.
  if readelf -d "$file" | grep -E '\((RUNPATH|RPATH)\)' >/dev/null; then
    fail "${file#"$root"} has a RUNPATH: $(readelf -d "$file" | grep -E '\((RUNPATH|RPATH)\)')"
  fi
done < <(find "$root" -type f -print0)
while IFS= read -r -d '' page; do
  if [[ $page != *.gz ]] || ! gzip -t "$page"; then
    fail "${page#"$root"} is not a gzipped manual page"
  fi
done < <(find "$root/usr/share/man" -type f -print0)
echo "-- layout: libraries in ${libdir#"$root"}, no RUNPATH, manual pages gzipped"

# The exported symbols, as the symbols files list them. Level 4: any symbol
# gone or new fails.
for symbols in packaging/deb/*/symbols; do
  package=$(basename "$(dirname "$symbols")")
  symbols_file=$(realpath "$symbols")
  libraries=()
  while read -r soname _; do
    libraries+=("-e$libdir/$soname")
  done < <(grep -E '^[^ #|*]' "$symbols")
  # dpkg-gensymbols works in a source tree: an empty debian/ will do.
  mkdir -p "$out/symbols-check/debian"
  (cd "$out/symbols-check" && dpkg-gensymbols -c4 -p"$package" -v"$expected" \
    -I"$symbols_file" "${libraries[@]}" -O/dev/null) >"$out/symbols.log" 2>&1 || {
    cat "$out/symbols.log" >&2
    fail "the symbols of $package differ from $symbols (above; + new, - gone)"
  }
  # dpkg-gensymbols lets a symbol listed with the release being built
  # vanish without a word: every symbol listed without (optional) must
  # still be exported.
  exported=$(for library in "${libraries[@]}"; do nm -D --defined-only "${library#-e}"; done |
    awk '{print $NF}' | sort -u)
  gone=$(grep -E '^ [^(]' "$symbols" | sed -E 's/^ //; s/@Base .*//' | sort -u |
    comm -23 - <(echo "$exported"))
  [[ -z $gone ]] || fail "$symbols lists symbols $package no longer exports: $gone"
done
echo "-- exported symbols as packaging/deb/*/symbols list them"

# Documents where the manual pages and the example unit say they are, and
# the README compressed.
documents=(usr/share/doc/libtessaly4/README.md.gz)
while IFS= read -r path; do
  documents+=("${path#/}")
done < <(sed -n 's/^\.IR \(\/usr\/share\/doc\/[^ ,]*\).*/\1/p' docs/man/*.1 | sed 's/\\-/-/g; s/ *[.]$//')
while IFS= read -r path; do
  documents+=("${path#file:///}")
done < <(sed -n 's/^Documentation=.* \(file:[^ ]*\).*/\1/p' examples/wgsim.service)
for document in "${documents[@]}"; do
  [[ -f $root/$document ]] || fail "no /$document, which the documents name"
done
echo "-- ${#documents[@]} documents where the manual pages say"

# The program runs from the unpacked tree with the tree's libraries.
version=$(LD_LIBRARY_PATH=$libdir "$root/usr/bin/morvane" --version) ||
  fail "morvane --version from the unpacked packages failed"
[[ $version == *"$expected"* ]] || fail "morvane --version said '$version', not $expected"
echo "-- packages unpacked; morvane --version: $version"

# The Python package, where built, imports from the unpacked tree and
# reports the same release.
python_dir=$root/usr/lib/python3/dist-packages
if [[ -d $python_dir/morvane ]]; then
  python_version=$(cd / && LD_LIBRARY_PATH=$libdir PYTHONPATH="$python_dir" \
    /usr/bin/python3 -c 'import morvane; print(morvane.__version__)') ||
    fail "import morvane from the unpacked packages failed"
  [[ $python_version == "$expected" ]] || fail "morvane.__version__ is '$python_version', not $expected"
  metadata_version=$(cd / && PYTHONPATH="$python_dir" /usr/bin/python3 -c \
    'import importlib.metadata as m; print(m.version("morvane"))') ||
    fail "importlib.metadata does not know morvane in the unpacked packages"
  [[ $metadata_version == "$expected" ]] || fail "morvane's metadata says $metadata_version"
  # What the maintainer scripts do, on the unpacked module: the compiled
  # files py3compile makes, py3clean removes all, leaving the package's
  # files alone.
  before=$(find "$python_dir" | sort)
  py3compile "$python_dir/morvane"
  [[ -n $(find "$python_dir/morvane" -name '*.pyc') ]] || fail "py3compile compiled nothing"
  py3clean "$python_dir/morvane"
  [[ $(find "$python_dir" | sort) == "$before" ]] || fail "py3clean left files behind"
  echo "-- python3-morvane unpacked; morvane.__version__ and its metadata: $python_version;" \
    "compiled and cleaned"
fi

# The consumer against the Qt-free development package and the runtime
# library alone, Qt out of reach: through find_package and pkg-config.
dev_root=$(realpath "$out")/root-dev
rm -rf "$dev_root"
for package in libtessaly4 libtessaly-dev; do
  dpkg-deb -x "$(echo "$out/${package}_"*.deb)" "$dev_root"
done
cmake -S examples/consumer -B "$out/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$dev_root/usr" \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON --no-warn-unused-cli >/dev/null || fail "the consumer did not configure"
cmake --build "$out/consumer" >/dev/null || fail "the consumer did not build"
echo "-- consumer built against libtessaly4 and libtessaly-dev alone, without Qt"
