#include "test_main_window.h"

#include "collection.h"
#include "field_catalogue.h"
#include "file_commands.h"
#include "main_form.h"
#include "main_window.h"
#include "record_file.h"

#include <commctrl.h>
#include <cstring>

static DialogAnswerer* waiting; // the answerer whose dialog is still to come

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ControlText(HWND window, int id) {
    return WindowText(GetDlgItem(window, id));
}

std::string StatusText(HWND window) {
    char text[256] = "";
    SendMessageA(StatusBar(window), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string TempPath(const std::string& name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "quirebook-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::string MakeCollection(const char* name, std::initializer_list<const char*> titles) {
    std::string path = TempPath(std::string(name) + ".ktl");
    Collection collection;
    CreateCollection(collection, path.c_str(), name);
    for (const char* title : titles) {
        AddBlankRecord(collection, KIND_BOOK);
        std::strcpy(textValue, title);
        WriteField(collection.hRecordFile, collection.currentRecord, 1);
    }
    CloseCollection(collection);
    return path;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageA(&message);
}

void MainWindowTest::SetUp() {
    PumpMessages();
    ASSERT_TRUE(InitApplication(program));
    KillTimer(program.window, 1);
    program.filePath[0] = '\0';
    EnableFileCommands(program.window, 0);
    PumpMessages();
}

void MainWindowTest::TearDown() {
    if (IsWindow(program.window)) DestroyWindow(program.window);
    CloseCollection(program.collection);
    PumpMessages();
}

DialogAnswerer::DialogAnswerer(std::initializer_list<int> buttons) : buttons_(buttons) {
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
    if (!dialog || !waiting || GetPropA(dialog, "answered")) return;
    DialogAnswerer& self = *waiting;
    SetPropA(dialog, "answered", dialog);
    if (self.title_.empty()) {
        self.title_ = WindowText(dialog);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            self.texts_[GetDlgCtrlID(child)] = WindowText(child);
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(self.buttons_.front(), BN_CLICKED), 0);
    self.buttons_.erase(self.buttons_.begin());
    if (!self.buttons_.empty()) return;
    waiting = nullptr;
    KillTimer(nullptr, self.timer_);
    self.timer_ = 0;
}
