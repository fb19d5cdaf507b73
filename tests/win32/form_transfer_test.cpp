#include "form_test_window.h"

#include "field_catalogue.h"
#include "record_file.h"
#include "record_form.h"
#include "resource.h"
#include "text_routines.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ControlText(int id) {
    char text[1200] = "";
    GetDlgItemTextA(hMainWnd, id, text, sizeof(text));
    return text;
}

void SetControlText(int id, const std::string& text) {
    SetDlgItemTextA(hMainWnd, id, text.c_str());
}

LRESULT Selection(int id) {
    return SendDlgItemMessageA(hMainWnd, id, CB_GETCURSEL, 0, 0);
}

bool IsChecked(int command) {
    return SendMessageA(hToolbar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(command), 0) > 0;
}

std::string StatusLine() {
    char text[100] = "";
    SendMessageA(hStatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

void ExpectLabels(const char* const* labels) {
    for (int i = 0; i < KIND_LABEL_COUNT; ++i)
        EXPECT_EQ(ControlText(FIRST_KIND_LABEL_ID + i), labels[i]) << FIRST_KIND_LABEL_ID + i;
}

// The form over a new standard record file holding one record, shown as the
// current record.
class FormTransferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "qbf", 0, path);
        hRecordFile = CreateStandardRecordFile(path, "Test");
        ASSERT_NE(hRecordFile, nullptr);
        currentRecord = AddRecord(hRecordFile);
        ASSERT_GE(currentRecord, 0);
        currentNumber = 1;
        recordCount = 1;
    }
    void TearDown() override {
        CloseRecordFile(hRecordFile);
        hRecordFile = nullptr;
        currentRecord = -1;
        currentNumber = -1;
        recordCount = 0;
        DeleteFileA(path);
    }

    static void SetNumber(uint32_t field, uint32_t value) {
        numberValue = value;
        WriteField(hRecordFile, currentRecord, field);
    }
    static void SetText(uint32_t field, const std::string& text) {
        CopyText(text.c_str(), textValue);
        WriteField(hRecordFile, currentRecord, field);
    }
    static uint32_t Number(uint32_t field) {
        ReadField(hRecordFile, currentRecord, field);
        return numberValue;
    }
    static std::string Text(uint32_t field) {
        ReadField(hRecordFile, currentRecord, field);
        return textValue;
    }

    FormWindow form;
    char path[MAX_PATH] = "";
};

TEST_F(FormTransferTest, ShowRecordFillsEveryControlAndStoreRecordWritesThemBack) {
    const char* texts[] = {nullptr,      "Dune", "Frank Herbert", "Science fiction",
                           "01/08/1965", "0441", "12/05/2026",    "Dune Chronicles"};
    for (uint32_t field = 1; field <= 7; ++field) SetText(field, texts[field]);
    SetNumber(8, 1);
    SetNumber(9, 412);
    SetNumber(10, 1234);
    SetText(11, "813.54");
    SetNumber(12, 0);
    SetNumber(13, 2);
    SetNumber(14, 4);
    SetNumber(15, 5);
    SetNumber(16, 3);
    SetText(17, "Shelf A");
    SetText(18, "First line\r\nsecond line");
    SetText(19, "C:\\Books\\dune.pdf");
    SetNumber(20, KIND_BOOK);

    ShowRecord();
    for (uint32_t field = 1; field <= 7; ++field) EXPECT_EQ(ControlText(100 + field), texts[field]);
    EXPECT_EQ(ControlText(108), "1");
    EXPECT_EQ(ControlText(109), "412");
    EXPECT_EQ(ControlText(110), "12.34");
    EXPECT_EQ(ControlText(111), "813.54");
    EXPECT_EQ(Selection(112), 0);
    EXPECT_EQ(Selection(113), 2);
    EXPECT_EQ(Selection(114), 4);
    EXPECT_EQ(ControlText(115), "5");
    EXPECT_EQ(Selection(116), 3);
    EXPECT_EQ(ControlText(117), "Shelf A");
    EXPECT_EQ(ControlText(118), "First line\r\nsecond line");
    EXPECT_EQ(ControlText(119), "C:\\Books\\dune.pdf");
    ExpectLabels(bookLabelSet);
    EXPECT_TRUE(IsChecked(IDT_BOOK));
    EXPECT_FALSE(IsChecked(IDT_MOVIE));

    // Overwrite the record, then store the form: every field comes back.
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field) {
        if (IsNumberField(standardFieldTypes[field - 1]))
            SetNumber(field, 77);
        else
            SetText(field, "changed");
    }
    StoreRecord();
    for (uint32_t field = 1; field <= 7; ++field) EXPECT_EQ(Text(field), texts[field]) << field;
    EXPECT_EQ(Number(8), 1u);
    EXPECT_EQ(Number(9), 412u);
    EXPECT_EQ(Number(10), 1234u);
    EXPECT_EQ(Text(11), "813.54");
    EXPECT_EQ(Number(12), 0u);
    EXPECT_EQ(Number(13), 2u);
    EXPECT_EQ(Number(14), 4u);
    EXPECT_EQ(Number(15), 5u);
    EXPECT_EQ(Number(16), 3u);
    EXPECT_EQ(Text(17), "Shelf A");
    EXPECT_EQ(Text(18), "First line\r\nsecond line");
    EXPECT_EQ(Text(19), "C:\\Books\\dune.pdf");
    EXPECT_EQ(Number(20), KIND_BOOK);
}

