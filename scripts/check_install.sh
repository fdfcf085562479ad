#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Checks the installed tree of a build, as a user of the libraries sees it:
#
# - installs build/ into a staging prefix under it (build/stage/);
# - only the three programs are installed, and no installed program or
#   library names a path into the build tree (RUNPATH, strings); they and
#   the Python module run by their $ORIGIN-relative RUNPATH;
# - builds examples/consumer/ against the staged tree once through
#   find_package(Tessaly) and once through pkg-config, and runs both against
#   a wgsim started from the staged tree on 127.0.0.1 (settings in a
#   temporary Windows directory of its own);
# - with the GUI, compiles the installed Quadrel headers alone through
#   lattix.pc, and finds Tessaly::lattix through find_package's component;
# - installs only the Qt-free components (runtime library and its
#   development files, build/stage-qtfree/) and builds the consumer there
#   with Qt out of reach; the component lattix is then not found.
#
#   scripts/check_install.sh [BUILD_DIR]     (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/processes.sh

build=$(realpath "${1:-build}")
stage=$build/stage
work=$(mktemp -d)
wgsim_pid=
cleanup() {
  stop_processes "$wgsim_pid"
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "check_install.sh: $*" >&2
  exit 1
}

rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null

# Which library directory GNUInstallDirs chose for this build.
libdir=$(dirname "$(find "$stage" -name 'libmorvane.so' -print -quit)")
[[ -d $libdir ]] || fail "no libmorvane.so in $stage"

