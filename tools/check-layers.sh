#!/usr/bin/env bash
# Fails when a file under src/ includes a folder above its own. The folders from top to bottom
# (folders on one line sit side by side and must not include each other):
layers=(
  "app"
  "cli"
  "pointops pulse"
  "speedcalc"
  "pointdata"
  "window"
  "history"
  "startup"
  "dialogs"
  "drive"
  "transfers"
  "files"
  "tables"
  "simulator"
  "link"
  "fileio operator"
)
set -euo pipefail
cd "$(dirname "$0")/../src"
declare -A rank
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do rank[$folder]=$i; done
done
status=0
for dir in */; do
  folder=${dir%/}
  if [ -z "${rank[$folder]+x}" ]; then
    echo "src/$folder/ has no place in the include order of tools/check-layers.sh"
    status=1
  fi
done
while IFS=: read -r file line text; do
  from=${file%%/*}
  to=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
  [ "$to" = "$text" ] && continue # an include without a folder: the file's own neighbour
  [ "$from" = "$to" ] && continue
  if [ -z "${rank[$to]+x}" ]; then
    echo "src/$file:$line includes \"$to/...\", a folder the include order does not know"
    status=1
  elif [ "${rank[$to]}" -le "${rank[$from]}" ]; then
    echo "src/$file:$line: $from includes $to, which is not below it"
    status=1
  fi
done < <(grep -rn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.h' --include='*.cpp' .  | sed 's#^\./##')
[ $status -eq 0 ] && echo "Includes point downward in every folder under src/."
exit $status
