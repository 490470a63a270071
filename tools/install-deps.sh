#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its screenshots need, when missing.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-serialport-dev libgl-dev
          fonts-noto-cjk poppler-utils xvfb xauth)
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
