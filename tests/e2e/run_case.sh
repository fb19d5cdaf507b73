#!/usr/bin/env bash
# One end-to-end case: the real Quirebook.exe under Wine, watched and driven
# from outside as a person would. ctest passes WINE_RUN, QUIREBOOK_EXE, PROBE,
# DEMO, QUIREBOOK_CLI and QUIREBOOK_WINEPREFIX in the environment.
#   no-file      started without a file: the empty window, closed with Escape
#   demo-file    started on the demo collection: its name and record count
#   spaced-path  the same through a path with spaces, which Wine quotes
#   damaged-file a file that is no collection: the "File Error" notice,
#                dismissed with Escape, leaves the empty window
set -uo pipefail
. "$(dirname "$0")/../../scripts/display.sh"

program_pid=
scratch=$(mktemp -d)
trap '[ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null; rm -rf "$scratch"; stop_display' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# probe CLASS: the title and status line of the window of that class, then
# the texts of its controls, one a line; nothing when there is no such window.
probe() { "$WINE_RUN" "$PROBE" "$1" 2>/dev/null | tr -d '\r'; }
window_shows() { [ "$(probe Quirebook | head -2 | paste -sd '|')" = "$1|$2" ]; }
notice_shows() { probe "#32770" | grep -qx "File Error"; }
no_notice() { [ -z "$(probe "#32770")" ]; }
program_gone() { ! kill -0 "$program_pid" 2>/dev/null; }
# until_true COMMAND...: tries it for 30 s at most.
until_true() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.3
    done
    return 1
}

# start_program [FILE]: Quirebook.exe, on FILE (a path of this machine) if given.
start_program() {
    "$WINE_RUN" "$QUIREBOOK_EXE" ${1:+"$(windows_path "$1")"} >/dev/null 2>&1 &
    program_pid=$!
}

# press_escape TITLE [WIDTH]: Escape into the program's visible X window of
# that title (narrower than WIDTH pixels, when given). The Win32 tests may
# show windows of the same title on the same display.
press_escape() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$program_pid" --name "^$1\$"); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        [ "$WIDTH" -lt "${2:-100000}" ] || continue
        xdotool windowfocus --sync "$id" key Escape || fail "xdotool could not type"
        return
    done
    fail "no X window named '$1'"
}

start_display || exit 1
title="Quirebook 1.9" status="No File!"
case "${1:-}" in
no-file) start_program ;;
demo-file | spaced-path)
    [ -f "$DEMO" ] || fail "no demo collection at $DEMO (the native tree builds it)"
    records=$("$QUIREBOOK_CLI" show "$DEMO" | sed -n 's/^records\t//p')
    [ -n "$records" ] || fail "quirebook-cli cannot read $DEMO"
    file=$DEMO
    if [ "$1" = spaced-path ]; then
        mkdir -p "$scratch/My Books"
        file="$scratch/My Books/Demo Copy.ktl"
        cp "$DEMO" "$file"
    fi
    start_program "$file"
    title="Demo Collection" status="Record 1 of $records"
    ;;
damaged-file)
    echo "A shopping list, not a collection." >"$scratch/Not A Collection.ktl"
    start_program "$scratch/Not A Collection.ktl"
    until_true notice_shows || fail "no \"File Error\" notice"
    press_escape "Quirebook 1.9" 400 # the notice, not the main window
    until_true no_notice || fail "the notice is still open after Escape"
    ;;
*) fail "unknown case '${1:-}'" ;;
esac
until_true window_shows "$title" "$status" ||
    fail "the window shows '$(probe Quirebook | head -2 | paste -sd '|')', not '$title|$status'"
press_escape "$title"
until_true program_gone || fail "the program is still running after Escape"
program_pid=
[ -z "$(probe Quirebook)" ] || fail "a Quirebook window is still there"
echo "ok: $1"
