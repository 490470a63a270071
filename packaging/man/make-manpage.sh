#!/bin/sh
# Makes the manual page of one program from its own --help and --version text, gzipped:
#   make-manpage.sh PROGRAM "WHAT IT IS" INCLUDE OUTPUT.1.gz
# The program is run by name from its folder, so the synopsis reads "qrx5-cli [options]"
# rather than the build folder's path. No display is needed: --help answers before any window.
# INCLUDE names the package's pages under SEE ALSO, one ".BR page (1)" line each; a page
# lists the others, not itself.
set -eu
program=$1
name=$2
include=$3
output=$4
page="${output%.gz}"
self=$(basename "$program")
others="${page}.h2m"
trap 'rm -f "$others"' EXIT
awk -v self="$self" '
  /^\.BR / { if ($2 != self) refs[n++] = $2; next }
  { print }
  END { for (i = 0; i < n; i++) printf ".BR %s (1)%s\n", refs[i], (i < n - 1 ? "," : "") }
' "$include" >"$others"
PATH="$(dirname "$program"):$PATH" help2man --no-info --section=1 --name="$name" \
  --include="$others" --output="$page" "$self"
gzip -9nf "$page"
