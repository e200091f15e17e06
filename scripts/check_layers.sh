#!/usr/bin/env bash
# The layers of src/ point only down: every #include "FOLDER/..." of a file
# under src/A names a folder A may use (docs/architecture.md draws them).
# Prints each include that breaks the rule and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# What each folder may include besides itself.
declare -A may=(
  [platform]=""
  [demo]="platform"
  [component]="platform"
  [movements]="platform component"
  [declaration]="platform component"
  [telematic]="platform component declaration"
  [nomenclature]="platform component declaration telematic"
  [forms]="platform component declaration telematic"
  [facade]="platform component movements declaration telematic nomenclature forms"
  [cli]="platform component demo movements declaration telematic nomenclature forms facade"
)

broken=0
while IFS= read -r -d '' file; do
  rel=${file#src/}
  folder=${rel%%/*}
  if [ -z "${may[$folder]+set}" ]; then
    echo "$file: src/$folder is not a known layer (add it to scripts/check_layers.sh and docs/architecture.md)"
    broken=1
    continue
  fi
  while IFS= read -r line; do
    number=${line%%:*}
    target=$(sed -E 's/^[0-9]+:#include "([a-z_]+)\/.*/\1/' <<<"$line")
    [ "$target" = "$folder" ] && continue
    [ -z "${may[$target]+set}" ] && continue  # not a folder of src/ (a system or generated header)
    if [[ " ${may[$folder]} " != *" $target "* ]]; then
      echo "$file:$number: src/$folder includes src/$target"
      broken=1
    fi
  done < <(grep -nE '^#include "[a-z_]+/' "$file" || true)
done < <(find src -name '*.cpp' -print0 -o -name '*.h' -print0)
exit "$broken"
