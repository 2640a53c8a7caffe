#!/usr/bin/env bash
# Sets everything up, builds, runs the whole test suite, then a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh

echo "== Format and layer checks"
scripts/check_format.sh
scripts/check_layers.sh

echo "== Tests"
ctest --test-dir build --output-on-failure -j "$(nproc)"

if [ "${GANTRY_SKIP_WINDOWS:-0}" != 1 ]; then
  echo "== Windows build (MinGW-w64) and its tests under Wine"
  scripts/setup-windows.sh
  ctest --test-dir build-windows --output-on-failure -j "$(nproc)"
fi

echo "== Fuzz smoke runs"
if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DGANTRY_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build-fuzz -j "$(nproc)"
fuzz/run_smoke.sh build-fuzz "${GANTRY_FUZZ_SECONDS:-35}"
