// The open collection's record rules, driven as the window's commands drive them.
#include "test_files.h"

#include "field_catalogue.h"
#include "record_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using Command = std::function<bool(Collection&)>;

class CollectionTest : public ::testing::Test {
  protected:
    void Open(const std::vector<uint32_t>& statuses, const std::vector<std::string>& titles = {}) {
        MakeFile(path, statuses, titles);
        ASSERT_TRUE(OpenCollection(c, path.c_str()));
    }
    void TearDown() override { CloseCollection(c); }
    std::string Shown() {
        return TitleOf(c.hRecordFile, c.currentRecord) + " " + std::to_string(c.currentNumber) +
               "/" + std::to_string(c.recordCount);
    }
    void Run(const std::vector<std::tuple<Command, bool, std::string>>& steps) {
        int i = 0;
        for (const auto& [command, done, shown] : steps) {
            EXPECT_EQ(command(c), done) << "step " << i;
            EXPECT_EQ(Shown(), shown) << "step " << i++;
        }
    }
    static bool Next(Collection& c) { return GoToNextRecord(c), true; }
    static bool Previous(Collection& c) { return GoToPreviousRecord(c), true; }
    static bool Delete(Collection& c) { return DeleteShownRecord(c); }
    static Command GoTo(uint32_t n) { return std::bind(GoToRecord, std::placeholders::_1, n); }
    TempDir dir;
    std::string path = dir.File("c.ktl");
    Collection c;
};

// clang-format off
TEST_F(CollectionTest, MovingStopsAtTheEndsRenamingCountsOnlyANewNameAndOpeningFailsCleanly) {
    Open({10, 5, 10, 0, 10, 0, 0, 0, 0, 0});
    EXPECT_EQ(Shown(), "R0 1/3");
    Run({{Previous, true, "R0 1/3"}, {Next, true, "R2 2/3"}, {Next, true, "R4 3/3"}, {Next, true, "R4 3/3"},
         {GoTo(0), false, "R4 3/3"}, {GoTo(4), false, "R4 3/3"}, {GoTo(1), true, "R0 1/3"}});
    EXPECT_FALSE(RenameCollection(c, "Test") || HasUnsavedChanges(c)); // the same name
    // A name is cut to its 300-byte block, and a shorter one leaves nothing of the longer.
    char name[COLLECTION_NAME_SIZE + 1];
    EXPECT_TRUE(RenameCollection(c, std::string(400, 'n').c_str()) && ReadCollectionName(c.hRecordFile, name));
    EXPECT_EQ(name, std::string(300, 'n'));
    EXPECT_TRUE(RenameCollection(c, "Films") && ReadCollectionName(c.hRecordFile, name) && c.changesMade);
    EXPECT_STREQ(name, "Films");
    const char* reason = nullptr;
    EXPECT_FALSE(OpenCollection(c, dir.File("missing.ktl").c_str(), &reason));
    EXPECT_TRUE(reason && !c.hRecordFile);
    EXPECT_EQ(Shown(), " -1/0");
    EXPECT_TRUE(CreateCollection(c, path.c_str(), "New"));
    EXPECT_EQ(Shown(), " -1/0");
}

TEST_F(CollectionTest, DeleteShowsThePreviousRecordOrTheFirst) {
    Open({10, 10, 10, 10, 10, 0, 0, 0, 0, 0});
    Run({{GoTo(3), true, "R2 3/5"}, {Delete, true, "R1 2/4"}, {GoTo(3), true, "R3 3/4"}, {Delete, true, "R1 2/3"},
         {GoTo(3), true, "R4 3/3"}, {Delete, true, "R1 2/2"}, {GoTo(1), true, "R0 1/2"}, {Delete, true, "R1 1/1"},
         {Delete, true, " -1/0"}});
    EXPECT_TRUE(c.changesMade && !c.recordsAdded);
}

