#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its screenshots need, when missing.
# With --ci also what .ci/run needs beyond that: Clang with its sanitizer and libFuzzer
# runtimes, and llvm-symbolizer for readable sanitizer reports.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-serialport-dev libgl-dev
          fonts-noto-cjk poppler-utils xvfb xauth)
if [ "${1:-}" = "--ci" ]; then
  packages+=(clang libclang-rt-14-dev llvm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