TEST_F(FormTransferTest, TextsAreCutToTheirFieldWidth) {
    ShowRecord();
    SetControlText(103, std::string(70, 's'));
    SetControlText(101, std::string(310, 't'));
    SetControlText(118, std::string(1200, 'c'));
    StoreRecord();
    EXPECT_EQ(Text(3), std::string(64, 's'));
    EXPECT_EQ(Text(1), std::string(300, 't'));
    // A control is read with at most 999 characters.
    EXPECT_EQ(Text(18), std::string(999, 'c'));

    ShowRecord();
    EXPECT_EQ(ControlText(103), std::string(64, 's'));
    EXPECT_EQ(ControlText(101), std::string(300, 't'));
    EXPECT_EQ(ControlText(118), std::string(999, 'c'));
}

TEST_F(FormTransferTest, PricesAreStoredAsHundredthsAndShownWithTwoDecimals) {
    struct Case {
        const char* typed;
        uint32_t stored;
        const char* shown;
    };
    const Case cases[] = {
        {"12.34", 1234, "12.34"}, {"12.5", 1250, "12.50"}, {"12.345", 1234, "12.34"},
        {".75", 75, "0.75"},      {"", 0, "0.00"},         {"7", 700, "7.00"},
        {"0.05", 5, "0.05"},      {"12.", 1200, "12.00"},  {"abc", 0, "0.00"},
    };
    for (const Case& c : cases) {
        ShowRecord();
        SetControlText(110, c.typed);
        StoreRecord();
        EXPECT_EQ(Number(10), c.stored) << c.typed;
        ShowRecord();
        EXPECT_EQ(ControlText(110), c.shown) << c.typed;
    }
}

TEST_F(FormTransferTest, NumberBoxesStoreUnsignedNumbersAndZeroForOtherText) {
    ShowRecord();
    SetControlText(108, "abc");
    SetControlText(109, "4294967295");
    SetControlText(115, "42");
    StoreRecord();
    EXPECT_EQ(Number(8), 0u);
    EXPECT_EQ(Number(9), 4294967295u);
    EXPECT_EQ(Number(15), 42u);
    ShowRecord();
    EXPECT_EQ(ControlText(108), "0");
    EXPECT_EQ(ControlText(109), "4294967295");
    EXPECT_EQ(ControlText(115), "42");
}

TEST_F(FormTransferTest, ListIndexesOutsideTheListShowNoSelectionAndStoreMinusOne) {
    SetNumber(12, 4);
    SetNumber(13, 5);
    SetNumber(14, 0xFFFFFFFF);
    SetNumber(16, 9);
    ShowRecord();
    EXPECT_EQ(Selection(112), 4);
    EXPECT_EQ(Selection(113), CB_ERR);
    EXPECT_EQ(Selection(114), CB_ERR);
    EXPECT_EQ(Selection(116), CB_ERR);
    StoreRecord();
    EXPECT_EQ(Number(12), 4u);
    EXPECT_EQ(Number(13), 0xFFFFFFFFu);
    EXPECT_EQ(Number(14), 0xFFFFFFFFu);
    EXPECT_EQ(Number(16), 0xFFFFFFFFu);
}

