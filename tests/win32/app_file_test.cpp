// Opening and leaving record files through the real main window, and the
// shell's own commands.
#include "test_main_window.h"

#include "field_catalogue.h"
#include "file_commands.h"
#include "main_form.h"
#include "prompt_dialog.h"
#include "record_file.h"
#include "resource.h"
#include "shell_state.h"

#include <commctrl.h>
#include <cstring>
#include <fstream>
#include <iterator>
#include <tuple>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A collection with the standard layout and one book per title.
std::string MakeCollection(const char* name, std::initializer_list<const char*> titles) {
    std::string path = TempPath(std::string(name) + ".ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), name);
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

class FileTest : public MainWindowTest {
  protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        DeleteFileA(shelf.c_str());
    }
    std::string ShownTitle() { return WindowText(GetDlgItem(hMainWnd, FIRST_FIELD_CONTROL + 1)); }
    bool SaveEnabled() { return SendMessageA(hToolbar, TB_ISBUTTONENABLED, IDT_SAVE, 0) != 0; }
    LRESULT Send(UINT message, WPARAM wParam) { return SendMessageA(hMainWnd, message, wParam, 0); }
    void ExpectNoFile() {
        EXPECT_EQ(hRecordFile, nullptr);
        EXPECT_EQ(StatusText(), "No File!");
        EXPECT_EQ(ShownTitle(), "");
        EXPECT_FALSE(SaveEnabled());
    }
    std::string shelf = MakeCollection("Shelf One", {"Dune", "Emma", "Ulysses"});
};

TEST_F(FileTest, OpenWorksOnACopyReplacesWithoutAskingAndCloseClears) {
    std::string before = ReadAll(shelf), empty = MakeCollection("Empty Shelf", {});
    std::strcpy(filePath, shelf.c_str());
    Send(WM_TIMER, 1); // the command line's file opens from the loop
    EXPECT_EQ(WindowText(hMainWnd), "Shelf One");
    EXPECT_EQ(StatusText(), "Record 1 of 3");
    EXPECT_EQ(ShownTitle(), "Dune");
    EXPECT_TRUE(SaveEnabled());
    EXPECT_TRUE(ReadAll(workPath) == before);
    {
        DialogAnswerer unasked(IDCANCEL);
        OpenUserFile(empty.c_str());
        EXPECT_FALSE(unasked.answered());
    }
    EXPECT_EQ(WindowText(hMainWnd), "Empty Shelf");
    EXPECT_EQ(StatusText(), "No Records!");
    EXPECT_EQ(ShownTitle(), "");
    EXPECT_EQ(currentRecord, -1);
    OpenUserFile(shelf.c_str());
    SetWindowTextA(GetDlgItem(hMainWnd, FIRST_FIELD_CONTROL + 1), "Changed");
    Send(WM_COMMAND, IDM_FILE_CLOSE); // stores the record in the working copy only
    EXPECT_FALSE(ReadAll(workPath) == before);
    ExpectNoFile();
    EXPECT_EQ(WindowText(hMainWnd), "Shelf One");
    Send(WM_COMMAND, IDM_FILE_CLOSE); // with nothing open
    EXPECT_TRUE(ReadAll(shelf) == before);
    DeleteFileA(empty.c_str());
}

// A file that cannot be copied, and one the engine refuses.
TEST_F(FileTest, MissingOrDamagedFilesGiveFileErrorAndNoFile) {
    std::ofstream(TempPath("letter.ktl")) << "A letter, not a collection.";
    for (const std::string& path : {TempPath("missing.ktl"), TempPath("letter.ktl")}) {
        SCOPED_TRACE(path);
        OpenUserFile(shelf.c_str());
        DialogAnswerer answer(IDOK);
        OpenUserFile(path.c_str());
        EXPECT_EQ(answer.text(IDC_PROMPT_LINE2), "File Error");
        ExpectNoFile();
    }
    DeleteFileA(TempPath("letter.ktl").c_str());
}

TEST_F(FileTest, LeavingAsksOnlyAfterRecordsWereAddedAndStopsAtCancel) {
    DialogAnswerer unasked(IDCANCEL);
    EXPECT_EQ(ConfirmLeaveFile(), 0); // no file open
    OpenUserFile(shelf.c_str());
    EXPECT_EQ(ConfirmLeaveFile(), 0); // nothing added
    EXPECT_FALSE(unasked.answered());
    recordsAdded = 1;
    {
        DialogAnswerer answer(IDCANCEL);
        EXPECT_EQ(ConfirmLeaveFile(), 1);
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
        EXPECT_EQ(IsWindow(hMainWnd) != FALSE, button == IDCANCEL) << message;
    }
}

TEST_F(FileTest, ShellCommands) {
    // The field touched last is the sort field; the date buttons are not fields.
    const std::tuple<int, int, uint32_t> touches[] = {
        {105, EN_SETFOCUS, 5},     {104, BN_CLICKED, 5},          {106, BN_CLICKED, 5},
        {119, CBN_EDITCHANGE, 19}, {IDC_EXECUTE, BN_CLICKED, 19}, {100, 0, 19},
        {101, CBN_SELCHANGE, 1}};
    for (auto [id, notification, field] : touches) {
        Send(WM_COMMAND, MAKEWPARAM(id, notification));
        EXPECT_EQ(sortField, field) << id;
    }
    for (int kind : {IDT_MOVIE, IDT_BOOK}) {
        Send(WM_COMMAND, kind);
        EXPECT_EQ(WindowText(GetDlgItem(hMainWnd, FIRST_KIND_LABEL_ID)),
                  kind == IDT_BOOK ? "Author" : "Lead");
    }
    DialogAnswerer about(IDOK);
    Send(WM_COMMAND, IDM_HELP_ABOUT);
    EXPECT_EQ(about.title(), "About Quirebook");
    EXPECT_TRUE(IsWindowEnabled(hMainWnd));
}

} // namespace
