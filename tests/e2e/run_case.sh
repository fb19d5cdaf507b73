#!/usr/bin/env bash
# One end-to-end case (damaged-file, editing, two-programs, fields, leaving,
# crash-sessions, list or import, described where each begins): the real Quirebook.exe under
# Wine, watched and driven from outside as a person would. ctest passes
# WINE_RUN, QUIREBOOK_EXE, PROBE, DEMO, QUIREBOOK_CLI, QUIREBOOK_WINEPREFIX and
# PROGRAM_TITLE (the title of the window with no file, and of the prompts).
set -uo pipefail
. "$(dirname "$0")/../../scripts/display.sh"

program_pid= started=() scratch=$(mktemp -d)
trap 'kill "${started[@]}" 2>/dev/null; rm -rf "$scratch"; stop_display' EXIT
fail() { echo "FAIL: $* (dialogs: $(probe "#32770" | paste -sd'|'))" >&2 && exit 1; }
shows() { [ "$(probe Quirebook | head -2 | paste -sd '|')" = "$1|$2" ]; }
settled() { until_true shows "$1" "$2" || fail "the window shows '$(probe Quirebook | head -2 | paste -sd '|')', not '$1|$2'"; }
dialog_shows() { probe "#32770" | grep -qx "$1"; }
no_dialog() { [ -z "$(probe "#32770")" ]; }
gone() { ! kill -0 "$program_pid" 2>/dev/null; }
records() { "$QUIREBOOK_CLI" show "$1" | sed -n 's/^records\t//p'; }
# field FILE ORDINAL N: field N of that record, as quirebook-cli shows it.
field() { "$QUIREBOOK_CLI" show "$1" "$2" | sed -n "s/^$3\t//p"; }

# start_program [FILE]: Quirebook.exe, on FILE (a path of this machine) if given.
start_program() {
    "$WINE_RUN" "$QUIREBOOK_EXE" ${1:+"$(windows_path "$1")"} >/dev/null 2>&1 &
    program_pid=$! started+=($!)
}
# focus TITLE [WIDTH]: the program's window of that title (narrower than WIDTH,
# to tell a notice from the main window), raised above another program's.
focus() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$program_pid" --name "^$1\$"); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        [ "$WIDTH" -lt "${2:-100000}" ] || continue
        window=$id
        xdotool windowraise "$id" windowfocus --sync "$id" && return
    done
    return 1
}
keys() { xdotool key --delay 80 "$@"; }
typed() { xdotool type --delay 40 "$1"; }
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# menu N M: item M of menu N (both from 0) through the keyboard.
menu() { keys alt $(yes Right | head -n "$1") Down $(yes Down | head -n "$2") Return; }
ended() { until_true gone && program_pid= || fail "the program is still running"; }

start_display || exit 1
# Changes a failed case left behind would be offered to the next program: the
# programs keep their working copies beside themselves here.
rm -f "$(dirname "$QUIREBOOK_EXE")"/Temp*.dat.unsaved
case "${1:-}" in
damaged-file)
    # A file that is no collection, and a path too long: "File Error", then the empty window.
    echo "A shopping list, not a collection." >"$scratch/Not A Collection.ktl"
    start_program "$scratch/Not A Collection.ktl"
    until_true dialog_shows "File Error" || fail "no \"File Error\" notice"
    focus "$PROGRAM_TITLE" 400 && keys Escape # the notice, not the main window
    until_true no_dialog || fail "the notice is still open after Escape"
    settled "$PROGRAM_TITLE" "No File!"
    focus "$PROGRAM_TITLE" && keys Escape && ended
    # A path longer than the program takes is refused the same way.
    "$WINE_RUN" "$QUIREBOOK_EXE" "C:\\$(printf 'x%.0s' $(seq 650)).ktl" >/dev/null 2>&1 &
    program_pid=$! started+=($!)
    until_true dialog_shows "File Error" || fail "a path too long was not refused"
    focus "$PROGRAM_TITLE" 400 && keys Escape && until_true no_dialog && focus "$PROGRAM_TITLE" && keys Escape && ended
    ;;
editing)
    # A collection made, typed, saved, closed, opened, edited, sorted, searched and copied,
    # then left through the save question.
    mine="$(windows_path "$scratch")\\Mine.ktl"
    start_program
    settled "$PROGRAM_TITLE" "No File!"
    focus "$PROGRAM_TITLE" && click 14 53 # the New button
    until_true dialog_shows "Database Name" || fail "New asked no name"
    keys Return && settled Books "Record 1 of 1" # the name it suggests
    click 200 82 && typed Dune && click 200 212 # the Title box, then the Price box
    keys ctrl+n && settled Books "Record 2 of 2" # the new record's Title box has the focus
    typed Emma && keys ctrl+s
    until_true dialog_shows "Save As" || fail "no Save dialog for a new collection"
    keys End $(yes BackSpace | head -n 5) && typed "$mine" && keys Return # past the name it suggests
    until_true [ -f "$scratch/Mine.ktl" ] || fail "Save wrote no Mine.ktl"
    cd "$scratch"
    [ "$(field Mine.ktl 1 1)|$(field Mine.ktl 2 1)" = "Dune|Emma" ] || fail "Mine.ktl holds the wrong records"
    menu 0 2 && settled Books "No File!" # Close asks nothing after a save
    keys ctrl+o && until_true dialog_shows Open || fail "no Open dialog"
    typed "$mine" && keys Return && settled Books "Record 1 of 2"
    click 200 82 && keys End && typed " Messiah"
    menu 2 1 && settled Books "Record 2 of 2" # Next
    menu 2 2 && settled Books "Record 1 of 2" # Previous
    keys ctrl+n && settled Books "Record 3 of 3"
    typed Aardvark && menu 1 3 && settled Books "Record 1 of 3" # Sort, by the Title box typed in last
    for answer in Escape Return; do # Cancel, then OK
        keys ctrl+Delete && until_true dialog_shows "Confirm?" || fail "Delete asked nothing"
        keys $answer && until_true no_dialog
    done
    settled Books "Record 1 of 2"
    keys F3 && until_true dialog_shows "Search for..." || fail "Search asked nothing"
    typed m && keys Return && settled Books "Record 1 of 2" # in both titles
    until_true dialog_shows Next || fail "no navigator"
    keys Escape && settled Books "Record 2 of 2" # Next
    keys Escape # Next, past the last match
    until_true dialog_shows "No Match Found" || fail "Next past the last match found one"
    keys shift+Tab space && settled Books "Record 1 of 2" # Previous
    until_true eval '! dialog_shows "No Match Found"' || fail "Previous kept the old outcome"
    keys Tab space && until_true no_dialog || fail "the navigator is still open"
    focus Books && menu 1 1 && settled Books "Record 1 of 3" # Copy, into the slot the delete freed
    # The close box and Exit, each answered Cancel; then Escape, answered Yes.
    for leave in "keys alt+F4" "menu 0 6" "keys Escape"; do
        $leave && until_true dialog_shows "New Records Have Been Added" || fail "$leave did not ask to save"
        [ "$leave" = "keys Escape" ] || { keys Escape && until_true no_dialog && focus Books; }
    done
    keys Return && ended # Yes
    [ "$(records Mine.ktl)|$(field Mine.ktl 1 1)|$(field Mine.ktl 2 1)|$(field Mine.ktl 3 1)" = "3|Dune Messiah|Dune Messiah|Emma" ] ||
        fail "Mine.ktl holds $(records Mine.ktl) records, the first '$(field Mine.ktl 1 1)'"
    ;;
