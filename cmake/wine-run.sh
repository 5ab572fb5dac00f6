#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's own prefix.
#   --init  creates the prefix and starts the Wine server the tests share
#   --stop  stops that server
set -u
: "${BITMORPH_WINEPREFIX:?BITMORPH_WINEPREFIX must name the Wine prefix of the build tree}"
export WINEPREFIX="$BITMORPH_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine_bin=$(command -v wine64 || command -v wine)
case "${1:-}" in
--init)
  mkdir -p "$WINEPREFIX"
  # A server left by an earlier run in this prefix goes first.
  wineserver -k 2>/dev/null || true
  # Make or update the prefix; its registry reaches the disk when that server ends.
  "$wine_bin" wineboot -i </dev/null >/dev/null 2>&1
  rc=$?
  wineserver -w 2>/dev/null || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine prefix not created" >&2; exit 1; }
  # Then one persistent server for the whole run, with Windows' system processes booted
  # once and none of a test's standard streams: a server started by a test inherits that
  # test's output pipes and holds them open for its linger time (so every test took 3 s
  # more), and a server that exits while the next test starts races with it.
  wineserver -p </dev/null >/dev/null 2>&1
  "$wine_bin" wineboot </dev/null >/dev/null 2>&1
  exit $rc
  ;;
--stop)
  wineserver -k 2>/dev/null
  exit 0
  ;;
esac
exec "$wine_bin" "$@"
