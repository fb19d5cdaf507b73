// Every file call of an operation made to fail in turn, once or from then on:
// the user's file is always its old or its new self, no temporary file is
// left, and the failure is reported, as a result or as a failed write noted.
#include "test_files.h"

#include "csv_export.h"
#include "file_io.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

uint32_t failingCall, calls;
bool failsFromThenOn;
bool Fail(IoCall) {
    ++calls;
    return calls == failingCall || (failsFromThenOn && calls > failingCall);
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
        {"save", [&](Collection& c,
                     bool& r) { return SaveCollectionAs(c, mine.c_str()) || (r = true, false); }},
        {"open", [&](Collection& c,
                     bool& r) { return OpenCollection(c, mine.c_str()) || (r = true, false); }},
        {"new",
         [&](Collection& c, bool& r) {
             return CreateCollection(c, work.c_str(), "New") &&
                    !(r = c.hRecordFile->writeFailed || c.hRecordFile->readFailed);
         }},
        {"add",
         [&](Collection& c, bool& r) {
             return AddBlankRecord(c, 3) >= 0 &&
                    !(r = c.hRecordFile->writeFailed || c.hRecordFile->readFailed);
         }},
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
                    calls = 0;
                    ioFaultHook = Fail;
                    bool reported = false, done = operation(c, reported);
                    ioFaultHook = nullptr;
                    std::vector<uint8_t> now = ReadAll(mine);
                    EXPECT_TRUE(now == old || now == ReadAll(work))
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
    EXPECT_GT(tried, 40);
    std::printf("%d failed calls tried\n", tried);
}

} // namespace
