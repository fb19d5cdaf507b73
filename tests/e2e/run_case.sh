#!/usr/bin/env bash
# One end-to-end case: the real Quirebook.exe under Wine, watched and driven
# from outside as a person would. ctest passes the programs and files in the
# environment: WINE_RUN, QUIREBOOK_EXE, PROBE, DEMO, QUIREBOOK_CLI and
# QUIREBOOK_WINEPREFIX.
#   no-file      started without a file: the empty window, closed with Escape
#   demo-file    started on the demo collection: its name and first record
#   spaced-path  the same through a path with spaces, which Wine quotes
#   damaged-file a file that is no collection: the "File Error" notice,
#                dismissed with Escape, leaves the empty window
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/display.sh"

program_pid=
scratch=$(mktemp -d)
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    rm -rf "$scratch"
    stop_display
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Title and status line of the window of class "Quirebook", then the texts
# of its controls, one a line. probe CLASS asks for another window class.
probe() { "$WINE_RUN" "$PROBE" "${1:-Quirebook}" 2>/dev/null | tr -d '\r'; }

# start_program [FILE]: Quirebook.exe on FILE (a path of this machine).
start_program() {
    if [ $# -gt 0 ]; then
        "$WINE_RUN" "$QUIREBOOK_EXE" "$(windows_path "$1")" >/dev/null 2>&1 &
    else
        "$WINE_RUN" "$QUIREBOOK_EXE" >/dev/null 2>&1 &
    fi
    program_pid=$!
}

demo_records() {
    [ -f "$DEMO" ] || fail "no demo collection at $DEMO (the native tree builds it)"
    local records
    records=$("$QUIREBOOK_CLI" show "$DEMO" | sed -n 's/^records\t//p')
    [ -n "$records" ] || fail "quirebook-cli cannot read $DEMO"
    echo "$records"
}

# wait_for_window TITLE STATUS: until the window shows both, at most 30 s.
wait_for_window() {
    local i report title= status=
    for i in $(seq 100); do
        report=$(probe)
        title=$(sed -n 1p <<<"$report")
        status=$(sed -n 2p <<<"$report")
        [ "$title" = "$1" ] && [ "$status" = "$2" ] && return 0
        sleep 0.3
    done
    fail "the window shows title '$title' and status '$status', not '$1' and '$2'"
}

# press_escape TITLE: focuses the window with that title and presses Escape.
press_escape() {
    local window
    window=$(xdotool search --onlyvisible --name "^$1\$" | head -1)
    [ -n "$window" ] || fail "no X window named '$1'"
    xdotool windowfocus --sync "$window" && xdotool key Escape || fail "xdotool could not type"
}

wait_for_exit() {
    local i
    for i in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$program_pid" 2>/dev/null && fail "the program is still running after Escape"
    program_pid=
    probe | grep -q . && fail "a Quirebook window is still there"
    return 0
}

start_display || exit 1
case "${1:-}" in
no-file)
    start_program
    wait_for_window "Quirebook 1.9" "No File!"
    press_escape "Quirebook 1.9"
    wait_for_exit
    ;;
demo-file)
    records=$(demo_records) || exit 1
    start_program "$DEMO"
    wait_for_window "Demo Collection" "Record 1 of $records"
    press_escape "Demo Collection"
    wait_for_exit
    ;;
spaced-path)
    records=$(demo_records) || exit 1
    mkdir -p "$scratch/My Books"
    cp "$DEMO" "$scratch/My Books/Demo Copy.ktl"
    start_program "$scratch/My Books/Demo Copy.ktl"
    wait_for_window "Demo Collection" "Record 1 of $records"
    press_escape "Demo Collection"
    wait_for_exit
    ;;
damaged-file)
    echo "A shopping list, not a collection." >"$scratch/Not A Collection.ktl"
    start_program "$scratch/Not A Collection.ktl"
    # The notice is the program's one dialog, over the main window.
    for _ in $(seq 100); do
        probe "#32770" | grep -qx "File Error" && break
        sleep 0.3
    done
    probe "#32770" | grep -qx "File Error" || fail "no \"File Error\" notice"
    notice=$(xdotool search --onlyvisible --name "^Quirebook 1.9\$" | while read -r id; do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        [ "$WIDTH" -lt 400 ] && echo "$id"
    done | head -1)
    [ -n "$notice" ] || fail "the notice has no X window"
    xdotool windowfocus --sync "$notice" key Escape
    for _ in $(seq 50); do
        probe "#32770" | grep -q . || break
        sleep 0.2
    done
    probe "#32770" | grep -q . && fail "the notice is still open after Escape"
    wait_for_window "Quirebook 1.9" "No File!"
    press_escape "Quirebook 1.9"
    wait_for_exit
    ;;
*)
    fail "unknown case '${1:-}'"
    ;;
esac
echo "ok: $1"
