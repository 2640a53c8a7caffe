#!/usr/bin/env bash
# gantry-cli.exe under Wine for cli_test.sh: absolute paths of this machine become the Windows
# paths Wine gives them (drive Z:, backslashes), and the console's CRLF line ends are read as a
# Windows program reading text would read them.
set -uo pipefail
args=()
for arg in "$@"; do
  case "$arg" in
    /*) arg="Z:${arg//\//\\}" ;;
  esac
  args+=("$arg")
done
here=$(dirname "$0")
out=$(mktemp)
err=$(mktemp)
run() { "$here/../../scripts/wine-run.sh" "${GANTRY_WINDOWS_CLI:?}" "${args[@]}" >"$out" 2>"$err"; }
run
status=$?
# Now and then (3 of some 5,000 runs here, in new Wine prefixes) Wine ends the program before it
# prints anything, with status 1. gantry-cli never fails without a message, so such a run is
# Wine's and is tried once more; a silent failure that repeats is the program's and is kept.
if [ "$status" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
  echo "$(date '+%F %T') retried after a silent status $status: ${args[*]}" \
    >>"${TMPDIR:-/tmp}/gantry-wine-retries.log"
  run
  status=$?
fi
# One CR before each line end: a stray CR left over (a CR CR LF line end) is the program's fault.
sed 's/\r$//' <"$out"
sed 's/\r$//' <"$err" >&2
rm -f "$out" "$err"
exit $status
