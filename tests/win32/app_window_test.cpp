#include "test_main_window.h"

#include "commands.h"
#include "folders.h"
#include "main_form.h"
#include "main_window.h"
#include "resource.h"

#include <commctrl.h>
#include <set>
#include <vector>

namespace {

// The menu "Menu", popup by popup; 0 is a separator.
const std::vector<std::vector<int>> menuLayout = {
    {IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_CLOSE, 0, IDM_FILE_SAVE, IDM_FILE_EXPORT, 0,
     IDM_FILE_EXIT},
    {IDM_EDIT_ADD, IDM_EDIT_COPY, IDM_EDIT_DELETE, IDM_EDIT_SORT, IDM_EDIT_NAME, 0,
     IDM_EDIT_AUTOFILL, IDM_RELOAD_AUTOFILL},
    {IDM_VIEW_GOTO, IDM_VIEW_NEXT, IDM_VIEW_PREVIOUS},
    {IDM_HELP_HELP, IDM_HELP_DATA_DIR, IDM_HELP_ABOUT},
};

// Menu items that need an open record file.
const std::set<int> fileMenuItems = {IDM_FILE_CLOSE,    IDM_FILE_SAVE,   IDM_FILE_EXPORT,
                                     IDM_FILE_EXIT,     IDM_EDIT_DELETE, IDM_EDIT_ADD,
                                     IDM_EDIT_COPY,     IDM_VIEW_GOTO,   IDM_VIEW_NEXT,
                                     IDM_VIEW_PREVIOUS, IDM_EDIT_SORT,   IDM_EDIT_NAME};

const int toolbarCommands[] = {IDT_NEW,    IDT_OPEN,   IDT_SAVE,  IDT_ADD,      IDT_COPY,
                               IDT_DELETE, IDT_BOOK,   IDT_MOVIE, IDT_PREVIOUS, IDT_NEXT,
                               IDT_GOTO,   IDT_SEARCH, IDT_README};
const std::set<int> alwaysOnButtons = {IDT_NEW, IDT_OPEN, IDT_README};

bool MenuItemEnabled(int id) {
    UINT state = GetMenuState(hMainMenu, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

bool ButtonEnabled(int id) {
    return SendMessageA(hToolbar, TB_ISBUTTONENABLED, id, 0) != 0;
}

void ExpectFileCommands(bool on) {
    for (const auto& popup : menuLayout)
        for (int id : popup) {
            if (id) {
                EXPECT_EQ(MenuItemEnabled(id), on || !fileMenuItems.count(id)) << "menu " << id;
            }
        }
    for (int id : toolbarCommands)
        EXPECT_EQ(ButtonEnabled(id), on || alwaysOnButtons.count(id) > 0) << "button " << id;
}

using MainWindow = MainWindowTest;

TEST_F(MainWindow, HasTheProgramsClassTitleSizeAndPlace) {
    ASSERT_TRUE(IsWindow(hMainWnd));
    char className[32] = "";
    GetClassNameA(hMainWnd, className, sizeof className);
    EXPECT_STREQ(className, "Quirebook");
    EXPECT_EQ(WindowText(hMainWnd), "Quirebook 1.9");
    EXPECT_TRUE(IsWindowVisible(hMainWnd));

    // Wine reports an NT system of version 5 or later: the taller window.
    RECT frame;
    GetWindowRect(hMainWnd, &frame);
    EXPECT_EQ(frame.right - frame.left, 400);
    EXPECT_EQ(frame.bottom - frame.top, 460);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(frame.left, (screenWidth - 400) / 2);
    EXPECT_EQ(frame.top, (screenHeight - 460) / 2);

    // A fixed frame: no sizing border, no maximise box.
    LONG_PTR style = GetWindowLongPtrA(hMainWnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(GetMenu(hMainWnd), hMainMenu);
    EXPECT_NE(GetClassLongPtrA(hMainWnd, GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrA(hMainWnd, GCLP_HICONSM), 0);

    EXPECT_EQ(StatusText(), "No File!");
    EXPECT_EQ(sortField, 1u);
    EXPECT_EQ(std::string(workPath).rfind(dataFolder, 0), size_t{0});
    EXPECT_EQ(std::string(workPath).substr(strlen(dataFolder), 4), "Temp");
}

TEST(MainWindowPlace, IsClampedOnASmallScreen) {
    EXPECT_EQ(CentredOrigin(1024, 400), 312);
    EXPECT_EQ(CentredOrigin(1025, 460), 282);
    EXPECT_EQ(CentredOrigin(400, 400), 0);
    EXPECT_EQ(CentredOrigin(320, 400), 0);
    EXPECT_EQ(CentredOrigin(0, 460), 0);
}

TEST_F(MainWindow, MenuHoldsEveryItemInOrder) {
    ASSERT_EQ(GetMenuItemCount(hMainMenu), static_cast<int>(menuLayout.size()));
    for (size_t i = 0; i < menuLayout.size(); ++i) {
        HMENU popup = GetSubMenu(hMainMenu, static_cast<int>(i));
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(menuLayout[i].size())) << "popup " << i;
        for (size_t j = 0; j < menuLayout[i].size(); ++j) {
            int id = menuLayout[i][j];
            if (id == 0)
                EXPECT_TRUE(GetMenuState(popup, static_cast<UINT>(j), MF_BYPOSITION) &
                            MF_SEPARATOR);
            else
                EXPECT_EQ(static_cast<int>(GetMenuItemID(popup, static_cast<int>(j))), id);
        }
    }
}

TEST_F(MainWindow, FileCommandsFollowTheOpenState) {
    // Started without a file: only New, Open, ReadMe and the help and autofill items.
    ExpectFileCommands(false);
    EnableFileCommands(1);
    ExpectFileCommands(true);
    EnableFileCommands(0);
    ExpectFileCommands(false);
}

TEST_F(MainWindow, ToolbarTooltipsComeFromTheWindow) {
    const std::pair<int, const char*> tips[] = {
        {IDT_NEW, "Create New Quirebook"},
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
    };
    char unchanged[] = "unchanged";
    auto ask = [&](UINT_PTR id, UINT code) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = hToolbar;
        info.hdr.idFrom = id;
        info.hdr.code = code;
        info.lpszText = unchanged;
        SendMessageA(hMainWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText ? info.lpszText : "(null)");
    };
    for (const auto& [id, text] : tips) EXPECT_EQ(ask(id, TTN_GETDISPINFOA), text) << id;
    EXPECT_EQ(ask(8, TTN_GETDISPINFOA), "unchanged");
    EXPECT_EQ(ask(0, TTN_GETDISPINFOA), "unchanged");
    EXPECT_EQ(ask(IDT_NEW, TTN_GETDISPINFOW), "unchanged");
}

} // namespace
