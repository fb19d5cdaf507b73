// The record file engine: its limits, the damaged files it refuses or reads,
// and what a failing disk does to the file operations.
#include "test_files.h"

#include "csv_export.h"
#include "file_io.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

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
    EXPECT_EQ(OpenRecordFile(dir.path.c_str(), &reason), nullptr);
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

// Every file call of an operation made to fail in turn, once or from then on:
// the user's file is its old self, or after a save the working copy, flushed
// before it took the file's place; no temporary file is left, and the failure
// is reported, as a result or as a failed read or write noted.
uint32_t failingCall, calls, kinds; // kinds: a bit for each kind of call made
bool failsFromThenOn;
bool Fail(IoCall call) {
    ++calls;
    kinds |= 1u << call;
    return calls == failingCall || (failsFromThenOn && calls > failingCall);
}

bool Noted(Collection& c, bool& reported) {
    return reported = c.hRecordFile->writeFailed || c.hRecordFile->readFailed;
}

TEST(Faults, EveryFailedCallLeavesTheUsersFileWholeAndIsReported) {
    TempDir dir;
    std::string mine = dir.File("mine.ktl"), work = dir.File("work.ktl");
    std::vector<uint32_t> crowded(60, SLOT_IN_USE), sparse(60, SLOT_DELETED);
    std::fill(sparse.begin(), sparse.begin() + 41, SLOT_IN_USE); // the add compacts
    crowded[59] = SLOT_EMPTY;                                    // the add grows
    MakeFile(mine, {10, 10, 0, 0, 0, 0, 0, 0, 0, 0});
    const std::vector<uint8_t> old = ReadAll(mine);
    // Each operation says whether it did its work; false must come with a report.
    const std::pair<const char*, std::function<bool(Collection&, bool& reported)>> operations[] = {
        {"save",
         [&](Collection& c, bool& r) {
             bool saved = SaveCollectionAs(c, mine.c_str());
             EXPECT_NE(HasUnsavedChanges(c), saved);
             EXPECT_TRUE(!saved || kinds & 1u << IO_FLUSH);
             return saved || (r = true, false);
         }},
        {"open", [&](Collection& c,
                     bool& r) { return OpenCollection(c, mine.c_str()) || (r = true, false); }},
        {"new", [&](Collection& c,
                    bool& r) { return CreateCollection(c, work.c_str(), "New") && !Noted(c, r); }},
        {"add", [&](Collection& c, bool& r) { return AddBlankRecord(c, 3) >= 0 && !Noted(c, r); }},
        {"export",
         [&](Collection& c, bool& r) {
             return ExportCsv(c.hRecordFile, dir.File("x.csv").c_str()) == EXPORT_DONE ||
                    (r = true, false);
         }},
    };
    int tried = 0;
    for (const auto& [name, operation] : operations)
        for (const std::vector<uint32_t>* statuses : {&crowded, &sparse})
            for (failsFromThenOn = false;; failsFromThenOn = !failsFromThenOn) {
                for (failingCall = 1;; ++failingCall, ++tried) {
                    MakeFile(work, *statuses);
                    Collection c;
                    ASSERT_TRUE(OpenCollection(c, work.c_str()));
                    DeleteShownRecord(c); // a change to save
                    calls = kinds = 0;
                    ioFaultHook = Fail;
                    bool reported = false, done = operation(c, reported);
                    ioFaultHook = nullptr;
                    std::vector<uint8_t> now = ReadAll(mine);
                    EXPECT_EQ(now, std::string(name) == "save" && done ? ReadAll(work) : old)
                        << name << " call " << failingCall;
                    EXPECT_FALSE(std::ifstream(mine + ".saving"))
                        << name << " call " << failingCall;
                    bool failed = calls >= failingCall; // the failing call was made
                    EXPECT_TRUE(!failed || !done || reported) << name << " call " << failingCall;
                    CloseCollection(c);
                    WriteAll(mine, old);
                    if (calls < failingCall)
                        break; // the operation made fewer calls: all were tried
                }
                if (failsFromThenOn) break;
            }
    EXPECT_GT(tried, 40) << "failed calls tried";
}

} // namespace
