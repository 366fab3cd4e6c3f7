#!/usr/bin/env bash
# ctest fixture for the Windows tests: "start DIR" prepares a private prefix and display,
# "stop DIR" tears them down.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/wine.sh"
case "${1:-}" in
    start) orvo_wine_start "$2" 1366x768 ;;
    stop) orvo_wine_stop "$2" ;;
    *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
