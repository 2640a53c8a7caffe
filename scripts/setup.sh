#!/usr/bin/env bash
# Installs every Debian package Gantry needs (only what is missing), then configures and builds.
# Safe to run again: quiet when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${GANTRY_BUILD_DIR:-build}
# Release (-O3) is what users, packages and benchmarks build, so it is what the tests try.
BUILD_TYPE=${GANTRY_BUILD_TYPE:-Release}
WERROR=${GANTRY_WERROR:-OFF}

PACKAGES=(
  cmake ninja-build g++ pkg-config git clang-format ccache
  clang libclang-rt-14-dev            # libFuzzer and sanitizers for the fuzz targets
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev libfmt-dev
  libsquish-dev libstb-dev            # DXT encode/decode; pictures in, resizing, PNG writing
  libtinygltf-dev nlohmann-json3-dev  # glTF and JSON (used as headers)
  libnvtt-bin                         # nvcompress, only for bench/texture_bench's comparison
  qt6-base-dev libqt6opengl6-dev      # the editor's windows and its 3D view
  xvfb xauth libgl1-mesa-dri libglx-mesa0 fonts-dejavu-core  # a display, OpenGL, fonts
  dpkg-dev file lintian               # Debian packages: cpack's dependency scan, their checks
  man-db bash-completion desktop-file-utils appstream  # what scripts/package.sh tries
)

scripts/install-packages.sh "${PACKAGES[@]}"

# Node.js and npm for the Khronos glTF validator the tests run: Debian's packages unless the
# machine already has npm (NodeSource's nodejs carries its own npm and conflicts with Debian's).
if ! command -v npm >/dev/null 2>&1; then
  scripts/install-packages.sh nodejs npm
fi

# The glTF validator (npm's gltf-validator, pinned in tools/package-lock.json).
if [ ! -d tools/node_modules/gltf-validator ]; then
  (cd tools && npm ci --no-audit --no-fund --loglevel=error)
fi

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" -DGANTRY_WERROR="$WERROR" \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
