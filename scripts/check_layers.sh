#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or when core code
# includes Qt. The table is the one src/CMakeLists.txt links by: a layer may include itself and
# the layers listed after it. Usage: check_layers.sh [ROOT] (default: this checkout).
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

declare -A allowed=(
  [common]="common"
  [hod]="hod common"
  [geometry]="geometry hod common"
  [interchange]="interchange geometry hod common"
  [commands]="commands interchange geometry hod common"
  [script]="script commands interchange geometry hod common"
  [view]="view geometry hod common"
  [gui]="gui view script commands interchange geometry hod common"
  [apps/gantry-cli]="script commands interchange geometry hod common"
  [apps/gantry]="gui view script commands interchange geometry hod common"
)
layers="common hod geometry interchange commands script view gui"

status=0
for dir in "${!allowed[@]}"; do
  case $dir in apps/*) base=$dir ;; *) base=src/$dir ;; esac
  [ -d "$base" ] || continue
  while IFS= read -r file; do
    while IFS=: read -r line text; do
      target=${text#*\"}
      target=${target%%/*}
      # Only our own layers' headers are checked; "foo.h" beside the file is the file's own layer.
      [[ " $layers " == *" $target "* ]] || continue
      if [[ " ${allowed[$dir]} " != *" $target "* ]]; then
        echo "$file:$line: includes $target/, a layer above $dir" >&2
        status=1
      fi
    done < <(grep -n '^#include "[a-z_]*/' "$file" || true)
    if [ "$dir" != gui ] && [ "$dir" != apps/gantry ] && grep -qn '^#include <Q' "$file"; then
      echo "$file: includes Qt, which only gui/ and the editor may use" >&2
      status=1
    fi
  done < <(find "$base" -maxdepth 1 -name '*.cpp' -o -maxdepth 1 -name '*.h')
done
# A folder under src/ that the table does not know would escape the check.
for dir in src/*/; do
  name=$(basename "$dir")
  if [ -z "${allowed[$name]+x}" ]; then
    echo "src/$name/ is not a known layer: add it to scripts/check_layers.sh and src/CMakeLists.txt" >&2
    status=1
  fi
done
[ $status = 0 ] || echo "Upward includes found; see the layer table in src/CMakeLists.txt" >&2
exit $status