two-programs)
    # Two programs at once on files in a folder with a space, each saving its own.
    count=$(records "$DEMO") pids=() books="$scratch/My Books"
    mkdir -p "$books"
    for i in 0 1; do
        cp "$DEMO" "$books/$i.ktl" && start_program "$books/$i.ktl" && pids+=("$program_pid")
        until_true focus "Demo Collection" || fail "program $i showed no collection"
    done
    for i in 0 1; do
        program_pid=${pids[$i]}
        focus "Demo Collection" && click 200 82 && keys ctrl+n && typed "Only in $i" && keys ctrl+s
        until_true [ "$(records "$books/$i.ktl")" = $((count + 1)) ] || fail "program $i did not save its own file"
        click 200 82 && keys Escape && ended # nothing asked after the save
    done
    [ "$(field "$books/0.ktl" $((count + 1)) 1)|$(field "$books/1.ktl" $((count + 1)) 1)" = "Only in 0|Only in 1" ] ||
        fail "the two programs' records got mixed"
    ;;
fields)
    # Every field on the form; no command that needs two records; typed values stored,
    # the program killed, the values offered back and saved into their file.
    f=$scratch/Fields.ktl
    "$QUIREBOOK_CLI" new "$f" Fields && "$QUIREBOOK_CLI" add "$f" 1=Dune "2=Frank Herbert" 3=SF 4=01/08/1965 \
        5=0441 6=12/05/2026 7=Chronicles 8=1 9=412 10=1234 11=813.54 12=0 13=5 14=4 15=5 16=8 "17=Shelf A" \
        "18=First line" '19=C:\dune.pdf' 20=2 >/dev/null
    start_program "$f"
    settled Fields "Record 1 of 1"
    # Kind 2 shows the Movie labels; a list index outside its list (5) shows no item.
    expected="Title|Dune|Dune|Lead|Frank Herbert|Frank Herbert|Subject/Style|SF|SF|Rel. Date|01/08/1965|Direct|0441|"
    expected+="Buy Date|12/05/2026|Series|Chronicles|No.|1|Time:|412|Price|12.34|Format|813.54|View A|Yes|View B||"
    expected+="View C|Half|Rating|5|Status|Want|Where|Shelf A|Shelf A|Comments|First line|C:\dune.pdf|C:\dune.pdf"
    [ "$(probe Quirebook | sed -n '5,46p' | paste -sd'|')" = "$expected" ] || fail "the form shows $(probe Quirebook | paste -sd'|')"
    focus Fields
    for command in "keys F3" "keys ctrl+Delete" "menu 2 0"; do # nothing to search, delete or go to
        $command && sleep 1 && no_dialog || fail "$command asked something with one record"
    done
    long=$(printf 'x%.0s' $(seq 70))
    click 140 162 && keys Home shift+End && typed "$long" # ISBN, 64 wide
    click 365 187 && keys Home shift+End && typed abc     # No., a number
    click 200 212 && keys Home shift+End && typed 12.5    # Price
    keys ctrl+n && settled Fields "Record 2 of 2" # stores the typed values: unsaved changes now
    kill -9 "$program_pid" && ended
    start_program
    until_true dialog_shows "Unsaved Changes Were Found" || fail "the named file's changes were not offered back"
    focus "$PROGRAM_TITLE" 400 && keys Return && settled Fields "Record 1 of 2" # Yes
    focus Fields && keys Escape && until_true dialog_shows "Changes Have Been Made" || fail "recovered changes not unsaved"
    keys Return && ended # Yes: saved into the named file
    [ "$(field "$f" 1 10)" = 1250 ] || fail "Save stored the price as $(field "$f" 1 10)"
    stored="$(field "$f" 1 5)|$(field "$f" 1 8)|$(field "$f" 1 13)|$(field "$f" 1 20)|$(field "$f" 1 16)"
    [ "$stored" = "${long:0:64}|0|-1|3|8" ] || fail "Save stored $stored"
    ;;
