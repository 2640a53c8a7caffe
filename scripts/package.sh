#!/usr/bin/env bash
# Makes the packages from the existing build folders (build/ and, unless GANTRY_SKIP_WINDOWS=1,
# build-windows/; nothing is rebuilt that setup.sh and setup-windows.sh already built) and tries
# them as a user would: checks the Debian packages with lintian, installs them (sudo when not
# root), runs the installed programs on the demo ship, removes them and checks that nothing is
# left behind; unpacks the Windows zip into an empty folder and runs gantry-cli.exe there under
# Wine. ./test.sh runs this. The package files end up in build/packages and
# build-windows/packages.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

BUILD_DIR=${GANTRY_BUILD_DIR:-build}
WINDOWS_BUILD_DIR=${GANTRY_WINDOWS_BUILD_DIR:-build-windows}
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")
[ -n "$version" ] || { echo "package: no CPack configuration in $BUILD_DIR" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() {
  echo "package: $*" >&2
  exit 1
}

demo="$root/samples/demo/demo.hod"
[ -s "$demo" ] || GANTRY_BUILD_DIR="$BUILD_DIR" scripts/make_demo.sh >/dev/null

echo "== Debian packages"
cmake --build "$BUILD_DIR" -j "$(nproc)" >/dev/null
rm -rf "$BUILD_DIR/packages"
(cd "$BUILD_DIR" && cpack -G DEB >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; exit 1; }
debs=("$BUILD_DIR"/packages/*.deb)
for deb in "${debs[@]}"; do
  printf '%s (%s bytes)\n' "$(basename "$deb")" "$(stat -c %s "$deb")"
  dpkg-deb -f "$deb" Depends Recommends | sed 's/^/  /'
done

echo "== lintian"
# Errors fail; warnings and notes are shown.
status=0
lintian --display-info --fail-on error "${debs[@]}" >"$tmp/lintian" 2>&1 || status=$?
grep -v "running with root privileges" "$tmp/lintian" || echo "(nothing to report)"
[ "$status" -eq 0 ] || fail "lintian reports errors"

echo "== Installed packages"
# One install at a time on a machine shared by several checkouts.
exec 9>"${TMPDIR:-/tmp}/gantry-package.lock"
flock 9
for package in gantry gantry-cli; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
    fail "$package is installed already; remove it first (dpkg -r $package)"
  fi
done
$SUDO dpkg -i "${debs[@]}" >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; exit 1; }
remove() { $SUDO dpkg -r gantry gantry-cli >/dev/null 2>&1 || true; }
trap 'remove; rm -rf "$tmp"' EXIT
dpkg-query -L gantry gantry-cli | sort -u >"$tmp/files"

shown=$(/usr/bin/gantry-cli --version)
echo "$shown"
[[ $shown == "gantry-cli $version"* ]] || fail "gantry-cli --version does not name $version"
shown=$(/usr/bin/gantry --version)
[[ $shown == "gantry $version"* ]] || fail "gantry --version does not name $version"
/usr/bin/gantry-cli info "$demo" >"$tmp/info" || fail "gantry-cli info failed on the demo ship"
grep -q "multi-mesh" "$tmp/info" || fail "gantry-cli info does not show the demo ship"
head -n 3 "$tmp/info"

# The manual page is the one --help is made from: every command is in both.
MANWIDTH=100 man --warnings gantry-cli >"$tmp/man.txt" 2>"$tmp/man.err"
[ ! -s "$tmp/man.err" ] || { cat "$tmp/man.err" >&2; fail "man reports problems in gantry-cli(1)"; }
commands=$(/usr/bin/gantry-cli --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 && /^  [a-z]/ {print $1}')
[ -n "$commands" ] || fail "gantry-cli --help lists no commands"
for command in $commands; do
  grep -q "^   $command" "$tmp/man.txt" || fail "gantry-cli(1) lacks the $command command"
  for option in $(/usr/bin/gantry-cli "$command" --help | grep -o -- ' --[a-z-]*' | sort -u); do
    grep -q -- "$option" "$tmp/man.txt" || fail "gantry-cli(1) lacks $command's $option"
  done
done
MANWIDTH=80 man --warnings gantry >/dev/null 2>"$tmp/man.err"
[ ! -s "$tmp/man.err" ] || { cat "$tmp/man.err" >&2; fail "man reports problems in gantry(1)"; }

# Bash completion: the commands, then a command's options.
complete_words() {
  bash -c 'source /usr/share/bash-completion/bash_completion
    source /usr/share/bash-completion/completions/gantry-cli
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _gantry_cli; echo "${COMPREPLY[*]}"' _ "$@"
}
[ "$(complete_words gantry-cli export-t)" = "export-textures" ] || fail "completion of commands"
[[ " $(complete_words gantry-cli save in.hod --d) " == *" --dialect "* ]] ||
  fail "completion of a command's options"

desktop-file-validate /usr/share/applications/gantry.desktop || fail "the desktop entry"
appstreamcli validate --no-net /usr/share/metainfo/*.metainfo.xml >"$tmp/appstream" 2>&1 ||
  { cat "$tmp/appstream" >&2; fail "the AppStream metadata does not validate"; }

xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/gantry --screenshot "$tmp/editor.png" "$demo" \
  >/dev/null 2>"$tmp/gantry.err" || { cat "$tmp/gantry.err" >&2; fail "gantry --screenshot failed"; }
[ -s "$tmp/editor.png" ] || fail "gantry --screenshot wrote no picture"
echo "gantry --screenshot: $(stat -c %s "$tmp/editor.png") bytes"

$SUDO dpkg -r gantry gantry-cli >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; exit 1; }
trap 'rm -rf "$tmp"' EXIT
for package in gantry gantry-cli; do
  if dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qv "not-installed"; then
    fail "$package is still known to dpkg: $(dpkg-query -W -f='${Status}' "$package")"
  fi
done
while IFS= read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then fail "$path is left behind"; fi
done <"$tmp/files"
for folder in /usr/share/doc/gantry /usr/share/doc/gantry-cli; do
  [ ! -e "$folder" ] || fail "$folder is left behind"
done
echo "Installed, run and removed; nothing left behind."
flock -u 9

if [ "${GANTRY_SKIP_WINDOWS:-0}" = 1 ]; then
  exit 0
fi
echo "== Windows zip"
[ -f "$WINDOWS_BUILD_DIR/CPackConfig.cmake" ] || fail "no $WINDOWS_BUILD_DIR (scripts/setup-windows.sh)"
cmake --build "$WINDOWS_BUILD_DIR" -j "$(nproc)" --target gantry-cli >/dev/null
rm -rf "$WINDOWS_BUILD_DIR/packages"
(cd "$WINDOWS_BUILD_DIR" && cpack -G ZIP >"$tmp/cpack.log" 2>&1) ||
  { cat "$tmp/cpack.log" >&2; exit 1; }
zip=("$WINDOWS_BUILD_DIR"/packages/*.zip)
printf '%s (%s bytes)\n' "$(basename "${zip[0]}")" "$(stat -c %s "${zip[0]}")"
mkdir "$tmp/unpacked"
(cd "$tmp/unpacked" && cmake -E tar xf "$root/${zip[0]}")
folder=$(find "$tmp/unpacked" -mindepth 1 -maxdepth 1 -type d)
for file in gantry-cli.exe README.txt LICENSE.txt CHANGELOG.md licences/stb.txt licences/CLI11.txt \
  licences/fmt.txt licences/libsquish.txt; do
  [ -f "$folder/$file" ] || fail "the zip lacks $file"
done
# Nothing but Wine's own folders on the path: the program must need no DLL of the build.
windows_demo="Z:${demo//\//\\}"
(cd "$folder" && env -u WINEPATH "$root/scripts/wine-run.sh" ./gantry-cli.exe info "$windows_demo") \
  >"$tmp/info" || fail "gantry-cli.exe info failed"
grep -q "multi-mesh" "$tmp/info" || fail "gantry-cli.exe info does not show the demo ship"
echo "gantry-cli.exe info on the demo ship, from the unpacked zip: done"
