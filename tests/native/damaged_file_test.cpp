#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using Edit = std::function<void(std::vector<uint8_t>&)>;

Edit Word(size_t offset, uint32_t value) {
    return [=](std::vector<uint8_t>& b) { PutWord(b, offset, value); };
}
Edit Mark(const char* mark) {
    return [=](std::vector<uint8_t>& b) { std::memcpy(b.data(), mark, 8); };
}
Edit Cut(size_t size) {
    return [=](std::vector<uint8_t>& b) { b.resize(size); };
}
constexpr size_t TYPE_8 = 1354 + 4 * 7, OFFSET_1 = 1356, OFFSET_2 = 1360, OFFSET_19 = 1356 + 4 * 18;

// A good one-record file changed by each edit: refused with a reason, or opened.
TEST(DamagedFiles, LayoutsTheEngineCannotHoldAreRefusedWithAReason) {
    // clang-format off
    const std::pair<Edit, bool> edits[] = {
        {Mark("DATA0008"), true}, {Mark("DATA\xFF\x01zz"), true}, {Mark("data0007"), false},
        {Mark("DAT\0" "0007"), false}, {Cut(3), false}, {Cut(1400), false},
        {Word(FIELD_COUNT_OFFSET, 0), false}, {Word(SLOT_COUNT_OFFSET, 0), false},
        {Word(FIELD_COUNT_OFFSET, 60000), false}, {Word(TYPE_8, 3), false}, {Word(TYPE_8, 4), false},
        {Word(TYPE_8, 5), false}, {Word(TYPE_8, 9), false}, {Word(TYPE_8, 15), false},
        {Word(OFFSET_1, 1435), false}, {Word(OFFSET_1, 0), false}, {Word(OFFSET_19, 3760), false},
        // A narrower field 8 shortens the slot, so that field 19 no longer fits in it.
        {Word(TYPE_8, 0), false},
        // What the engine can hold opens: an unknown text code is 64 wide, a
        // narrow number field is fine, and fields may share bytes.
        {Word(1354 + 4 * 2, 99), true}, {Word(1354 + 4 * 19, 0), true}, {Word(OFFSET_2, 1436), true},
    };
    // clang-format on
    TempDir dir;
    std::string path = dir.File("edited.ktl");
    int n = 0;
    for (const auto& [edit, opens] : edits) {
        MakeFile(path, std::vector<uint32_t>{10, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        std::vector<uint8_t> bytes = ReadAll(path);
        edit(bytes);
        WriteAll(path, bytes);
        const char* reason = nullptr;
        RecordFile* file = OpenRecordFile(path.c_str(), &reason);
        EXPECT_EQ(file != nullptr, opens) << "edit " << n;
        EXPECT_EQ(reason != nullptr, !opens) << "edit " << n++;
        CloseRecordFile(file);
    }
    const char* reason = nullptr;
    EXPECT_EQ(OpenRecordFile(dir.File("missing.ktl").c_str(), &reason), nullptr);
    EXPECT_NE(reason, nullptr);
    EXPECT_EQ(OpenRecordFile(dir.Path().c_str(), &reason), nullptr);
}

TEST(DamagedFiles, ASlotAreaShorterThanItsCountReadsAsEmptySlots) {
    TempDir dir;
    std::string path = dir.File("short.ktl");
    MakeFile(path, std::vector<uint32_t>(10, SLOT_IN_USE));
    std::vector<uint8_t> bytes = ReadAll(path);
    bytes.resize(SlotStart(4) + 100);
    WriteAll(path, bytes);
    RecordFile* file = OpenRecordFile(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(CountRecords(file), 5u);
    EXPECT_EQ(TitleOf(file, 4), "R4");
    EXPECT_EQ(TitleOf(file, 7), "");
    EXPECT_GE(AddRecord(file), 0);
    CloseRecordFile(file);
}

} // namespace
