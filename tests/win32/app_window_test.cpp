// The main window as start-up makes it, its menu and toolbar states and its tooltips.
#include "test_main_window.h"

#include "commands.h"
#include "folders.h"
#include "main_form.h"
#include "main_window.h"
#include "resource.h"

#include <commctrl.h>
#include <set>

namespace {

using MainWindow = MainWindowTest;

TEST_F(MainWindow, HasTheProgramsClassTitleFrameAndPlace) {
    char className[32] = "";
    GetClassNameA(hMainWnd, className, sizeof className);
    EXPECT_STREQ(className, "Quirebook");
    EXPECT_EQ(WindowText(hMainWnd), "Quirebook 1.9");
    EXPECT_TRUE(IsWindowVisible(hMainWnd));
    // Wine reports NT 5 or later: the taller window, centred.
    RECT frame;
    GetWindowRect(hMainWnd, &frame);
    EXPECT_EQ(frame.right - frame.left, 400);
    EXPECT_EQ(frame.bottom - frame.top, 460);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 400) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 460) / 2);
    const LONG_PTR frameBits = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
    EXPECT_EQ(GetWindowLongPtrA(hMainWnd, GWL_STYLE) & frameBits, WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(GetMenu(hMainWnd), hMainMenu);
    EXPECT_NE(GetClassLongPtrA(hMainWnd, GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrA(hMainWnd, GCLP_HICONSM), 0);
    EXPECT_EQ(StatusText(), "No File!");
    EXPECT_EQ(sortField, 1u);
    EXPECT_EQ(std::string(workPath).rfind(std::string(dataFolder) + "Temp", 0), 0u);
    // Never off the top or left of a small screen.
    EXPECT_EQ(CentredOrigin(1025, 460), 282);
    EXPECT_EQ(CentredOrigin(400, 400), 0);
    EXPECT_EQ(CentredOrigin(320, 400), 0);
}

// Every menu item and toolbar button is on with a file; without one only these.
void ExpectFileCommands(bool on) {
    const std::set<UINT> alwaysOn = {IDM_FILE_NEW,        IDM_FILE_OPEN, IDM_EDIT_AUTOFILL,
                                     IDM_RELOAD_AUTOFILL, IDM_HELP_HELP, IDM_HELP_DATA_DIR,
                                     IDM_HELP_ABOUT,      IDT_NEW,       IDT_OPEN,
                                     IDT_README};
    int commands = 0;
    for (int m = 0; m < GetMenuItemCount(hMainMenu); ++m) {
        HMENU popup = GetSubMenu(hMainMenu, m);
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            UINT id = GetMenuItemID(popup, i), state = GetMenuState(popup, i, MF_BYPOSITION);
            if (state & MF_SEPARATOR) continue;
            ++commands;
            EXPECT_EQ(!(state & MF_GRAYED), on || alwaysOn.count(id)) << "menu " << id;
        }
    }
    for (int i = 0; i < SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0); ++i) {
        TBBUTTON button = {};
        SendMessageA(hToolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle & TBSTYLE_SEP) continue;
        ++commands;
        UINT id = button.idCommand;
        EXPECT_EQ((button.fsState & TBSTATE_ENABLED) != 0, on || alwaysOn.count(id)) << id;
    }
    EXPECT_EQ(commands, 19 + 13);
}

TEST_F(MainWindow, FileCommandsFollowTheOpenState) {
    ExpectFileCommands(false);
    EnableFileCommands(1);
    ExpectFileCommands(true);
    EnableFileCommands(0);
    ExpectFileCommands(false);
}

TEST_F(MainWindow, ToolbarTooltipsComeFromTheWindow) {
    const std::pair<UINT_PTR, const char*> tips[] = {{IDT_NEW, "Create New Quirebook"},
                                                     {IDT_OPEN, "Open Existing Quirebook"},
                                                     {IDT_SAVE, "Save this Quirebook"},
                                                     {IDT_ADD, "Add New Record"},
                                                     {IDT_COPY, "Copy This Record"},
                                                     {IDT_DELETE, "Delete This Record"},
                                                     {IDT_PREVIOUS, "Previous Record"},
                                                     {IDT_NEXT, "Next Record"},
                                                     {IDT_GOTO, "Goto Record"},
                                                     {IDT_SEARCH, "Search Quirebook"},
                                                     {IDT_README, "Open ReadMe"},
                                                     {IDT_BOOK, "Book"},
                                                     {IDT_MUSIC, "Music"},
                                                     {IDT_MOVIE, "Movie"},
                                                     {8, "unchanged"},
                                                     {0, "unchanged"}};
    auto ask = [](UINT_PTR id, UINT code) {
        static char unchanged[] = "unchanged";
        NMTTDISPINFOA info = {{hToolbar, id, code}, unchanged, {}, nullptr, 0, 0};
        SendMessageA(hMainWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText ? info.lpszText : "(null)");
    };
    for (auto [id, text] : tips) EXPECT_EQ(ask(id, TTN_GETDISPINFOA), text) << id;
    EXPECT_EQ(ask(IDT_NEW, TTN_GETDISPINFOW), "unchanged"); // the wide request is not ours
}

} // namespace
