#include "csv_export.h"
#include "record_file.h"
#include "sort_search.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// Opens a copy of a good file changed by edit; returns the refusal or "".
template <typename Edit> std::string OpenEdited(const TempDir& dir, Edit edit) {
    std::string path = dir.File("edited.ktl");
    MakeFile(path, {SLOT_IN_USE, SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY,
                    SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY, SLOT_EMPTY});
    std::vector<uint8_t> bytes = ReadAll(path);
    edit(bytes);
    WriteAll(path, bytes);
    const char* reason = nullptr;
    RecordFile* file = OpenRecordFile(path.c_str(), &reason);
    CloseRecordFile(file);
    if (file) return "";
    EXPECT_NE(reason, nullptr);
    return reason ? reason : "refused without a reason";
}

TEST(DamagedFiles, TheMarkIsCheckedOnItsFirstFourBytes) {
    TempDir dir;
    EXPECT_EQ(OpenEdited(dir, [](auto& b) { std::memcpy(b.data(), "DATA0008", 8); }), "");
    EXPECT_EQ(OpenEdited(dir, [](auto& b) { std::memcpy(b.data(), "DATA\xFF\x01zz", 8); }), "");
    EXPECT_NE(OpenEdited(dir, [](auto& b) { std::memcpy(b.data(), "data0007", 8); }), "");
    EXPECT_NE(OpenEdited(dir,
                         [](auto& b) {
                             std::memcpy(b.data(),
                                         "DAT\0"
                                         "0007",
                                         8);
                         }),
              "");
    EXPECT_NE(OpenEdited(dir, [](auto& b) { b.resize(3); }), "");
    const char* reason = nullptr;
    EXPECT_EQ(OpenRecordFile(dir.File("missing.ktl").c_str(), &reason), nullptr);
    EXPECT_NE(reason, nullptr);
    EXPECT_EQ(OpenRecordFile(dir.Path().c_str(), &reason), nullptr);
}

TEST(DamagedFiles, LayoutsTheEngineCannotHoldAreRefused) {
    TempDir dir;
    auto type = [](uint32_t field, uint32_t code) {
        return [=](std::vector<uint8_t>& b) { PutWord(b, 1354 + 4 * (field - 1), code); };
    };
    auto offset = [](uint32_t field, uint32_t value) {
        return [=](std::vector<uint8_t>& b) { PutWord(b, 1356 + 4 * (field - 1), value); };
    };
    EXPECT_NE(OpenEdited(dir, [](auto& b) { PutWord(b, FIELD_COUNT_OFFSET, 0); }), "");
    EXPECT_NE(OpenEdited(dir, [](auto& b) { PutWord(b, SLOT_COUNT_OFFSET, 0); }), "");
    for (uint32_t code : {3u, 4u, 5u, 9u, 15u})
        EXPECT_NE(OpenEdited(dir, type(8, code)), "") << code;
    EXPECT_NE(OpenEdited(dir, offset(1, 1435)), "");
    EXPECT_NE(OpenEdited(dir, offset(19, 3760)), "");
    EXPECT_NE(OpenEdited(dir, offset(1, 0)), "");
    EXPECT_NE(OpenEdited(dir, [](auto& b) { b.resize(1400); }), "");
    // More fields than the file has room for: its table runs past the end.
    EXPECT_NE(OpenEdited(dir, [](auto& b) { PutWord(b, FIELD_COUNT_OFFSET, 60000); }), "");
    // What the engine can hold opens: an unknown text code is 64 wide, a narrow
    // number field is fine, and fields may share bytes.
    EXPECT_EQ(OpenEdited(dir, [](auto& b) { PutWord(b, 1354 + 4 * 2, 99); }), "");
    EXPECT_EQ(OpenEdited(dir, type(20, 0)), "");
    // A narrower field 8 shortens the slot, so field 19 no longer fits in it.
    EXPECT_NE(OpenEdited(dir, type(8, 0)), "");
    EXPECT_EQ(OpenEdited(dir, offset(2, 1436)), "");
}

TEST(DamagedFiles, ASlotAreaShorterThanItsCountReadsAsEmptySlots) {
    TempDir dir;
    std::string path = dir.File("short.ktl");
    MakeFile(path, std::vector<uint32_t>(10, SLOT_IN_USE));
    std::vector<uint8_t> bytes = ReadAll(path);
    bytes.resize(SlotStart(4) + 100);
    WriteAll(path, bytes);
    RecordFile* file = OpenOrFail(path);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(CountRecords(file), 5u);
    EXPECT_EQ(TitleOf(file, 4), "R4");
    EXPECT_EQ(TitleOf(file, 7), "");
    EXPECT_GE(AddRecord(file), 0);
    CloseRecordFile(file);
}

// Random damage to a good file: whatever opens must survive every operation.
TEST(DamagedFiles, RandomBytesNeverCrashTheEngine) {
    TempDir dir;
    std::string good = dir.File("good.ktl");
    std::vector<uint32_t> statuses(20, SLOT_EMPTY);
    for (size_t s = 0; s < 20; s += 3) statuses[s] = SLOT_IN_USE;
    statuses[4] = SLOT_DELETED;
    MakeFile(good, statuses);
    const std::vector<uint8_t> original = ReadAll(good);
    std::mt19937 random(2024);
    std::string path = dir.File("damaged.ktl");
    int opened = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = original;
        int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i) {
            // Mostly the header and field table, where damage matters most.
            size_t at = random() % 2 ? 1270 + random() % 170 : random() % bytes.size();
            bytes[at] = static_cast<uint8_t>(random());
        }
        if (random() % 10 == 0) bytes.resize(random() % bytes.size());
        WriteAll(path, bytes);
        RecordFile* file = OpenRecordFile(path.c_str());
        if (!file) continue;
        ++opened;
        uint32_t records = CountRecords(file);
        for (int32_t s = 0; s < static_cast<int32_t>(file->slotCount) && s < 40; ++s)
            for (uint32_t f = 0; f <= file->fieldCount + 1 && f < 30; ++f) ReadField(file, s, f);
        std::strcpy(searchText, "R1");
        FindFirstMatch(file);
        SortRecords(file, 1 + static_cast<uint32_t>(random() % file->fieldCount));
        EXPECT_EQ(CountRecords(file), records);
        int32_t slot = AddRecord(file);
        if (slot >= 0) {
            SetText(std::string(1000, 'w'));
            for (uint32_t f = 1; f <= file->fieldCount && f < 30; ++f) WriteField(file, slot, f);
            CopyRecord(file, slot, NthRecord(file, 1));
        }
        ExportCsv(file, dir.File("damaged.csv").c_str());
        CloseRecordFile(file);
    }
    EXPECT_GT(opened, 50);
}

} // namespace
