#include "prompt_dialog.h"

#include "resource.h"

#include <commctrl.h>

int32_t promptMode;
const char* promptLine1;
const char* promptLine2;
const char* promptLine3;
std::atomic<const char*> promptLine4;
int32_t promptResult;
HWND searchOwner;

namespace {

constexpr UINT_PTR FOCUS_TIMER = 3;
constexpr UINT FOCUS_DELAY = 100;

// The text and date modes keep the focus in their entry control.
bool FocusStaysOnEntry() {
    return promptMode == PROMPT_TEXT || promptMode == PROMPT_DATE;
}

// The answer buffer of the text and date modes, which the caller made writable.
char* AnswerBuffer() {
    return const_cast<char*>(promptLine3);
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

INT_PTR OnInitDialog(HWND dialog) {
    promptResult = 0;
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    switch (promptMode) {
    case PROMPT_OK_CANCEL:
        SetDlgItemTextA(dialog, IDOK, "OK");
        ShowControl(dialog, IDCANCEL, true);
        break;
    case PROMPT_YES_NO_CANCEL:
        ShowControl(dialog, IDCANCEL, true);
        ShowControl(dialog, IDC_PROMPT_BUTTON3, true);
        SetDlgItemTextA(dialog, IDC_PROMPT_BUTTON3, "No");
        SetDlgItemTextA(dialog, IDOK, "Yes");
        SetDlgItemTextA(dialog, IDCANCEL, "Cancel");
        break;
    case PROMPT_TEXT:
        SetLine(dialog, IDC_PROMPT_EDIT, promptLine3);
        SendMessageA(ShowEntry(dialog, IDC_PROMPT_EDIT), EM_SETSEL, 0, -1);
        break;
    case PROMPT_SEARCH:
        SetDlgItemTextA(dialog, IDCANCEL, "Next");
        SetDlgItemTextA(dialog, IDC_PROMPT_BUTTON3, "Previous");
        ShowControl(dialog, IDC_PROMPT_BUTTON3, true);
        ShowControl(dialog, IDCANCEL, true);
        promptLine1 = "Search for...";
        break;
    case PROMPT_DATE:
        ShowEntry(dialog, IDC_PROMPT_DATE);
        break;
    }
    SetLine(dialog, IDC_PROMPT_LINE1, promptLine1);
    SetLine(dialog, IDC_PROMPT_LINE2, promptLine2);
    SetLine(dialog, IDC_PROMPT_LINE3, promptLine3);
    SetLine(dialog, IDC_PROMPT_LINE4, promptLine4.load());
    SetTimer(dialog, FOCUS_TIMER, FOCUS_DELAY, nullptr);
    // TRUE lets the dialog manager focus button 1.
    return FocusStaysOnEntry() ? FALSE : TRUE;
}

// Button 1 gets the focus once more when the dialog is up, unless the entry
// control of the mode has it.
void OnTimer(HWND dialog, UINT_PTR id) {
    if (id != FOCUS_TIMER) return;
    KillTimer(dialog, FOCUS_TIMER);
    if (!FocusStaysOnEntry()) SetFocus(GetDlgItem(dialog, IDOK));
}

void ReadDate(HWND dialog, char* answer) {
    SYSTEMTIME date = {};
    SendDlgItemMessageA(dialog, IDC_PROMPT_DATE, DTM_GETSYSTEMTIME, 0,
                        reinterpret_cast<LPARAM>(&date));
    if (GetDateFormatA(0, DATE_SHORTDATE, &date, nullptr, answer, PROMPT_ANSWER_SIZE) == 0)
        answer[0] = '\0';
}

void EndPrompt(HWND dialog, int id) {
    if (id != IDOK && id != IDCANCEL && id != IDC_PROMPT_BUTTON3) return;
    if (promptMode == PROMPT_YES_NO_CANCEL)
        promptResult = id;
    else
        promptResult = id == IDOK ? PROMPT_OK : PROMPT_CANCEL;
    char* answer = AnswerBuffer();
    if (promptMode == PROMPT_TEXT && answer != nullptr)
        GetDlgItemTextA(dialog, IDC_PROMPT_EDIT, answer, PROMPT_ANSWER_SIZE);
    else if (promptMode == PROMPT_DATE && answer != nullptr)
        ReadDate(dialog, answer);
    ResetPromptRequest();
    EndDialog(dialog, 0);
}

// Next and Previous leave the navigator open: the main thread runs the step,
// which this waits for, and its outcome is shown in line 4.
void RunNavigatorStep(HWND dialog, int id) {
    SendMessageA(searchOwner, id == IDCANCEL ? WM_SEARCHNEXT : WM_SEARCHPREV, 0, 0);
    SetLine(dialog, IDC_PROMPT_LINE4, promptLine4.load());
}

void OnCommand(HWND dialog, int id) {
    bool answers = promptMode == PROMPT_NOTICE || promptMode == PROMPT_OK_CANCEL ||
                   promptMode == PROMPT_YES_NO_CANCEL;
    if (answers || id == IDOK)
        EndPrompt(dialog, id);
    else if (promptMode == PROMPT_SEARCH && (id == IDCANCEL || id == IDC_PROMPT_BUTTON3))
        RunNavigatorStep(dialog, id);
}

} // namespace

void ResetPromptRequest() {
    promptMode = PROMPT_NOTICE;
    promptLine1 = nullptr;
    promptLine2 = nullptr;
    promptLine3 = nullptr;
    promptLine4 = nullptr;
}

INT_PTR CALLBACK PromptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_TIMER:
        OnTimer(dialog, wParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int32_t ShowPrompt(HWND owner) {
    HINSTANCE module = owner ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE))
                             : GetModuleHandleA(nullptr);
    if (DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_PROMPT), owner, PromptDialogProc, 0) == -1) {
        ResetPromptRequest();
        promptResult = PROMPT_CANCEL;
    }
    return promptResult;
}

void ShowNotice(HWND owner, const char* line2) {
    AskQuestion(owner, PROMPT_NOTICE, line2);
}

int32_t AskQuestion(HWND owner, PromptMode mode, const char* line2, const char* line3) {
    promptMode = mode;
    promptLine2 = line2;
    promptLine3 = line3;
    return ShowPrompt(owner);
}

bool AskEntry(HWND owner, PromptMode mode, const char* line1, char* answer) {
    promptMode = mode;
    promptLine1 = line1;
    promptLine3 = answer;
    return ShowPrompt(owner) == PROMPT_OK;
}