crash-sessions)
    # The start after a kill (on a file named, but for the last session) offers
    # the changes before it opens the file: Yes shows them, still unsaved; in the
    # last session No lets them go, and the next start, killed or not, offers nothing.
    sessions=${QUIREBOOK_CRASH_SESSIONS:-2}
    for session in $(seq "$sessions"); do
        start_program
        settled "$PROGRAM_TITLE" "No File!"
        focus "$PROGRAM_TITLE" && click 14 53 && until_true dialog_shows "Database Name" || fail "session $session: no New"
        typed "S$session" && keys Return && settled "S$session" "Record 1 of 1"
        adds=$((session == 1 ? 1 : RANDOM % 5))
        for add in $(seq "$adds"); do
            click 200 82 && typed "T$add" && keys ctrl+n && settled "S$session" "Record $((add + 1)) of $((add + 1))"
        done
        click 200 82 && typed "unstored" # typing is no finished command
        sleep "0.$((RANDOM % 10))"
        kill -9 "$program_pid" && ended
        start_program "$([ "$session" = "$sessions" ] || echo "$DEMO")"
        until_true dialog_shows "Unsaved Changes Were Found" || fail "session $session: nothing offered back"
        if [ "$session" = "$sessions" ]; then
            focus "$PROGRAM_TITLE" 400 && keys shift+Tab Return && settled "$PROGRAM_TITLE" "No File!"
            kill -9 "$program_pid" && ended && break # nothing is left to offer
        fi
        focus "$PROGRAM_TITLE" 400 && keys Return # Yes
        settled "S$session" "Record 1 of $((adds + 1))"
        first=$(probe Quirebook | sed -n 6p)
        [ "$first" = "$([ "$adds" -gt 0 ] && echo T1)" ] || fail "session $session: the first record came back as '$first'"
        focus "S$session" && keys Escape && until_true dialog_shows "Changes Have Been Made" || fail "recovered changes not unsaved"
        keys shift+Tab Return && ended # No
        echo "session $session: $adds adds offered back"
    done
    start_program "$DEMO" # opens at once: nothing is offered
    settled "Demo Collection" "Record 1 of $(records "$DEMO")"
    no_dialog || fail "changes let go were offered again"
    focus "Demo Collection" && keys Escape && ended
    ;;
