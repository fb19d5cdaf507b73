#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

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
    const uint32_t widths[20] = {300, 300, 64, 64, 64, 64, 300, 4,    4,  4,
                                 64,  4,   4,  4,  4,  4,  64,  1000, 64, 4};
    for (uint32_t f = 0, offset = 1436; f < 20; offset += widths[f++]) {
        PutWord(expected, 1354 + 4 * f, types[f]);
        PutWord(expected, 1356 + 4 * f, offset);
    }
    EXPECT_EQ(ReadAll(path), expected);
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
    Collection full; // nothing is added or counted as added
    OpenCollection(full, path.c_str());
    EXPECT_TRUE(AddBlankRecord(full, 1) == -1 && CopyShownRecord(full) == -1 && !full.recordsAdded);
    CloseCollection(full);
    bytes = ReadAll(path);
    EXPECT_EQ(WordAt(bytes, SLOT_COUNT_OFFSET), MAX_SLOT_COUNT);
    EXPECT_EQ(bytes.size(), 1358u + 6u * MAX_SLOT_COUNT);
}

} // namespace
