#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# From a fresh Debian machine to a full test run:
#
# 0. checks that every C++ file is formatted as .clang-format says;
# 1. installs what is missing, builds everything into build/ with warnings
#    as errors and runs every test through CTest; installs the build into
#    build/stage/ and builds and runs examples/consumer/ against it
#    (scripts/check_install.sh); builds the Debian packages, checks them
#    with lintian and runs morvane and the Python module from them unpacked
#    (scripts/package.sh --check);
# 2. builds the toolkit-free code (the platform layer and the gateway, with
#    the gateway's and wgsim's fuzz targets) with clang's AddressSanitizer and
#    UndefinedBehaviorSanitizer into build-asan/, and runs its tests there,
#    each fuzz target included for a short run with a fixed seed;
# 3. builds the concurrency tests with ThreadSanitizer into build-tsan/ and
#    runs them;
# 4. cross-builds the Windows side into build-windows/ and runs its tests
#    under Wine in a prefix of their own (scripts/test-windows.sh);
# 5. registers morvane.dll in another prefix beside a wgsim on loopback and
#    calls it from VBScript, JScript and C++ (scripts/test-com.sh); makes
#    the Windows zip (scripts/package-windows.sh).
#
# Any failing test and any sanitizer finding fails the run. Longer fuzzing:
# scripts/fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs="${TESSALY_JOBS:-$(nproc)}"

source scripts/setup.sh
scripts/lint.sh --all build
echo "== Format: every C++ file as .clang-format says (clang-format -i fixes one)"
git ls-files -z '*.cc' '*.h' | xargs -0 clang-format --dry-run -Werror

scripts/build.sh
ctest --test-dir build --output-on-failure --timeout 300 -j "$jobs" --no-tests=error

# The installed tree as a user sees it, and the Debian packages.
echo "== Installed tree (build/stage/) and Debian packages (build/packages/)"
scripts/check_install.sh build
scripts/package.sh --check build

# A finding stops the program with a failure status, so the test fails.
# Leak checking is on: a leak found at exit fails the test too.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/gateway/tests/thread_sanitizer.supp"

# configure_sanitized DIR CMAKE_ARGS...: a clang tree of the toolkit-free
# code. The Qt parts are left out (TESSALY_GUI=OFF); only the folders
# built and tested below are compiled.
configure_sanitized() {
  local dir="$1"
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTESSALY_WERROR=ON -DTESSALY_GUI=OFF "$@"
}

echo "== AddressSanitizer + UndefinedBehaviorSanitizer, with the fuzz targets (build-asan/)"
# -fsanitize=fuzzer-no-link lets the libraries report coverage to the fuzz
# targets; in the other programs of this tree it costs a little time only.
configure_sanitized build-asan -DTESSALY_SANITIZE=address,undefined -DTESSALY_FUZZ=ON \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -fno-sanitize-recover=all"
cmake --build build-asan -j "$jobs" --target platform/all gateway/all tools/wgsim/fuzz/all
# Tests of these folders only (the gateway's include its fuzz runs).
for folder in platform gateway tools/wgsim/fuzz; do
  ctest --test-dir "build-asan/$folder" --output-on-failure --timeout 300 -j "$jobs" --no-tests=error
done

echo "== ThreadSanitizer, the concurrency tests (build-tsan/)"
configure_sanitized build-tsan -DTESSALY_SANITIZE=thread
cmake --build build-tsan -j "$jobs" --target gateway_concurrency_tests
ctest --test-dir build-tsan/gateway --output-on-failure --timeout 300 -j "$jobs" --no-tests=error \
  -R '^[A-Za-z]*ConcurrencyTest\.'

echo "== Windows: cross-built with MinGW-w64, tests under Wine (build-windows/)"
scripts/test-windows.sh

echo "== morvane.dll under Wine: every member from VBScript and JScript against wgsim, records from C++, registration; the Windows zip"
scripts/test-com.sh
scripts/package-windows.sh
