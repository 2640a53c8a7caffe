#!/usr/bin/env bash
# Cross-builds the core, gantry-cli and the unit tests for Windows with MinGW-w64, to be run under
# Wine. Installs the Debian packages this needs (only what is missing) and unpacks libsquish from
# Debian's source package, since Debian ships it built for Linux only. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${GANTRY_WINDOWS_BUILD_DIR:-build-windows}
# Optimised, without debug information: it compiles a third faster and links far smaller.
BUILD_TYPE=${GANTRY_WINDOWS_BUILD_TYPE:-Release}
DEPS_DIR="$BUILD_DIR/deps"

PACKAGES=(
  cmake ninja-build ccache dpkg-dev
  g++-mingw-w64-x86-64-posix          # the cross compiler, with std::thread
  wine wine64                         # runs the tests and the CLI script
  libgtest-dev                        # GoogleTest's sources, built by the cross compiler
  libcli11-dev libfmt-dev libstb-dev  # header-only here (fmt in header-only mode)
  libtinygltf-dev nlohmann-json3-dev  # glTF and JSON, header-only here too
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

scripts/install-packages.sh "${PACKAGES[@]}"

# libsquish from Debian's source package: the deb-src entry mirrors the first Debian archive the
# machine already uses.
squish_dir=$(find "$DEPS_DIR" -maxdepth 1 -type d -name 'libsquish-*' 2>/dev/null | head -n1 || true)
if [ -z "$squish_dir" ]; then
  if ! apt-get source --print-uris libsquish >/dev/null 2>&1; then
    uri=$(grep -h -m1 -E '^URIs:.*/debian/?$' /etc/apt/sources.list.d/*.sources 2>/dev/null |
      awk '{print $2}' || true)
    uri=${uri:-http://deb.debian.org/debian}
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    echo "Adding a deb-src entry for $uri $codename"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
      "$uri" "$codename" /usr/share/keyrings/debian-archive-keyring.gpg |
      $SUDO tee /etc/apt/sources.list.d/gantry-deb-src.sources >/dev/null
    $SUDO apt-get update -qq
  fi
  mkdir -p "$DEPS_DIR"
  if ! (cd "$DEPS_DIR" && apt-get source -qq libsquish >source.log 2>&1); then
    cat "$DEPS_DIR/source.log" >&2
    exit 1
  fi
  squish_dir=$(find "$DEPS_DIR" -maxdepth 1 -type d -name 'libsquish-*' | head -n1)
  [ -n "$squish_dir" ] || { echo "apt-get source libsquish gave no source folder" >&2; exit 1; }
fi

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DGANTRY_WERROR="${GANTRY_WERROR:-OFF}" \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache \
    -DGANTRY_SQUISH_SOURCE_DIR="$(cd "$squish_dir" && pwd)" >/dev/null
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
