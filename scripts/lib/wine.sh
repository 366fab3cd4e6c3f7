# Shell helpers for running the programs under Wine on a private Xvfb display.
# Source this file; every function works on a "session folder" that holds the prefix and env.
#
#   orvo_wine_start DIR [WxH] [--compositor]   make DIR/prefix, start Xvfb, write DIR/env
#   orvo_wine_stop DIR                         end wineserver, compositor and Xvfb
#   orvo_wine_env DIR                          export WINEPREFIX and DISPLAY of DIR
#   orvo_wine_pids DIR                         the Wine processes running in DIR/prefix

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64

# The template depends on the Wine version and on Wine's own fonts, which a new prefix copies
# (without them window captions show letters instead of their buttons).
orvo_wine_cache() {
    local version fonts
    version=$(wine --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' '_')
    fonts=$(find /usr/share/wine/fonts -name '*.tt[fc]' 2>/dev/null | wc -l)
    echo "${ORVO_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvo-pc-lock}/prefix-${version:-unknown}-fonts$fonts"
}

# A ready prefix with our registry settings, made once and copied for each session (a copy
# takes seconds, a fresh wineboot about 15).
orvo_wine_template() {
    local template tmp
    template=$(orvo_wine_cache)
    if [ -f "$template/.ready" ]; then echo "$template"; return 0; fi
    mkdir -p "$(dirname "$template")"
    tmp="$template.tmp.$$"
    rm -rf "$tmp"
    (
        export WINEPREFIX="$tmp"
        unset DISPLAY
        wineboot -i >/dev/null 2>&1
        # GDI+ draws no text in "Arial" until Wine maps it to a real font.
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f
        # Without a window manager Wine waits ~2 s whenever a full-screen window is hidden.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
        # No sound device here: keep ALSA quiet.
        wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d '' /f
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops\shell' /v EnableShell /t REG_DWORD /d 1 /f
        wineserver -w
    ) >/dev/null 2>&1
    if [ ! -f "$tmp/system.reg" ]; then echo "wine prefix creation failed" >&2; rm -rf "$tmp"; return 1; fi
    touch "$tmp/.ready"
    rm -rf "$template"
    mv "$tmp" "$template" 2>/dev/null || rm -rf "$tmp"
    echo "$template"
}

orvo_wine_env() {
    # shellcheck disable=SC1091
    . "$1/env"
    export WINEPREFIX DISPLAY
}

orvo_wine_start() {
    local dir=$1 size=${2:-1366x768} compositor=${3:-} template fd_file display
    mkdir -p "$dir"
    orvo_wine_stop "$dir" 2>/dev/null
    template=$(orvo_wine_template) || return 1
    rm -rf "$dir/prefix"
    cp -a "$template" "$dir/prefix"
    fd_file="$dir/display.num"
    rm -f "$fd_file"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fd_file" >"$dir/xvfb.log" 2>&1 &
    echo $! > "$dir/xvfb.pid"
    for _ in $(seq 1 100); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    display=":$(tr -d '\n' < "$fd_file")"
    if [ "$display" = ":" ]; then echo "Xvfb did not start" >&2; return 1; fi
    {
        echo "WINEPREFIX='$dir/prefix'"
        echo "DISPLAY='$display'"
    } > "$dir/env"
    orvo_wine_env "$dir"
    if [ "$compositor" = "--compositor" ]; then
        xcompmgr >/dev/null 2>&1 &
        echo $! > "$dir/xcompmgr.pid"
    fi
    wineserver -p >/dev/null 2>&1
    wine cmd /c exit >/dev/null 2>&1
    return 0
}

# By the prefix in each process's environment; only Wine's own executables, since the shell
# that exported it carries it too.
orvo_wine_pids() {
    local prefix=$1/prefix proc exe
    for proc in /proc/[0-9]*; do
        exe=$(readlink "$proc/exe" 2>/dev/null) || continue
        case ${exe##*/} in wine*) ;; *) continue ;; esac
        tr '\0' '\n' 2>/dev/null < "$proc/environ" | grep -qxF "WINEPREFIX=$prefix" && echo "${proc#/proc/}"
    done
    return 0
}

orvo_wine_stop() {
    local dir=$1 pid left
    [ -f "$dir/env" ] || return 0
    ( orvo_wine_env "$dir"; wineserver -k >/dev/null 2>&1 )
    # A program started while the server went down (a guardian restarting its lock program)
    # brings up a new server and outlives the session: end what is left, a few rounds at most.
    for _ in 1 2 3; do
        left=$(orvo_wine_pids "$dir")
        [ -z "$left" ] && break
        # shellcheck disable=SC2086
        kill -9 $left 2>/dev/null
        sleep 0.2
    done
    for name in xcompmgr xvfb; do
        if [ -f "$dir/$name.pid" ]; then
            pid=$(cat "$dir/$name.pid")
            kill "$pid" 2>/dev/null
            rm -f "$dir/$name.pid"
        fi
    done
    return 0
}
