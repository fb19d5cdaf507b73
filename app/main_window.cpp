#include "main_window.h"

#include "autofill_lists.h"
#include "command_line.h"
#include "commands.h"
#include "file_commands.h"
#include "file_type.h"
#include "folders.h"
#include "main_form.h"
#include "prompt_dialog.h"
#include "record_commands.h"
#include "record_form.h"
#include "resource.h"
#include "texts.h"

#include <commctrl.h>

namespace {

constexpr char WINDOW_CLASS[] = "Quirebook";
constexpr int WINDOW_WIDTH = 400;
// An overlapped window (the system adds the caption) of fixed size: 0xA0010.
// The low bit 0x10 belongs to the class and does nothing for ours; it stays
// so the window keeps the style it has always had.
constexpr DWORD WINDOW_STYLE = WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX | 0x10;
constexpr UINT_PTR OPEN_TIMER = 1;

// Whether the Control key is taken to be held.
bool ctrlHeld;
// How the command line named a file to open at start.
CommandLineResult startFile = ARG_MISSING;

// 460 on NT 5 and later, whose caption and menu are taller.
int WindowHeight() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
        version.dwMajorVersion > 4)
        return 460;
    return 440;
}

HICON LoadProgramIcon(HINSTANCE module, int size) {
    return static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(IDI_BOOKSHELF), IMAGE_ICON, size, size, 0));
}

// The program handed to CreateWindowExA, kept with the window.
Program& ProgramOf(HWND window) {
    return *reinterpret_cast<Program*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// WM_CREATE: changes left unsaved by a program that ended without asking, or
// else a file named on the command line, are opened from the loop once
// workPath is known; without a file the file commands start off.
void OnCreate(HWND window, Program& program) {
    program.window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&program));
    BuildRecordForm(window);
    UpdateStatusLine(window, program.collection);
    LoadAutoFill(window);
    startFile = CommandLineResult(GetCommandLineArg(1, program.filePath, sizeof program.filePath));
    if (startFile != ARG_COPIED) EnableFileCommands(window, false);
    SetTimer(window, OPEN_TIMER, 10, nullptr);
}

// The first tick of the open timer: changes left unsaved by a program that
// did not end of itself are offered first, then the file the command line names.
void OpenAtStart(Program& program) {
    KillTimer(program.window, OPEN_TIMER);
    if (!OfferRecovery(program)) {
        if (program.filePath[0])
            OpenUserFile(program, program.filePath);
        else if (startFile == ARG_TOO_LONG || startFile == ARG_UNBALANCED)
            ShowNotice(program.window, TEXT_FILE_ERROR); // an unreadable path is no file either
    }
    EnableFileCommands(program.window, program.collection.hRecordFile != nullptr);
}

void OnTooltip(NMTTDISPINFOA* info) {
    if (const char* tooltip = CommandTooltip(info->hdr.idFrom))
        info->lpszText = const_cast<char*>(tooltip);
}

UINT ControlShortcut(WPARAM key) {
    switch (key) {
    case 'S':
        return IDT_SAVE;
    case 'F':
        return IDT_SEARCH;
    case 'O':
        return IDT_OPEN;
    case 'N':
        return IDT_ADD;
    case VK_DELETE:
        return IDT_DELETE;
    default:
        return 0;
    }
}

// The program's keyboard rules; true when the key message is used up here.
bool HandleKey(HWND window, const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_KEYUP) return false;
    bool down = message.message == WM_KEYDOWN;
    WPARAM key = message.wParam;
    if (down && key == VK_ESCAPE) {
        SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    if (key == VK_CONTROL) {
        ctrlHeld = down;
        return true;
    }
    if (key == VK_F1 || key == VK_F3) {
        if (down) PostMessageA(window, WM_COMMAND, key == VK_F1 ? IDT_README : IDT_SEARCH, 0);
        return true;
    }
    if (!ctrlHeld) return false;
    // While Control is held no key reaches the form: one shortcut per press of Control.
    if (UINT command = ControlShortcut(key)) {
        PostMessageA(window, WM_COMMAND, command, 0);
        ctrlHeld = false;
    }
    return true;
}