leaving)
    # Sort orders by the box the user touched last, never by one the program
    # filled (Rating is filled last); the file is then left three ways, each
    # answered No, and no change is left to recover.
    f=$scratch/Order.ktl
    "$QUIREBOOK_CLI" new "$f" Order >/dev/null
    for record in Cello/Ames/2 Banjo/Cole/1 Accordion/Birch/3; do
        IFS=/ read -r title lead rating <<<"$record"
        "$QUIREBOOK_CLI" add "$f" 1="$title" 2="$lead" 15="$rating" >/dev/null
    done
    first() { [ "$(probe Quirebook | sed -n 6p)" = "$1" ] || fail "$2 put '$(probe Quirebook | sed -n 6p)' first"; }
    for leave in "menu 0 6" "keys alt+F4" "keys Escape"; do
        start_program "$f"
        settled Order "Record 1 of 3"
        focus Order && menu 2 1 && settled Order "Record 2 of 3"
        menu 1 3 && settled Order "Record 1 of 3" && first Accordion "Sort after Next"
        click 200 102 && menu 2 1 && settled Order "Record 2 of 3" # into the Author box
        menu 1 3 && settled Order "Record 1 of 3" && first Cello "Sort after a click into Author"
        $leave && until_true dialog_shows "Changes Have Been Made" || fail "$leave did not ask to save"
        keys shift+Tab Return && ended # No
        ! ls "$(dirname "$QUIREBOOK_EXE")"/Temp*.dat.unsaved 2>/dev/null || fail "changes let go at $leave were kept to recover"
    done
    # With no record shown, Reload AutoFill keeps what is typed.
    start_program
    settled "$PROGRAM_TITLE" "No File!"
    focus "$PROGRAM_TITLE" && click 200 82 && typed Kept && menu 1 6 && sleep 1
    [ "$(probe Quirebook | sed -n 6p)" = Kept ] || fail "Reload AutoFill cleared the Title box"
    keys Escape && ended
    ;;
