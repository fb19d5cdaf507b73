#include "commands.h"

#include "about_box.h"
#include "autofill.h"
#include "autofill_lists.h"
#include "csv_export.h"
#include "field_catalogue.h"
#include "file_commands.h"
#include "prompt_dialog.h"
#include "record_commands.h"
#include "record_form.h"
#include "resource.h"
#include "shell_open.h"

namespace {

bool Is(int id, int command, int menuItem = 0) {
    return id == command || (menuItem && id == menuItem);
}

// The export holds what the working copy holds; the form is not stored first.
void ExportCommand(Program& program) {
    if (ExportCsv(program.collection.hRecordFile) == EXPORT_FAILED)
        ShowNotice(program.window, "Export Failed");
}

// The field the user touched last is the one Sort sorts by. An edit box
// notifies a change also when the program fills it, so a change counts only
// while the box has the focus, that is, when the user types in it.
bool TouchedByUser(HWND window, int id, WORD notification) {
    if (notification != EN_CHANGE && notification != EN_UPDATE) return true;
    HWND control = GetDlgItem(window, id), focus = GetFocus();
    return focus && (focus == control || IsChild(control, focus));
}

// The lists keep what is typed in their boxes; a record shown is stored first
// and shown again.
void ReloadAutoFillCommand(Program& program) {
    StoreRecord(program.window, program.collection);
    ReloadAutoFillLists(program.window);
    if (IsRecordShown(program.collection)) ShowRecord(program.window, program.collection);
}

} // namespace

// The first row that matches the command runs; a command whose condition does
// not hold does nothing.
void OnCommand(Program& program, WPARAM wParam) {
    int id = LOWORD(wParam);
    int field = id - FIRST_FIELD_CONTROL;
    Collection& collection = program.collection;
    bool open = collection.hRecordFile != nullptr;
    bool severalRecords = open && collection.recordCount > 1;
    if (Is(id, IDM_HELP_ABOUT)) {
        ShowAboutBox(program.window, program.startup);
    } else if (Is(id, IDM_EDIT_AUTOFILL)) {
        ShellOpenSideFile(AUTOFILL_FILE_NAME, false);
    } else if (Is(id, IDC_EXECUTE)) {
        ExecuteLink(program.window);
    } else if (Is(id, IDC_CHANGE)) {
        ChangeLink(program);
    } else if (Is(id, IDM_RELOAD_AUTOFILL)) {
        ReloadAutoFillCommand(program);
    } else if (Is(id, IDM_HELP_DATA_DIR)) {
        OpenDataFolder();
    } else if (Is(id, IDT_README, IDM_HELP_HELP)) {
        OpenReadMe();
    } else if (Is(id, IDM_FILE_EXIT)) {
        ExitProgram(program);
    } else if (Is(id, IDM_FILE_EXPORT)) {
        ExportCommand(program);
    } else if (Is(id, IDT_SAVE, IDM_FILE_SAVE)) {
        if (open) SaveCommand(program);
    } else if (Is(id, IDM_FILE_CLOSE)) {
        if (open) CloseUserFile(program);
    } else if (field >= 1 && field < static_cast<int>(KIND_FIELD) &&
               fieldCatalogue[field].control == CONTROL_DATE_BUTTON) {
        PickDate(program, id);
    } else if (field >= 1 && IsSortControl(static_cast<uint32_t>(field))) {
        if (TouchedByUser(program.window, id, HIWORD(wParam)))
            collection.sortField = static_cast<uint32_t>(field);
    } else if (Is(id, IDT_NEW, IDM_FILE_NEW)) {
        NewCommand(program);
    } else if (Is(id, IDT_ADD, IDM_EDIT_ADD)) {
        if (open) AddCommand(program);
    } else if (Is(id, IDT_COPY, IDM_EDIT_COPY)) {
        if (open && collection.currentNumber != -1) CopyCommand(program);
    } else if (Is(id, IDT_OPEN, IDM_FILE_OPEN)) {
        OpenCommand(program);
    } else if (Is(id, IDM_EDIT_NAME)) {
        if (open) NameCommand(program);
    } else if (Is(id, IDT_BOOK) || Is(id, IDT_MOVIE)) {
        SetKindLabels(program.window, id == IDT_BOOK ? KIND_BOOK : KIND_MOVIE);
    } else if (!severalRecords) {
        // Search, Delete, Goto, Previous, Next and Sort need two records or more.
    } else if (Is(id, IDT_SEARCH)) {
        SearchCommand(program);
    } else if (Is(id, IDT_DELETE, IDM_EDIT_DELETE)) {
        DeleteCommand(program);
    } else if (Is(id, IDT_GOTO, IDM_VIEW_GOTO)) {
        GotoCommand(program);
    } else if (Is(id, IDT_PREVIOUS, IDM_VIEW_PREVIOUS)) {
        StepCommand(program, false);
    } else if (Is(id, IDT_NEXT, IDM_VIEW_NEXT)) {
        StepCommand(program, true);
    } else if (Is(id, IDM_EDIT_SORT)) {
        SortCommand(program);
    }
}
