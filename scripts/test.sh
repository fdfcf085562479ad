#!/usr/bin/env bash
# From a fresh Debian machine to a full test run: installs what is missing,
# builds with warnings as errors and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure --timeout 300 -j "$(nproc)"
