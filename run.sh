#!/usr/bin/env bash
# Sets everything up and opens the editor on a HOD: the given file, or the bundled demo ship
# (built on first use). Without a display the editor runs on a virtual one (xvfb-run).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
scripts/setup.sh >&2
if [ $# -eq 0 ]; then
  file="$here/samples/demo/demo.hod"
  [ -s "$file" ] || scripts/make_demo.sh >&2
else
  file=$1
  case "$file" in /*) ;; *) file="$OLDPWD/$file" ;; esac
fi
editor="$here/build/apps/gantry/gantry"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running the editor on a virtual X display (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$editor" "$file"
fi
exec "$editor" "$file"
