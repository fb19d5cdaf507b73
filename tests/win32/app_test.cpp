// The main window: its commands' states, its toolbar, and leaving it.
#include "test_main_window.h"

#include "file_commands.h"
#include "main_form.h"
#include "main_window.h"
#include "prompt_dialog.h"
#include "resource.h"

#include <commctrl.h>
#include <set>
#include <tuple>

namespace {

using MainWindow = MainWindowTest;

// Without a file only New, Open, the AutoFill items, Help, Open Data Dir,
// About and the ReadMe button are on; with one every command is.
TEST_F(MainWindow, StartsWithNoFileAndOnlyTheCommandsThatNeedNone) {
    HWND window = program.window, toolbar = Toolbar(window);
    EXPECT_EQ(WindowText(window) + "|" + StatusText(window), "Quirebook 1.9|No File!");
    EXPECT_EQ(CentredOrigin(1025, 460) + CentredOrigin(320, 400), 282);
    auto images = HIMAGELIST(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 14); // one missing would shift every picture
    const std::set<UINT> alwaysOn = {IDM_FILE_NEW,        IDM_FILE_OPEN, IDM_EDIT_AUTOFILL,
                                     IDM_RELOAD_AUTOFILL, IDM_HELP_HELP, IDM_HELP_DATA_DIR,
                                     IDM_HELP_ABOUT,      IDT_NEW,       IDT_OPEN,
                                     IDT_README};
    for (int on : {0, 1}) {
        EnableFileCommands(window, on);
        std::string wrong;
        for (UINT id = 1; id <= IDM_HELP_DATA_DIR; ++id) {
            UINT menu = GetMenuState(GetMenu(window), id, MF_BYCOMMAND);
            bool button = id < 40 && SendMessageA(toolbar, TB_COMMANDTOINDEX, id, 0) >= 0;
            bool enabled = button ? SendMessageA(toolbar, TB_ISBUTTONENABLED, id, 0) != 0
                                  : !(menu & MF_GRAYED);
            if ((button ? id != IDT_MUSIC : menu != UINT(-1)) &&
                enabled != (on || alwaysOn.count(id)))
                wrong += std::to_string(id) + " ";
        }
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
        DialogDriver answer({IDCANCEL}); // the date button and Change.. ask first
        Send(WM_COMMAND, MAKEWPARAM(id, notification));
        EXPECT_EQ(program.collection.sortField, field) << id;
    }
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
        DialogDriver answer({button});
        EXPECT_EQ(Send(message, wParam), 0) << message; // the session must not end
        EXPECT_EQ(answer.line2, "New Records Have Been Added") << message;
        EXPECT_EQ(IsWindow(program.window) != FALSE, button == IDCANCEL) << message;
    }
    DeleteFileA(TempPath("Shelf.ktl").c_str());
}

} // namespace
