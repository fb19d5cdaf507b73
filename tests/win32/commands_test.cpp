// The window's commands where a fault must be put in, or a program must have
// ended before the test began; the commands and their prompts are otherwise
// driven end to end.
#include "test_main_window.h"

#include "file_commands.h"
#include "file_io.h"
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
    // The title box and the status line.
    std::string Shown() {
        return ControlText(program.window, 101) + " " + StatusText(program.window);
    }
    std::string shelf = MakeCollection("Shelf", {"Dune", "Emma", "Ulysses"});
};

bool FailReplacing(IoCall call) {
    return call == IO_REPLACE;
}

TEST_F(CommandsTest, AFailedSaveLeavesTheUsersFileAndKeepsTheChanges) {
    std::string before = Bytes(shelf);
    SetDlgItemTextA(program.window, 101, "Changed");
    ioFaultHook = FailReplacing;
    EXPECT_EQ(Answered({IDOK}, IDT_SAVE), "Save Failed|");
    EXPECT_EQ(Answered({PROMPT_OK, IDOK}, IDM_FILE_CLOSE),
              "Changes Have Been Made|Save Current File Now?");
    ioFaultHook = nullptr;
    EXPECT_EQ(Bytes(shelf), before);
    EXPECT_EQ(GetFileAttributesA((shelf + ".saving").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Shown(), "Changed Record 1 of 3"); // the failed save kept the file open
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

// A program that ended without asking left its changes to a named file and
// their note; the next start offers them back before it opens the file named
// on its command line: No lets them go, Yes shows them as that file's, unsaved.
// (Killed programs and never-saved collections are driven end to end.)
TEST_F(CommandsTest, ChangesToANamedFileLeftByAProgramThatEndedAreOfferedBack) {
    std::string note = program.workPath + std::string(".unsaved");
    SetDlgItemTextA(program.window, 101, "Dune Messiah");
    Send(WM_COMMAND, IDT_NEXT); // the first change writes the note
    ASSERT_EQ(Bytes(note), shelf);
    std::string copy = Bytes(program.workPath), other = MakeCollection("Other", {"Emma"});
    for (int answer : {PROMPT_NO, PROMPT_OK}) {
        CloseCollection(program.collection); // the program ends: its working copy and note stay
        std::ofstream(program.workPath, std::ios::binary) << copy;
        std::ofstream(note, std::ios::binary) << shelf;
        std::strcpy(program.filePath, other.c_str());
        DialogDriver offer({answer});
        Send(WM_TIMER, 1);
        EXPECT_EQ(offer.line2 + "|" + offer.line3, "Unsaved Changes Were Found|Recover Them Now?");
        if (answer == PROMPT_NO) {
            EXPECT_EQ(WindowText(program.window) + Bytes(note), "Other");
        }
    }
    EXPECT_EQ(WindowText(program.window) + " " + Shown(), "Shelf Dune Messiah Record 1 of 3");
    EXPECT_EQ(program.filePath + std::to_string(program.fileNamed), shelf + "1");
    DeleteFileA(other.c_str());
}

} // namespace
