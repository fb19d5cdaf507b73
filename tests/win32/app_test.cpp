// The main window as start-up makes it, its commands' states, its keys, and
// opening and leaving record files through it.
#include "test_main_window.h"

#include "file_commands.h"
#include "main_form.h"
#include "main_window.h"
#include "prompt_dialog.h"
#include "resource.h"

#include <commctrl.h>
#include <cstring>
#include <fstream>
#include <set>
#include <tuple>
#include <vector>

namespace {

using MainWindow = MainWindowTest;

// Every menu item and toolbar button is on with a file; without one only these.
void ExpectFileCommands(HWND window, bool on) {
    const std::set<UINT> alwaysOn = {IDM_FILE_NEW,        IDM_FILE_OPEN, IDM_EDIT_AUTOFILL,
                                     IDM_RELOAD_AUTOFILL, IDM_HELP_HELP, IDM_HELP_DATA_DIR,
                                     IDM_HELP_ABOUT,      IDT_NEW,       IDT_OPEN,
                                     IDT_README};
    int commands = 0;
    for (int m = 0; m < GetMenuItemCount(GetMenu(window)); ++m) {
        HMENU popup = GetSubMenu(GetMenu(window), m);
        for (int i = 0; i < GetMenuItemCount(popup); ++i, ++commands) {
            UINT id = GetMenuItemID(popup, i), state = GetMenuState(popup, i, MF_BYPOSITION);
            if (state & MF_SEPARATOR)
                --commands;
            else
                EXPECT_EQ(!(state & MF_GRAYED), on || alwaysOn.count(id)) << id;
        }
    }
    TBBUTTON button = {};
    for (int i = 0; SendMessageA(Toolbar(window), TB_GETBUTTON, i, LPARAM(&button));
         ++i, ++commands)
        if (button.fsStyle & TBSTYLE_SEP)
            --commands;
        else
            EXPECT_EQ(!!(button.fsState & TBSTATE_ENABLED), on || alwaysOn.count(button.idCommand));
    EXPECT_EQ(commands, 19 + 13);
}

TEST_F(MainWindow, StartsCentredWithNoFileAndOnlyTheCommandsThatNeedNone) {
    HWND window = program.window;
    RECT frame; // Wine reports NT 5 or later: the taller window
    GetWindowRect(window, &frame);
    EXPECT_EQ(
        std::make_tuple(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top),
        std::make_tuple(CentredOrigin(GetSystemMetrics(SM_CXSCREEN), 400),
                        CentredOrigin(GetSystemMetrics(SM_CYSCREEN), 460), 400L, 460L));
    EXPECT_EQ(CentredOrigin(1025, 460) + CentredOrigin(320, 400), 282);
    EXPECT_EQ(WindowText(window) + "|" + StatusText(window) + "|" + ControlText(window, 200),
              "Quirebook 1.9|No File!|Author");
    auto images = HIMAGELIST(SendMessageA(Toolbar(window), TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 14); // one missing would shift every picture
    // Tab goes round the field controls and the two buttons in creation order.
    HWND control = GetNextDlgTabItem(window, nullptr, FALSE);
    for (int id = 101; id <= 122; ++id, control = GetNextDlgTabItem(window, control, FALSE))
        EXPECT_EQ(GetDlgCtrlID(control), id == 122 ? 101 : id);
    ExpectFileCommands(window, false);
    EnableFileCommands(window, 1);
    ExpectFileCommands(window, true);
}

// A click on a toolbar button runs its command; the toolbar asks the window
// for tooltips; a field control's notification makes it the sort field.
TEST_F(MainWindow, ToolbarClicksTooltipsAndTheFieldTouchedLast) {
    EnableFileCommands(program.window, 1);
    RECT movie;
    SendMessageA(Toolbar(program.window), TB_GETRECT, IDT_MOVIE, LPARAM(&movie));
    SendMessageA(Toolbar(program.window), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(movie.left + 4, 4));
    SendMessageA(Toolbar(program.window), WM_LBUTTONUP, 0, MAKELPARAM(movie.left + 4, 4));
    EXPECT_EQ(ControlText(program.window, 200), "Lead");
    const std::pair<UINT_PTR, const char*> tips[] = {{IDT_NEW, "Create New Quirebook"},
                                                     {IDT_DELETE, "Delete This Record"},
                                                     {IDT_MUSIC, "Music"},
                                                     {IDT_README, "Open ReadMe"},
                                                     {8, "-"}};
    for (auto [id, text] : tips) {
        NMTTDISPINFOA info = {{Toolbar(program.window), id, TTN_GETDISPINFOA},
                              const_cast<char*>("-")};
        Send(WM_NOTIFY, id, LPARAM(&info));
        EXPECT_STREQ(info.lpszText, text) << id;
    }
    const std::tuple<int, int, uint32_t> touches[] = {
        {105, EN_SETFOCUS, 5},     {104, BN_CLICKED, 5}, {106, BN_CLICKED, 5},
        {119, CBN_EDITCHANGE, 19}, {IDC_EXECUTE, 0, 19}, {101, CBN_SELCHANGE, 1}};
    for (auto [id, notification, field] : touches) {
        DialogAnswerer date(IDOK); // the date buttons ask for a date instead
        Send(WM_COMMAND, MAKEWPARAM(id, notification));
        EXPECT_EQ(program.collection.sortField, field) << id;
    }
}

std::vector<int> commands; // what the keys below brought the main window
WNDPROC mainProc;
LRESULT CALLBACK WatchMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam == 0) return commands.push_back(LOWORD(wParam)), 0;
    if (message == WM_CLOSE) return commands.push_back(-1), 0;
    return CallWindowProcA(mainProc, window, message, wParam, lParam);
}