// An add or a copy counts as added, a sort as a change only when records move.
TEST_F(CollectionTest, AddCopyAndSortMarkWhatIsUnsaved) {
    Open({10, 5, 10, 10, 10, 0, 0, 0, 0, 0}, {"delta", "", "Alpha", "charlie", "Bravo"});
    EXPECT_TRUE(SortCollection(c) && c.changesMade && !c.recordsAdded);
    EXPECT_EQ(Shown(), "Alpha 1/4");
    MarkSaved(c);
    EXPECT_FALSE(SortCollection(c) || HasUnsavedChanges(c)); // already in order: nothing moves
    EXPECT_TRUE(CopyShownRecord(c) >= 0 && c.recordsAdded && !c.changesMade);
    MarkSaved(c);
    EXPECT_FALSE(HasUnsavedChanges(c));
    EXPECT_TRUE(SortCollection(c)); // the copy moves up beside its original
    MarkSaved(c);
    EXPECT_FALSE(SortCollection(c) || HasUnsavedChanges(c)); // equal neighbours are in order
    ASSERT_GE(AddBlankRecord(c, KIND_BOOK), 0); // the other blank values are the CLI model's
    EXPECT_TRUE(ReadField(c.hRecordFile, c.currentRecord, KIND_FIELD).number == KIND_BOOK &&
                c.recordsAdded && !c.changesMade);
}
// clang-format on

// The record list's rows: the records of the status map, ordered by a column
// (ties in record order), the other way round on a second click, and found by
// the start of a title; the file is never written.
TEST(RecordRowsTest, OrderingMovesRowsOnlyAndTypingFindsATitle) {
    TempDir dir;
    std::string path = dir.File("rows.ktl");
    MakeFile(path, {10, 5, 10, 10, 11, 10, 0, 0, 0, 0},
             {"delta", "gone", "Alpha", "charlie", "used", "alpha"});
    RecordFile* file = OpenRecordFile(path.c_str());
    ASSERT_TRUE(file);
    const std::vector<std::tuple<int32_t, const char*, uint32_t>> fields = {
        {0, "Ames", 2}, {2, "", 7}, {3, "Ames", 1}, {5, "Birch", 3}};
    for (const auto& [slot, author, kind] : fields) {
        FieldValue value;
        std::strcpy(value.text, author);
        value.number = kind;
        WriteField(file, slot, AUTHOR_FIELD, value);
        WriteField(file, slot, KIND_FIELD, value);
    }
    const std::vector<uint8_t> before = ReadAll(path);
    RecordRows rows = ListRecords(file);
    auto ordinals = [&] {
        std::string text;
        for (int row = 0; row < static_cast<int>(rows.order.size()); ++row)
            text += std::to_string(RowOrdinal(rows, row));
        return text;
    };
    EXPECT_EQ(ordinals(), "1234");
    const std::vector<std::pair<int, std::string>> clicks = {
        {COLUMN_TITLE, "2431"}, {COLUMN_TITLE, "1342"},  {COLUMN_AUTHOR, "2134"},
        {COLUMN_KIND, "3124"},  {COLUMN_NUMBER, "1234"}, {COLUMN_NUMBER, "4321"}};
    for (const auto& [column, expected] : clicks) {
        EXPECT_TRUE(OrderRows(rows, column));
        EXPECT_EQ(ordinals(), expected) << "column " << column;
    }
    EXPECT_EQ(RowSlot(rows, 0), 5);
    EXPECT_EQ(RowOf(rows, 2), 2);
    const std::vector<std::tuple<int, const char*, int>> finds = {
        {0, "AL", 0}, {1, "al", 2}, {3, "ch", 1}, {0, "alphas", -1}};
    for (const auto& [start, text, row] : finds)
        EXPECT_EQ(FindTitleRow(rows, start, text), row) << text;
    EXPECT_EQ(ReadAll(path), before);
    CloseRecordFile(file);
}
