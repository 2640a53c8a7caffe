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
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

scripts/install-packages.sh "${PACKAGES[@]}"

# The first Debian archive the machine's own apt sources name, as "URI SUITE KEYRING" (deb822
# files first, then one-line entries); nothing when there is none.
configured_debian_archive() {
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'function emit() {
           if (uri ~ /\/debian\/?$/ && suite != "") { print uri, suite, (key == "" ? "-" : key); found = 1; exit }
           uri = suite = key = ""
         }
         /^[ \t]*$/ { emit() }
         /^URIs:/ { uri = $2 }
         /^Suites:/ { suite = $2 }
         /^Signed-By:/ { key = $2 }
         END { if (!found) emit() }' "$file"
  done
  grep -h -E '^deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    sed -E 's/\[[^]]*\][[:space:]]*//' | awk '$2 ~ /\/debian\/?$/ { print $2, $3, "-" }'
}

# libsquish from Debian's source package. Without a deb-src entry, one is added for the Debian
# archive the machine already uses, only for `apt-get source`, and removed again afterwards.
squish_dir=$(find "$DEPS_DIR" -maxdepth 1 -type d -name 'libsquish-*' 2>/dev/null | head -n1 || true)
if [ -z "$squish_dir" ]; then
  added=""
  if ! apt-get source --print-uris libsquish >/dev/null 2>&1; then
    read -r uri suite key < <(configured_debian_archive | head -n1) || true
    if [ -z "${uri:-}" ]; then
      echo "No Debian archive in /etc/apt/sources.list or /etc/apt/sources.list.d/: add a" \
        "deb-src entry that holds libsquish, or unpack its sources into $DEPS_DIR" >&2
      exit 1
    fi
    [ "$key" != "-" ] || key=/usr/share/keyrings/debian-archive-keyring.gpg
    added=/etc/apt/sources.list.d/gantry-deb-src.sources
    echo "Adding $added for $uri $suite (removed again once libsquish is unpacked)"
    trap '$SUDO rm -f "$added"' EXIT
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
      "$uri" "$suite" "$key" | $SUDO tee "$added" >/dev/null
    $SUDO apt-get update -qq
  fi
  mkdir -p "$DEPS_DIR"
  if ! (cd "$DEPS_DIR" && apt-get source -qq libsquish >source.log 2>&1); then
    cat "$DEPS_DIR/source.log" >&2
    exit 1
  fi
  if [ -n "$added" ]; then
    # The machine's package lists go back to what its own sources give.
    $SUDO rm -f "$added"
    trap - EXIT
    $SUDO apt-get update -qq
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
