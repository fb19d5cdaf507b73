// Opening and leaving record files through the real main window, and the
// commands of the shell that need no record command.
#include "test_main_window.h"

#include "commands.h"
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

namespace {

constexpr int TITLE_BOX = 101;

std::string TempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "quirebook-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A collection with the standard layout and one record per title.
std::string MakeCollection(const char* name, std::initializer_list<const char*> titles) {
    std::string path = TempPath(name) + ".ktl";
    RecordFile* file = CreateStandardRecordFile(path.c_str(), name);
    EXPECT_NE(file, nullptr);
    for (const char* title : titles) {
        int32_t slot = AddRecord(file);
        std::strcpy(textValue, title);
        WriteField(file, slot, 1);
        numberValue = KIND_BOOK;
        WriteField(file, slot, KIND_FIELD);
    }
    CloseRecordFile(file);
    return path;
}

std::string WriteFile(const char* name, const std::string& bytes) {
    std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

bool FileCommandsOn() {
    return SendMessageA(hToolbar, TB_ISBUTTONENABLED, IDT_SAVE, 0) &&
           !(GetMenuState(hMainMenu, IDM_FILE_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
}

std::string FieldText(int id) {
    return WindowText(GetDlgItem(hMainWnd, id));
}

void Command(int id, int notification = 0) {
    SendMessageA(hMainWnd, WM_COMMAND, MAKEWPARAM(id, notification), 0);
}

using OpenFile = MainWindowTest;

TEST_F(OpenFile, ShowsTheFirstRecordUnderTheCollectionsName) {
    std::string path = MakeCollection("Shelf One", {"Dune", "Emma", "Ulysses"});
    std::string before = ReadAll(path);
    OpenUserFile(path.c_str());
    ASSERT_NE(hRecordFile, nullptr);
    EXPECT_EQ(WindowText(hMainWnd), "Shelf One");
    EXPECT_EQ(StatusText(), "Record 1 of 3");
    EXPECT_EQ(FieldText(TITLE_BOX), "Dune");
    EXPECT_TRUE(FileCommandsOn());
    EXPECT_EQ(fileNamed, 1u);
    EXPECT_EQ(recordsAdded, 0u);
    // The program works on its own copy; the user's file is only read.
    EXPECT_EQ(ReadAll(workPath), before);
    EXPECT_EQ(ReadAll(path), before);

    // A second open replaces the first without a question.
    std::string second = MakeCollection("Empty Shelf", {});
    DialogAnswerer answer(IDCANCEL);
    OpenUserFile(second.c_str());
    EXPECT_FALSE(answer.answered());
    EXPECT_EQ(WindowText(hMainWnd), "Empty Shelf");
    EXPECT_EQ(StatusText(), "No Records!");
    EXPECT_EQ(FieldText(TITLE_BOX), "");
    EXPECT_EQ(currentRecord, -1);
    DeleteFileA(path.c_str());
    DeleteFileA(second.c_str());
}

TEST_F(OpenFile, FromTheCommandLineTimerOpensOnce) {
    std::string path = MakeCollection("Timer Shelf", {"Kim"});
    std::strcpy(filePath, path.c_str());
    SendMessageA(hMainWnd, WM_TIMER, 2, 0); // not the open timer
    EXPECT_EQ(hRecordFile, nullptr);
    SendMessageA(hMainWnd, WM_TIMER, 1, 0);
    EXPECT_EQ(WindowText(hMainWnd), "Timer Shelf");
    EXPECT_EQ(StatusText(), "Record 1 of 1");
    DeleteFileA(path.c_str());
}

// Each of these is refused with the "File Error" notice and leaves no file open.
TEST_F(OpenFile, MissingOrDamagedFilesGiveFileError) {
    std::string good = MakeCollection("Good Shelf", {"Dune"});
    std::string noFieldsBytes = ReadAll(good);
    // The field count word of the header: a file without fields.
    noFieldsBytes[FIELD_COUNT_OFFSET] = noFieldsBytes[FIELD_COUNT_OFFSET + 1] = 0;
    const std::string cases[] = {
        TempPath("does-not-exist.ktl"),
        WriteFile("not-a-record-file.ktl", "This is a letter, not a collection."),
        WriteFile("empty.ktl", ""),
        WriteFile("header-only.ktl", "DATA0007"),
        WriteFile("no-fields.ktl", noFieldsBytes),
    };
    for (const std::string& path : cases) {
        OpenUserFile(good.c_str());
        ASSERT_NE(hRecordFile, nullptr);
        DialogAnswerer answer(IDOK);
        OpenUserFile(path.c_str());
        EXPECT_TRUE(answer.answered()) << path;
        EXPECT_EQ(answer.text(IDC_PROMPT_LINE2), "File Error") << path;
        EXPECT_EQ(answer.text(IDC_PROMPT_LINE1), "");
        EXPECT_EQ(hRecordFile, nullptr) << path;
        EXPECT_EQ(StatusText(), "No File!") << path;
        EXPECT_FALSE(FileCommandsOn()) << path;
        EXPECT_EQ(FieldText(TITLE_BOX), "") << path;
        EXPECT_EQ(currentNumber, -1);
        DeleteFileA(path.c_str());
    }
    DeleteFileA(good.c_str());
}

using LeaveFile = MainWindowTest;

TEST_F(LeaveFile, AsksOnlyWhenRecordsWereAdded) {
    {
        DialogAnswerer answer(IDCANCEL);
        EXPECT_EQ(ConfirmLeaveFile(), 0); // no file open
        EXPECT_FALSE(answer.answered());
    }
    std::string path = MakeCollection("Shelf", {"Dune"});
    OpenUserFile(path.c_str());
    {
        DialogAnswerer answer(IDCANCEL);
        EXPECT_EQ(ConfirmLeaveFile(), 0); // nothing added
        EXPECT_FALSE(answer.answered());
    }
    recordsAdded = 1;
    {
        DialogAnswerer answer(IDCANCEL);
        EXPECT_EQ(ConfirmLeaveFile(), 1);
        ASSERT_TRUE(answer.answered());
        EXPECT_EQ(answer.text(IDC_PROMPT_LINE2), "New Records Have Been Added");
        EXPECT_EQ(answer.text(IDC_PROMPT_LINE3), "Save Current File Now?");
        EXPECT_EQ(answer.text(IDC_PROMPT_BUTTON3), "No");
    }
    {
        DialogAnswerer answer(PROMPT_NO);
        EXPECT_EQ(ConfirmLeaveFile(), 0);
        EXPECT_TRUE(answer.answered());
    }
    DeleteFileA(path.c_str());
}

TEST_F(LeaveFile, ExitAndCloseBoxStopAtCancel) {
    std::string path = MakeCollection("Shelf", {"Dune"});
    OpenUserFile(path.c_str());
    recordsAdded = 1;
    {
        DialogAnswerer answer(IDCANCEL);
        Command(IDM_FILE_EXIT);
        EXPECT_TRUE(answer.answered());
        EXPECT_TRUE(IsWindow(hMainWnd));
    }
    {
        DialogAnswerer answer(IDCANCEL);
        SendMessageA(hMainWnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(answer.answered());
        EXPECT_TRUE(IsWindow(hMainWnd));
    }
    {
        DialogAnswerer answer(IDCANCEL);
        EXPECT_FALSE(SendMessageA(hMainWnd, WM_QUERYENDSESSION, 0, 0));
        EXPECT_TRUE(IsWindow(hMainWnd));
    }
    {
        DialogAnswerer answer(PROMPT_NO);
        Command(IDM_FILE_EXIT);
        EXPECT_TRUE(answer.answered());
        EXPECT_FALSE(IsWindow(hMainWnd));
    }
    DeleteFileA(path.c_str());
}

TEST_F(LeaveFile, CloseLeavesTheTitleAndClearsTheForm) {
    std::string path = MakeCollection("Closing Shelf", {"Dune", "Emma"});
    Command(IDM_FILE_CLOSE); // nothing open: nothing happens
    EXPECT_EQ(StatusText(), "No File!");
    OpenUserFile(path.c_str());
    ASSERT_EQ(FieldText(TITLE_BOX), "Dune");
    Command(IDM_FILE_CLOSE);
    EXPECT_EQ(hRecordFile, nullptr);
    EXPECT_EQ(StatusText(), "No File!");
    EXPECT_EQ(WindowText(hMainWnd), "Closing Shelf");
    EXPECT_EQ(FieldText(TITLE_BOX), "");
    EXPECT_FALSE(FileCommandsOn());
    DeleteFileA(path.c_str());
}

using ShellCommands = MainWindowTest;

TEST_F(ShellCommands, FieldNotificationsChooseTheSortField) {
    Command(105, EN_SETFOCUS);
    EXPECT_EQ(sortField, 5u);
    Command(104, BN_CLICKED); // the date buttons are not sort fields
    Command(106, BN_CLICKED);
    EXPECT_EQ(sortField, 5u);
    Command(119, CBN_EDITCHANGE);
    EXPECT_EQ(sortField, 19u);
    Command(IDC_EXECUTE, BN_CLICKED);
    Command(100);
    EXPECT_EQ(sortField, 19u);
    Command(101, CBN_SELCHANGE);
    EXPECT_EQ(sortField, 1u);
}

TEST_F(ShellCommands, KindButtonsRelabelTheForm) {
    Command(IDT_MOVIE);
    for (int i = 0; i < KIND_LABEL_COUNT; ++i)
        EXPECT_EQ(FieldText(FIRST_KIND_LABEL_ID + i), movieLabelSet[i]);
    Command(IDT_BOOK);
    for (int i = 0; i < KIND_LABEL_COUNT; ++i)
        EXPECT_EQ(FieldText(FIRST_KIND_LABEL_ID + i), bookLabelSet[i]);
}

TEST_F(ShellCommands, AboutBoxOpensOverTheMainWindow) {
    DialogAnswerer answer(IDOK);
    Command(IDM_HELP_ABOUT);
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(answer.title(), "About Quirebook");
    EXPECT_NE(answer.allText().find("Quirebook 1.9"), std::string::npos) << answer.allText();
    EXPECT_NE(answer.allText().find("Book and Movie Database"), std::string::npos);
    EXPECT_TRUE(IsWindowEnabled(hMainWnd));
}

} // namespace
