#include "command_line.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

TEST(CommandLine, SplitsTheLineIntoItemsWithoutTheirQuotes) {
    std::string longPath = "C:\\"; // well past 192 characters
    for (int i = 0; i < 40; ++i) longPath += "Folder " + std::to_string(i) + "\\";
    const std::string spaced = "\"C:\\Program Files\\Quirebook.exe\" \"C:\\My Books\\All.ktl\"";
    const std::string x20(20, 'x');
    const struct {
        std::string line;
        uint32_t n;
        CommandLineResult result;
        std::string text;
        size_t size = 600;
    } cases[] = {
        {spaced, 0, ARG_COPIED, "C:\\Program Files\\Quirebook.exe"},
        {spaced, 1, ARG_COPIED, "C:\\My Books\\All.ktl"},
        {"q.exe C:\\\"My Books\"\\a.ktl next", 1, ARG_COPIED, "C:\\My Books\\a.ktl"},
        {"q.exe C:\\\"My Books\"\\a.ktl next", 2, ARG_COPIED, "next"},
        {"q.exe C:\\My Books\\a.ktl", 2, ARG_COPIED, "Books\\a.ktl"},
        {"  q.exe\t\t  \ta.ktl\t", 1, ARG_COPIED, "a.ktl"},
        {"q.exe \"a\tb.ktl\"", 1, ARG_COPIED, "a b.ktl"}, // a quoted tab reads as a space
        {"q.exe \"\xFE\xE9 x.ktl\"", 1, ARG_COPIED, "\xFE\xE9 x.ktl"},
        {"q.exe   \t ", 1, ARG_MISSING, ""},
        {"", 0, ARG_MISSING, ""},
        {"q.exe a.ktl", 2, ARG_MISSING, ""},
        {"q.exe \"\" a.ktl", 1, ARG_EMPTY, ""},
        {"q.exe \"\" a.ktl", 2, ARG_COPIED, "a.ktl"},
        {"\"C:\\Program Files\\Quirebook.exe\" \"" + longPath + "\"", 1, ARG_COPIED, longPath},
        {std::string(300, 'p') + " b.ktl", 1, ARG_COPIED, "b.ktl"},
        {"q.exe " + x20, 1, ARG_COPIED, x20, 21},
        {"q.exe " + x20, 1, ARG_TOO_LONG, "", 20},
        {"q.exe \"\"", 1, ARG_TOO_LONG, "", 0},
        {std::string(50, 'q') + " a", 1, ARG_COPIED, "a", 2}, // only the wanted item must fit
    };
    for (const auto& c : cases) {
        std::string buffer(c.size + 1, '#');
        EXPECT_EQ(CommandLineArg(c.line.c_str(), c.n, buffer.data(), c.size), c.result) << c.line;
        EXPECT_EQ(buffer.substr(0, std::min(buffer.find('\0'), c.size)), c.text) << c.line;
        EXPECT_EQ(buffer[c.size], '#') << c.line;
    }
}

TEST(CommandLine, UnbalancedQuotesLeaveTheDestinationAlone) {
    for (const char* line : {"q.exe \"a b\" \"c", "q.exe \"\"\""}) {
        char buffer[16] = "untouched";
        EXPECT_EQ(CommandLineArg(line, 1, buffer, sizeof buffer), ARG_UNBALANCED) << line;
        EXPECT_STREQ(buffer, "untouched");
    }
}

} // namespace
