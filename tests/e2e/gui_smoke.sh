#!/usr/bin/env bash
# The editor as a user starts it: on a virtual X display, opening the demo ship, then saving a
# picture of its window. Checks that it starts, reads the file, paints and ends cleanly.
set -euo pipefail
: "${GANTRY:?path of the gantry executable}" "${GANTRY_CLI:?path of gantry-cli}"
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "$1" >&2; [ -z "${2:-}" ] || cat "$2" >&2; exit 1; }
shot() { timeout 60 xvfb-run -a -s "-screen 0 1280x900x24" "$GANTRY" --screenshot "$@"; }
GANTRY_CLI="$GANTRY_CLI" "$here/scripts/make_demo.sh" "$work/demo.hod" >/dev/null
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
shot "$work/shot.png" "$work/demo.hod"
size=$(stat -c %s "$work/shot.png")
# A blank window compresses to a few kilobytes; a painted one with text is far larger.
[ "$size" -ge 20000 ] || fail "screenshot is only $size bytes: the window was not painted"
grep -q "SUCCESSFULLY READ HOD" "$work/debug.log" || fail "debug.log does not record the read"
# A damaged file: the picture is still taken, nothing waits for a click on a message box, and
# the messages the box would have shown go to the error stream.
head -c 700 "$work/demo.hod" >"$work/damaged.hod"
shot "$work/damaged.png" "$work/damaged.hod" 2>"$work/damaged.err" ||
  fail "the editor did not end on its own with a damaged file" "$work/damaged.err"
[ -s "$work/damaged.png" ] || fail "no screenshot of the damaged file"
grep -q "Error reading" "$work/damaged.err" ||
  fail "the damaged file's message did not reach the error stream" "$work/damaged.err"
echo "editor started, read the demo and painted its window ($size-byte screenshot)"
