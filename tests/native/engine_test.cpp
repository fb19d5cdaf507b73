#include "test_files.h"

#include "csv_export.h"
#include "file_io.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

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
    Collection full; // once full, it adds nothing and counts nothing as added
    ASSERT_TRUE(OpenCollection(full, path.c_str()));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(AddRecord(full.hRecordFile), int32_t(slots) + i);
    EXPECT_EQ(AddRecord(full.hRecordFile), -1);
    EXPECT_TRUE(AddBlankRecord(full, 1) == -1 && CopyShownRecord(full) == -1 && !full.recordsAdded);
    CloseCollection(full);
    bytes = ReadAll(path);
    EXPECT_EQ(WordAt(bytes, SLOT_COUNT_OFFSET), MAX_SLOT_COUNT);
    EXPECT_EQ(bytes.size(), 1358u + 6u * MAX_SLOT_COUNT);
}

using Edit = std::function<void(std::vector<uint8_t>&)>;

static Edit Word(size_t offset, uint32_t value) {
    return [=](std::vector<uint8_t>& b) { PutWord(b, offset, value); };
}
static Edit Mark(const char* mark) {
    return [=](std::vector<uint8_t>& b) { std::memcpy(b.data(), mark, 8); };
}
static Edit Cut(size_t size) {
    return [=](std::vector<uint8_t>& b) { b.resize(size); };
}
constexpr size_t TYPE_8 = 1354 + 4 * 7, OFFSET_1 = 1356, OFFSET_2 = 1360, OFFSET_19 = 1356 + 4 * 18;

// A good file of ten records changed by each edit: refused with a reason, or
// opened with the records it holds; a slot area cut short reads as empty slots.
TEST(DamagedFiles, AreRefusedWithAReasonOrOpenWithTheRecordsTheyHold) {
    // clang-format off
    const std::pair<Edit, int> edits[] = {
        {Mark("DATA0008"), 10}, {Mark("DATA\xFF\x01zz"), 10}, {Mark("data0007"), -1},
        {Mark("DAT\0" "0007"), -1}, {Cut(3), -1}, {Cut(1400), -1}, {Cut(SlotStart(4) + 100), 5},
        {Word(FIELD_COUNT_OFFSET, 0), -1}, {Word(SLOT_COUNT_OFFSET, 0), -1},
        {Word(FIELD_COUNT_OFFSET, 60000), -1}, {Word(TYPE_8, 3), -1}, {Word(TYPE_8, 4), -1},
        {Word(TYPE_8, 5), -1}, {Word(TYPE_8, 9), -1}, {Word(TYPE_8, 15), -1},
        {Word(OFFSET_1, 1435), -1}, {Word(OFFSET_1, 0), -1}, {Word(OFFSET_19, 3760), -1},
        {Word(TYPE_8, 0), -1}, // a narrower field 8 shortens the slot: field 19 no longer fits
        // Unknown text codes are 64 wide, fields may share bytes, a narrow field 20 shortens slots.
        {Word(1354 + 4 * 2, 99), 10}, {Word(OFFSET_2, 1436), 10}, {Word(1354 + 4 * 19, 0), 1},
    };
    // clang-format on
    TempDir dir;
    std::string path = dir.File("edited.ktl");
    int n = 0;
    for (const auto& [edit, records] : edits) {
        SCOPED_TRACE("edit " + std::to_string(n++));
        std::vector<uint8_t> bytes = MakeFile(path, std::vector<uint32_t>(10, SLOT_IN_USE));
        edit(bytes);
        WriteAll(path, bytes);
        const char* reason = nullptr;
        RecordFile* file = OpenRecordFile(path.c_str(), &reason);
        EXPECT_EQ(file ? int(CountRecords(file)) : -1, records);
        EXPECT_EQ(reason != nullptr, records < 0);
        for (int32_t s = 0; file && s < 10; ++s)
            EXPECT_EQ(TitleOf(file, s), s < records ? "R" + std::to_string(s) : "");
        // A field or slot the file lacks is neither read as a number nor copied to.
        EXPECT_TRUE(!file || (ReadField(file, 0, file->fieldCount + 1).type == FIELD_NONE &&
                              !CopyRecord(file, 0, int32_t(file->slotCount))));
        EXPECT_TRUE(!file || AddRecord(file) >= 0);
        CloseRecordFile(file);
    }
    EXPECT_EQ(OpenRecordFile(dir.path.c_str()), nullptr); // a folder
}

