#include "test_main_window.h"

#include "field_catalogue.h"
#include "main_form.h"
#include "record_file.h"
#include "record_form.h"
#include "resource.h"
#include "shell_state.h"
#include "text_routines.h"

#include <commctrl.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

bool IsNumber(uint32_t field) {
    return IsNumberField(standardFieldTypes[field - 1]);
}

bool IsChecked(int command) {
    return SendMessageA(hToolbar, TB_ISBUTTONCHECKED, command, 0) > 0;
}

// What the form shows for a field: a list's selected index (-1 for none), the
// checked kind button, or a control's text.
std::string Shown(uint32_t field) {
    int id = FIRST_FIELD_CONTROL + static_cast<int>(field);
    if (field == KIND_FIELD)
        return IsChecked(IDT_BOOK) ? "Book" : IsChecked(IDT_MOVIE) ? "Movie" : "";
    if ((field >= 12 && field <= 14) || field == 16)
        return std::to_string(SendDlgItemMessageA(hMainWnd, id, CB_GETCURSEL, 0, 0));
    char text[1200] = "";
    GetDlgItemTextA(hMainWnd, id, text, sizeof text);
    return text;
}

void Type(uint32_t field, const std::string& text) {
    SetDlgItemTextA(hMainWnd, FIRST_FIELD_CONTROL + static_cast<int>(field), text.c_str());
}

// A field of the current record, numbers in decimal.
void Store(uint32_t field, const std::string& value) {
    numberValue = static_cast<uint32_t>(std::stoul(IsNumber(field) ? value : "0"));
    CopyText(value.c_str(), textValue);
    WriteField(hRecordFile, currentRecord, field);
}
std::string Stored(uint32_t field) {
    ReadField(hRecordFile, currentRecord, field);
    return IsNumber(field) ? std::to_string(numberValue) : textValue;
}

// The main window showing the one record of a new standard record file.
class FormTransfer : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        hRecordFile = CreateStandardRecordFile(path.c_str(), "Test");
        ASSERT_NE(hRecordFile, nullptr);
        currentRecord = AddRecord(hRecordFile);
        currentNumber = recordCount = 1;
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        DeleteFileA(path.c_str());
    }
    const std::string path = "form" + std::to_string(GetCurrentProcessId()) + ".ktl";
};

struct Row {
    uint32_t field;
    std::string stored, shown = "", storedBack = ""; // empty: as stored
};

// Stores each row's value, shows the record, overwrites the record, and
// stores the form back.
void RoundTrip(const std::vector<Row>& rows) {
    for (const Row& row : rows) Store(row.field, row.stored);
    ShowRecord();
    const char* const* labels = IsChecked(IDT_BOOK) ? bookLabelSet : movieLabelSet;
    for (int i = 0; i < KIND_LABEL_COUNT; ++i)
        EXPECT_EQ(WindowText(GetDlgItem(hMainWnd, FIRST_KIND_LABEL_ID + i)), labels[i]) << i;
    for (const Row& row : rows) {
        EXPECT_EQ(Shown(row.field), row.shown.empty() ? row.stored : row.shown) << row.field;
        Store(row.field, IsNumber(row.field) ? "77" : "changed");
    }
    StoreRecord();
    for (const Row& row : rows)
        EXPECT_EQ(Stored(row.field), row.storedBack.empty() ? row.stored : row.storedBack)
            << row.field;
}

TEST_F(FormTransfer, ShowRecordAndStoreRecordCarryEveryField) {
    // clang-format off
    const std::vector<Row> record = {
        {1, "Dune"}, {2, "Frank Herbert"}, {3, "Science fiction"}, {4, "01/08/1965"}, {5, "0441"},
        {6, "12/05/2026"}, {7, "Dune Chronicles"}, {8, "1"}, {9, "412"}, {10, "1234", "12.34"},
        {11, "813.54"}, {12, "0"}, {13, "2"}, {14, "4"}, {15, "5"}, {16, "3"}, {17, "Shelf A"},
        {18, "First line\r\nsecond line"}, {19, "C:\\Books\\dune.pdf"}, {20, "1", "Book"}};
    // clang-format on
    RoundTrip(record);
    // Indexes outside a list show no selection and come back as -1; every
    // kind but Book shows as Movie and comes back as Movie.
    const std::string none = "4294967295";
    RoundTrip({{12, "4"}, {13, "5", "-1", none}, {14, none, "-1"}, {16, "9", "-1", none}});
    for (const char* kind : {"2", "0", "7"}) RoundTrip({{20, kind, "Movie", "3"}});
}

