#!/usr/bin/env bash
# The main job: builds setupsim and runs the launcher on the bundled sample,
# a Windows 98 computer with traces of an earlier driver release and the
# sample driver disc in drive D:, copied to a scratch folder. Prints what a
# person at that computer would have seen, then what the run changed on it
# (setupsim --changes). The untouched copy stays beside it, so that
#   diff build/sample-run/before/registry.reg build/sample-run/machine/registry.reg
# shows the run's registry changes.
# Extra arguments go to setupsim (for example --windows 95 --args /DRIVER).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh --native
cmake --preset native >/dev/null
cmake --build --preset native -j"${SETUP_BUILD_JOBS:-2}" --target setupsim >/dev/null

scratch="build/sample-run"
rm -rf "$scratch"
mkdir -p "$scratch"
cp -a samples/machine-98 "$scratch/before"
rm -rf "$scratch/before/d"
cp -a samples/disc "$scratch/before/d"
cp -a "$scratch/before" "$scratch/machine"

echo "== setupsim --changes${*:+ $*} $scratch/machine"
status=0
build/native/setupsim --changes "$@" "$scratch/machine" || status=$?
echo "== setupsim exit status $status"
exit $status
