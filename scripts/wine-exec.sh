#!/usr/bin/env bash
# Runs a Windows program under Wine inside the session folder named by ORVO_WINE_DIR (set by
# ctest), bounded in time so a hung test cannot stall the run.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/wine.sh"
if [ -n "${ORVO_WINE_DIR:-}" ] && [ -f "$ORVO_WINE_DIR/env" ]; then
    orvo_wine_env "$ORVO_WINE_DIR"
fi
exec timeout -k 5 "${ORVO_WINE_TIMEOUT:-240}" wine "$@"
