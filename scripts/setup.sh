#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Installs the Debian packages the build and the tests need, only those
# that are missing. Sourced by the other scripts; needs root to install.
# With TESSALY_SETUP=packaging, only what building and checking the Debian
# packages needs (scripts/package.sh).
set -euo pipefail

TESSALY_PACKAGING_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  dpkg-dev file binutils lintian
  qt6-base-dev libgl-dev
  # Quadrel's Designer plugin and the form loader its test uses; the
  # loader's CMake package needs Qt's OpenGL widgets, which
  # qt6-tools-dev does not pull in.
  qt6-tools-dev libqt6opengl6-dev
  python3-dev pybind11-dev
)
TESSALY_PACKAGES=(
  "${TESSALY_PACKAGING_PACKAGES[@]}"
  libgtest-dev libgmock-dev python3-pytest
  # The lint stage (scripts/lint.sh).
  shellcheck flake8 mypy clang-tidy
  # The Python source archive built into a wheel (scripts/check_install.sh).
  python3-build python3-wheel
  clang libclang-rt-14-dev clang-format
  # The installable Python module and the account console, with its browser test.
  python3-venv python3-pip python3-setuptools python3-pybind11
  python3-flask python3-jinja2 python3-waitress
  chromium chromium-driver python3-selenium
  # The JSON API's example client (examples/node), run by the console's browser test.
  nodejs
  # The Windows build and its tests under Wine (scripts/build-windows.sh,
  # scripts/test-windows.sh): the cross compiler with C++ threads, widl,
  # GoogleTest's sources to compile with it, and 64-bit Wine.
  g++-mingw-w64-x86-64-posix mingw-w64-tools googletest wine64
)

wanted=("${TESSALY_PACKAGES[@]}")
if [[ ${TESSALY_SETUP:-} == packaging ]]; then
  wanted=("${TESSALY_PACKAGING_PACKAGES[@]}")
fi
missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
