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
# Wine starts its server without persistence, so each program of a test run in turn would start
# it and its services again; one that stays a minute after the last program serves them all
# (0.11 s a gantry-cli run instead of 0.16 s). The call does nothing while a server is running.
wineserver -p60 >/dev/null 2>&1 || true
exec wine "$@"
