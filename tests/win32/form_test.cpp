// The record on the form: every field through the real controls and back.
#include "test_main_window.h"

#include "collection.h"
#include "field_catalogue.h"
#include "main_form.h"
#include "record_file.h"
#include "record_form.h"
#include "resource.h"

#include <commctrl.h>
#include <cstring>
#include <tuple>
#include <vector>

namespace {

class FormTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(CreateCollection(program.collection, path.c_str(), "Test"));
        AddBlankRecord(program.collection, KIND_MOVIE);
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        DeleteFileA(path.c_str());
    }
    bool IsNumber(uint32_t field) { return fieldCatalogue[field].type < 10; }
    // What the form shows for a field: a list's selected index (-1 for none),
    // the checked kind button with the label of field 2, or a control's text.
    std::string Shown(uint32_t field) {
        auto checked = [&](int kind) {
            return SendMessageA(Toolbar(program.window), TB_ISBUTTONCHECKED, kind, 0) > 0;
        };
        int id = FIRST_FIELD_CONTROL + int(field);
        if (field == KIND_FIELD)
            return (checked(IDT_BOOK)    ? "Book "
                    : checked(IDT_MOVIE) ? "Movie "
                                         : "") +
                   ControlText(program.window, 200);
        if (fieldCatalogue[field].holding == HELD_LIST)
            return std::to_string(SendDlgItemMessageA(program.window, id, CB_GETCURSEL, 0, 0));
        char text[1200] = "";
        GetDlgItemTextA(program.window, id, text, sizeof text);
        return text;
    }
    // A field of the shown record, numbers in decimal.
    void Store(uint32_t field, const std::string& value) {
        numberValue = uint32_t(std::stoul(IsNumber(field) ? value : "0"));
        std::strcpy(textValue, value.c_str());
        WriteField(program.collection.hRecordFile, program.collection.currentRecord, field);
    }
    std::string Stored(uint32_t field) {
        ReadField(program.collection.hRecordFile, program.collection.currentRecord, field);
        return IsNumber(field) ? std::to_string(numberValue) : textValue;
    }
    void Show() { ShowRecord(program.window, program.collection); }
    struct Row {
        uint32_t field;
        std::string stored, shown = "", storedBack = ""; // empty: as stored
    };
    // Stores each row's value, shows the record, overwrites the record, and stores the form back.
    void RoundTrip(const std::vector<Row>& rows) {
        for (const Row& row : rows) Store(row.field, row.stored);
        Show();
        for (const Row& row : rows) {
            EXPECT_EQ(Shown(row.field), row.shown.empty() ? row.stored : row.shown) << row.field;
            Store(row.field, IsNumber(row.field) ? "77" : "changed");
        }
        StoreRecord(program.window, program.collection);
        for (const Row& row : rows)
            EXPECT_EQ(Stored(row.field), row.storedBack.empty() ? row.stored : row.storedBack)
                << row.field;
    }
    const std::string path = TempPath("form.ktl");
};

// clang-format off
TEST_F(FormTest, ShowRecordAndStoreRecordCarryEveryField) {
    RoundTrip({{1, "Dune"}, {2, "Frank Herbert"}, {3, "Science fiction"}, {4, "01/08/1965"}, {5, "0441"},
               {6, "12/05/2026"}, {7, "Dune Chronicles"}, {8, "1"}, {9, "412"}, {10, "1234", "12.34"},
               {11, "813.54"}, {12, "0"}, {13, "2"}, {14, "4"}, {15, "5"}, {16, "8"}, {17, "Shelf A"},
               {18, "First line\r\nsecond line"}, {19, "C:\\Books\\dune.pdf"}, {20, "1", "Book Author"}});
    // Indexes outside a list show no selection and come back as -1; every
    // kind but Book shows as Movie and comes back as Movie.
    const std::string none = "4294967295";
    RoundTrip({{12, "4"}, {13, "5", "-1", none}, {14, none, "-1"}, {16, "9", "-1", none}});
    for (const char* kind : {"2", "0", "7"}) RoundTrip({{20, kind, "Movie Lead", "3"}});
}

TEST_F(FormTest, TypedValuesAreCutAndConvertedAndTheBlankFormStoresTheDefaults) {
    const std::tuple<uint32_t, std::string, std::string, std::string> cases[] = {
        // field, typed, stored, shown again; a control is read with 999 characters at most
        {3, std::string(70, 's'), std::string(64, 's'), std::string(64, 's')},
        {1, std::string(310, 't'), std::string(300, 't'), std::string(300, 't')},
        {18, std::string(1200, 'c'), std::string(999, 'c'), std::string(999, 'c')},
        {10, "12.5", "1250", "12.50"}, {10, "12.345", "1234", "12.34"}, {10, "abc", "0", "0.00"},
        {8, "abc", "0", "0"}, {9, "4294967295", "4294967295", "4294967295"}};
    for (const auto& [field, typed, stored, shown] : cases) {
        Show();
        SetDlgItemTextA(program.window, FIRST_FIELD_CONTROL + int(field), typed.c_str());
        StoreRecord(program.window, program.collection);
        EXPECT_EQ(Stored(field), stored) << typed;
        Show();
        EXPECT_EQ(Shown(field), shown) << typed;
    }
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field) Store(field, IsNumber(field) ? "8" : "old");
    ClearRecordForm(program.window); // the kind and its labels stay as they were
    EXPECT_EQ(Shown(4) + Shown(12) + Shown(16) + Shown(KIND_FIELD), "10Movie Lead");
    StoreRecord(program.window, program.collection);
    std::string stored;
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field) stored += Stored(field) + "|";
    EXPECT_EQ(stored, "|||||||0|0|0||1|1|1|0|0||||3|");
}
// clang-format on

TEST_F(FormTest, WithoutARecordNothingIsShownOrStored) {
    Collection none = program.collection;
    none.currentRecord = -1;
    Store(1, "Kept");
    SetDlgItemTextA(program.window, 101, "Typed");
    ShowRecord(program.window, none);
    EXPECT_EQ(Shown(1), "");
    SetDlgItemTextA(program.window, 101, "Typed");
    StoreRecord(program.window, none);
    EXPECT_EQ(Stored(1), "Kept");
    none.hRecordFile = nullptr;
    UpdateStatusLine(program.window, none);
    EXPECT_EQ(StatusText(program.window), "No File!");
    UpdateStatusLine(program.window, program.collection);
    EXPECT_EQ(StatusText(program.window), "Record 1 of 1");
}

} // namespace
