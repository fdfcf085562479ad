#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Cross-builds the Windows side (the platform layer, the gateway and its
# component server, with their tests) into build-windows/ with Debian's
# MinGW-w64 compiler and warnings as errors. Programs and DLLs land in
# build-windows/bin/. Arguments are passed to the build step, for example
# --target platform_tests.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64-x86_64.cmake
cmake --build build-windows -j "${TESSALY_JOBS:-$(nproc)}" "$@"
