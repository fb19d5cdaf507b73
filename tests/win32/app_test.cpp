// The main window as start-up makes it, its commands' states, its keys, and
// opening and leaving record files through it.
#include "test_main_window.h"

#include "field_catalogue.h"
#include "file_commands.h"
#include "main_form.h"
#include "main_window.h"
#include "prompt_dialog.h"
#include "record_file.h"
#include "resource.h"

#include <commctrl.h>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <vector>

namespace {

using MainWindow = MainWindowTest;

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST_F(MainWindow, StartsCentredWithNoFileAndOnlyTheCommandsThatNeedNone) {
    HWND window = program.window;
    RECT frame; // Wine reports NT 5 or later: the taller window
    GetWindowRect(window, &frame);
    EXPECT_EQ(std::vector<LONG>(
                  {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top}),
              std::vector<LONG>({CentredOrigin(GetSystemMetrics(SM_CXSCREEN), 400),
                                 CentredOrigin(GetSystemMetrics(SM_CYSCREEN), 460), 400, 460}));
    EXPECT_EQ(CentredOrigin(1025, 460) + CentredOrigin(320, 400), 282);
    EXPECT_EQ(WindowText(window), "Quirebook 1.9");
    EXPECT_EQ(StatusText(window), "No File!");
    EXPECT_EQ(ControlText(window, 200), "Author");
    auto images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(Toolbar(window), TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 14); // one missing would shift every picture
    // Tab goes round the field controls and the two buttons in creation order.
    HWND control = GetNextDlgTabItem(window, nullptr, FALSE);
    for (int id = 101; id <= 122; ++id, control = GetNextDlgTabItem(window, control, FALSE))
        EXPECT_EQ(GetDlgCtrlID(control), id == 122 ? 101 : id);

    const std::set<UINT> alwaysOn = {IDM_FILE_NEW,        IDM_FILE_OPEN, IDM_EDIT_AUTOFILL,
                                     IDM_RELOAD_AUTOFILL, IDM_HELP_HELP, IDM_HELP_DATA_DIR,
                                     IDM_HELP_ABOUT,      IDT_NEW,       IDT_OPEN,
                                     IDT_README};
    for (int on : {0, 1, 0}) {
        EnableFileCommands(window, on);
        int commands = 0;
        for (int m = 0; m < GetMenuItemCount(GetMenu(window)); ++m) {
            HMENU popup = GetSubMenu(GetMenu(window), m);
            for (int i = 0; i < GetMenuItemCount(popup); ++i) {
                UINT id = GetMenuItemID(popup, i), state = GetMenuState(popup, i, MF_BYPOSITION);
                if (state & MF_SEPARATOR) continue;
                ++commands;
                EXPECT_EQ(!(state & MF_GRAYED), on || alwaysOn.count(id)) << "menu " << id;
            }
        }
        for (int i = 0; i < SendMessageA(Toolbar(window), TB_BUTTONCOUNT, 0, 0); ++i) {
            TBBUTTON button = {};
            SendMessageA(Toolbar(window), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            if (button.fsStyle & TBSTYLE_SEP) continue;
            ++commands;
            bool enabled = button.fsState & TBSTATE_ENABLED;
            EXPECT_EQ(enabled, on || alwaysOn.count(button.idCommand)) << button.idCommand;
        }
        EXPECT_EQ(commands, 19 + 13);
    }
}

// A click on a toolbar button runs its command; the toolbar asks the window for its tooltips.
TEST_F(MainWindow, ToolbarButtonsRunTheirCommandsAndGetTheirTooltips) {
    EnableFileCommands(program.window, 1);
    RECT movie;
    SendMessageA(Toolbar(program.window), TB_GETRECT, IDT_MOVIE, reinterpret_cast<LPARAM>(&movie));
    LPARAM at = MAKELPARAM(movie.left + 4, movie.top + 4);
    SendMessageA(Toolbar(program.window), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(Toolbar(program.window), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(ControlText(program.window, 200), "Lead");
    EXPECT_GT(SendMessageA(Toolbar(program.window), TB_ISBUTTONCHECKED, IDT_MOVIE, 0), 0);
    const std::pair<UINT_PTR, const char*> tips[] = {{IDT_NEW, "Create New Quirebook"},
                                                     {IDT_DELETE, "Delete This Record"},
                                                     {IDT_MUSIC, "Music"},
                                                     {IDT_README, "Open ReadMe"},
                                                     {8, "unchanged"}};
    for (auto [id, text] : tips) {
        static char unchanged[] = "unchanged";
        NMTTDISPINFOA info = {
            {Toolbar(program.window), id, TTN_GETDISPINFOA}, unchanged, {}, nullptr, 0, 0};
        Send(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(info.lpszText, text) << id;
    }
}

// The field touched last is the sort field; the date buttons are not fields.
TEST_F(MainWindow, ANotificationFromAFieldControlMakesItTheSortField) {
    const std::tuple<int, int, uint32_t> touches[] = {
        {105, EN_SETFOCUS, 5},     {104, BN_CLICKED, 5},          {106, BN_CLICKED, 5},
        {119, CBN_EDITCHANGE, 19}, {IDC_EXECUTE, BN_CLICKED, 19}, {100, 0, 19},
        {101, CBN_SELCHANGE, 1}};
    for (auto [id, notification, field] : touches) {
        Send(WM_COMMAND, MAKEWPARAM(id, notification));
        EXPECT_EQ(program.collection.sortField, field) << id;
    }
    DialogAnswerer about(IDOK);
    Send(WM_COMMAND, IDM_HELP_ABOUT);
    EXPECT_EQ(about.title(), "About Quirebook");
}

// Key messages posted to a form control, then the real loop runs until the queue is empty.
std::vector<int> commands;
int closeRequests, keysAtEdit;
WNDPROC mainProc, editProc;

LRESULT CALLBACK WatchMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam == 0) return commands.push_back(LOWORD(wParam)), 0;
    if (message == WM_CLOSE) return ++closeRequests, 0;
    return CallWindowProcA(mainProc, window, message, wParam, lParam);
}

LRESULT CALLBACK WatchEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    keysAtEdit += message == WM_KEYDOWN || message == WM_CHAR;
    return CallWindowProcA(editProc, window, message, wParam, lParam);
}

WNDPROC Subclass(HWND window, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

TEST_F(MainWindow, KeysBecomeCommandsOncePerPressOfControlAndNeverReachTheForm) {
    commands.clear();
    closeRequests = keysAtEdit = 0;
    mainProc = Subclass(program.window, WatchMain);
    HWND edit = GetDlgItem(program.window, 105);
    editProc = Subclass(edit, WatchEdit);
    SetFocus(edit);
    SetWindowTextA(edit, "keep");
    // Each key goes down and up; VK_CONTROL alternately goes down and comes up.
    auto type = [&](std::initializer_list<WPARAM> keys) {
        bool control = false;
        for (WPARAM key : keys) {
            if (key != VK_CONTROL || !control) PostMessageA(edit, WM_KEYDOWN, key, 1);
            if (key != VK_CONTROL || control) PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
            if (key == VK_CONTROL) control = !control;
        }
        PostQuitMessage(0); // the loop ends once everything before it is handled
        MessageLoop(program.window);
    };
    type({VK_CONTROL, 'C',        'V',        VK_BACK,    'S',        VK_CONTROL, VK_CONTROL,
          'F',        VK_CONTROL, VK_CONTROL, 'O',        VK_CONTROL, VK_CONTROL, 'N',
          VK_CONTROL, VK_CONTROL, VK_DELETE,  VK_CONTROL, VK_F1,      VK_F3});
    EXPECT_EQ(commands, (std::vector<int>{IDT_SAVE, IDT_SEARCH, IDT_OPEN, IDT_ADD, IDT_DELETE,
                                          IDT_README, IDT_SEARCH}));
    EXPECT_EQ(keysAtEdit, 0);
    EXPECT_EQ(WindowText(edit), "keep");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    type({'Q', VK_ESCAPE}); // with Control released the keys are the form's again
    EXPECT_EQ(WindowText(edit), "q");
    EXPECT_EQ(closeRequests, 1);
    Subclass(program.window,
             mainProc); // with nothing added the real window procedure ends the program
    type({VK_ESCAPE});
    EXPECT_FALSE(IsWindow(program.window));
}

class FileTest : public MainWindowTest {
  protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        DeleteFileA(shelf.c_str());
    }
    bool SaveEnabled() {
        return SendMessageA(Toolbar(program.window), TB_ISBUTTONENABLED, IDT_SAVE, 0) != 0;
    }
    void ExpectNoFile() {
        EXPECT_EQ(program.collection.hRecordFile, nullptr);
        EXPECT_EQ(StatusText(program.window), "No File!");
        EXPECT_EQ(ControlText(program.window, 101), "");
        EXPECT_FALSE(SaveEnabled());
    }
    std::string shelf = MakeCollection("Shelf One", {"Dune", "Emma", "Ulysses"});
};

TEST_F(FileTest, OpenWorksOnACopyReplacesWithoutAskingAndCloseClears) {
    std::string before = ReadAll(shelf), empty = MakeCollection("Empty Shelf", {});
    std::strcpy(program.filePath, shelf.c_str());
    Send(WM_TIMER, 1); // the command line's file opens from the loop
    EXPECT_EQ(WindowText(program.window), "Shelf One");
    EXPECT_EQ(StatusText(program.window), "Record 1 of 3");
    EXPECT_EQ(ControlText(program.window, 101), "Dune");
    EXPECT_TRUE(SaveEnabled());
    EXPECT_TRUE(ReadAll(program.workPath) == before);
    {
        DialogAnswerer unasked(IDCANCEL);
        OpenUserFile(program, empty.c_str());
        EXPECT_FALSE(unasked.answered());
    }
    EXPECT_EQ(WindowText(program.window), "Empty Shelf");
    EXPECT_EQ(StatusText(program.window), "No Records!");
    OpenUserFile(program, shelf.c_str());
    SetDlgItemTextA(program.window, 101, "Changed");
    Send(WM_COMMAND, IDM_FILE_CLOSE); // stores the record in the working copy only
    EXPECT_FALSE(ReadAll(program.workPath) == before);
    ExpectNoFile();
    EXPECT_EQ(WindowText(program.window), "Shelf One");
    Send(WM_COMMAND, IDM_FILE_CLOSE); // with nothing open
    EXPECT_TRUE(ReadAll(shelf) == before);
    DeleteFileA(empty.c_str());
}

// A file that cannot be copied, and one the engine refuses.
TEST_F(FileTest, MissingOrDamagedFilesGiveFileErrorAndNoFile) {
    std::ofstream(TempPath("letter.ktl")) << "A letter, not a collection.";
    for (const std::string& path : {TempPath("missing.ktl"), TempPath("letter.ktl")}) {
        OpenUserFile(program, shelf.c_str());
        DialogAnswerer answer(IDOK);
        OpenUserFile(program, path.c_str());
        EXPECT_EQ(answer.text(IDC_PROMPT_LINE2), "File Error") << path;
        ExpectNoFile();
    }
    DeleteFileA(TempPath("letter.ktl").c_str());
}

TEST_F(FileTest, LeavingAsksOnlyAfterRecordsWereAddedAndStopsAtCancel) {
    DialogAnswerer unasked(IDCANCEL);
    EXPECT_EQ(ConfirmLeaveFile(program), 0); // no file open
    OpenUserFile(program, shelf.c_str());
    EXPECT_EQ(ConfirmLeaveFile(program), 0); // nothing added
    EXPECT_FALSE(unasked.answered());
    program.collection.recordsAdded = 1;
    {
        DialogAnswerer answer(IDCANCEL);
        EXPECT_EQ(ConfirmLeaveFile(program), 1);
        EXPECT_EQ(answer.text(IDC_PROMPT_LINE2), "New Records Have Been Added");
        EXPECT_EQ(answer.text(IDC_PROMPT_LINE3), "Save Current File Now?");
    }
    // Exit, the close box and the end of the session; No lets the program end.
    const std::tuple<int, UINT, WPARAM> leaves[] = {{IDCANCEL, WM_COMMAND, IDM_FILE_EXIT},
                                                    {IDCANCEL, WM_CLOSE, 0},
                                                    {IDCANCEL, WM_QUERYENDSESSION, 0},
                                                    {PROMPT_NO, WM_COMMAND, IDM_FILE_EXIT}};
    for (auto [button, message, wParam] : leaves) {
        DialogAnswerer answer(button);
        EXPECT_EQ(Send(message, wParam), 0) << message; // the session must not end
        EXPECT_TRUE(answer.answered()) << message;
        EXPECT_EQ(IsWindow(program.window) != FALSE, button == IDCANCEL) << message;
    }
}

} // namespace
