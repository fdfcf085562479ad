#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Configures and builds the project into build/ with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON
cmake --build build
