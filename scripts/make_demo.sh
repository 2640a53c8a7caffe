#!/usr/bin/env bash
# Builds the demo ship by running its script on a new multi-mesh HOD, giving
# samples/demo/demo.hod. The sources (meshes, textures, shader, script) are committed; run
# samples/demo/generate.py to make them again after changing the generator.
# Usage: scripts/make_demo.sh [OUT.hod]   (GANTRY_CLI overrides the command-line tool's path)
set -euo pipefail
cd "$(dirname "$0")/.."

CLI=${GANTRY_CLI:-${GANTRY_BUILD_DIR:-build}/apps/gantry-cli/gantry-cli}
OUT=${1:-samples/demo/demo.hod}

if [ ! -x "$CLI" ]; then
  echo "make_demo: $CLI not found; build it first (scripts/setup.sh)" >&2
  exit 1
fi
"$CLI" build samples/demo/demo.hsc -o "$OUT" --type multi-mesh
