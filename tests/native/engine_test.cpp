#include "record_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const uint32_t standardOffsets[20] = {1436, 1736, 2036, 2100, 2164, 2228, 2292, 2592, 2596, 2600,
                                      2604, 2668, 2672, 2676, 2680, 2684, 2688, 2752, 3752, 3816};

TEST(RecordFileLayout, NewFileHasTheStandardLayoutByteForByte) {
    TempDir dir;
    std::string path = dir.File("new.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), "Books");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->fieldCount, 20u);
    EXPECT_EQ(file->dataStart, 1434u);
    EXPECT_EQ(file->recordSize, 2386u);
    EXPECT_EQ(file->slotCount, 10u);
    CloseRecordFile(file);

    std::vector<uint8_t> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 25294u);
    EXPECT_EQ(std::memcmp(bytes.data(), "DATA0007", 8), 0);
    EXPECT_EQ(std::memcmp(&bytes[8], "Books", 6), 0);
    std::vector<uint32_t> words;
    for (size_t offset : {608, 674, 1276, 1278, 1280, 1282}) words.push_back(WordAt(bytes, offset));
    EXPECT_EQ(words, (std::vector<uint32_t>{1, 1, 2, 20, 10, 10}));
    // Every other header byte is zero, the name's tail included.
    for (size_t offset = 14; offset < 1354; ++offset) {
        bool word = offset == 608 || offset == 609 || offset == 674 || offset == 675 ||
                    (offset >= 1276 && offset < 1284);
        if (!word) ASSERT_EQ(bytes[offset], 0) << "offset " << offset;
    }
    for (uint32_t f = 0; f < 20; ++f) {
        EXPECT_EQ(WordAt(bytes, 1354 + 4 * f), standardFieldTypes[f]) << "field " << f + 1;
        EXPECT_EQ(WordAt(bytes, 1356 + 4 * f), standardOffsets[f]) << "field " << f + 1;
    }
    for (size_t offset = 1434; offset < bytes.size(); ++offset) ASSERT_EQ(bytes[offset], 0);

    file = OpenOrFail(path);
    ASSERT_NE(file, nullptr);
    ReadCollectionName(file);
    EXPECT_STREQ(textValue, "Books");
    EXPECT_EQ(file->recordSize, 2386u);
    CloseRecordFile(file);
}