echo "-- installed programs:" "$stage"/bin/*
for program in "$stage"/bin/*; do
  case "$(basename "$program")" in
    morvane | wgsim | ravelset) ;;
    *) fail "$(basename "$program") must not be installed" ;;
  esac
done

# Nothing installed may lead back into the build tree: not the RUNPATH,
# not a string such as a debug path or a compiled-in file name.
while IFS= read -r -d '' file; do
  if ! file -b "$file" | grep -q '^ELF'; then continue; fi
  runpath=$(readelf -d "$file" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')
  [[ $runpath != *"$build"* ]] || fail "$file has RUNPATH $runpath"
  # shellcheck disable=SC2016  # the literal $ORIGIN
  [[ $runpath == *'$ORIGIN'* ]] || fail "$file has no \$ORIGIN RUNPATH (${runpath:-none})"
  # Not grep -q: stopping at the first match breaks the pipe, and with
  # pipefail the match would read as none.
  if strings -a "$file" | grep -F "$build" >/dev/null; then
    fail "$file names the build tree: $(strings -a "$file" | grep -F "$build" | head -1)"
  fi
done < <(find "$stage/bin" "$libdir" -type f -print0)

# Each library exports its public interface and nothing of its insides.
# LIBRARY|a symbol it must export|a symbol it must not export
symbol_cases=(
  "libmorvane.so|morvane::WG::UserIDExists(|morvane::FoldedReply::"
  "libmorvane.so|typeinfo for morvane::WG|morvane::ComposeLine("
  "libmorvane.so|morvane::ReadSettingsRecordIfPresent(|morvane::CommandHelp("
  "libmorvane.so|morvane::WriteSettingsRecord(|morvane::ReadSettingsRecord("
  "libtessaly-platform.so|platform::CreateObject(|platform::utf8::Decode("
  "libtessaly-platform.so|typeinfo for platform::PlatformError|platform::MakePosixTcpSocket("
  "libtessaly-platform.so|platform::RegisterClass(|platform::MemoryPropertyBag::"
  "libtessaly-platform.so|platform::SetDefaultSocketTimeouts(|platform::EqualsDefault("
  "libtessaly-platform.so|platform::MakeFileRegistry(|platform::RegistryStore::"
  "libtessaly-platform.so|typeinfo for platform::RegistryApi|platform::FileRegistry"
  "liblattix.so|lattix::RegisterClasses(|lattix::Quadrel::"
  "liblattix.so|lattix::QuadrelWidget::staticMetaObject|lattix::AboutForm::"
)
for case in "${symbol_cases[@]}"; do
  IFS='|' read -r library exported hidden <<<"$case"
  [[ -e $libdir/$library ]] || continue  # liblattix only with the GUI
  symbols=$(nm -DC --defined-only "$libdir/$library")
  grep -qF -- "$exported" <<<"$symbols" || fail "$library does not export $exported"
  ! grep -qF -- "$hidden" <<<"$symbols" || fail "$library exports $hidden"
done

# The Python module, where built, finds libmorvane by its RUNPATH alone.
python_dir=$stage/lib/python3/dist-packages
if [[ -d $python_dir/morvane ]]; then
  (cd / && env -u LD_LIBRARY_PATH PYTHONPATH="$python_dir" PYTHONDONTWRITEBYTECODE=1 \
    /usr/bin/python3 -c 'import morvane') || fail "import morvane from the staged tree failed"
fi

cmake -S examples/consumer -B "$work/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$stage" >/dev/null
cmake --build "$work/cmake" >/dev/null
# The consumer, through pkg-config and a plain compiler call.
export PKG_CONFIG_PATH=$libdir/pkgconfig
mkdir -p "$work/pc"
# The .pc files leave the C++ standard to the program; the headers need C++20.
# shellcheck disable=SC2046  # the flags are words
g++ -std=c++20 -o "$work/pc/account_check" examples/consumer/main.cc \
  $(pkg-config --cflags --libs morvane)

if [[ -f $libdir/pkgconfig/lattix.pc ]]; then
  printf '#include "tessaly/lattix/quadrel_control.h"\n#include "tessaly/lattix/quadrel_widget.h"\n' \
    >"$work/quadrel_user.cc"
  # shellcheck disable=SC2046
  g++ -std=c++20 -fPIC -c -o "$work/quadrel_user.o" "$work/quadrel_user.cc" \
    $(pkg-config --cflags lattix)
fi

# Quadrel for Qt programs: examples/quadrel_demo builds against the staged
# widget and runs offscreen; the Designer plugin finds the staged liblattix
# by its RUNPATH.
if [[ -f $libdir/liblattix.so ]]; then
  cmake -S examples/quadrel_demo -B "$work/quadrel_demo" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$stage" >/dev/null
  cmake --build "$work/quadrel_demo" >/dev/null
  shown=$(QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH=$libdir \
    "$work/quadrel_demo/quadrel_demo" --print 10.1.2.300 2>/dev/null)
  [[ $shown == "10.1.2.255 (-16645878)" ]] || fail "quadrel_demo printed '$shown'"
  plugin=$(find "$stage" -name liblattix_designer.so -path '*/plugins/designer/*' -print -quit)
  [[ -n $plugin ]] || fail "no Designer plugin under $stage"
  env -u LD_LIBRARY_PATH ldd "$plugin" | grep -F "liblattix.so.1 => $stage/" >/dev/null ||
    fail "$plugin does not find the staged liblattix"
  echo "-- quadrel_demo built and ran against the staged widget; Designer plugin in place"
fi

# find_package(Tessaly 4 COMPONENTS lattix) against a tree: whether
# Tessaly::lattix is there, "yes" or "no".
lattix_found() {
  local tree=$1 project=$work/lattix-$RANDOM
  mkdir -p "$project"
  cat >"$project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.22)
project(LattixUser LANGUAGES CXX)
find_package(Tessaly 4 CONFIG REQUIRED OPTIONAL_COMPONENTS lattix)
if(TARGET Tessaly::lattix AND Tessaly_lattix_FOUND)
  message(STATUS "lattix: yes")
else()
  message(STATUS "lattix: no")
endif()
CMAKE
  cmake -S "$project" -B "$project/build" -DCMAKE_PREFIX_PATH="$tree" "${@:2}" |
    sed -n 's/^-- lattix: //p'
}
if [[ -f $libdir/pkgconfig/lattix.pc ]]; then
  [[ $(lattix_found "$stage") == yes ]] || fail "find_package(Tessaly COMPONENTS lattix) failed"
fi

# The Qt-free components alone: the consumer builds with Qt out of reach.
qt_free=$build/stage-qtfree
rm -rf "$qt_free"
for component in runtime devel; do
  cmake --install "$build" --prefix "$qt_free" --component "$component" >/dev/null
done
[[ -z $(find "$qt_free" -name '*lattix*' -print -quit) ]] || fail "Lattix's files in $qt_free"
cmake -S examples/consumer -B "$work/qt-free" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$qt_free" -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON --no-warn-unused-cli \
  >/dev/null || fail "the consumer did not configure against the Qt-free components"
cmake --build "$work/qt-free" >/dev/null
[[ $(lattix_found "$qt_free" -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON --no-warn-unused-cli) == no ]] ||
  fail "Tessaly::lattix found in the Qt-free components"
echo "-- consumer built against the Qt-free components alone; lattix only where installed"

# wgsim from the staged tree, without LD_LIBRARY_PATH: its RUNPATH must do.
cp examples/accounts.txt "$work/accounts.txt"
secret="stage-secret"
env -u LD_LIBRARY_PATH "$stage/bin/wgsim" --listen 127.0.0.1:0 --accounts "$work/accounts.txt" \
  --secret "$secret" >"$work/wgsim.out" 2>"$work/wgsim.err" &
wgsim_pid=$!
port=$(wgsim_listening_port "$work/wgsim.out" "$wgsim_pid") || fail "staged wgsim did not start: $(cat "$work/wgsim.err")"

export WINDIR=$work/windows
write_loopback_settings "$WINDIR" "$port"

env -u LD_LIBRARY_PATH "$stage/bin/morvane" --list >/dev/null || fail "staged morvane --list failed"

# expect_exit STATUS COMMAND...: the consumer's verdict on one user.
expect_exit() {
  local want=$1 status=0
  shift
  LD_LIBRARY_PATH=$libdir "$@" >"$work/consumer.out" 2>&1 || status=$?
  if [[ $status -ne $want ]]; then
    cat "$work/consumer.out" >&2
    fail "$* exited $status, not $want"
  fi
}
for consumer in "$work/cmake/account_check" "$work/pc/account_check"; do
  expect_exit 0 "$consumer" "$secret" Sysop
  grep -q 'NumberofCredits: error_number=0 .*answer_long=100000' "$work/consumer.out" ||
    fail "$consumer: unexpected credits: $(cat "$work/consumer.out")"
  expect_exit 1 "$consumer" "$secret" nobody-of-that-name
  expect_exit 1 "$consumer" wrong-secret Sysop
done
echo "-- consumer built through find_package and pkg-config, ran against the staged wgsim"
