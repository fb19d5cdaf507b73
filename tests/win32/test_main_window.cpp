#include "test_main_window.h"

#include "commands.h"
#include "main_form.h"
#include "main_window.h"
#include "record_file.h"

#include <commctrl.h>
#include <map>

namespace {

// One answerer at a time: what it is to press and what it saw.
struct Answer {
    UINT_PTR timer = 0;
    int button = 0;
    bool answered = false;
    std::string title;
    std::map<int, std::string> texts;
    std::string allText;
} answer;

BOOL CALLBACK NoteChild(HWND child, LPARAM) {
    answer.texts[GetDlgCtrlID(child)] = WindowText(child);
    answer.allText += WindowText(child) + "\n";
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, answer.timer);
    answer.timer = 0;
    answer.answered = true;
    answer.title = WindowText(dialog);
    EnumChildWindows(dialog, NoteChild, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED), 0);
}

} // namespace

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string StatusText() {
    char text[256] = "";
    SendMessageA(hStatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageA(&message);
}

HWND StartMainWindow() {
    PumpMessages();
    EXPECT_TRUE(InitApplication());
    KillTimer(hMainWnd, 1);
    filePath[0] = '\0';
    EnableFileCommands(0);
    PumpMessages();
    return hMainWnd;
}

void EndMainWindow() {
    if (IsWindow(hMainWnd)) DestroyWindow(hMainWnd);
    hMainWnd = nullptr;
    if (hRecordFile) CloseRecordFile(hRecordFile);
    hRecordFile = nullptr;
    currentRecord = currentNumber = -1;
    recordCount = 0;
    recordsAdded = fileNamed = 0;
    ctrlHeld = 0;
    PumpMessages();
}

DialogAnswerer::DialogAnswerer(int button) {
    answer = Answer();
    answer.button = button;
    answer.timer = SetTimer(nullptr, 0, 30, AnswerDialog);
}

DialogAnswerer::~DialogAnswerer() {
    if (answer.timer) KillTimer(nullptr, answer.timer);
    answer.timer = 0;
}

bool DialogAnswerer::answered() const {
    return answer.answered;
}
std::string DialogAnswerer::title() const {
    return answer.title;
}
std::string DialogAnswerer::text(int controlId) const {
    auto found = answer.texts.find(controlId);
    return found == answer.texts.end() ? std::string() : found->second;
}
std::string DialogAnswerer::allText() const {
    return answer.allText;
}
