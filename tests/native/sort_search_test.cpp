#include "record_file.h"
#include "sort_search.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

class SortSearch : public ::testing::Test {
  protected:
    void SetUp() override { file = CreateStandardRecordFile(dir.File("s.ktl").c_str(), "S"); }
    void TearDown() override { CloseRecordFile(file); }

    std::vector<std::string> Titles() {
        std::vector<std::string> titles;
        for (int32_t s = NthRecord(file, 1); s >= 0; s = NextRecord(file, s)) {
            titles.push_back(TitleOf(file, s));
            if (NextRecord(file, s) == s) break;
        }
        return titles;
    }
    void Search(const char* text) { std::strcpy(searchText, text); }

    TempDir dir;
    RecordFile* file = nullptr;
};

TEST_F(SortSearch, TextKeysSortInTheLocaleAndNumbersByTheirDecimalText) {
    AddTitled(file, "beta", 9);
    AddTitled(file, "alpha", 100);
    AddTitled(file, "Alpha", 10);
    EXPECT_EQ(SortRecords(file, 1), 1);
    // The tests run with LC_ALL=C, where keys compare byte by byte.
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "alpha", "beta"}));
    EXPECT_EQ(SortRecords(file, 8), 1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "alpha", "beta"}));
    numberValue = static_cast<uint32_t>(-5);
    WriteField(file, NthRecord(file, 3), 8);
    SortRecords(file, 8);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"beta", "Alpha", "alpha"}));
    EXPECT_EQ(SortRecords(file, 0), 0);
    EXPECT_EQ(SortRecords(nullptr, 1), 0);
}

TEST_F(SortSearch, SortIsStableCompactsAndMatchesAStableSortOfTheRecords) {
    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::string>> expected; // key, unique title
    for (int i = 0; i < 40; ++i) {
        std::string key(1, static_cast<char>('a' + random() % 5));
        std::string title = key + std::to_string(i);
        int32_t slot = AddTitled(file, title);
        SetText(key);
        WriteField(file, slot, 3);
        expected.emplace_back(key, title);
    }
    for (int32_t ordinal : {30, 20, 10, 5, 1}) {
        int32_t slot = NthRecord(file, static_cast<uint32_t>(ordinal));
        expected.erase(expected.begin() + ordinal - 1);
        DeleteRecord(file, slot);
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    ASSERT_EQ(SortRecords(file, 3), 1);
    std::vector<std::string> titles;
    for (const auto& record : expected) titles.push_back(record.second);
    EXPECT_EQ(Titles(), titles);
    EXPECT_EQ(NthRecord(file, 35), 34); // compacted into slots 0 to 34

    std::vector<uint8_t> once = ReadAll(dir.File("s.ktl"));
    SortRecords(file, 3);
    EXPECT_EQ(ReadAll(dir.File("s.ktl")), once);
}

TEST_F(SortSearch, SearchFoldsOnlyAsciiLettersAndComparesNumbers) {
    int32_t first = AddTitled(file, "xaab");
    int32_t rock = AddTitled(file, "Punk rock");
    int32_t accent = AddTitled(file, "caf\xE9");
    int32_t year = AddTitled(file, "Plain", 1999);
    int32_t smith = AddTitled(file, "Nobody", 417436);
    int32_t digits = AddTitled(file, "Class of 1999 and 0");

    Search("ab");
    EXPECT_EQ(FindFirstMatch(file), first);
    Search("ROCK");
    EXPECT_EQ(FindFirstMatch(file), rock);
    Search("\xE9");
    EXPECT_EQ(FindFirstMatch(file), accent);
    Search("\xC9");
    EXPECT_EQ(FindFirstMatch(file), -1);
    Search("1999");
    EXPECT_EQ(FindFirstMatch(file), year);
    EXPECT_EQ(FindNextMatch(file, year), digits);
    Search("Smith");
    EXPECT_EQ(FindFirstMatch(file), smith);
    // The digit 0 never matches a number field (every blank record holds zeros).
    Search("0");
    EXPECT_EQ(FindFirstMatch(file), digits);
    Search("");
    EXPECT_EQ(FindFirstMatch(file), first);
    Search("@");
    EXPECT_EQ(FindFirstMatch(file), -1);
}

TEST_F(SortSearch, FindStepsForwardAndBackwardWithoutWrapping) {
    int32_t a = AddTitled(file, "match one");
    AddTitled(file, "other");
    int32_t c = AddTitled(file, "match two");
    int32_t d = AddTitled(file, "Match three");
    DeleteRecord(file, AddTitled(file, "match deleted"));
    Search("match");
    EXPECT_EQ(FindFirstMatch(file), a);
    EXPECT_EQ(FindNextMatch(file, a), c);
    EXPECT_EQ(FindNextMatch(file, c), d);
    EXPECT_EQ(FindNextMatch(file, d), -1);
    EXPECT_EQ(FindPreviousMatch(file, d), c);
    EXPECT_EQ(FindPreviousMatch(file, c), a);
    EXPECT_EQ(FindPreviousMatch(file, a), -1);
    EXPECT_EQ(FindPreviousMatch(file, 0), -1);
    EXPECT_EQ(FindNextMatch(nullptr, 0), -1);
}

} // namespace
