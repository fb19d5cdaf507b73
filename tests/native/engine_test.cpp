#include "record_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(RecordFileLayout, NewFileHasTheStandardLayoutByteForByte) {
    TempDir dir;
    std::string path = dir.File("new.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), std::string(400, 'n').c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->dataStart, 1434u);
    EXPECT_EQ(file->recordSize, 2386u);
    ReadCollectionName(file);
    EXPECT_EQ(std::string(textValue), std::string(300, 'n')); // cut to its block, no NUL
    WriteCollectionName(file, "Books");
    CloseRecordFile(file);

    std::vector<uint8_t> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 25294u);
    std::vector<uint8_t> expected(25294, 0);
    std::memcpy(expected.data(), "DATA0007Books", 13);
    for (auto [offset, word] :
         {std::pair{608, 1}, {674, 1}, {1276, 2}, {1278, 20}, {1280, 10}, {1282, 10}})
        PutWord(expected, static_cast<size_t>(offset), static_cast<uint32_t>(word));
    const uint32_t offsets[20] = {1436, 1736, 2036, 2100, 2164, 2228, 2292, 2592, 2596, 2600,
                                  2604, 2668, 2672, 2676, 2680, 2684, 2688, 2752, 3752, 3816};
    for (uint32_t f = 0; f < 20; ++f) {
        PutWord(expected, 1354 + 4 * f, standardFieldTypes[f]);
        PutWord(expected, 1356 + 4 * f, offsets[f]);
    }
    EXPECT_EQ(bytes, expected);
}

