#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's own prefix; --init creates the prefix.
set -u
: "${BITMORPH_WINEPREFIX:?BITMORPH_WINEPREFIX must name the Wine prefix of the build tree}"
export WINEPREFIX="$BITMORPH_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine_bin=$(command -v wine64 || command -v wine)
if [ "${1:-}" = "--init" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine_bin" wineboot -i >/dev/null 2>&1
  rc=$?
  wineserver -w 2>/dev/null || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine prefix not created" >&2; exit 1; }
  exit $rc
fi
exec "$wine_bin" "$@"
