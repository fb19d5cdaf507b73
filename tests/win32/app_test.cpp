// The main window: its commands' states, its toolbar, its keys, and leaving it.
#include "test_main_window.h"

#include "file_commands.h"
#include "main_form.h"
#include "main_window.h"
#include "prompt_dialog.h"
#include "resource.h"

#include <commctrl.h>
#include <set>
#include <tuple>
#include <vector>

namespace {

using MainWindow = MainWindowTest;

// Without a file only New, Open, the AutoFill items, Help, Open Data Dir,
// About and the ReadMe button are on; with one every command is.
TEST_F(MainWindow, StartsWithNoFileAndOnlyTheCommandsThatNeedNone) {
    HWND window = program.window;
    EXPECT_EQ(WindowText(window) + "|" + StatusText(window), "Quirebook 1.9|No File!");
    EXPECT_EQ(CentredOrigin(1025, 460) + CentredOrigin(320, 400), 282);
    auto images = HIMAGELIST(SendMessageA(Toolbar(window), TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 14); // one missing would shift every picture
    const std::set<UINT> alwaysOn = {IDM_FILE_NEW,        IDM_FILE_OPEN, IDM_EDIT_AUTOFILL,
                                     IDM_RELOAD_AUTOFILL, IDM_HELP_HELP, IDM_HELP_DATA_DIR,
                                     IDM_HELP_ABOUT,      IDT_NEW,       IDT_OPEN,
                                     IDT_README};
    for (int on : {0, 1}) {
        EnableFileCommands(window, on);
        std::string wrong;
        for (int m = 0; m < 4; ++m)
            for (int i = 0; i < GetMenuItemCount(GetSubMenu(GetMenu(window), m)); ++i) {
                UINT id = GetMenuItemID(GetSubMenu(GetMenu(window), m), i);
                if (id && !(GetMenuState(GetMenu(window), id, 0) & MF_GRAYED) !=
                              (on || alwaysOn.count(id)))
                    wrong += std::to_string(id) + " ";
            }
        for (int id = 1; id < 40; ++id)
            if (SendMessageA(Toolbar(window), TB_COMMANDTOINDEX, id, 0) >= 0 && id != 16 &&
                !!SendMessageA(Toolbar(window), TB_ISBUTTONENABLED, id, 0) !=
                    (on || alwaysOn.count(id)))
                wrong += std::to_string(id) + " ";
        EXPECT_EQ(wrong, "") << on;
    }
}

// A click on a toolbar button runs its command; the toolbar asks the window
// for tooltips; a field control's notification makes it the sort field.
TEST_F(MainWindow, ToolbarClicksTooltipsAndTheFieldTouchedLast) {
    HWND toolbar = Toolbar(program.window);
    EnableFileCommands(program.window, 1);
    RECT movie;
    SendMessageA(toolbar, TB_GETRECT, IDT_MOVIE, LPARAM(&movie));
    SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(movie.left + 4, 4));
    SendMessageA(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(movie.left + 4, 4));
    EXPECT_EQ(ControlText(program.window, 200), "Lead");
    for (auto [id, text] : {std::pair<UINT_PTR, const char*>{IDT_DELETE, "Delete This Record"},
                            {IDT_MUSIC, "Music"},
                            {8, "-"}}) {
        NMTTDISPINFOA info = {};
        info.hdr = {toolbar, id, TTN_GETDISPINFOA};
        info.lpszText = const_cast<char*>("-");
        Send(WM_NOTIFY, id, LPARAM(&info));
        EXPECT_STREQ(info.lpszText, text) << id;
    }
    const std::tuple<int, int, uint32_t> touches[] = {{105, EN_SETFOCUS, 5},
                                                      {104, BN_CLICKED, 5},
                                                      {119, CBN_EDITCHANGE, 19},
                                                      {IDC_CHANGE, 0, 19},
                                                      {101, CBN_SELCHANGE, 1}};
    for (auto [id, notification, field] : touches) {
        DialogAnswerer answer(IDCANCEL); // the date button and Change.. ask first
        Send(WM_COMMAND, MAKEWPARAM(id, notification));
        EXPECT_EQ(program.collection.sortField, field) << id;
    }
}

std::vector<int> commands; // what the keys brought the main window, -1 for WM_CLOSE
WNDPROC mainProc;
LRESULT CALLBACK WatchMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam == 0) return commands.push_back(LOWORD(wParam)), 0;
    if (message == WM_CLOSE) return commands.push_back(-1), 0;
    return CallWindowProcA(mainProc, window, message, wParam, lParam);
}

// Key messages posted to a form control; the real loop runs until the queue is empty.
TEST_F(MainWindow, KeysBecomeCommandsOncePerPressOfControlAndNeverReachTheForm) {
    mainProc = WNDPROC(SetWindowLongPtrA(program.window, GWLP_WNDPROC, LONG_PTR(WatchMain)));
    HWND edit = GetDlgItem(program.window, 105);
    SetWindowTextA(edit, "keep");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    auto type = [&](std::initializer_list<WPARAM> keys) { // VK_CONTROL goes down, then up
        bool control = false;
        for (WPARAM key : keys) {
            if (key != VK_CONTROL || !control) PostMessageA(edit, WM_KEYDOWN, key, 1);
            if (key != VK_CONTROL || control) PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
            control = key == VK_CONTROL ? !control : control;
        }
        PostQuitMessage(0);
        MessageLoop(program.window);
    };
    type({VK_CONTROL, 'C', VK_BACK, 'S', 'F', VK_CONTROL, VK_CONTROL, 'O', VK_CONTROL, VK_CONTROL,
          'N', VK_CONTROL, VK_CONTROL, VK_DELETE, VK_CONTROL, VK_F1, VK_F3});
    EXPECT_EQ(WindowText(edit), "f"); // the F after the shortcut is the form's again
    type({VK_ESCAPE});
    EXPECT_EQ(commands, (std::vector<int>{IDT_SAVE, IDT_OPEN, IDT_ADD, IDT_DELETE, IDT_README,
                                          IDT_SEARCH, -1}));
}

// Exit, the close box and the end of the session ask first; Cancel keeps the program, No ends it.
TEST_F(MainWindow, LeavingAChangedFileAsksFirst) {
    OpenUserFile(program, MakeCollection("Shelf", {"Dune"}).c_str());
    program.collection.recordsAdded = 1;
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
    DeleteFileA(TempPath("Shelf.ktl").c_str());
}

} // namespace
