#!/usr/bin/env bash
# The layer check passes on the tree as it is and fails on each kind of upward include.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

copy() {
  rm -rf "$work/tree" && mkdir -p "$work/tree"
  cp -r "$here/src" "$here/apps" "$work/tree/"
}
expect_failure() {  # description, expected text
  if out=$("$here/scripts/check_layers.sh" "$work/tree" 2>&1); then
    echo "FAIL: $1 passed the check" >&2
    exit 1
  fi
  if [[ $out != *"$2"* ]]; then
    echo "FAIL: $1: expected '$2' in:" >&2
    echo "$out" >&2
    exit 1
  fi
}

copy
"$here/scripts/check_layers.sh" "$work/tree"

# file, line added to it, text the failure names
while IFS='|' read -r file line says; do
  copy
  echo "$line" >>"$work/tree/$file"
  expect_failure "$line in $file" "$says"
done <<'EOF'
src/hod/model.cpp|#include "commands/create.h"|model.cpp:
src/view/view_state.h|#include "gui/qt_ui.h"|includes gui/, a layer above view
src/geometry/vectors.cpp|#include <QString>|includes Qt
apps/gantry-cli/main.cpp|#include "gui/main_window.h"|a layer above apps/gantry-cli
EOF

copy
mkdir "$work/tree/src/extras"
expect_failure "an unknown folder" "src/extras/ is not a known layer"
echo "layer check: all cases behave"
