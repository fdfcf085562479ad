#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Builds the Debian packages with CPack from a build tree (default build/,
# configured and built as scripts/build.sh does when it is missing):
#
#   libtessaly4     the shared libraries libmorvane and libtessaly-platform
#   liblattix1      liblattix, the Quadrel control for Qt 6 programs
#   libtessaly-dev  headers, the CMake package, the pkg-config files, the
#                   embedding guide and the examples
#   tessaly-tools   morvane and wgsim, with their manual pages
#   ravelset        the settings window, its .desktop file and icon
#
# Dependencies come from dpkg-shlibdeps. The packages land in
# BUILD_DIR/packages/.
#
#   scripts/package.sh [--check] [BUILD_DIR]
#
# --check then unpacks every package into one tree (dpkg-deb -x) and runs
# morvane --version from it, as it would run once installed.
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
if [[ ${1:-} == --check ]]; then
  check=true
  shift
fi
build=${1:-build}

source scripts/setup.sh
if [[ ! -f $build/CPackConfig.cmake ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON
fi
cmake --build "$build"

out=$build/packages
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$build/cpack.log" ||
  { cat "$build/cpack.log" >&2; exit 1; }
ls "$out"/*.deb

$check || exit 0

fail() {
  echo "package.sh: $*" >&2
  exit 1
}

root=$out/root
rm -rf "$root"
for deb in "$out"/*.deb; do
  dpkg-deb -x "$deb" "$root"
  # Every package depends on what dpkg-shlibdeps found; all but the base
  # library package on that package, of this very version.
  depends=$(dpkg-deb -f "$deb" Depends)
  case "$(dpkg-deb -f "$deb" Package)" in
    libtessaly-dev) ;;
    libtessaly4) [[ $depends == *libc6* ]] || fail "$deb: Depends '$depends' lacks libc6" ;;
    *) [[ $depends == *"libtessaly4 (= "* && $depends == *libc6* ]] ||
      fail "$deb: Depends '$depends' lacks libc6 or libtessaly4" ;;
  esac
done

# The program finds its libraries through its RUNPATH, in the unpacked tree.
version=$(env -u LD_LIBRARY_PATH "$root/usr/bin/morvane" --version) ||
  fail "morvane --version from the unpacked packages failed"
expected=$(sed -n 's/^project(Tessaly VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ $version == *"$expected"* ]] || fail "morvane --version said '$version', not $expected"
echo "-- packages unpacked; morvane --version: $version"

# The Python package, where built, imports from the unpacked tree by its
# RUNPATH alone and reports the same release.
python_dir=$(realpath "$root")/usr/lib/python3/dist-packages
if [[ -d $python_dir/morvane ]]; then
  python_version=$(cd / && env -u LD_LIBRARY_PATH PYTHONPATH="$python_dir" \
    /usr/bin/python3 -c 'import morvane; print(morvane.__version__)') ||
    fail "import morvane from the unpacked packages failed"
  [[ $python_version == "$expected" ]] || fail "morvane.__version__ is '$python_version', not $expected"
  echo "-- python3-morvane unpacked; morvane.__version__: $python_version"
fi
