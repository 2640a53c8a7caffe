#!/usr/bin/env bash
# Sets everything up and opens a HOD. Until the editor window lands this prints the file's
# summary (gantry-cli info).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh >&2
if [ $# -eq 0 ]; then
  echo "usage: ./run.sh FILE.hod" >&2
  exit 2
fi
file=$1
case "$file" in /*) ;; *) file="$OLDPWD/$file" ;; esac
exec build/apps/gantry-cli/gantry-cli info "$file"
