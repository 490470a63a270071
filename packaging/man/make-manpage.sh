#!/bin/sh
# Makes the manual page of one program from its own --help and --version text, gzipped:
#   make-manpage.sh PROGRAM "WHAT IT IS" INCLUDE OUTPUT.1.gz
# The program is run by name from its folder, so the synopsis reads "qrx5-cli [options]"
# rather than the build folder's path. No display is needed: --help answers before any window.
set -eu
program=$1
name=$2
include=$3
output=$4
page="${output%.gz}"
PATH="$(dirname "$program"):$PATH" help2man --no-info --section=1 --name="$name" \
  --include="$include" --output="$page" "$(basename "$program")"
gzip -9nf "$page"
