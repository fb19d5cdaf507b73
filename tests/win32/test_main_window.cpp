#include "test_main_window.h"

#include "collection.h"
#include "commands.h"
#include "field_catalogue.h"
#include "main_form.h"
#include "main_window.h"
#include "record_file.h"
#include "resource.h"

#include <algorithm>
#include <commctrl.h>
#include <cstring>

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
    SendMessageA(StatusBar(window), SB_GETTEXTA, 0, LPARAM(text));
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
        FieldValue value;
        std::strcpy(value.text, title);
        WriteField(collection.hRecordFile, collection.currentRecord, 1, value);
    }
    CloseCollection(collection);
    return path;
}

// Dispatches every message waiting for this thread; a WM_QUIT is dropped.
static void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageA(&message);
}

void MainWindowTest::SetUp() {
    PumpMessages();
    ASSERT_TRUE(InitApplication(program));
    KillTimer(program.window, 1);
    program.filePath[0] = '\0';
    EnableFileCommands(program.window, false);
    PumpMessages();
}

void MainWindowTest::TearDown() {
    if (IsWindow(program.window)) DestroyWindow(program.window);
    CloseCollection(program.collection);
    PumpMessages();
}

static thread_local DialogDriver* driving; // the driver of this thread's dialogs

DialogDriver::DialogDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
    driving = this;
    timer_ = SetTimer(nullptr, 0, 30, Tick);
}

DialogDriver::DialogDriver(std::initializer_list<int> buttons)
    : DialogDriver(std::vector<Step>(buttons.size())) {
    std::transform(buttons.begin(), buttons.end(), steps_.begin(), Press);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    driving = nullptr;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    bool dialog = IsWindowVisible(window) && std::strcmp(name, "#32770") == 0;
    if (dialog) *reinterpret_cast<HWND*>(found) = window;
    return !dialog;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogDriver& self = *driving;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, LPARAM(&dialog));
    if (!dialog) return;
    if (dialog != self.dialog_) self.dialog_ = dialog, self.ticks_ = 0;
    // A dialog's own focus timer fires after 100 ms.
    if (++self.ticks_ < 6) return;
    if (self.title.empty()) {
        self.title = WindowText(dialog);
        self.line2 = ControlText(dialog, IDC_PROMPT_LINE2);
        self.line3 = ControlText(dialog, IDC_PROMPT_LINE3);
    }
    if (self.next_ < self.steps_.size())
        self.steps_[self.next_++](dialog);
    else if (self.ticks_ > 60)
        EndDialog(dialog, 0);
}

Step Press(int id) {
    return [id](HWND dialog) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
}
