#!/usr/bin/env bash
# Sets everything up and opens a HOD: the given file, or the bundled demo ship (built on first
# use). Until the editor window lands this prints the file's summary (gantry-cli info).
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
exec build/apps/gantry-cli/gantry-cli info "$file"