TEST_F(FormTransfer, TypedValuesAreCutAndConverted) {
    const std::tuple<uint32_t, std::string, std::string, std::string> cases[] = {
        // field, typed, stored, shown again
        {3, std::string(70, 's'), std::string(64, 's'), std::string(64, 's')},
        {1, std::string(310, 't'), std::string(300, 't'), std::string(300, 't')},
        // A control is read with 999 characters at most.
        {18, std::string(1200, 'c'), std::string(999, 'c'), std::string(999, 'c')},
        {10, "12.5", "1250", "12.50"},
        {10, "12.345", "1234", "12.34"},
        {10, "abc", "0", "0.00"},
        {8, "abc", "0", "0"},
        {9, "4294967295", "4294967295", "4294967295"},
    };
    for (const auto& [field, typed, stored, shown] : cases) {
        ShowRecord();
        Type(field, typed);
        StoreRecord();
        EXPECT_EQ(Stored(field), stored) << typed;
        ShowRecord();
        EXPECT_EQ(Shown(field), shown) << typed;
    }
}

TEST_F(FormTransfer, TheBlankFormStoresTheDefaultsOfANewRecord) {
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field)
        Store(field, IsNumber(field) ? "8" : "old");
    // No record has been shown since the window was made: no kind button is checked.
    ClearRecordForm();
    EXPECT_EQ(Shown(4), "");
    EXPECT_EQ(Shown(12), "1");
    EXPECT_EQ(Shown(16), "0");
    StoreRecord();
    for (uint32_t field : {1, 2, 3, 4, 5, 6, 7, 11, 17, 18, 19})
        EXPECT_EQ(Stored(field), "") << field;
    for (uint32_t field : {8, 9, 10, 15, 16}) EXPECT_EQ(Stored(field), "0") << field;
    for (uint32_t field : {12, 13, 14}) EXPECT_EQ(Stored(field), "1") << field;
    EXPECT_EQ(Stored(KIND_FIELD), "3");
}

TEST_F(FormTransfer, FieldsTheFileDoesNotHaveShowEmpty) {
    CloseRecordFile(hRecordFile);
    hRecordFile = CreateRecordFile(path.c_str(), 1);
    ASSERT_NE(hRecordFile, nullptr);
    DefineField(hRecordFile, 1, FIELD_TEXT300);
    LayOutFields(hRecordFile);
    currentRecord = AddRecord(hRecordFile);
    Store(1, "Only a title");
    ShowRecord();
    EXPECT_EQ(Shown(1), "Only a title");
    for (uint32_t field = 2; field < KIND_FIELD; ++field)
        EXPECT_EQ(Shown(field), field == 10 ? "0.00" : IsNumber(field) ? "0" : "") << field;
    EXPECT_EQ(Shown(KIND_FIELD), "Movie");
}

TEST_F(FormTransfer, WithoutARecordOrFileNothingIsShownOrWritten) {
    Store(1, "Kept");
    int32_t record = currentRecord;
    currentRecord = -1;
    Type(1, "Typed");
    ShowRecord();
    EXPECT_EQ(Shown(1), "");
    Type(1, "Typed");
    StoreRecord();

    RecordFile* file = hRecordFile;
    hRecordFile = nullptr;
    currentRecord = record;
    StoreRecord();
    ShowRecord();
    EXPECT_EQ(Shown(1), "");
    UpdateStatusLine();
    EXPECT_EQ(StatusText(), "No File!");
    hRecordFile = file;
    EXPECT_EQ(Stored(1), "Kept");
}

} // namespace