// Key messages posted to a form control, then the real loop runs until the queue is empty.
TEST_F(MainWindow, KeysBecomeCommandsOncePerPressOfControlAndNeverReachTheForm) {
    mainProc = WNDPROC(SetWindowLongPtrA(program.window, GWLP_WNDPROC, LONG_PTR(WatchMain)));
    HWND edit = GetDlgItem(program.window, 105);
    SetWindowTextA(edit, "keep");
    auto type = [&](std::initializer_list<WPARAM> keys) { // VK_CONTROL goes down, then up
        bool control = false;
        for (WPARAM key : keys) {
            if (key != VK_CONTROL || !control) PostMessageA(edit, WM_KEYDOWN, key, 1);
            if (key != VK_CONTROL || control) PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
            control = key == VK_CONTROL ? !control : control;
        }
        PostQuitMessage(0); // the loop ends once everything before it is handled
        MessageLoop(program.window);
    };
    type({VK_CONTROL, 'C',        'V',        VK_BACK,    'S',        VK_CONTROL, VK_CONTROL,
          'F',        VK_CONTROL, VK_CONTROL, 'O',        VK_CONTROL, VK_CONTROL, 'N',
          VK_CONTROL, VK_CONTROL, VK_DELETE,  VK_CONTROL, VK_F1,      VK_F3});
    EXPECT_EQ(WindowText(edit), "keep");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    type({'Q', VK_ESCAPE}); // with Control released the keys are the form's again
    EXPECT_EQ(WindowText(edit), "q");
    EXPECT_EQ(commands, (std::vector<int>{IDT_SAVE, IDT_SEARCH, IDT_OPEN, IDT_ADD, IDT_DELETE,
                                          IDT_README, IDT_SEARCH, -1}));
    SetWindowLongPtrA(program.window, GWLP_WNDPROC, LONG_PTR(mainProc));
    type({VK_ESCAPE}); // with nothing changed the real window procedure ends the program
    EXPECT_FALSE(IsWindow(program.window));
}

TEST_F(MainWindow, OpenShowsAFileOrFileErrorAndLeavingAsksOnlyAfterAChange) {
    std::string shelf = MakeCollection("Shelf", {"Dune", "Emma"});
    std::ofstream(TempPath("letter.ktl")) << "A letter, not a collection.";
    std::strcpy(program.filePath, shelf.c_str());
    Send(WM_TIMER, 1); // the command line's file opens from the loop
    EXPECT_EQ(WindowText(program.window) + "|" + StatusText(program.window), "Shelf|Record 1 of 2");
    for (const std::string& path : {TempPath("missing.ktl"), TempPath("letter.ktl")}) {
        DialogAnswerer answer(IDOK);
        OpenUserFile(program, path.c_str());
        EXPECT_EQ(answer.line2 + "|" + StatusText(program.window),
                  "File Error|No File!");
        EXPECT_FALSE(SendMessageA(Toolbar(program.window), TB_ISBUTTONENABLED, IDT_SAVE, 0));
    }
    OpenUserFile(program, shelf.c_str());
    program.collection.recordsAdded = 1;
    // Exit, the close box and the end of the session; No lets the program end.
    const std::tuple<int, UINT, WPARAM> leaves[] = {{IDCANCEL, WM_COMMAND, IDM_FILE_EXIT},
                                                    {IDCANCEL, WM_CLOSE, 0},
                                                    {IDCANCEL, WM_QUERYENDSESSION, 0},
                                                    {PROMPT_NO, WM_COMMAND, IDM_FILE_EXIT}};
    for (auto [button, message, wParam] : leaves) {
        DialogAnswerer answer(button);
        EXPECT_EQ(Send(message, wParam), 0) << message; // the session must not end
        EXPECT_EQ(answer.line2, "New Records Have Been Added") << message;
        EXPECT_EQ(IsWindow(program.window) != FALSE, button == IDCANCEL) << message;
    }
    DeleteFileA(shelf.c_str());
    DeleteFileA(TempPath("letter.ktl").c_str());
}

} // namespace
