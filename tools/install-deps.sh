#!/usr/bin/env bash
# Installs the Debian packages the program, its manual pages (help2man), its tests and its
# screenshots need, when missing (libgit2-dev and pkgconf for the controller history).
# With --package also what the Debian package needs: dpkg-shlibdeps (dpkg-dev) and file find
# its library dependencies, desktop-file-validate (desktop-file-utils) checks its desktop entry.
# With --ci all that and what .ci/run needs beyond it: Clang with its sanitizer and libFuzzer
# runtimes, and llvm-symbolizer for readable sanitizer reports.
# With --screenshots what tools/screenshots.sh needs beyond the tests: the openbox window
# manager, which draws the frames of the pictures taken under Xvfb.
set -euo pipefail
packages=(cmake g++ make pkgconf qt6-base-dev qt6-serialport-dev libgl-dev libgit2-dev
          help2man fonts-noto-cjk poppler-utils xvfb xauth)
packaging=(dpkg-dev file desktop-file-utils)
case "${1:-}" in
  --package) packages+=("${packaging[@]}") ;;
  --ci) packages+=("${packaging[@]}" clang libclang-rt-14-dev llvm) ;;
  --screenshots) packages+=(openbox) ;;
esac
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
