#!/usr/bin/env bash
# One end-to-end case: the real Quirebook.exe under Wine, watched and driven
# from outside as a person would. ctest passes the programs and files in the
# environment: WINE_RUN, QUIREBOOK_EXE, PROBE, DEMO, QUIREBOOK_CLI and
# QUIREBOOK_WINEPREFIX.
#   no-file    started without a file: the empty window, closed with Escape
#   demo-file  started on the demo collection: its name and first record
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/display.sh"

program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    stop_display
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Title and status line of the window of class "Quirebook", one a line.
probe() { "$WINE_RUN" "$PROBE" Quirebook 2>/dev/null | tr -d '\r'; }

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
    "$WINE_RUN" "$QUIREBOOK_EXE" >/dev/null 2>&1 &
    program_pid=$!
    wait_for_window "Quirebook 1.9" "No File!"
    press_escape "Quirebook 1.9"
    wait_for_exit
    ;;
demo-file)
    [ -f "$DEMO" ] || fail "no demo collection at $DEMO (the native tree builds it)"
    records=$("$QUIREBOOK_CLI" show "$DEMO" | sed -n 's/^records\t//p')
    [ -n "$records" ] || fail "quirebook-cli cannot read $DEMO"
    "$WINE_RUN" "$QUIREBOOK_EXE" "$(windows_path "$DEMO")" >/dev/null 2>&1 &
    program_pid=$!
    wait_for_window "Demo Collection" "Record 1 of $records"
    press_escape "Demo Collection"
    wait_for_exit
    ;;
*)
    fail "unknown case '${1:-}'"
    ;;
esac
echo "ok: $1"
