#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void SetText(const std::string& text) {
    std::strcpy(textValue, text.substr(0, TEXT_VALUE_SIZE - 1).c_str());
}

TEST(RecordFile, ANewCollectionHasTheStandardLayoutByteForByte) {
    TempDir dir;
    std::string path = dir.File("new.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), std::string(400, 'n').c_str());
    ReadCollectionName(file);
    EXPECT_EQ(std::string(textValue), std::string(300, 'n')); // cut to its block, no NUL
    WriteCollectionName(file, "Books");
    CloseRecordFile(file);
    std::vector<uint8_t> expected(25294, 0);
    std::memcpy(expected.data(), "DATA0007Books", 13);
    for (auto [offset, word] :
         {std::pair{608, 1}, {674, 1}, {1276, 2}, {1278, 20}, {1280, 10}, {1282, 10}})
        PutWord(expected, static_cast<size_t>(offset), static_cast<uint32_t>(word));
    const uint32_t types[20] = {13, 13, 12, 12, 12, 12, 13, 2,  2,  2,
                                12, 2,  2,  2,  2,  2,  12, 14, 12, 2};
    const uint32_t offsets[20] = {1436, 1736, 2036, 2100, 2164, 2228, 2292, 2592, 2596, 2600,
                                  2604, 2668, 2672, 2676, 2680, 2684, 2688, 2752, 3752, 3816};
    for (uint32_t f = 0; f < 20; ++f) {
        PutWord(expected, 1354 + 4 * f, types[f]);
        PutWord(expected, 1356 + 4 * f, offsets[f]);
    }
    EXPECT_EQ(ReadAll(path), expected);
}

TEST(RecordFile, ValuesAreCutToWidthPaddedWithZerosAndBadArgumentsWriteNothing) {
    TempDir dir;
    std::string path = dir.File("fields.ktl");
    RecordFile* file = CreateStandardRecordFile(path.c_str(), "Books");
    int32_t slot = AddRecord(file);
    SetText(std::string(70, 's'));
    EXPECT_EQ(WriteField(file, slot, 3), 12u);
    EXPECT_EQ(ReadField(file, slot, 3), 12u);
    EXPECT_EQ(std::string(textValue), std::string(64, 's'));
    SetText(std::string(250, 'L'));
    WriteField(file, slot, 1);
    SetText("short");
    WriteField(file, slot, 1);
    numberValue = 0xDEADBEEF;
    EXPECT_EQ(WriteField(file, slot, 10), 2u);
    std::vector<uint8_t> before = ReadAll(path);
    std::vector<uint8_t> title(300, 0);
    std::memcpy(title.data(), "short", 5); // nothing of the longer value stays
    EXPECT_EQ(std::vector<uint8_t>(before.begin() + 1436, before.begin() + 1736), title);
    EXPECT_EQ(WordAt(before, 2600) | WordAt(before, 2602) << 16, 0xDEADBEEFu);
    for (auto [s, f] : {std::pair{0, 0u}, {0, 21u}, {-1, 1u}, {10, 1u}})
        EXPECT_EQ(WriteField(file, s, f), 0u);
    EXPECT_EQ(WriteField(nullptr, 0, 1) + DeleteRecord(nullptr, 0) + AddRecord(nullptr) + 1, 0u);
    EXPECT_EQ(NextRecord(nullptr, 3) + PreviousRecord(nullptr, 3), 6);
    EXPECT_EQ(RecordOrdinal(nullptr, 0) + NthRecord(nullptr, 1), -2);
    CloseRecordFile(file);
    EXPECT_EQ(ReadAll(path), before);
}

std::vector<uint32_t> Statuses(size_t slots,
                               std::initializer_list<std::pair<size_t, size_t>> used) {
    std::vector<uint32_t> statuses(slots, SLOT_DELETED);
    for (auto [from, to] : used)
        std::fill(statuses.begin() + long(from), statuses.begin() + long(to), SLOT_IN_USE);
    return statuses;
}

// The slot area grows by ten before an add when fewer than ten slots are free
// or more than 90 percent are used; it compacts and shrinks by ten when
// fewer than 70 percent are used and it has more than 50 slots.
TEST(RecordFile, AddGrowsOrCompactsAndShrinksTheSlotAreaAtItsThresholds) {
    struct Case {
        std::vector<uint32_t> statuses;
        int32_t slot;
        uint32_t slotsAfter;
        std::string titlesAfter; // of slots 20, 21, 40 and 45
    };
    const Case cases[] = {
        {Statuses(10, {{0, 1}}), 1, 20, ""},
        {Statuses(20, {{0, 11}}), 11, 30, ""},
        {Statuses(20, {{0, 10}}), 10, 20, ""},
        {Statuses(200, {{0, 182}}), 182, 210, "R20R21R40R45"},
        {Statuses(200, {{0, 180}}), 180, 200, "R20R21R40R45"},
        {Statuses(60, {{0, 21}, {40, 60}}), 41, 50, "R20R40R59R59"},
        {Statuses(60, {{0, 21}, {39, 60}}), 21, 60, "R20R40R45"},
        {Statuses(50, {{0, 5}, {45, 50}}), 5, 50, "R20R21R40R45"},
    };
    TempDir dir;
    std::string path = dir.File("grow.ktl");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statuses.size());
        MakeFile(path, c.statuses);
        RecordFile* file = OpenRecordFile(path.c_str());
        EXPECT_EQ(AddRecord(file), c.slot);
        EXPECT_EQ(file->slotCount, c.slotsAfter);
        std::string titles;
        for (int32_t s : {20, 21, 40, 45})
            if (s != c.slot) titles += TitleOf(file, s);
        EXPECT_EQ(titles, c.titlesAfter);
        CloseRecordFile(file);
        std::vector<uint8_t> bytes = ReadAll(path);
        EXPECT_EQ(bytes.size(), SlotStart(static_cast<int32_t>(c.slotsAfter)));
        EXPECT_EQ(WordAt(bytes, SLOT_COUNT_OFFSET), c.slotsAfter);
        EXPECT_EQ(WordAt(bytes, SlotStart(c.slot)), SLOT_IN_USE);
    }
}