// Started from a record file, the current folder is the file's: DLLs are
// looked for only in the system's folders and the program's own. The newer
// call is looked up, so that systems without it still start.
void RestrictDllSearch() {
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (found)
        reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void (*)()>(found))(
            LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    SetDllDirectoryA("");
}

// Once a command has run: its failed file calls are reported and the recovery
// note follows the unsaved changes, but only while the program still runs. A
// program that has ended saved its changes or let them go.
void AfterCommand(Program& program) {
    if (!IsWindow(program.window)) return;
    ReportFileFailure(program);
    NoteUnsavedChanges(program);
    EnableFileCommands(program.window, program.collection.hRecordFile != nullptr);
}

} // namespace

int CentredOrigin(int screenSize, int windowSize) {
    int origin = (screenSize - windowSize) / 2;
    return origin < 0 ? 0 : origin;
}

int GetCommandLineArg(uint32_t n, char* destination, size_t size) {
    return CommandLineArg(GetCommandLineA(), n, destination, size);
}

StartupRecord* InitCommonUi() {
    auto* record =
        static_cast<StartupRecord*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, STARTUP_RECORD_SIZE));
    if (!record) return nullptr;
    record->module = GetModuleHandleA(nullptr);
    SetUpFolders();
    record->smallIcon = LoadProgramIcon(record->module, 16);
    record->largeIcon = LoadProgramIcon(record->module, 32);
    // Bar, date and list classes too: the toolbar, the status bar, the prompt's
    // date picker and the record list must be registered before they are made.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                                                          ICC_BAR_CLASSES | ICC_DATE_CLASSES |
                                                          ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    return record;
}

bool InitApplication(Program& program) {
    RestrictDllSearch();
    StartupRecord* startup = InitCommonUi();
    if (!startup) return false;
    program.startup = startup;

    int height = WindowHeight();
    int x = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), WINDOW_WIDTH);
    int y = CentredOrigin(GetSystemMetrics(SM_CYSCREEN), height);

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNWINDOW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = startup->module;
    windowClass.hIcon = startup->largeIcon;
    windowClass.hIconSm = startup->smallIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WINDOW_CLASS;
    RegisterClassExA(&windowClass);

    HMENU menu = LoadMenuA(startup->module, "Menu");
    HWND window = CreateWindowExA(0, WINDOW_CLASS, PROGRAM_TITLE, WINDOW_STYLE, x, y, WINDOW_WIDTH,
                                  height, nullptr, menu, startup->module, &program);
    if (!window) return false;
    ShowWindow(window, SW_SHOWNORMAL);
    ChooseWorkPath(program.workPath, sizeof program.workPath);
    AssociateFileType(gFolders.program);
    program.collection.sortField = 1;
    return true;
}

void MessageLoop(HWND window) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (HandleKey(window, message)) continue;
        // Dialog-style keyboard navigation (Tab between the form's controls).
        if (IsDialogMessageA(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void WinEntry() {
    static Program program;
    if (InitApplication(program)) MessageLoop(program.window);
    ExitProcess(0);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        OnCreate(window, *static_cast<Program*>(create->lpCreateParams));
        return 0;
    }
    if (!GetWindowLongPtrA(window, GWLP_USERDATA))
        return DefWindowProcA(window, message, wParam, lParam);
    Program& program = ProgramOf(window);
    switch (message) {
    case WM_COMMAND:
        OnCommand(program, wParam);
        AfterCommand(program);
        return 0;
    case WM_CLOSE:
        ExitProgram(program);
        AfterCommand(program);
        return 0;
    // Cancel at the save question keeps the session from ending with unsaved records.
    case WM_QUERYENDSESSION: {
        bool ended = ExitProgram(program);
        AfterCommand(program);
        return ended;
    }
    case WM_DESTROY: // the changes were saved or let go: nothing is left to recover
        ForgetUnsavedChanges(program);
        PostQuitMessage(0);
        return 0;
    case WM_SEARCHNEXT: // the navigator shows the outcome line it is answered with
    case WM_SEARCHPREV:
        return reinterpret_cast<LRESULT>(SearchStep(program, message == WM_SEARCHNEXT));
    case WM_TIMER:
        if (wParam == OPEN_TIMER) OpenAtStart(program);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code != TTN_GETDISPINFOA) break;
        OnTooltip(reinterpret_cast<NMTTDISPINFOA*>(lParam));
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