TEST_F(FormTransferTest, EveryKindButBookShowsTheMovieLabelsAndIsStoredAsMovie) {
    for (uint32_t kind : {2u, 0u, 7u}) {
        SetNumber(20, KIND_BOOK);
        ShowRecord();
        ASSERT_TRUE(IsChecked(IDT_BOOK));

        SetNumber(20, kind);
        ShowRecord();
        ExpectLabels(movieLabelSet);
        EXPECT_TRUE(IsChecked(IDT_MOVIE)) << kind;
        EXPECT_FALSE(IsChecked(IDT_BOOK)) << kind;
        StoreRecord();
        EXPECT_EQ(Number(20), KIND_MOVIE) << kind;
    }
    SetNumber(20, KIND_BOOK);
    ShowRecord();
    ExpectLabels(bookLabelSet);
    StoreRecord();
    EXPECT_EQ(Number(20), KIND_BOOK);
}

TEST_F(FormTransferTest, TheBlankFormStoresTheDefaultsOfANewRecord) {
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field) {
        if (IsNumberField(standardFieldTypes[field - 1]))
            SetNumber(field, 8);
        else
            SetText(field, "old");
    }
    // No record has been shown since the form was built: neither kind button is checked.
    ClearRecordForm();
    EXPECT_EQ(ControlText(104), "");
    EXPECT_EQ(ControlText(106), "");
    EXPECT_EQ(Selection(112), 1);
    EXPECT_EQ(Selection(116), 0);
    StoreRecord();
    for (uint32_t field : {1, 2, 3, 4, 5, 6, 7, 11, 17, 18, 19})
        EXPECT_EQ(Text(field), "") << field;
    for (uint32_t field : {8, 9, 10, 15, 16}) EXPECT_EQ(Number(field), 0u) << field;
    for (uint32_t field : {12, 13, 14}) EXPECT_EQ(Number(field), 1u) << field;
    EXPECT_EQ(Number(20), KIND_MOVIE);
}

TEST_F(FormTransferTest, ClearingKeepsTheLabelsOfTheLastKind) {
    SetNumber(20, KIND_MOVIE);
    SetText(1, "Alien");
    ShowRecord();
    ClearRecordForm();
    EXPECT_EQ(ControlText(101), "");
    ExpectLabels(movieLabelSet);
    EXPECT_TRUE(IsChecked(IDT_MOVIE));
}

TEST_F(FormTransferTest, WithoutAShownRecordTheFormStaysClearAndNothingIsWritten) {
    SetText(1, "Kept");
    SetNumber(16, 5);
    currentRecord = -1;
    SetControlText(101, "Typed");
    ShowRecord();
    EXPECT_EQ(ControlText(101), "");
    EXPECT_EQ(Selection(116), 0);
    SetControlText(101, "Typed");
    StoreRecord();

    RecordFile* file = hRecordFile;
    hRecordFile = nullptr;
    currentRecord = 0;
    StoreRecord();
    ShowRecord();
    EXPECT_EQ(ControlText(101), "");

    hRecordFile = file;
    EXPECT_EQ(Text(1), "Kept");
    EXPECT_EQ(Number(16), 5u);
}

TEST_F(FormTransferTest, FieldsTheFileDoesNotHaveShowEmpty) {
    CloseRecordFile(hRecordFile);
    hRecordFile = CreateRecordFile(path, 1);
    ASSERT_NE(hRecordFile, nullptr);
    DefineField(hRecordFile, 1, FIELD_TEXT300);
    LayOutFields(hRecordFile);
    currentRecord = AddRecord(hRecordFile);
    SetText(1, "Only a title");
    ShowRecord();
    EXPECT_EQ(ControlText(101), "Only a title");
    for (int id : {102, 103, 104, 105, 106, 107, 111, 117, 118, 119})
        EXPECT_EQ(ControlText(id), "") << id;
    EXPECT_EQ(ControlText(108), "0");
    EXPECT_EQ(ControlText(110), "0.00");
    EXPECT_EQ(Selection(116), 0);
    ExpectLabels(movieLabelSet);
}

TEST_F(FormTransferTest, StatusLineFollowsTheFileState) {
    RecordFile* file = hRecordFile;
    hRecordFile = nullptr;
    UpdateStatusLine();
    EXPECT_EQ(StatusLine(), "No File!");
    hRecordFile = file;
    recordCount = 0;
    currentNumber = -1;
    UpdateStatusLine();
    EXPECT_EQ(StatusLine(), "No Records!");
    recordCount = 1;
    currentNumber = 1;
    UpdateStatusLine();
    EXPECT_EQ(StatusLine(), "Record 1 of 1");
    recordCount = 12;
    currentNumber = 3;
    UpdateStatusLine();
    EXPECT_EQ(StatusLine(), "Record 3 of 12");
}

} // namespace
