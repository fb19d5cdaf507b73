#include "prompt_dialog.h"

#include "resource.h"
#include "texts.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR FOCUS_TIMER = 3;
constexpr UINT FOCUS_DELAY = 100;

// The text and date modes keep the focus in their entry control.
bool FocusStaysOnEntry(PromptMode mode) {
    return mode == PROMPT_TEXT || mode == PROMPT_DATE;
}

void ShowControl(HWND dialog, int id, bool visible) {
    ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOW : SW_HIDE);
}

void SetLine(HWND dialog, int id, const char* text) {
    SetDlgItemTextA(dialog, id, text != nullptr ? text : "");
}

// Lines 3 and 4 make room for the entry control of the text and date modes,
// which takes the focus.
HWND ShowEntry(HWND dialog, int id) {
    ShowControl(dialog, IDC_PROMPT_LINE3, false);
    ShowControl(dialog, IDC_PROMPT_LINE4, false);
    HWND entry = GetDlgItem(dialog, id);
    ShowWindow(entry, SW_SHOW);
    SetFocus(entry);
    return entry;
}

INT_PTR OnInitDialog(HWND dialog, const PromptRequest& request) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&request));
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const char* line1 = request.line1;
    switch (request.mode) {
    case PROMPT_OK_CANCEL:
        SetDlgItemTextA(dialog, IDOK, TEXT_OK);
        ShowControl(dialog, IDCANCEL, true);
        break;
    case PROMPT_YES_NO_CANCEL: // button 2 keeps its "Cancel"
        ShowControl(dialog, IDCANCEL, true);
        ShowControl(dialog, IDC_PROMPT_BUTTON3, true);
        SetDlgItemTextA(dialog, IDC_PROMPT_BUTTON3, TEXT_NO);
        SetDlgItemTextA(dialog, IDOK, TEXT_YES);
        break;
    case PROMPT_TEXT:
        SetLine(dialog, IDC_PROMPT_EDIT, request.answer);
        SendMessageA(ShowEntry(dialog, IDC_PROMPT_EDIT), EM_SETSEL, 0, -1);
        break;
    case PROMPT_SEARCH:
        SetDlgItemTextA(dialog, IDCANCEL, TEXT_NEXT);
        SetDlgItemTextA(dialog, IDC_PROMPT_BUTTON3, TEXT_PREVIOUS);
        ShowControl(dialog, IDC_PROMPT_BUTTON3, true);
        ShowControl(dialog, IDCANCEL, true);
        line1 = TEXT_SEARCH_FOR;
        break;
    case PROMPT_DATE:
        ShowEntry(dialog, IDC_PROMPT_DATE);
        break;
    case PROMPT_NOTICE:
        break;
    }
    SetLine(dialog, IDC_PROMPT_LINE1, line1);
    SetLine(dialog, IDC_PROMPT_LINE2, request.line2);
    SetLine(dialog, IDC_PROMPT_LINE3, request.line3);
    SetTimer(dialog, FOCUS_TIMER, FOCUS_DELAY, nullptr);
    // TRUE lets the dialog manager focus button 1.
    return FocusStaysOnEntry(request.mode) ? FALSE : TRUE;
}

// Button 1 gets the focus once more when the dialog is up, unless the entry
// control of the mode has it.
void OnTimer(HWND dialog, const PromptRequest& request, UINT_PTR id) {
    if (id != FOCUS_TIMER) return;
    KillTimer(dialog, FOCUS_TIMER);
    if (!FocusStaysOnEntry(request.mode)) SetFocus(GetDlgItem(dialog, IDOK));
}

void ReadDate(HWND dialog, char* answer) {
    SYSTEMTIME date = {};
    SendDlgItemMessageA(dialog, IDC_PROMPT_DATE, DTM_GETSYSTEMTIME, 0,
                        reinterpret_cast<LPARAM>(&date));
    if (GetDateFormatA(0, DATE_SHORTDATE, &date, nullptr, answer, PROMPT_ANSWER_SIZE) == 0)
        answer[0] = '\0';
}

// Button 1 is OK (or Yes, or Continue) in every mode; button 3 is No where
// it says so, and Cancel like button 2 elsewhere.
PromptAnswer AnswerOf(PromptMode mode, int button) {
    if (button == IDOK) return PROMPT_OK;
    if (button == IDC_PROMPT_BUTTON3 && mode == PROMPT_YES_NO_CANCEL) return PROMPT_NO;
    return PROMPT_CANCEL;
}

void EndPrompt(HWND dialog, const PromptRequest& request, int id) {
    if (id != IDOK && id != IDCANCEL && id != IDC_PROMPT_BUTTON3) return;
    if (request.mode == PROMPT_TEXT && request.answer != nullptr)
        GetDlgItemTextA(dialog, IDC_PROMPT_EDIT, request.answer, PROMPT_ANSWER_SIZE);
    else if (request.mode == PROMPT_DATE && request.answer != nullptr)
        ReadDate(dialog, request.answer);
    EndDialog(dialog, AnswerOf(request.mode, id));
}

// Next and Previous leave the navigator open: its owner runs the step, which
// this waits for, and answers with the outcome line.
void RunNavigatorStep(HWND dialog, int id) {
    LRESULT outcome = SendMessageA(GetWindow(dialog, GW_OWNER),
                                   id == IDCANCEL ? WM_SEARCHNEXT : WM_SEARCHPREV, 0, 0);
    SetLine(dialog, IDC_PROMPT_LINE4, reinterpret_cast<const char*>(outcome));
}

void OnCommand(HWND dialog, const PromptRequest& request, int id) {
    bool answers = request.mode == PROMPT_NOTICE || request.mode == PROMPT_OK_CANCEL ||
                   request.mode == PROMPT_YES_NO_CANCEL;
    if (answers || id == IDOK)
        EndPrompt(dialog, request, id);
    else if (request.mode == PROMPT_SEARCH && (id == IDCANCEL || id == IDC_PROMPT_BUTTON3))
        RunNavigatorStep(dialog, id);
}

INT_PTR CALLBACK PromptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog(dialog, *reinterpret_cast<const PromptRequest*>(lParam));
    // The request handed to DialogBoxParamA, kept with the dialog from WM_INITDIALOG on.
    auto* request = reinterpret_cast<const PromptRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!request) return FALSE;
    switch (message) {
    case WM_TIMER:
        OnTimer(dialog, *request, wParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, *request, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int32_t ShowPrompt(HWND owner, const PromptRequest& request) {
    HINSTANCE module = owner ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE))
                             : GetModuleHandleA(nullptr);
    INT_PTR answer = DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_PROMPT), owner, PromptDialogProc,
                                     reinterpret_cast<LPARAM>(&request));
    return answer == -1 ? PROMPT_CANCEL : static_cast<int32_t>(answer);
}

void ShowNotice(HWND owner, const char* line2, const char* line3) {
    AskQuestion(owner, PROMPT_NOTICE, line2, line3);
}

int32_t AskQuestion(HWND owner, PromptMode mode, const char* line2, const char* line3) {
    return ShowPrompt(owner, {mode, nullptr, line2, line3});
}

// Line 3, hidden behind the entry control, holds the answer's text too.
bool AskEntry(HWND owner, PromptMode mode, const char* line1, char* answer) {
    return ShowPrompt(owner, {mode, line1, nullptr, answer, answer}) == PROMPT_OK;
}
