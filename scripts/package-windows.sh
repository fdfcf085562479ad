#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Makes build/packages/morvane-<version>-win64.zip from the cross build in
# build-windows/: morvane.dll, morvane.tlb, README-windows.txt and the
# example .vbs and .asp files.
#
#   scripts/package-windows.sh [--build-dir DIR]   (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build-windows
while (($#)); do
  case "$1" in
    --build-dir) build_dir=${2:?--build-dir needs a directory}; shift ;;
    -h|--help) sed -n '2,8s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "package-windows.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

# The release, from the project's own version line.
version=$(sed -n 's/^project(Tessaly VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "package-windows.sh: no version in CMakeLists.txt" >&2; exit 1; }
for file in "$build_dir/bin/morvane.dll" "$build_dir/bin/morvane.tlb"; do
  [[ -f $file ]] || { echo "package-windows.sh: $file is missing; run scripts/build-windows.sh" >&2; exit 1; }
done

name=morvane-$version-win64
stage=$(mktemp -d "${TMPDIR:-/tmp}/morvane-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name" build/packages
cp "$build_dir/bin/morvane.dll" "$build_dir/bin/morvane.tlb" "$stage/$name/"
# The debugging information stays in the build tree.
x86_64-w64-mingw32-strip --strip-debug "$stage/$name/morvane.dll"
# Text files with Windows line ends, for Notepad.
for file in bindings/com/README-windows.txt examples/windows/credits.vbs examples/windows/credits.asp; do
  sed 's/$/\r/' "$file" >"$stage/$name/$(basename "$file")"
done
rm -f "build/packages/$name.zip"
(cd "$stage" && python3 -m zipfile -c "$OLDPWD/build/packages/$name.zip" "$name")
echo "build/packages/$name.zip"
python3 -m zipfile -l "build/packages/$name.zip"
