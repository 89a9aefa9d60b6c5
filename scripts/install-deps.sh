#!/usr/bin/env bash
# Installs what building and testing the launcher needs on Debian 12.
# Safe to run again: only missing packages are installed.
set -euo pipefail

# --native: only what the Linux build (setupsim) needs.
native_only=0
if [ "${1:-}" = "--native" ]; then
  native_only=1
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

packages=(
  cmake make g++ python3 python3-pefile
  libgtest-dev googletest
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64 mingw-w64-tools
)
if [ $native_only -eq 0 ]; then
  packages+=(wine64 xvfb imagemagick)
  # The fuzz targets (preset fuzz): clang with libFuzzer.
  packages+=(clang libfuzzer-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine for 32-bit programs (the shipped i686 Setup.exe), through user-mode emulation.
here="$(cd "$(dirname "$0")" && pwd)"
if [ $native_only -eq 0 ] && [ -x "$here/wine-i386.sh" ]; then
  $SUDO "$here/wine-i386.sh"
fi
