// The side files under Wine: the autofill lists, the registry, the shell.
#include "test_main_window.h"

#include "autofill.h"
#include "autofill_lists.h"
#include "folders.h"
#include "shell_open.h"

#include <shellapi.h>
#include <cstring>
#include <fstream>

namespace {

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

TEST_F(MainWindowTest, AutoFillListsFollowTheFolderModeAndReloadOnce) {
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
    // Installed, the user's own copy is read from now on, never replaced by the default.
    std::ofstream(mine, std::ios::binary) << "*loc\rCellar\r";
    ReloadAutoFillLists(program.window);
    EXPECT_EQ(Lists(program.window), "|||Cellar,||");
}

std::string handedOver;

HINSTANCE WINAPI NoteHandOver(HWND owner, LPCSTR verb, LPCSTR path, LPCSTR parameters,
                              LPCSTR folder, INT show) {
    bool plain = !owner && !verb && !parameters && !folder && show == SW_SHOWNORMAL;
    handedOver += path + std::string(plain ? "|" : " (not plain)|");
    return HINSTANCE(33);
}

TEST(ShellOpen, HandsTheShellTheSideFilesPaths) {
    std::strcpy(programFolder, "C:\\Program Files\\Q B\\");
    std::strcpy(dataFolder, "D:\\Orrick\\");
    shellExecute = NoteHandOver;
    OpenReadMe();
    ShellOpenSideFile(AUTOFILL_FILE_NAME, false);
    OpenDataFolder();
    std::strcpy(dataFolder, std::string(590, 'd').c_str()); // too long: not handed over
    ShellOpenSideFile(AUTOFILL_FILE_NAME, false);
    shellExecute = ShellExecuteA;
    EXPECT_EQ(handedOver,
              "C:\\Program Files\\Q B\\ReadMe.htm|D:\\Orrick\\QuireAuto.txt|D:\\Orrick\\|");
}

// A folder that does not fit in a path is refused: portable use, or no folder at all.
TEST(Folders, PathsThatDoNotFitAreRefused) {
    std::string program = TempPath("long\\");
    CreateDirectoryA(program.c_str(), nullptr);
    std::ofstream(program + "DefSet.txt");
    ResolveFolders((program + "Quirebook.exe").c_str(), ("C:\\" + std::string(590, 'a')).c_str());
    EXPECT_EQ(dataFolder, program);
    ResolveFolders(("C:\\" + std::string(700, 'x') + "\\Quirebook.exe").c_str(), nullptr);
    EXPECT_STREQ(dataFolder, "");
    DeleteFileA((program + "DefSet.txt").c_str());
}

} // namespace
