#include "record_commands.h"

#include "field_catalogue.h"
#include "file_commands.h"
#include "prompt_dialog.h"
#include "record_file.h"
#include "record_form.h"
#include "record_list.h"
#include "shell_open.h"
#include "text_routines.h"
#include "texts.h"

#include <memory>

namespace {

const int LINK_CONTROL = FieldControlId(FieldWithFlag(FLAG_LINK));

// What the navigator's thread keeps of the program: its own copy of the
// text searched for, and the main window, which owns the navigator and runs
// its steps.
struct Navigator {
    HWND owner;
    char searchText[PROMPT_ANSWER_SIZE];
};

// The navigator's thread: the prompt in its search mode until the user closes it.
DWORD WINAPI SearchNavigator(LPVOID parameter) {
    std::unique_ptr<Navigator> navigator(static_cast<Navigator*>(parameter));
    ShowPrompt(navigator->owner, {PROMPT_SEARCH, nullptr, navigator->searchText});
    return 0;
}

void ShowCollectionFull(Program& program) {
    ShowNotice(program.window, TEXT_COLLECTION_FULL);
}

} // namespace

void AddCommand(Program& program) {
    StoreRecord(program.window, program.collection);
    if (AddBlankRecord(program.collection, CheckedKind(program.window)) < 0) {
        ShowCollectionFull(program);
        return;
    }
    ClearRecordForm(program.window);
    UpdateStatusLine(program.window, program.collection);
    SetFocus(GetDlgItem(program.window, FIRST_FIELD_CONTROL + 1));
}

void CopyCommand(Program& program) {
    StoreRecord(program.window, program.collection);
    if (CopyShownRecord(program.collection) < 0) {
        ShowCollectionFull(program);
        return;
    }
    RefreshForm(program.window, program.collection);
}

void DeleteCommand(Program& program) {
    if (AskQuestion(program.window, PROMPT_OK_CANCEL, TEXT_CONFIRM) != PROMPT_OK) return;
    DeleteShownRecord(program.collection);
    RefreshForm(program.window, program.collection);
}

void GotoCommand(Program& program) {
    NumberToDecimal(program.collection.currentNumber, program.textBuffer);
    if (!AskEntry(program.window, PROMPT_TEXT, TEXT_GOTO, program.textBuffer)) return;
    uint32_t ordinal = DecimalToNumber(program.textBuffer);
    if (NthRecord(program.collection.hRecordFile, ordinal) < 0) return;
    StoreRecord(program.window, program.collection);
    GoToRecord(program.collection, ordinal);
    RefreshForm(program.window, program.collection);
}

void StepCommand(Program& program, bool forward) {
    StoreRecord(program.window, program.collection);
    if (forward)
        GoToNextRecord(program.collection);
    else
        GoToPreviousRecord(program.collection);
    RefreshForm(program.window, program.collection);
}

void ListCommand(Program& program) {
    StoreRecord(program.window, program.collection);
    uint32_t ordinal = PickFromRecordList(program.window, program.collection);
    if (ordinal == 0 || !GoToRecord(program.collection, ordinal)) return;
    RefreshForm(program.window, program.collection);
}

void SortCommand(Program& program) {
    StoreRecord(program.window, program.collection);
    SortCollection(program.collection);
    RefreshForm(program.window, program.collection);
}

void SearchCommand(Program& program) {
    program.textBuffer[0] = '\0';
    if (!AskEntry(program.window, PROMPT_TEXT, TEXT_SEARCH_FOR, program.textBuffer)) return;
    StoreRecord(program.window, program.collection);
    SetSearchText(program.collection, program.textBuffer);
    if (!program.textBuffer[0]) return;
    if (!FindMatch(program.collection, SEARCH_FIRST)) {
        ShowNotice(program.window, TEXT_NO_MATCH);
        return;
    }
    RefreshForm(program.window, program.collection);
    auto navigator = std::make_unique<Navigator>();
    navigator->owner = program.window;
    CopyCount(program.textBuffer, navigator->searchText, PROMPT_ANSWER_SIZE - 1);
    if (HANDLE thread = CreateThread(nullptr, 0, SearchNavigator, navigator.get(), 0, nullptr)) {
        navigator.release(); // the thread's now
        CloseHandle(thread);
    }
}

const char* SearchStep(Program& program, bool forward) {
    StoreRecord(program.window, program.collection);
    if (!FindMatch(program.collection, forward ? SEARCH_FORWARD : SEARCH_BACKWARD))
        return TEXT_NO_MATCH;
    RefreshForm(program.window, program.collection);
    return nullptr;
}

void NameCommand(Program& program) {
    ReadCollectionName(program.collection.hRecordFile, program.textBuffer);
    if (!AskEntry(program.window, PROMPT_TEXT, TEXT_COLLECTION_NAME, program.textBuffer)) return;
    RenameCollection(program.collection, program.textBuffer);
    SetWindowTextA(program.window, program.textBuffer);
}

void PickDate(Program& program, int button) {
    if (AskEntry(program.window, PROMPT_DATE, TEXT_SELECT_DATE, program.textBuffer))
        SetDlgItemTextA(program.window, button, program.textBuffer);
}

void ExecuteLink(HWND window) {
    char link[TEXT_BUFFER_SIZE];
    GetDlgItemTextA(window, LINK_CONTROL, link, sizeof link);
    ShellOpenPath(link);
}

void ChangeLink(Program& program) {
    GetDlgItemTextA(program.window, LINK_CONTROL, program.textBuffer, TEXT_BUFFER_SIZE);
    if (ChooseFile(program.window, program.textBuffer, 2, 1) == 1)
        SetDlgItemTextA(program.window, LINK_CONTROL, program.textBuffer);
}