// Every file call of an operation made to fail in turn, once or from then on:
// the user's file is its old self, or after a save the working copy, flushed
// before it took the file's place; no temporary file is left, and the failure
// is reported, as a result or as a failed read or write noted.
static uint32_t failingCall, calls, kinds; // kinds: a bit for each kind of call made
static bool failsFromThenOn;
static bool Fail(IoCall call) {
    ++calls;
    kinds |= 1u << call;
    return calls == failingCall || (failsFromThenOn && calls > failingCall);
}

static bool Noted(Collection& c) {
    return c.hRecordFile->writeFailed || c.hRecordFile->readFailed;
}

TEST(Faults, EveryFailedCallLeavesTheUsersFileWholeAndIsReported) {
    TempDir dir;
    std::string mine = dir.File("mine.ktl"), work = dir.File("work.ktl");
    std::vector<uint32_t> crowded(60, SLOT_IN_USE), sparse(60, SLOT_DELETED);
    std::fill(sparse.begin(), sparse.begin() + 41, SLOT_IN_USE); // the add compacts
    crowded[59] = SLOT_EMPTY;                                    // the add grows
    const std::vector<uint8_t> old = MakeFile(mine, {10, 10, 0, 0, 0, 0, 0, 0, 0, 0});
    // Each operation says whether it did its work with no failure reported.
    const std::pair<const char*, std::function<bool(Collection&)>> operations[] = {
        {"save",
         [&](Collection& c) {
             bool saved = SaveCollectionAs(c, mine.c_str());
             EXPECT_NE(HasUnsavedChanges(c), saved);
             EXPECT_TRUE(!saved || kinds & 1u << IO_FLUSH);
             return saved;
         }},
        {"open", [&](Collection& c) { return OpenCollection(c, mine.c_str()); }},
        {"new",
         [&](Collection& c) { return CreateCollection(c, work.c_str(), "New") && !Noted(c); }},
        {"add", [&](Collection& c) { return AddBlankRecord(c, 3) >= 0 && !Noted(c); }},
        {"export",
         [&](Collection& c) {
             return ExportCsv(c.hRecordFile, dir.File("x.csv").c_str()) == EXPORT_DONE;
         }},
    };
    int tried = 0;
    for (const auto& [name, operation] : operations)
        for (const std::vector<uint32_t>* statuses : {&crowded, &sparse})
            for (bool fromThenOn : {false, true})
                for (failingCall = 1, failsFromThenOn = fromThenOn;; ++failingCall, ++tried) {
                    SCOPED_TRACE(std::string(name) + " call " + std::to_string(failingCall));
                    MakeFile(work, *statuses);
                    Collection c;
                    ASSERT_TRUE(OpenCollection(c, work.c_str()));
                    DeleteShownRecord(c); // a change to save
                    calls = kinds = 0;
                    gIoFaultHook = Fail;
                    bool done = operation(c);
                    gIoFaultHook = nullptr;
                    EXPECT_EQ(ReadAll(mine),
                              std::string(name) == "save" && done ? ReadAll(work) : old);
                    EXPECT_FALSE(std::ifstream(mine + ".saving"));
                    EXPECT_FALSE(done && calls >= failingCall);
                    CloseCollection(c);
                    WriteAll(mine, old);
                    if (calls < failingCall)
                        break; // the operation made fewer calls: all were tried
                }
    EXPECT_GT(tried, 40) << "failed calls tried";
}
