#!/usr/bin/env bash
# Sets up everything that is missing, builds all three builds and runs every
# test (unit, simulated computer, setupsim, Windows 95 check, Wine runs),
# then the native suite again under the sanitizers, then the fuzz targets
# over their corpora.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build-all.sh
ctest --test-dir build/native --output-on-failure -j"${SETUP_TEST_JOBS:-2}" "$@"
# The same native suite once more under AddressSanitizer and
# UndefinedBehaviorSanitizer (the Wine runs are not repeated there).
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"${SETUP_BUILD_JOBS:-2}"
ctest --test-dir build/native-asan --output-on-failure -j"${SETUP_TEST_JOBS:-2}" -LE wine "$@"
# The fuzz targets (clang, libFuzzer, the same sanitizers), each run over its
# kept corpus and the inputs that once broke it, then briefly on.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"${SETUP_BUILD_JOBS:-2}"
ctest --test-dir build/fuzz --output-on-failure -j"${SETUP_TEST_JOBS:-2}" "$@"
