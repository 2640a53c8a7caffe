#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of Gantry's own, quietly. The Windows build's
# ctest runs every test program through this.
set -euo pipefail
export WINEPREFIX=${GANTRY_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/gantry-wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}  # no Mono or Gecko install prompts
# The prefix is made on first use, once even when tests start in parallel.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  flock "$WINEPREFIX.lock" bash -c \
    '[ -f "$WINEPREFIX/system.reg" ] || { wineboot --init && wineserver --wait; }' >/dev/null 2>&1
fi
# Wine starts its own server without persistence: it quits as the last program ends, and a
# program starting at that moment now and then ends at once, with status 1 and nothing printed.
# A server that stays a minute after the last program serves every run of a test in turn (this
# call does nothing while a server is running).
wineserver -p60 >/dev/null 2>&1 || true
exec wine "$@"
