#!/usr/bin/env bash
# Configures and builds the three builds: native (setupsim and the tests),
# win32 (the shipped Setup.exe) and win64 (the same program for the Wine tests).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${SETUP_BUILD_JOBS:-2}"
for preset in native win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done
