#include "sort_search.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class SortSearch : public ::testing::Test {
  protected:
    // Records with these titles in slots 0, 1, ...; field 3 holds key[slot], field 8 number[slot].
    void Make(const std::vector<std::string>& titles, const std::vector<std::string>& keys = {},
              const std::vector<uint32_t>& numbers = {}) {
        MakeFile(path, std::vector<uint32_t>(titles.size(), SLOT_IN_USE), titles);
        file = OpenRecordFile(path.c_str());
        for (size_t s = 0; s < keys.size(); ++s) {
            std::strcpy(textValue, keys[s].c_str());
            WriteField(file, int32_t(s), 3);
        }
        for (size_t s = 0; s < numbers.size(); ++s) {
            numberValue = numbers[s];
            WriteField(file, int32_t(s), 8);
        }
    }
    void TearDown() override { CloseRecordFile(file); }
    std::vector<std::string> Titles() {
        std::vector<std::string> titles;
        for (uint32_t n = 1; NthRecord(file, n) >= 0; ++n)
            titles.push_back(TitleOf(file, NthRecord(file, n)));
        return titles;
    }
    TempDir dir;
    std::string path = dir.File("s.ktl");
    RecordFile* file = nullptr;
};

TEST_F(SortSearch, TextKeysSortInTheLocaleNumbersByTheirSignedDecimalText) {
    Make({"beta", "alpha", "Alpha", "gamma"}, {}, {9, 100, 10, static_cast<uint32_t>(-5)});
    EXPECT_EQ(SortRecords(file, 1), 1);
    // The tests run with LC_ALL=C, where keys compare byte by byte.
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "alpha", "beta", "gamma"}));
    EXPECT_EQ(SortRecords(file, 8), 1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"gamma", "Alpha", "alpha", "beta"}));
    EXPECT_EQ(SortRecords(file, 0) + SortRecords(file, 21) + SortRecords(nullptr, 1), 0);
}

// Letters match in either case, other bytes only themselves; a number field
// matches the search text read as a number (any bytes count as digits), never 0.
TEST_F(SortSearch, SearchRulesAndStepsWithoutWrapping) {
    Make({"xaab", "Punk rock", "caf\xE9", "Plain", "Nobody", "Class of 1999 and 0", "rock on"}, {},
         {0, 0, 0, 1999, 417436, 0, 0});
    const std::pair<const char*, int32_t> firsts[] = {{"ab", 0},    {"ROCK", 1}, {"\xE9", 2},
                                                      {"\xC9", -1}, {"1999", 3}, {"Smith", 4},
                                                      {"0", 5},     {"", 0},     {"@", -1}};
    for (auto [text, slot] : firsts) {
        std::strcpy(searchText, text);
        EXPECT_EQ(FindFirstMatch(file), slot) << text;
    }
    std::strcpy(searchText, "rock");
    EXPECT_EQ(std::vector<int32_t>({FindNextMatch(file, 1), FindNextMatch(file, 6),
                                    FindPreviousMatch(file, 6), FindPreviousMatch(file, 1),
                                    FindNextMatch(nullptr, 0)}),
              std::vector<int32_t>({6, -1, 1, -1, -1}));
    DeleteRecord(file, 2);
    std::strcpy(searchText, "caf");
    EXPECT_EQ(FindFirstMatch(file), -1); // a deleted record
}

} // namespace
