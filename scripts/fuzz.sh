#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# Longer fuzzing of the gateway and of wgsim's account file than the short
# runs in scripts/test.sh.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Runs each target (default: all five) for SECONDS (default 300) in the
# clang tree build-asan/ (AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer), one after the other. Targets: reply_classification,
# reply_value, numeric_text, settings_record (the gateway's) and
# account_round_trip (wgsim's).
#
# The corpus grows in build-asan/fuzz-corpus/TARGET/ from run to run,
# starting from the seeds in gateway/fuzz/corpus/TARGET/ or
# tools/wgsim/fuzz/corpus/TARGET/. An input that
# makes a target fail is saved in build-asan/fuzz-findings/TARGET/ and the
# script stops with a failure status; rerun it with
#   build-asan/bin/TARGET_fuzzer FILE
# and, once it is understood, add it to the seeds so that the short runs
# keep checking it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-300}"
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(reply_classification reply_value numeric_text settings_record account_round_trip)
fi

source scripts/setup.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTESSALY_WERROR=ON -DTESSALY_GUI=OFF \
  -DTESSALY_SANITIZE=address,undefined -DTESSALY_FUZZ=ON \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -fno-sanitize-recover=all"
fuzzers=()
for target in "${targets[@]}"; do fuzzers+=("${target}_fuzzer"); done
cmake --build build-asan -j "${TESSALY_JOBS:-$(nproc)}" --target "${fuzzers[@]}"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

for target in "${targets[@]}"; do
  corpus="build-asan/fuzz-corpus/$target"
  findings="build-asan/fuzz-findings/$target"
  seeds="gateway/fuzz/corpus/$target"
  [[ -d $seeds ]] || seeds="tools/wgsim/fuzz/corpus/$target"
  mkdir -p "$corpus" "$findings"
  echo "== $target for ${seconds} s"
  "build-asan/bin/${target}_fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$seeds"
done
