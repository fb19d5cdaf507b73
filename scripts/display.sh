# Sourced by scripts/run, scripts/wine-tests and the end-to-end cases: a
# virtual X display with a small window manager when there is no display
# (start_display, and stop_display at the end, which stops only what it
# started), a kept-up wineserver, Wine's names for this machine's files, and
# a look at a running program's windows.

display_pids=()

start_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    display_pids+=($!)
    local i
    for i in $(seq 100); do
        [ -s "$number_file" ] && break
        sleep 0.1
    done
    if [ ! -s "$number_file" ]; then
        rm -f "$number_file"
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(head -1 "$number_file")"
    rm -f "$number_file"
    # Without a window manager Wine waits for one at every new window.
    evilwm -fn fixed >/dev/null 2>&1 &
    display_pids+=($!)
}

stop_display() {
    local pid
    for pid in "${display_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${display_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    display_pids=()
}

wineserver_program=/usr/lib/wine/wineserver64
[ -x "$wineserver_program" ] || wineserver_program=/usr/lib/wine/wineserver32

# start_wineserver RUNNER PREFIX: makes the prefix if needed (RUNNER is a
# tree's wine-run.sh) and keeps its wineserver and Wine's background processes
# up, so that every program that follows starts at once.
start_wineserver() {
    QUIREBOOK_WINEPREFIX=$2 "$1" cmd /c exit >/dev/null 2>&1 </dev/null
    WINEPREFIX=$2 "$wineserver_program" -w
    WINEPREFIX=$2 "$wineserver_program" -p
    QUIREBOOK_WINEPREFIX=$2 "$1" cmd /c exit >/dev/null 2>&1 </dev/null
}

stop_wineserver() {
    WINEPREFIX=$1 "$wineserver_program" -k >/dev/null 2>&1
    WINEPREFIX=$1 "$wineserver_program" -w >/dev/null 2>&1
}

# Wine's name for a file of this machine.
windows_path() {
    local path
    path=$(realpath "$1")
    echo "Z:${path//\//\\}"
}

# probe CLASS: the title and status line of the top window of that class, then
# the texts of its controls, one a line; nothing when there is none. Needs
# WINE_RUN (a tree's wine-run.sh) and PROBE (its window_probe.exe).
probe() { "$WINE_RUN" "$PROBE" "$1" 2>/dev/null | tr -d '\r'; }

# until_true COMMAND...: tries it for 30 s at most.
until_true() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.3
    done
    return 1
}
