#!/usr/bin/env bash
# ctest fixture for the Windows tests: "start DIR [DPI]" prepares a private prefix and display
# (with DPI, the prefix reports that display resolution to every program), "stop DIR" tears
# them down.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/wine.sh"
case "${1:-}" in
    start)
        orvo_wine_start "$2" 1366x768 || exit 1
        if [ -n "${3:-}" ]; then
            # Read only when wineserver starts: set it, then start it again.
            wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$3" /f >/dev/null 2>&1 || exit 1
            wineserver -k >/dev/null 2>&1
            wineserver -w >/dev/null 2>&1
            wineserver -p >/dev/null 2>&1
            wine cmd /c exit >/dev/null 2>&1
        fi
        ;;
    stop) orvo_wine_stop "$2" ;;
    *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
