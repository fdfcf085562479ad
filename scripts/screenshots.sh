#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Renders the documentation's screenshots offscreen: the settings window of
# Ravelset and the About box of the Quadrel control, as PNG files in docs/.
# Builds what it needs into build/ first. Touches no real settings file: the
# program works in a temporary Windows directory of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ! -f build/CMakeCache.txt ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON
fi
cmake --build build -j2 --target ravelset_screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/bin/ravelset_screenshots docs
