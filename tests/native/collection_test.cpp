// The record rules of the open collection, driven as the window's commands
// drive them.
#include "test_files.h"

#include "field_catalogue.h"
#include "file_io.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class CollectionTest : public ::testing::Test {
  protected:
    void Open(const std::vector<uint32_t>& statuses, const std::vector<std::string>& titles = {}) {
        MakeFile(path, statuses, titles);
        ASSERT_TRUE(OpenCollection(c, path.c_str()));
    }
    void TearDown() override { CloseCollection(c); }
    // The shown record's title, its ordinal and the record count.
    std::string Shown() {
        return TitleOf(c.hRecordFile, c.currentRecord) + " " + std::to_string(c.currentNumber) +
               "/" + std::to_string(c.recordCount);
    }
    struct Step {
        std::function<bool(Collection&)> command;
        bool done;
        std::string shown;
    };
    void Run(const std::vector<Step>& steps) {
        for (size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(steps[i].command(c), steps[i].done) << "step " << i;
            EXPECT_EQ(Shown(), steps[i].shown) << "step " << i;
        }
    }
    TempDir dir;
    std::string path = dir.File("c.ktl");
    Collection c;
};

// clang-format off
bool Next(Collection& c) { return GoToNextRecord(c), true; }
bool Previous(Collection& c) { return GoToPreviousRecord(c), true; }
// clang-format on
std::function<bool(Collection&)> GoTo(uint32_t n) {
    return [n](Collection& c) { return GoToRecord(c, n); };
}
std::function<bool(Collection&)> Find(SearchDirection direction) {
    return [direction](Collection& c) { return FindMatch(c, direction); };
}

// clang-format off
TEST_F(CollectionTest, MovingStopsAtTheEndsRenamingCountsOnlyANewNameAndOpeningFailsCleanly) {
    Open({10, 5, 10, 0, 10, 0, 0, 0, 0, 0});
    EXPECT_EQ(Shown(), "R0 1/3");
    Run({{Previous, true, "R0 1/3"}, {Next, true, "R2 2/3"}, {Next, true, "R4 3/3"}, {Next, true, "R4 3/3"},
         {GoTo(0), false, "R4 3/3"}, {GoTo(4), false, "R4 3/3"}, {GoTo(1), true, "R0 1/3"}});
    EXPECT_FALSE(RenameCollection(c, "Test") || HasUnsavedChanges(c)); // the same name
    EXPECT_TRUE(RenameCollection(c, "Films") && c.changesMade);
    const char* reason = nullptr;
    EXPECT_FALSE(OpenCollection(c, dir.File("missing.ktl").c_str(), &reason));
    EXPECT_TRUE(reason && !c.hRecordFile);
    EXPECT_EQ(Shown(), " -1/0");
    EXPECT_TRUE(CreateCollection(c, path.c_str(), "New"));
    EXPECT_EQ(Shown(), " -1/0");
}

TEST_F(CollectionTest, DeleteShowsThePreviousRecordOrTheFirst) {
    Open({10, 10, 10, 10, 10, 0, 0, 0, 0, 0});
    auto remove = [](Collection& c) { return DeleteShownRecord(c); };
    Run({{GoTo(3), true, "R2 3/5"}, {remove, true, "R1 2/4"}, {GoTo(3), true, "R3 3/4"}, {remove, true, "R1 2/3"},
         {GoTo(3), true, "R4 3/3"}, {remove, true, "R1 2/2"}, {GoTo(1), true, "R0 1/2"}, {remove, true, "R1 1/1"},
         {remove, true, " -1/0"}});
    EXPECT_TRUE(c.changesMade && !c.recordsAdded);
}

TEST_F(CollectionTest, AddAndCopyShowTheNewRecordAndCopyTheOneShownEvenAfterCompaction) {
    // 41 of 60 slots used: the add compacts the slots and shrinks them to 50.
    std::vector<uint32_t> statuses(60, SLOT_IN_USE);
    std::fill(statuses.begin() + 21, statuses.begin() + 40, SLOT_DELETED);
    Open(statuses);
    auto copy = [](Collection& c) { return CopyShownRecord(c) >= 0; };
    Run({{GoTo(30), true, "R48 30/41"}, {copy, true, "R48 42/42"}, {GoTo(2), true, "R1 2/42"}});
    EXPECT_EQ(c.hRecordFile->slotCount, 50u);
    EXPECT_TRUE(c.recordsAdded && !c.changesMade);
    // A free slot in front of the shown record takes the copy.
    Open({10, 5, 10, 0, 0, 0, 0, 0, 0, 0}, {"A", "Gone", "B"});
    Run({{GoTo(2), true, "B 2/2"}, {copy, true, "B 2/3"}, {GoTo(3), true, "B 3/3"}, {GoTo(1), true, "A 1/3"}});
    MarkSaved(c);
    ASSERT_GE(AddBlankRecord(c, KIND_BOOK), 0); // the blank values are the model test's
    ReadField(c.hRecordFile, c.currentRecord, KIND_FIELD);
    EXPECT_EQ(std::to_string(c.currentNumber) + " " + std::to_string(numberValue), "4 1");
    EXPECT_TRUE(c.recordsAdded);
    MarkSaved(c);
    EXPECT_FALSE(HasUnsavedChanges(c));
}

TEST_F(CollectionTest, SortOrdersByTheSortFieldAndSearchStepsBothWays) {
    Open({10, 5, 10, 10, 10, 0, 0, 0, 0, 0}, {"delta rock", "", "Alpha", "charlie", "Rock bravo"});
    EXPECT_TRUE(SortCollection(c) && c.changesMade);
    EXPECT_EQ(Shown(), "Alpha 1/4");
    MarkSaved(c);
    EXPECT_FALSE(SortCollection(c) || c.changesMade); // already in order: nothing moves
    SetSearchText("ROCK");
    Run({{Find(SEARCH_FIRST), true, "Rock bravo 2/4"}, {Find(SEARCH_FORWARD), true, "delta rock 4/4"},
         {Find(SEARCH_FORWARD), false, "delta rock 4/4"}, {Find(SEARCH_BACKWARD), true, "Rock bravo 2/4"},
         {Find(SEARCH_BACKWARD), false, "Rock bravo 2/4"}});
}

int failingCall, calls; // the file call of a save that fails, and the calls so far
bool FailOneCall(IoCall) { return ++calls == failingCall; }

TEST_F(CollectionTest, SaveReplacesTheTargetWholeOrLeavesItAsItWas) {
    Open({10, 10, 0, 0, 0, 0, 0, 0, 0, 0});
    std::string target = dir.File("user.ktl");
    WriteAll(target, {'o', 'l', 'd'});
    DeleteShownRecord(c);
    for (failingCall = 1; failingCall < 20; ++failingCall) {
        calls = 0;
        ioFaultHook = FailOneCall;
        bool saved = SaveCollectionAs(c, target.c_str());
        ioFaultHook = nullptr;
        EXPECT_FALSE(std::ifstream(target + ".saving")) << failingCall;
        if (saved) break;
        EXPECT_EQ(ReadAll(target), std::vector<uint8_t>({'o', 'l', 'd'})) << failingCall;
        EXPECT_TRUE(HasUnsavedChanges(c)) << failingCall;
    }
    EXPECT_EQ(failingCall, 6); // create, read, write, flush and replace each failed once
    EXPECT_EQ(ReadAll(target), ReadAll(path));
    EXPECT_FALSE(HasUnsavedChanges(c));
}
// clang-format on

} // namespace