// Statuses of 9 and below are free slots, above 9 but not 10 neither free nor records.
TEST(RecordFile, NavigationAndOrdinalsCountOnlyRecords) {
    TempDir dir;
    std::string path = dir.File("navigate.ktl");
    MakeFile(path, {10, 10, 5, 10, 12, 10, 7, 0, 0, 0});
    RecordFile* file = OpenRecordFile(path.c_str());
    std::vector<uint8_t> before = ReadAll(path);
    EXPECT_EQ(DeleteRecord(file, 3), 1);
    PutWord(before, SlotStart(3), SLOT_DELETED); // only the status word changes
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(CountRecords(file), 3u);
    EXPECT_EQ(std::vector<int32_t>({PreviousRecord(file, 5), NextRecord(file, 1),
                                    NextRecord(file, 5), PreviousRecord(file, 0),
                                    RecordOrdinal(file, 5), RecordOrdinal(file, 4),
                                    NthRecord(file, 0), NthRecord(file, 3), NthRecord(file, 4)}),
              std::vector<int32_t>({1, 5, 5, 0, 3, -1, -1, 5, -1}));
    EXPECT_EQ(AddRecord(file), 2); // the lowest free slot, with its old bytes
    EXPECT_EQ(TitleOf(file, 2), "R2");
    CloseRecordFile(file);
}

TEST(RecordFile, TheSlotCountNeverPassesItsLimit) {
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
    file = OpenRecordFile(path.c_str());
    for (int i = 0; i < 10; ++i) EXPECT_EQ(AddRecord(file), int32_t(slots) + i);
    EXPECT_EQ(AddRecord(file), -1);
    CloseRecordFile(file);
    bytes = ReadAll(path);
    EXPECT_EQ(WordAt(bytes, SLOT_COUNT_OFFSET), MAX_SLOT_COUNT);
    EXPECT_EQ(bytes.size(), 1358u + 6u * MAX_SLOT_COUNT);
}

} // namespace
