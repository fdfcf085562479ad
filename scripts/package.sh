#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Builds the Debian packages with CPack from a build tree (default build/,
# configured and built as scripts/build.sh does when it is missing):
#
#   libtessaly4      the shared libraries libmorvane and libtessaly-platform
#   liblattix1       liblattix, the Quadrel control for Qt 6 programs
#   libtessaly-dev   headers, the CMake package, the pkg-config files, the
#                    embedding guide and the examples
#   tessaly-tools    morvane and wgsim, with their manual pages
#   ravelset         the settings window, its .desktop file and icon
#   python3-morvane  the Python module, for the system's python3
#
# The packages install under /usr, and a build tree knows its prefix from
# when it was configured: GNUInstallDirs puts the libraries, the CMake
# package and the .pc files into the multiarch directory (lib/<triplet>)
# only for /usr. So the tree's CMAKE_INSTALL_PREFIX becomes /usr here if it
# is not already (cmake --install --prefix DIR still installs anywhere).
# Installed for /usr, nothing has a RUNPATH. Every package has its
# share/doc/<package>/copyright and changelog.gz; manual pages are gzipped.
# The library packages are Multi-Arch: same, with a shlibs file and the
# ldconfig trigger (packaging/deb-post-build.cmake finishes what CPack
# cannot say).
# Dependencies come from dpkg-shlibdeps. The packages land in
# BUILD_DIR/packages/.
#
#   scripts/package.sh [--check] [BUILD_DIR]
#
# --check then runs lintian on the packages, which fails on any error or
# warning, unpacks every package into one tree (dpkg-deb -x), checks the
# layout above and runs morvane --version (and imports the Python module)
# from it, the libraries found in the tree's multiarch directory.
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
package_prefix=/usr

source scripts/setup.sh
if [[ ! -f $build/CPackConfig.cmake ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON \
    -DCMAKE_INSTALL_PREFIX="$package_prefix"
fi
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
if [[ $prefix != "$package_prefix" ]]; then
  echo "-- $build: install prefix $prefix becomes $package_prefix, as in the packages"
  cmake -S . -B "$build" -DCMAKE_INSTALL_PREFIX="$package_prefix" >/dev/null
fi
cmake --build "$build"

out=$build/packages
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$build/cpack.log" 2>&1 ||
  { cat "$build/cpack.log" >&2; exit 1; }
ls "$out"/*.deb

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
lintian --display-info --fail-on error,warning "$out"/*.deb 2> >(grep -v 'root privileges' >&2) ||
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
  # The library packages can be installed for two architectures at once.
  if [[ $package == lib*[0-9] && $(dpkg-deb -f "$deb" Multi-Arch) != same ]]; then
    fail "$deb: a library package without Multi-Arch: same"
  fi
  case "$package" in
    libtessaly-dev)
      # Its CMake package and lattix.pc name Qt 6 Widgets, when built in.
      # The listing is read whole: grep -q stopping early would break the
      # pipe, and pipefail would then skip the check.
      contents=$(dpkg-deb -c "$deb")
      if [[ $contents == *"/lattix.pc"* ]]; then
        [[ $depends == *qt6-base-dev* ]] || fail "$deb: Depends '$depends' lacks qt6-base-dev"
      fi
      ;;
    libtessaly4) [[ $depends == *libc6* ]] || fail "$deb: Depends '$depends' lacks libc6" ;;
    *) [[ $depends == *"libtessaly4 (= "* && $depends == *libc6* ]] ||
      fail "$deb: Depends '$depends' lacks libc6 or libtessaly4" ;;
  esac
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
  echo "-- python3-morvane unpacked; morvane.__version__: $python_version"
fi
