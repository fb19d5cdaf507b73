// The main window: its commands' states, its toolbar, leaving it, and the
// side files: the autofill lists and folders, the shell hand-overs.
#include "test_main_window.h"

#include "autofill.h"
#include "autofill_lists.h"
#include "commands.h"
#include "file_commands.h"
#include "folders.h"
#include "main_form.h"
#include "main_window.h"
#include "prompt_dialog.h"
#include "resource.h"
#include "shell_open.h"

#include <commctrl.h>
#include <cstring>
#include <fstream>
#include <set>
#include <tuple>

namespace {

using MainWindow = MainWindowTest;

// Without a file only New, Open, the AutoFill items, Help, Open Data Dir,
// About and the ReadMe button are on; with one every command is.
TEST_F(MainWindow, StartsWithNoFileAndOnlyTheCommandsThatNeedNone) {
    HWND window = program.window, toolbar = Toolbar(window);
    EXPECT_EQ(CentredOrigin(1025, 460) + CentredOrigin(320, 400), 282);
    auto images = HIMAGELIST(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 14); // one missing would shift every picture
    const std::set<UINT> alwaysOn = {IDM_FILE_NEW,        IDM_FILE_OPEN, IDM_EDIT_AUTOFILL,
                                     IDM_RELOAD_AUTOFILL, IDM_HELP_HELP, IDM_HELP_DATA_DIR,
                                     IDM_HELP_ABOUT,      IDT_NEW,       IDT_OPEN,
                                     IDT_README};
    for (bool on : {false, true}) {
        EnableFileCommands(window, on);
        std::string wrong;
        for (UINT id = 1; id <= IDM_FILE_IMPORT; ++id) {
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

// A click on a toolbar button runs its command; a field control's
// notification makes it the sort field.
TEST_F(MainWindow, ToolbarClicksAndTheFieldTouchedLast) {
    HWND toolbar = Toolbar(program.window);
    EnableFileCommands(program.window, true);
    RECT movie;
    SendMessageA(toolbar, TB_GETRECT, IDT_MOVIE, LPARAM(&movie));
    SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(movie.left + 4, 4));
    SendMessageA(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(movie.left + 4, 4));
    EXPECT_EQ(ControlText(program.window, 200), "Lead");
    const std::tuple<int, int, uint32_t> touches[] = {
        {105, EN_SETFOCUS, 5}, {115, EN_CHANGE, 5}, // filled, not typed
        {104, BN_CLICKED, 5},  {119, CBN_EDITCHANGE, 19},
        {IDC_CHANGE, 0, 19},   {101, CBN_SELCHANGE, 1}};
    for (auto [id, notification, field] : touches) {
        DialogDriver answer({IDCANCEL}); // the date button and Change.. ask first
        Send(WM_COMMAND, MAKEWPARAM(id, notification));
        EXPECT_EQ(program.collection.sortField, field) << id;
    }
}

// The end of the session asks first: Cancel keeps it from ending with the
// changes noted for recovery, No ends it with no note left (Exit, the close
// box and Escape are driven end to end).
TEST_F(MainWindow, TheEndOfTheSessionAsksFirst) {
    OpenUserFile(program, MakeCollection("Shelf", {"Dune"}).c_str());
    program.collection.recordsAdded = 1;
    std::string note = program.workPath + std::string(".unsaved");
    for (int button : {IDCANCEL, IDC_PROMPT_BUTTON3}) {
        DialogDriver answer({button});
        EXPECT_EQ(Send(WM_QUERYENDSESSION, 0), button == IDC_PROMPT_BUTTON3);
        EXPECT_EQ(answer.line2, "New Records Have Been Added");
        EXPECT_EQ(GetFileAttributesA(note.c_str()) != INVALID_FILE_ATTRIBUTES, button == IDCANCEL);
    }
    EXPECT_FALSE(IsWindow(program.window));
    DeleteFileA(TempPath("Shelf.ktl").c_str());
}

// A DLL lying in the current folder, as beside a record file opened by a
// double click, is found before start-up and no longer once the first window
// is made.
DWORD lyingDllError; // what loading it said when the first window was made, 0 before
LRESULT CALLBACK LoadAtFirstWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && !lyingDllError) {
        LoadLibraryA("lying.dll");
        lyingDllError = GetLastError();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(StartUp, RestrictsTheDllSearchBeforeTheFirstWindow) {
    std::string folder = TempPath("dlls\\");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream(folder + "lying.dll") << "not a program";
    SetCurrentDirectoryA(folder.c_str());
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("lying.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT)); // found, and refused as no program
    HHOOK hook = SetWindowsHookExA(WH_CBT, LoadAtFirstWindow, nullptr, GetCurrentThreadId());
    Program program;
    EXPECT_TRUE(InitApplication(program));
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(lyingDllError, DWORD(ERROR_MOD_NOT_FOUND));
    DestroyWindow(program.window);
}

std::string Lists(HWND window) { // the five lists' items as "item,item,|"
    std::string items;
    char text[AUTOFILL_LINE_SIZE];
    for (int id : {101, 102, 103, 117, 119}) {
        for (int i = 0; SendDlgItemMessageA(window, id, CB_GETLBTEXT, i++, LPARAM(text)) > 0;)
            items += text + std::string(",");
        items += "|";
    }
    return items;
}

TEST_F(MainWindow, AutoFillListsFollowTheFolderModeAndReloadOnce) {
    ReloadAutoFillLists(program.window); // the default beside the test program fills every list
    EXPECT_EQ(("|" + Lists(program.window)).find("||"), std::string::npos) << Lists(program.window);
    std::string folder = TempPath("af\\"); // also the application-data folder
    std::string mine = folder + "Orrick\\Quirebook\\QuireAuto.txt";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "DefSet.txt").c_str()); // left by an earlier run
    DeleteFileA(mine.c_str());
    std::ofstream(folder + AUTOFILL_FILE_NAME, std::ios::binary)
        << "Novel\r*tit\rDune\r*mys\rC:\\a b.txt\r*loc\rAttic\r*aut\rHerbert\r*tit\rEmma\r";
    for (bool installed : {false, true}) {
        if (installed) std::ofstream(folder + "DefSet.txt");
        ResolveFolders((folder + "Quirebook.exe").c_str(), folder.c_str());
        ReloadAutoFillLists(program.window);
        ReloadAutoFillLists(program.window);
        EXPECT_EQ(Lists(program.window), "Dune,Emma,|Herbert,|Novel,|Attic,|C:\\a b.txt,|")
            << installed;
    }
    // An application-data folder too long for a path means portable use.
    ResolveFolders((folder + "Quirebook.exe").c_str(), ("C:\\" + std::string(590, 'a')).c_str());
    EXPECT_EQ(gFolders.data, folder);
    ResolveFolders((folder + "Quirebook.exe").c_str(), folder.c_str());
    // Installed, the user's own copy is read from now on, never replaced by the default.
    std::ofstream(mine, std::ios::binary) << "*loc\rCellar\r";
    ReloadAutoFillLists(program.window);
    EXPECT_EQ(Lists(program.window), "|||Cellar,||");
}

std::string handedOver;

void NoteHandOver(const char* path) {
    handedOver += path + std::string("|");
}

TEST_F(MainWindow, HelpTheAutoFillFileAndTheDataFolderAreHandedToTheShell) {
    std::strcpy(gFolders.program, "C:\\Program Files\\Q B\\");
    std::strcpy(gFolders.data, "D:\\Orrick\\");
    gShellOpen = NoteHandOver;
    for (WPARAM command : {IDM_HELP_HELP, IDT_README, IDM_EDIT_AUTOFILL, IDM_HELP_DATA_DIR})
        Send(WM_COMMAND, command);
    std::strcpy(gFolders.data, std::string(590, 'd').c_str()); // too long: not handed over
    Send(WM_COMMAND, IDM_EDIT_AUTOFILL);
    gShellOpen = nullptr;
    EXPECT_EQ(handedOver, "C:\\Program Files\\Q B\\ReadMe.htm|C:\\Program Files\\Q B\\ReadMe.htm|"
                          "D:\\Orrick\\QuireAuto.txt|D:\\Orrick\\|");
}

} // namespace
