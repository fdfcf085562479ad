#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Builds and runs the gateway benchmark (bench/gateway_bench.cc): one WG
# command against a minimal client on raw sockets, and against that client
# making the system calls the gateway must make, over loopback, latency
# and throughput. Not part of the tests. Arguments go to the program, for
# example:
#   scripts/bench.sh                       # 5000 commands, 1 s per throughput run
#   scripts/bench.sh --cpu 0               # everything on one CPU
#   scripts/bench.sh --commands 20000 --seconds 3 --threads 1,4,32
# The last line printed is "wg/raw median latency ratio: X.XX".
# Figures and how to read them: docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON > /dev/null
cmake --build build -j "${TESSALY_JOBS:-$(nproc)}" --target gateway_bench > /dev/null
exec build/bin/gateway_bench "$@"
