// The open collection's record rules, driven as the window's commands drive them.
#include "test_files.h"

#include "field_catalogue.h"

#include <gtest/gtest.h>

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
    ASSERT_GE(AddBlankRecord(c, KIND_BOOK), 0); // the other blank values are the CLI model's
    EXPECT_TRUE(ReadField(c.hRecordFile, c.currentRecord, KIND_FIELD).number == KIND_BOOK &&
                c.recordsAdded && !c.changesMade);
}
// clang-format on
