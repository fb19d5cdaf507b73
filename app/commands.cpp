#include "commands.h"

#include "about_box.h"
#include "autofill.h"
#include "autofill_lists.h"
#include "csv_export.h"
#include "field_catalogue.h"
#include "file_commands.h"
#include "main_form.h"
#include "prompt_dialog.h"
#include "record_commands.h"
#include "record_form.h"
#include "resource.h"
#include "shell_open.h"
#include "texts.h"

#include <commctrl.h>

namespace {

// What a command needs; where it does not hold, the command does nothing.
enum CommandNeed : uint8_t {
    NEEDS_NOTHING,
    NEEDS_FILE,        // an open record file
    NEEDS_RECORD,      // an open record file with a record shown
    NEEDS_TWO_RECORDS, // an open record file of two records or more
};

struct Command {
    int button;   // the toolbar's or the form's button, 0 for none
    int menuItem; // 0 for none
    CommandNeed needs;
    bool greyedWithoutFile;
    const char* tooltip;           // the toolbar button's, null for none
    void (*run)(Program& program); // null where no command is sent
};

void ExitCommand(Program& program) {
    ExitProgram(program);
}

// The export holds what the working copy holds; the form is not stored first.
void ExportCommand(Program& program) {
    if (ExportCsv(program.collection.hRecordFile) == EXPORT_FAILED)
        ShowNotice(program.window, TEXT_EXPORT_FAILED);
}

void EditAutoFillCommand(Program&) {
    ShellOpenSideFile(AUTOFILL_FILE_NAME, false);
}

// The lists keep what is typed in their boxes; a record shown is stored first
// and shown again.
void ReloadAutoFillCommand(Program& program) {
    StoreRecord(program.window, program.collection);
    ReloadAutoFillLists(program.window);
    if (IsRecordShown(program.collection)) ShowRecord(program.window, program.collection);
}

void NextCommand(Program& program) {
    StepCommand(program, true);
}

void PreviousCommand(Program& program) {
    StepCommand(program, false);
}

void HelpCommand(Program&) {
    OpenReadMe();
}

void DataFolderCommand(Program&) {
    OpenDataFolder();
}

void AboutCommand(Program& program) {
    ShowAboutBox(program.window, program.startup);
}

void BookCommand(Program& program) {
    SetKindLabels(program.window, KIND_BOOK);
}

void MovieCommand(Program& program) {
    SetKindLabels(program.window, KIND_MOVIE);
}

void ExecuteCommand(Program& program) {
    ExecuteLink(program.window);
}

// In menu order, then the toolbar's and the form's own buttons. No id stands
// in two rows or is a field control's, so the order is the reader's alone.
// The keyboard shortcuts send the toolbar's ids, greyed or not.
const Command commands[] = {
    {IDT_NEW, IDM_FILE_NEW, NEEDS_NOTHING, false, "Create New Quirebook", NewCommand},
    {IDT_OPEN, IDM_FILE_OPEN, NEEDS_NOTHING, false, "Open Existing Quirebook", OpenCommand},
    {0, IDM_FILE_CLOSE, NEEDS_FILE, true, nullptr, CloseUserFile},
    {IDT_SAVE, IDM_FILE_SAVE, NEEDS_FILE, true, "Save this Quirebook", SaveCommand},
    {0, IDM_FILE_EXPORT, NEEDS_NOTHING, true, nullptr, ExportCommand},
    {0, IDM_FILE_IMPORT, NEEDS_FILE, true, nullptr, ImportCommand},
    {0, IDM_FILE_EXIT, NEEDS_NOTHING, true, nullptr, ExitCommand},
    {IDT_ADD, IDM_EDIT_ADD, NEEDS_FILE, true, "Add New Record", AddCommand},
    {IDT_COPY, IDM_EDIT_COPY, NEEDS_RECORD, true, "Copy This Record", CopyCommand},
    {IDT_DELETE, IDM_EDIT_DELETE, NEEDS_TWO_RECORDS, true, "Delete This Record", DeleteCommand},
    {0, IDM_EDIT_SORT, NEEDS_TWO_RECORDS, true, nullptr, SortCommand},
    {0, IDM_EDIT_NAME, NEEDS_FILE, true, nullptr, NameCommand},
    {0, IDM_EDIT_AUTOFILL, NEEDS_NOTHING, false, nullptr, EditAutoFillCommand},
    {0, IDM_RELOAD_AUTOFILL, NEEDS_NOTHING, false, nullptr, ReloadAutoFillCommand},
    {IDT_GOTO, IDM_VIEW_GOTO, NEEDS_TWO_RECORDS, true, "Goto Record", GotoCommand},
    {IDT_NEXT, IDM_VIEW_NEXT, NEEDS_TWO_RECORDS, true, "Next Record", NextCommand},
    {IDT_PREVIOUS, IDM_VIEW_PREVIOUS, NEEDS_TWO_RECORDS, true, "Previous Record", PreviousCommand},
    {0, IDM_VIEW_LIST, NEEDS_RECORD, true, nullptr, ListCommand},
    {IDT_README, IDM_HELP_HELP, NEEDS_NOTHING, false, "Open ReadMe", HelpCommand},
    {0, IDM_HELP_DATA_DIR, NEEDS_NOTHING, false, nullptr, DataFolderCommand},
    {0, IDM_HELP_ABOUT, NEEDS_NOTHING, false, nullptr, AboutCommand},
    {IDT_SEARCH, 0, NEEDS_TWO_RECORDS, true, "Search Quirebook", SearchCommand},
    {IDT_BOOK, 0, NEEDS_NOTHING, true, "Book", BookCommand},
    // The toolbar has no Music button: nothing sends its id.
    {IDT_MUSIC, 0, NEEDS_NOTHING, true, "Music", nullptr},
    {IDT_MOVIE, 0, NEEDS_NOTHING, true, "Movie", MovieCommand},
    {IDC_EXECUTE, 0, NEEDS_NOTHING, false, nullptr, ExecuteCommand},
    {IDC_CHANGE, 0, NEEDS_NOTHING, false, nullptr, ChangeLink},
};

bool Holds(CommandNeed needs, const Collection& collection) {
    bool open = collection.hRecordFile != nullptr;
    switch (needs) {
    case NEEDS_FILE:
        return open;
    case NEEDS_RECORD:
        return IsRecordShown(collection);
    case NEEDS_TWO_RECORDS:
        return open && collection.recordCount > 1;
    case NEEDS_NOTHING:
        break;
    }
    return true;
}

const Command* CommandOf(int id) {
    if (id == 0) return nullptr;
    for (const Command& command : commands)
        if (id == command.button || id == command.menuItem) return &command;
    return nullptr;
}

// The field the user touched last is the one Sort sorts by. An edit box
// notifies a change also when the program fills it, so a change counts only
// while the box has the focus, that is, when the user types in it.
bool TouchedByUser(HWND window, int id, WORD notification) {
    if (notification != EN_CHANGE && notification != EN_UPDATE) return true;
    HWND control = GetDlgItem(window, id), focus = GetFocus();
    return focus && (focus == control || IsChild(control, focus));
}

// A field control's notification: a date button asks for its date; any
// other field's control the user touched makes its field the one Sort sorts by.
void OnFieldControl(Program& program, int id, WORD notification) {
    int field = id - FIRST_FIELD_CONTROL;
    if (field >= 1 && field < static_cast<int>(KIND_FIELD) &&
        fieldCatalogue[field].control == CONTROL_DATE_BUTTON)
        PickDate(program, id);
    else if (field >= 1 && IsSortControl(static_cast<uint32_t>(field)) &&
             TouchedByUser(program.window, id, notification))
        program.collection.sortField = static_cast<uint32_t>(field);
}

} // namespace

void OnCommand(Program& program, WPARAM wParam) {
    int id = LOWORD(wParam);
    if (const Command* command = CommandOf(id)) {
        if (command->run && Holds(command->needs, program.collection)) command->run(program);
    } else {
        OnFieldControl(program, id, HIWORD(wParam));
    }
}

void EnableFileCommands(HWND window, bool on) {
    for (const Command& command : commands) {
        if (!command.greyedWithoutFile) continue;
        if (command.button) SendMessageA(Toolbar(window), TB_ENABLEBUTTON, command.button, on);
        if (command.menuItem)
            EnableMenuItem(GetMenu(window), command.menuItem,
                           MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    }
}

const char* CommandTooltip(UINT_PTR button) {
    for (const Command& command : commands)
        if (command.tooltip && static_cast<UINT_PTR>(command.button) == button)
            return command.tooltip;
    return nullptr;
}