TEST(RecordFileLayout, CollectionNameIsCutToItsBlockAndPaddedWithZeros) {
    TempDir dir;
    std::string path = dir.File("name.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), std::string(400, 'n').c_str());
    ReadCollectionName(file);
    EXPECT_EQ(std::string(textValue), std::string(300, 'n'));
    WriteCollectionName(file, "Short");
    ReadCollectionName(file);
    EXPECT_STREQ(textValue, "Short");
    CloseRecordFile(file);
    std::vector<uint8_t> bytes = ReadAll(path);
    for (size_t offset = 8 + 5; offset < 308; ++offset) ASSERT_EQ(bytes[offset], 0);
}

TEST(RecordFileFields, TextValuesAreCutToWidthAndPaddedWithZeros) {
    TempDir dir;
    std::string path = dir.File("fields.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), "Books");
    int32_t slot = AddRecord(file);
    ASSERT_EQ(slot, 0);
    std::string seventy(70, 's');
    SetText(seventy);
    EXPECT_EQ(WriteField(file, slot, 3), 12u);
    EXPECT_EQ(textValue[0], '\0');
    EXPECT_EQ(ReadField(file, slot, 3), 12u);
    EXPECT_EQ(std::string(textValue), seventy.substr(0, 64));

    // A longer value then a shorter one: nothing of the first stays after the NUL.
    SetText(std::string(250, 'L'));
    WriteField(file, slot, 1);
    SetText("short");
    WriteField(file, slot, 1);
    numberValue = 0xDEADBEEF;
    EXPECT_EQ(WriteField(file, slot, 10), 2u);
    EXPECT_EQ(numberValue, 0u);
    CloseRecordFile(file);

    std::vector<uint8_t> bytes = ReadAll(path);
    EXPECT_EQ(std::string(bytes.begin() + 2036, bytes.begin() + 2100), seventy.substr(0, 64));
    EXPECT_EQ(std::memcmp(&bytes[1436], "short", 6), 0);
    for (size_t offset = 1436 + 6; offset < 1736; ++offset) ASSERT_EQ(bytes[offset], 0);
    EXPECT_EQ(bytes[2600], 0xEF);
    EXPECT_EQ(bytes[2603], 0xDE);
    EXPECT_EQ(WordAt(bytes, 1434), SLOT_IN_USE);
}

TEST(RecordFileFields, NullHandleAndFieldZeroLeaveTheFileAlone) {
    TempDir dir;
    std::string path = dir.File("null.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), "Books");
    AddRecord(file);
    std::vector<uint8_t> before = ReadAll(path);
    SetText("changed");
    EXPECT_EQ(WriteField(file, 0, 0), 0u);
    EXPECT_EQ(WriteField(file, 0, 21), 0u);
    EXPECT_EQ(WriteField(file, -1, 1), 0u);
    EXPECT_EQ(WriteField(file, 10, 1), 0u);
    EXPECT_EQ(ReadField(file, 0, 0), 0u);
    EXPECT_EQ(WriteField(nullptr, 0, 1), 0u);
    EXPECT_EQ(AddRecord(nullptr), -1);
    EXPECT_EQ(DeleteRecord(nullptr, 0), 0);
    EXPECT_EQ(CountRecords(nullptr), 0u);
    EXPECT_EQ(NextRecord(nullptr, 3), 3);
    EXPECT_EQ(PreviousRecord(nullptr, 3), 3);
    EXPECT_EQ(RecordOrdinal(nullptr, 0), -1);
    EXPECT_EQ(NthRecord(nullptr, 1), -1);
    EXPECT_EQ(ReadCollectionName(nullptr), 0);
    CloseRecordFile(file);
    EXPECT_EQ(ReadAll(path), before);
}

TEST(SlotArea, GrowsByTenWhenFewSlotsAreFreeOrNinetyPercentAreUsed) {
    TempDir dir;
    std::string path = dir.File("grow.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), "Books");
    EXPECT_EQ(AddRecord(file), 0);
    EXPECT_EQ(file->slotCount, 10u);
    EXPECT_EQ(AddRecord(file), 1);
    EXPECT_EQ(file->slotCount, 20u);
    EXPECT_EQ(ReadAll(path).size(), 49154u);
    EXPECT_EQ(WordAt(ReadAll(path), 1280), 20u);
    while (CountUsedSlots(file) < 11) AddRecord(file);
    EXPECT_EQ(file->slotCount, 20u);
    AddRecord(file);
    EXPECT_EQ(file->slotCount, 30u);
    CloseRecordFile(file);

    // 182 of 200 used is 91 percent: grow although 18 slots are free.
    std::vector<uint32_t> statuses(200, SLOT_EMPTY);
    std::fill(statuses.begin(), statuses.begin() + 182, SLOT_IN_USE);
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
    // 60 slots, 41 records spread out (68 percent): compact, shrink to 50, take slot 41.
    std::vector<uint32_t> statuses(60, SLOT_DELETED);
    for (int i = 0; i < 41; ++i) statuses[static_cast<size_t>(i) + (i > 20 ? 19 : 0)] = SLOT_IN_USE;
    MakeFile(path, statuses);
    RecordFile* file = OpenOrFail(path);
    EXPECT_EQ(AddRecord(file), 41);
    EXPECT_EQ(file->slotCount, 50u);
    EXPECT_EQ(CountRecords(file), 42u);
    EXPECT_EQ(TitleOf(file, 20), "R20");
    EXPECT_EQ(TitleOf(file, 21), "R40");
    EXPECT_EQ(TitleOf(file, 40), "R59");
    CloseRecordFile(file);
    EXPECT_EQ(ReadAll(path).size(), SlotStart(50));
    EXPECT_EQ(WordAt(ReadAll(path), 1280), 50u);

    // 50 slots with 10 used: 50 is not above 50, nothing moves.
    statuses.assign(50, SLOT_EMPTY);
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
    MakeFile(path, {SLOT_IN_USE, SLOT_DELETED, SLOT_DELETED, SLOT_IN_USE, SLOT_EMPTY, SLOT_EMPTY,
                    SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY});
    std::vector<uint8_t> before = ReadAll(path);
    RecordFile* file = OpenOrFail(path);
    EXPECT_EQ(CompactSlots(file), 1);
    CloseRecordFile(file);
    std::vector<uint8_t> after = ReadAll(path);
    auto slot = [](const std::vector<uint8_t>& bytes, int s) {
        return std::vector<uint8_t>(bytes.begin() + static_cast<long>(SlotStart(s)),
                                    bytes.begin() + static_cast<long>(SlotStart(s + 1)));
    };
    std::vector<uint8_t> b = slot(before, 3);
    EXPECT_EQ(slot(after, 0), slot(before, 0));
    EXPECT_EQ(slot(after, 1), b);
    std::vector<uint8_t> bDeleted = b;
    PutWord(bDeleted, 0, SLOT_DELETED);
    EXPECT_EQ(slot(after, 2), bDeleted);
    EXPECT_EQ(slot(after, 3), bDeleted);
    for (int s = 4; s < 10; ++s) EXPECT_EQ(slot(after, s), slot(before, s));
}

TEST(Records, DeleteChangesOnlyTheStatusWordAndAddReusesTheLowestFreeSlot) {
    TempDir dir;
    std::string path = dir.File("delete.ktl");
    MakeFile(path, std::vector<uint32_t>(10, SLOT_IN_USE));
    RecordFile* file = OpenOrFail(path);
    std::vector<uint8_t> before = ReadAll(path);
    EXPECT_EQ(DeleteRecord(file, 3), 1);
    std::vector<uint8_t> after = ReadAll(path);
    PutWord(before, SlotStart(3), SLOT_DELETED);
    EXPECT_EQ(after, before);
    EXPECT_EQ(CountRecords(file), 9u);
    EXPECT_EQ(CountUsedSlots(file), 9u);
    DeleteRecord(file, 7);
    // 8 used of 10 leaves 2 free: grow first, then the lowest free slot keeps its old bytes.
    EXPECT_EQ(AddRecord(file), 3);
    EXPECT_EQ(file->slotCount, 20u);
    EXPECT_EQ(TitleOf(file, 3), "R3");
    CloseRecordFile(file);
}

TEST(Records, NavigationAndOrdinalsCountOnlyRecords) {
    TempDir dir;
    std::string path = dir.File("navigate.ktl");
    MakeFile(path, {SLOT_IN_USE, SLOT_IN_USE, SLOT_DELETED, SLOT_DELETED, SLOT_IN_USE, SLOT_EMPTY,
                    SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY});
    RecordFile* file = OpenOrFail(path);
    EXPECT_EQ(PreviousRecord(file, 4), 1);
    EXPECT_EQ(NextRecord(file, 1), 4);
    EXPECT_EQ(NextRecord(file, 4), 4);
    EXPECT_EQ(PreviousRecord(file, 0), 0);
    EXPECT_EQ(RecordOrdinal(file, 4), 3);
    EXPECT_EQ(RecordOrdinal(file, 2), -1);
    EXPECT_EQ(NthRecord(file, 0), -1);
    EXPECT_EQ(NthRecord(file, 3), 4);
    EXPECT_EQ(NthRecord(file, 4), -1);
    EXPECT_EQ(CountRecords(file), 3u);
    CloseRecordFile(file);
}

TEST(Records, CopyRecordCopiesTheWholeSlot) {
    TempDir dir;
    std::string path = dir.File("copy.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), "Books");
    int32_t a = AddTitled(file, "Original", 42);
    int32_t b = AddRecord(file);
    EXPECT_EQ(CopyRecord(file, a, b), 1);
    EXPECT_EQ(TitleOf(file, b), "Original");
    ReadField(file, b, 8);
    EXPECT_EQ(numberValue, 42u);
    EXPECT_EQ(CountRecords(file), 2u);
    CloseRecordFile(file);
}

// The slot count is a 16-bit word: it stops at 65530 and a full collection refuses adds.
TEST(SlotArea, SlotCountNeverPassesTheLimit) {
    TempDir dir;
    std::string path = dir.File("full.ktl");
    RecordFile* file = CreateRecordFile(path.c_str(), 1);
    DefineField(file, 1, FIELD_NUM4);
    LayOutFields(file);
    EXPECT_EQ(file->recordSize, 6u);
    CloseRecordFile(file);

    std::vector<uint8_t> bytes = ReadAll(path);
    const uint32_t slots = MAX_SLOT_COUNT - 10;
    bytes.resize(1358 + 6 * slots, 0);
    PutWord(bytes, SLOT_COUNT_OFFSET, slots);
    for (uint32_t s = 0; s < slots; ++s) PutWord(bytes, 1358 + 6 * s, SLOT_IN_USE);
    WriteAll(path, bytes);

    file = OpenOrFail(path);
    EXPECT_EQ(AddRecord(file), static_cast<int32_t>(slots));
    EXPECT_EQ(file->slotCount, MAX_SLOT_COUNT);
    for (int i = 0; i < 9; ++i) AddRecord(file);
    EXPECT_EQ(AddRecord(file), -1);
    EXPECT_EQ(file->slotCount, MAX_SLOT_COUNT);
    EXPECT_EQ(CountRecords(file), MAX_SLOT_COUNT);
    CloseRecordFile(file);
    bytes = ReadAll(path);
    EXPECT_EQ(WordAt(bytes, SLOT_COUNT_OFFSET), MAX_SLOT_COUNT);
    EXPECT_EQ(bytes.size(), 1358u + 6u * MAX_SLOT_COUNT);
}

} // namespace
