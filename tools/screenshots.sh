#!/usr/bin/env bash
# Writes the pictures of the documentation into docs/ (or the folder given): builds
# qrx5-screenshots and runs it under the offscreen platform for the pictures of windows, then
# under Xvfb with the openbox window manager for the whole screen at 1280x800 and 1024x700 and
# the dialogs with their frames. Not part of ./test.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath -m "${1:-docs}")
tools/install-deps.sh --screenshots
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target qrx5-screenshots qrx5-sim
QT_QPA_PLATFORM=offscreen build/qrx5-screenshots "$folder"
for size in 1280x800 1024x700; do
  xvfb-run -a -s "-screen 0 ${size}x24" sh -c \
    'openbox & sleep 1; QT_QPA_PLATFORM=xcb build/qrx5-screenshots --screen "$1"; s=$?; kill $!; exit $s' \
    sh "$folder"
done
echo "Pictures written to $folder"