list)
    # View > List opens on the record shown; a record is picked with the arrows, by
    # typing the start of its title, after a heading click and with a double click
    # after another, each showing the record; Escape picks none. Saved afterwards,
    # the file is as it was, byte for byte; what is typed is stored before the list opens.
    f=$scratch/List.ktl
    "$QUIREBOOK_CLI" new "$f" List >/dev/null
    for record in Cello/1 Banjo/3 Accordion/1; do # no Music: the form stores it as a Movie
        "$QUIREBOOK_CLI" add "$f" 1="${record%/*}" 20="${record#*/}" >/dev/null
    done
    cp "$f" "$scratch/Before.ktl" && touch -d 2000-01-01 "$f"
    listed() { focus List && menu 2 3 && until_true focus Records || fail "View > List opened no list"; }
    heading() { click "$1" 31; } # the No. heading at 20, Title at 80
    start_program "$f"
    settled List "Record 1 of 3"
    listed && keys Down Return && settled List "Record 2 of 3"
    listed && typed acc && keys Return && settled List "Record 3 of 3"
    listed && keys Home Escape && until_true no_dialog && settled List "Record 3 of 3"
    listed && heading 80 && keys End Return && settled List "Record 1 of 3" # Cello last by title
    listed && heading 20 && xdotool mousemove --window "$window" 80 45 click --repeat 2 1 # the first row
    settled List "Record 3 of 3"
    focus List && keys ctrl+s && until_true [ "$f" -nt "$scratch/Before.ktl" ] || fail "Save wrote nothing"
    cmp -s "$f" "$scratch/Before.ktl" || fail "the list changed the file"
    click 200 82 && keys Home shift+End && typed Zither # Accordion renamed
    listed && heading 80 && keys Home Return && settled List "Record 2 of 3" # Banjo first
    focus List && keys Escape && until_true dialog_shows "Changes Have Been Made" || fail "the new title was not stored"
    keys shift+Tab Return && ended # No
    ;;
import)
    # File > Import...: a bad line adds nothing (Save then writes the file as it was);
    # a spreadsheet's CSV comes in after the record, the first shown, counted as added.
    f=$scratch/Shelf.ktl
    "$QUIREBOOK_CLI" new "$f" Shelf >/dev/null && "$QUIREBOOK_CLI" add "$f" 1=Dune >/dev/null && cp "$f" "$scratch/before"
    printf 'Kim\n"Bad\n' >"$scratch/bad.csv"
    printf 'Title,Author\r\nEmma,Jane Austen\r\n"Ulysses, Annotated",James Joyce\r\n' >"$scratch/good.csv"
    start_program "$f"
    settled Shelf "Record 1 of 1"
    for csv in bad good; do
        focus Shelf && menu 0 5 && until_true dialog_shows Import || fail "no Import dialog"
        dialog_shows "CSV Files" || fail "the Import dialog offers no CSV files"
        typed "$(windows_path "$scratch")\\$csv.csv" && keys Return
        notice=("Import Failed" "Line 2: Quote Never Closed")
        [ $csv = bad ] || notice=("2 Records Imported")
        for line in "${notice[@]}"; do until_true dialog_shows "$line" || fail "$csv.csv: no '$line' in the notice"; done
        keys Return && until_true no_dialog
        [ $csv = good ] || { settled Shelf "Record 1 of 1" && keys ctrl+s && sleep 1 && cmp -s "$f" "$scratch/before"; } || fail "the failed import changed the file"
    done
    settled Shelf "Record 2 of 3" && [ "$(probe Quirebook | sed -n 6p)" = Emma ] || fail "the first record imported is not shown"
    keys Escape && until_true dialog_shows "New Records Have Been Added" || fail "imported records not counted as added"
    keys Return && ended # Yes
    [ "$(field "$f" 3 1)|$(field "$f" 2 2)|$(field "$f" 2 20)" = "Ulysses, Annotated|Jane Austen|3" ] || fail "Shelf.ktl holds $(records "$f") records"
    ;;
*) fail "unknown case '${1:-}'" ;;
esac
[ -z "$program_pid" ] || fail "the program was left running"
echo "ok: $1"
