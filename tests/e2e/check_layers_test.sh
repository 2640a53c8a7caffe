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

echo '#include "commands/create.h"' >>"$work/tree/src/hod/model.cpp"
expect_failure "hod including commands" "model.cpp:"

copy
echo '#include "gui/qt_ui.h"' >>"$work/tree/src/view/view_state.h"
expect_failure "view including gui" "includes gui/, a layer above view"

copy
echo '#include <QString>' >>"$work/tree/src/geometry/vectors.cpp"
expect_failure "Qt in the core" "includes Qt"

copy
echo '#include "gui/main_window.h"' >>"$work/tree/apps/gantry-cli/main.cpp"
expect_failure "the command-line tool including the editor" "a layer above apps/gantry-cli"

copy
mkdir "$work/tree/src/extras"
expect_failure "an unknown folder" "src/extras/ is not a known layer"
echo "layer check: all cases behave"
