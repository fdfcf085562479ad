#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Renders the documentation's screenshots offscreen: the settings window of
# Ravelset and the About box of the Quadrel control, and the account console
# in headless Chromium (docs/console-user.png, from its browser test against
# wgsim on loopback), as PNG files in docs/. Builds what it needs into build/
# first. Touches no real settings file: the programs work in temporary
# Windows directories of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ! -f build/CMakeCache.txt ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON
fi
cmake --build build -j2 --target ravelset_screenshots wgsim morvane_python
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/bin/ravelset_screenshots docs
PYTHONPATH=$PWD/build/python WGSIM=$PWD/build/bin/wgsim CONSOLE_SCREENSHOTS=$PWD/docs \
  PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -m pytest -q -p no:cacheprovider \
  web/tests/test_browser.py -k test_sign_in_look_up_and_give_credits
