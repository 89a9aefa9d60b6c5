#!/usr/bin/env bash
# Sets up everything that is missing, builds all three builds and runs every
# test (unit, simulated computer, setupsim, Windows 95 check, Wine runs).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build-all.sh
ctest --test-dir build/native --output-on-failure -j"${SETUP_TEST_JOBS:-2}" "$@"
