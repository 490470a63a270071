#!/usr/bin/env bash
# Builds the Debian package of the programs, build/qrx5_<version>_<architecture>.deb, and
# prints its path on standard output (what the steps print goes to standard error). Everything
# is built first (cpack installs from the build folder).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --package >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 >&2
rm -f build/qrx5_*.deb # a failed run must not leave an older package to be taken for its own
(cd build && cpack -G DEB >&2)
version=$(build/qrx5-cli --version | awk '{print $2}')
deb=build/qrx5_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "package.sh: $deb was not made" >&2; exit 1; }
echo "$deb"
