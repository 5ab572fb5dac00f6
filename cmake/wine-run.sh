#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's own prefix.
#   --init  creates the prefix and starts the Wine server the tests share
#   --stop  stops that server
set -u
: "${BITMORPH_WINEPREFIX:?BITMORPH_WINEPREFIX must name the Wine prefix of the build tree}"
# Wine takes only an absolute prefix; a relative one is taken from the current folder.
export WINEPREFIX="$(realpath -m "$BITMORPH_WINEPREFIX")"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=("$(command -v wine64 || command -v wine)")
# Wine here has no preloader to reserve the fixed Windows addresses before the Linux loader
# places things at random, so now and then a new process finds the shared user data page
# taken ("failed to map the shared user data") and does not start: one test in every few
# runs failed that way. Without address randomization the layout is the same every time,
# and Wine's processes pass the setting on to every process they start.
if setarch "$(uname -m)" -R true 2>/dev/null; then
  wine=(setarch "$(uname -m)" -R "${wine[@]}")
fi
case "${1:-}" in
--init)
  mkdir -p "$WINEPREFIX"
  # A server left by an earlier run in this prefix goes first.
  wineserver -k 2>/dev/null || true
  # Make or update the prefix; its registry reaches the disk when that server ends.
  "${wine[@]}" wineboot -i </dev/null >/dev/null 2>&1
  rc=$?
  wineserver -w 2>/dev/null || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine prefix not created" >&2; exit 1; }
  # Then one persistent server for the whole run, with Windows' system processes booted
  # once and none of a test's standard streams: a server started by a test inherits that
  # test's output pipes and holds them open for its linger time (so every test took 3 s
  # more), and a server that exits while the next test starts races with it.
  wineserver -p </dev/null >/dev/null 2>&1
  "${wine[@]}" wineboot </dev/null >/dev/null 2>&1
  exit $rc
  ;;
--stop)
  wineserver -k 2>/dev/null
  exit 0
  ;;
esac
exec "${wine[@]}" "$@"