TEST(RecordFileFields, ValuesAreCutToWidthPaddedWithZerosAndBadArgumentsWriteNothing) {
    TempDir dir;
    std::string path = dir.File("fields.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), "Books");
    int32_t slot = AddRecord(file);
    std::string seventy(70, 's');
    SetText(seventy);
    EXPECT_EQ(WriteField(file, slot, 3), 12u);
    EXPECT_EQ(ReadField(file, slot, 3), 12u);
    EXPECT_EQ(std::string(textValue), seventy.substr(0, 64));
    SetText(std::string(250, 'L'));
    WriteField(file, slot, 1);
    SetText("short");
    WriteField(file, slot, 1);
    numberValue = 0xDEADBEEF;
    EXPECT_EQ(WriteField(file, slot, 10), 2u);
    EXPECT_EQ(numberValue, 0u);

    std::vector<uint8_t> before = ReadAll(path);
    EXPECT_EQ(std::string(before.begin() + 2036, before.begin() + 2100), seventy.substr(0, 64));
    std::vector<uint8_t> title(before.begin() + 1436, before.begin() + 1736);
    std::vector<uint8_t> expectedTitle(300, 0);
    std::memcpy(expectedTitle.data(), "short", 5); // nothing of the longer value stays
    EXPECT_EQ(title, expectedTitle);
    EXPECT_EQ(WordAt(before, 2600), 0xBEEFu);

    SetText("changed");
    for (auto [s, f] : {std::pair{0, 0u}, {0, 21u}, {-1, 1u}, {10, 1u}})
        EXPECT_EQ(WriteField(file, s, f), 0u);
    EXPECT_EQ(WriteField(nullptr, 0, 1), 0u);
    EXPECT_EQ(AddRecord(nullptr), -1);
    EXPECT_EQ(DeleteRecord(nullptr, 0), 0);
    EXPECT_EQ(NextRecord(nullptr, 3), 3);
    EXPECT_EQ(PreviousRecord(nullptr, 3), 3);
    EXPECT_EQ(RecordOrdinal(nullptr, 0), -1);
    EXPECT_EQ(NthRecord(nullptr, 1), -1);
    CloseRecordFile(file);
    EXPECT_EQ(ReadAll(path), before);
}

TEST(SlotArea, GrowsByTenWhenFewSlotsAreFreeOrNinetyPercentAreUsed) {
    TempDir dir;
    std::string path = dir.File("grow.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), "Books");
    EXPECT_EQ(AddRecord(file), 0);
    EXPECT_EQ(file->slotCount, 10u);
    EXPECT_EQ(AddRecord(file), 1); // 1 used, 9 free: grow first
    EXPECT_EQ(ReadAll(path).size(), 49154u);
    while (CountUsedSlots(file) < 11) AddRecord(file);
    EXPECT_EQ(file->slotCount, 20u);
    AddRecord(file);
    EXPECT_EQ(file->slotCount, 30u);
    CloseRecordFile(file);
    EXPECT_EQ(WordAt(ReadAll(path), SLOT_COUNT_OFFSET), 30u);

    std::vector<uint32_t> statuses(200, SLOT_EMPTY);
    std::fill(statuses.begin(), statuses.begin() + 182, SLOT_IN_USE); // 91 percent
    MakeFile(path, statuses);
    file = OpenOrFail(path);
    EXPECT_EQ(AddRecord(file), 182);
    EXPECT_EQ(file->slotCount, 210u);
    CloseRecordFile(file);
    EXPECT_EQ(ReadAll(path).size(), SlotStart(210));
}

TEST(SlotArea, CompactsAndShrinksOnlyAboveFiftySlotsBelowSeventyPercent) {
    TempDir dir;
    std::string path = dir.File("shrink.ktl");
    std::vector<uint32_t> statuses(60, SLOT_DELETED); // 41 records, 68 percent
    for (int i = 0; i < 41; ++i) statuses[static_cast<size_t>(i) + (i > 20 ? 19 : 0)] = SLOT_IN_USE;
    MakeFile(path, statuses);
    RecordFile* file = OpenOrFail(path);
    EXPECT_EQ(AddRecord(file), 41);
    EXPECT_EQ(file->slotCount, 50u);
    EXPECT_EQ(TitleOf(file, 20) + TitleOf(file, 21) + TitleOf(file, 40), "R20R40R59");
    CloseRecordFile(file);
    EXPECT_EQ(ReadAll(path).size(), SlotStart(50));

    statuses.assign(50, SLOT_EMPTY); // 50 is not above 50: nothing moves
    for (size_t s = 0; s < 50; s += 5) statuses[s] = SLOT_IN_USE;
    MakeFile(path, statuses);
    file = OpenOrFail(path);
    EXPECT_EQ(AddRecord(file), 1);
    EXPECT_EQ(file->slotCount, 50u);
    EXPECT_EQ(TitleOf(file, 45), "R45");
    CloseRecordFile(file);
}

TEST(SlotArea, CompactionMovesWholeSlotsAndLeavesMovedBytesBehind) {
    TempDir dir;
    std::string path = dir.File("compact.ktl");
    std::vector<uint32_t> statuses(10, SLOT_EMPTY);
    statuses[0] = statuses[3] = SLOT_IN_USE;
    statuses[1] = statuses[2] = SLOT_DELETED;
    MakeFile(path, statuses);
    std::vector<uint8_t> before = ReadAll(path);
    RecordFile* file = OpenOrFail(path);
    EXPECT_EQ(CompactSlots(file), 1);
    CloseRecordFile(file);
    auto slot = [](const std::vector<uint8_t>& bytes, int s) {
        return std::vector<uint8_t>(bytes.begin() + static_cast<long>(SlotStart(s)),
                                    bytes.begin() + static_cast<long>(SlotStart(s + 1)));
    };
    std::vector<uint8_t> after = ReadAll(path);
    std::vector<uint8_t> movedAway = slot(before, 3);
    PutWord(movedAway, 0, SLOT_DELETED);
    EXPECT_EQ(slot(after, 0), slot(before, 0));
    EXPECT_EQ(slot(after, 1), slot(before, 3));
    EXPECT_EQ(slot(after, 2), movedAway);
    EXPECT_EQ(slot(after, 3), movedAway);
    EXPECT_EQ(slot(after, 4), slot(before, 4));
}

TEST(Records, DeleteNavigationAndOrdinalsCountOnlyRecords) {
    TempDir dir;
    std::string path = dir.File("navigate.ktl");
    MakeFile(path, {SLOT_IN_USE, SLOT_IN_USE, SLOT_DELETED, SLOT_IN_USE, SLOT_IN_USE, SLOT_EMPTY,
                    SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY});
    RecordFile* file = OpenOrFail(path);
    std::vector<uint8_t> before = ReadAll(path);
    EXPECT_EQ(DeleteRecord(file, 3), 1);
    PutWord(before, SlotStart(3), SLOT_DELETED); // only the status word changes
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(CountRecords(file), 3u);
    EXPECT_EQ(PreviousRecord(file, 4), 1);
    EXPECT_EQ(NextRecord(file, 1), 4);
    EXPECT_EQ(NextRecord(file, 4), 4);
    EXPECT_EQ(PreviousRecord(file, 0), 0);
    EXPECT_EQ(RecordOrdinal(file, 4), 3);
    EXPECT_EQ(RecordOrdinal(file, 2), -1);
    EXPECT_EQ(NthRecord(file, 0), -1);
    EXPECT_EQ(NthRecord(file, 3), 4);
    EXPECT_EQ(NthRecord(file, 4), -1);
    // 3 used of 10 leaves 7 free: grow, then the lowest free slot keeps its old bytes.
    EXPECT_EQ(AddRecord(file), 2);
    EXPECT_EQ(TitleOf(file, 2), "R2");
    CloseRecordFile(file);
}

TEST(SlotArea, SlotCountNeverPassesTheLimit) {
    TempDir dir;
    std::string path = dir.File("full.ktl");
    RecordFile* file = CreateRecordFile(path.c_str(), 1); // 6-byte slots keep the file small
    DefineField(file, 1, FIELD_NUM4);
    LayOutFields(file);
    CloseRecordFile(file);
    std::vector<uint8_t> bytes = ReadAll(path);
    const uint32_t slots = MAX_SLOT_COUNT - 10;
    bytes.resize(1358 + 6 * slots, 0);
    PutWord(bytes, SLOT_COUNT_OFFSET, slots);
    for (uint32_t s = 0; s < slots; ++s) PutWord(bytes, 1358 + 6 * s, SLOT_IN_USE);
    WriteAll(path, bytes);

    file = OpenOrFail(path);
    EXPECT_EQ(AddRecord(file), static_cast<int32_t>(slots));
    for (int i = 0; i < 9; ++i) AddRecord(file);
    EXPECT_EQ(AddRecord(file), -1);
    EXPECT_EQ(file->slotCount, MAX_SLOT_COUNT);
    CloseRecordFile(file);
    bytes = ReadAll(path);
    EXPECT_EQ(WordAt(bytes, SLOT_COUNT_OFFSET), MAX_SLOT_COUNT);
    EXPECT_EQ(bytes.size(), 1358u + 6u * MAX_SLOT_COUNT);
}

} // namespace
