// The window's commands where a fault must be put in; the commands, their
// prompts and the recovery of a killed program's changes are otherwise
// driven end to end.
#include "test_main_window.h"

#include "file_commands.h"
#include "globals.h"
#include "main_form.h"
#include "prompt_dialog.h"
#include "resource.h"

#include <commctrl.h>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::string Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class CommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        OpenUserFile(program, shelf.c_str());
        std::strcpy(program.filePath, shelf.c_str());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        DeleteFileA(shelf.c_str());
    }
    // Runs a command whose prompts are answered with these buttons; what the first showed.
    std::string Answered(std::initializer_list<int> buttons, WPARAM command) {
        DialogDriver answer(buttons);
        Send(WM_COMMAND, command);
        return !answer.title.empty() ? answer.line2 + "|" + answer.line3 : "not asked";
    }
    std::string shelf = MakeCollection("Shelf", {"Dune", "Emma", "Ulysses"});
};

bool FailReplacing(IoCall call) {
    return call == IO_REPLACE;
}

TEST_F(CommandsTest, AFailedSaveLeavesTheUsersFileAndKeepsTheChanges) {
    std::string before = Bytes(shelf);
    SetDlgItemTextA(program.window, 101, "Changed");
    gIoFaultHook = FailReplacing;
    EXPECT_EQ(Answered({IDOK}, IDT_SAVE), "Save Failed|");
    EXPECT_EQ(Answered({PROMPT_OK, IDOK}, IDM_FILE_CLOSE),
              "Changes Have Been Made|Save Current File Now?");
    gIoFaultHook = nullptr;
    EXPECT_EQ(Bytes(shelf), before);
    EXPECT_EQ(GetFileAttributesA((shelf + ".saving").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ControlText(program.window, 101), "Changed"); // the failed save kept the file open
    Send(WM_COMMAND, IDT_SAVE);
    EXPECT_EQ(Bytes(shelf), Bytes(program.workPath));
    EXPECT_EQ(Answered({IDCANCEL}, IDM_FILE_CLOSE), "not asked");
}

TEST_F(CommandsTest, ANewThatCannotMakeItsWorkingCopyShowsFileErrorAndNoFile) {
    std::strcpy(program.workPath, TempPath("no such folder\\Temp.dat").c_str());
    EXPECT_EQ(Answered({IDOK, IDOK}, IDT_NEW), "|Books");
    EXPECT_EQ(StatusText(program.window), "No File!");
    EXPECT_FALSE(SendMessageA(Toolbar(program.window), TB_ISBUTTONENABLED, IDT_SAVE, 0));
}

} // namespace
