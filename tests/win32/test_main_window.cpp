#include "test_main_window.h"

#include "commands.h"
#include "main_form.h"
#include "main_window.h"
#include "record_file.h"

#include <commctrl.h>

static DialogAnswerer* waiting; // the answerer whose dialog is still to come

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

std::string TempPath(const std::string& name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "quirebook-" + std::to_string(GetCurrentProcessId()) + "-" + name;
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
    recordsAdded = fileNamed = ctrlHeld = 0;
    PumpMessages();
}

DialogAnswerer::DialogAnswerer(int button) : button_(button) {
    waiting = this;
    timer_ = SetTimer(nullptr, 0, 30, Answer);
}

DialogAnswerer::~DialogAnswerer() {
    if (timer_) KillTimer(nullptr, timer_);
    if (waiting == this) waiting = nullptr;
}

void CALLBACK DialogAnswerer::Answer(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr; // a visible dialog box of this thread
    while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)))
        if (IsWindowVisible(dialog) &&
            GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId())
            break;
    if (!dialog || !waiting) return;
    DialogAnswerer& self = *waiting;
    waiting = nullptr;
    KillTimer(nullptr, self.timer_);
    self.timer_ = 0;
    self.answered_ = true;
    self.title_ = WindowText(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        self.texts_[GetDlgCtrlID(child)] = WindowText(child);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(self.button_, BN_CLICKED), 0);
}
