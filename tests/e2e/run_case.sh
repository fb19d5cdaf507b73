#!/usr/bin/env bash
# One end-to-end case: the real Quirebook.exe under Wine, watched and driven
# from outside as a person would. ctest passes WINE_RUN, QUIREBOOK_EXE, PROBE,
# DEMO, QUIREBOOK_CLI and QUIREBOOK_WINEPREFIX in the environment.
#   no-file      started without a file: the empty window, closed with Escape
#   demo-file    started on the demo collection: its name and record count
#   spaced-path  the same through a path with spaces, which Wine quotes
#   damaged-file a file that is no collection: the "File Error" notice,
#                dismissed with Escape, leaves the empty window
#   editing      a collection made, typed, saved, closed, opened, edited,
#                sorted and searched, then left through the save question
#   two-programs two instances at once, each adding to and saving its own file
set -uo pipefail
. "$(dirname "$0")/../../scripts/display.sh"

program_pid=
started=()
scratch=$(mktemp -d)
trap 'kill "${started[@]}" 2>/dev/null; rm -rf "$scratch"; stop_display' EXIT
fail() {
    echo "FAIL: $* (dialogs: $(probe "#32770" | paste -sd'|'))" >&2
    exit 1
}

# probe CLASS: the title and status line of the window of that class, then
# the texts of its controls, one a line; nothing when there is no such window.
probe() { "$WINE_RUN" "$PROBE" "$1" 2>/dev/null | tr -d '\r'; }
window_shows() { [ "$(probe Quirebook | head -2 | paste -sd '|')" = "$1|$2" ]; }
notice_shows() { probe "#32770" | grep -qx "File Error"; }
no_notice() { [ -z "$(probe "#32770")" ]; }
not() { ! "$@"; }
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
    started+=("$program_pid")
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

# The program's main window of that title, raised above another program's
# and focused, for typing and clicking.
focus_main() {
    window=$(xdotool search --all --onlyvisible --pid "$program_pid" --name "^$1\$" | head -1)
    [ -n "$window" ] && xdotool windowraise "$window" windowfocus --sync "$window"
}
keys() { xdotool key --delay 80 "$@"; }
typed() { xdotool type --delay 40 "$1"; }
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# menu N M: item M of menu N (from 0) through the keyboard.
menu() {
    keys alt
    for _ in $(seq "$1"); do keys Right; done
    keys Down
    for _ in $(seq "$2"); do keys Down; done
    keys Return
}
dialog_shows() { probe "#32770" | grep -qx "$1"; }
# field FILE ORDINAL N: field N of that record, as quirebook-cli shows it.
field() { "$QUIREBOOK_CLI" show "$1" "$2" | sed -n "s/^$3\t//p"; }
settled() { until_true window_shows "$1" "$2" || fail "the window shows '$(probe Quirebook | head -2 | paste -sd '|')', not '$1|$2'"; }

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
editing)
    mine="$(windows_path "$scratch")\\Mine.ktl"
    start_program
    settled "$title" "$status"
    focus_main "$title"
    click 14 53 # the New button
    until_true dialog_shows "Database Name" || fail "New asked no name"
    typed Mine && keys Return
    settled Mine "Record 1 of 1"
    click 200 82 && typed Dune # the Title box
    keys ctrl+n && settled Mine "Record 2 of 2"
    typed Emma && keys ctrl+s
    until_true dialog_shows "Save As" || fail "no Save dialog for a new collection"
    keys End BackSpace BackSpace BackSpace BackSpace # it suggests the collection's name
    typed "$mine" && keys Return
    cd "$scratch"
    until_true [ -f Mine.ktl ] || fail "Save wrote no Mine.ktl"
    [ "$(field Mine.ktl 1 1)|$(field Mine.ktl 2 1)" = "Dune|Emma" ] || fail "Mine.ktl holds the wrong records"
    menu 0 2 && settled Mine "No File!" # Close asks nothing after a save
    keys ctrl+o && until_true dialog_shows Open || fail "no Open dialog"
    typed "$mine" && keys Return
    settled Mine "Record 1 of 2"
    click 200 82 && keys End && typed " Messiah"
    menu 2 1 && settled Mine "Record 2 of 2" # Next
    menu 2 2 && settled Mine "Record 1 of 2" # Previous
    keys ctrl+n && settled Mine "Record 3 of 3"
    typed Aardvark && menu 1 3 # Sort, by the Title box typed in last
    settled Mine "Record 1 of 3"
    keys ctrl+Delete && until_true dialog_shows "Confirm?" || fail "Delete asked nothing"
    keys Return && settled Mine "Record 1 of 2"
    keys F3 && until_true dialog_shows "Search for..." || fail "Search asked nothing"
    typed m && keys Return # in both titles
    settled Mine "Record 1 of 2"
    until_true dialog_shows Next || fail "no navigator"
    keys Escape && settled Mine "Record 2 of 2" # Next
    keys Escape # Next, past the last match
    until_true dialog_shows "No Match Found" || fail "Next past the last match found one"
    keys shift+Tab space # Previous
    settled Mine "Record 1 of 2"
    until_true not dialog_shows "No Match Found" || fail "Previous kept the old outcome"
    keys Tab space # Continue closes the navigator
    until_true no_notice || fail "the navigator is still open"
    focus_main Mine && keys Escape
    until_true dialog_shows "New Records Have Been Added" || fail "Escape did not ask to save"
    keys Return # Yes
    until_true program_gone || fail "the program is still running after Yes"
    program_pid=
    [ "$("$QUIREBOOK_CLI" show Mine.ktl | sed -n 's/^records\t//p')" = 2 ] || fail "Mine.ktl lost count"
    [ "$(field Mine.ktl 1 1)|$(field Mine.ktl 2 1)" = "Dune Messiah|Emma" ] || fail "Mine.ktl: $(field Mine.ktl 1 1)"
    echo "ok: $1"
    exit 0
    ;;
two-programs)
    records=$("$QUIREBOOK_CLI" show "$DEMO" | sed -n 's/^records\t//p')
    pids=()
    for name in A B; do
        cp "$DEMO" "$scratch/$name.ktl"
        start_program "$scratch/$name.ktl"
        pids+=("$program_pid")
        until_true focus_main "Demo Collection" || fail "program $name showed no collection"
    done
    sleep 1
    for i in 0 1; do
        program_pid=${pids[$i]}
        focus_main "Demo Collection" && click 200 82 && keys ctrl+n && typed "Only in $i" && keys ctrl+s
        until_true [ "$("$QUIREBOOK_CLI" show "$scratch/$([ $i = 0 ] && echo A || echo B).ktl" | sed -n 's/^records\t//p')" = $((records + 1)) ] ||
            fail "program $i did not save its own file"
    done
    for i in 0 1; do
        program_pid=${pids[$i]}
        focus_main "Demo Collection" && click 200 82 && keys Escape
        until_true program_gone || fail "program $i asked something after its save"
    done
    program_pid=
    [ "$(field "$scratch/A.ktl" $((records + 1)) 1)|$(field "$scratch/B.ktl" $((records + 1)) 1)" = "Only in 0|Only in 1" ] ||
        fail "the two programs' records got mixed"
    echo "ok: $1"
    exit 0
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
