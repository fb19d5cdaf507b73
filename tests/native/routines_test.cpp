#include "command_line.h"
#include "price.h"
#include "text_routines.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

// Search reads its text as a number this way, and the status line and the
// export write numbers so.
TEST(TextRoutines, NumbersTakeEveryByteAndWrapAndPrintSigned) {
    const std::pair<const char*, uint32_t> numbers[] = {
        {"-45", uint32_t(-45)}, {"12a", 169}, {"4294967296", 0}, {"-", 0}, {"Smith", 417436}};
    for (auto [text, value] : numbers) EXPECT_EQ(DecimalToNumber(text), value) << text;
    char text[16];
    for (int32_t value : {0, -1, 9, 10, 99, -100, 1000, 12345, INT32_MAX, INT32_MIN}) {
        NumberToDecimal(value, text);
        EXPECT_EQ(text, std::to_string(value));
    }
}

TEST(Price, FormatsWithTwoDecimalsAndParsesTenthsAndHundredths) {
    // clang-format off
    const std::pair<uint32_t, const char*> formats[] = {
        {0, "0.00"}, {5, "0.05"}, {10, "0.10"}, {100, "1.00"}, {1234, "12.34"}, {100005, "1000.05"},
        {4294967295u, "42949672.95"}};
    // clang-format on
    char text[PRICE_TEXT_SIZE];
    for (auto [value, shown] : formats) {
        FormatPrice(value, text);
        EXPECT_STREQ(text, shown);
        EXPECT_EQ(ParsePrice(shown), value) << shown;
    }
    // One digit after the point is tenths, of more only the first two count; all wraps at 2^32.
    // clang-format off
    const std::pair<std::string, uint32_t> parses[] = {
        {"12", 1200}, {"12.", 1200}, {".75", 75}, {"007.10", 710}, {".", 0}, {"12.5", 1250},
        {".5", 50}, {"12.345", 1234}, {".1299999", 12}, {"42949673", 4}, {"42949672.96", 0},
        {"", 0}, {"abc", 0}, {"12,50", 0}, {"-5", 0}, {" 12", 0}, {"1.2.3", 0}, {"12a", 0},
        {"1" + std::string(40, '0') + ".25", 25}};
    // clang-format on
    for (const auto& [typed, value] : parses) EXPECT_EQ(ParsePrice(typed.c_str()), value) << typed;
}

TEST(CommandLine, SplitsTheWholeLineIntoItemsWithoutTheirQuotes) {
    std::string longPath = "C:\\";
    for (int i = 0; i < 40; ++i) longPath += "Folder " + std::to_string(i) + "\\";
    const std::string spaced = "\"C:\\Program Files\\Quirebook.exe\" \"C:\\My Books\\All.ktl\"";
    // The line, the item wanted, the result, the item copied, and the buffer's size.
    const std::tuple<std::string, uint32_t, CommandLineResult, std::string, size_t> cases[] = {
        {spaced, 0, ARG_COPIED, "C:\\Program Files\\Quirebook.exe", 600},
        {spaced, 1, ARG_COPIED, "C:\\My Books\\All.ktl", 600},
        {"q.exe C:\\\"My Books\"\\a.ktl next", 1, ARG_COPIED, "C:\\My Books\\a.ktl", 600},
        {"q.exe C:\\\"My Books\"\\a.ktl next", 2, ARG_COPIED, "next", 600},
        {"  q.exe\t\t  \ta.ktl\t", 1, ARG_COPIED, "a.ktl", 600},
        {"q.exe \"a\tb.ktl\"", 1, ARG_COPIED, "a b.ktl", 600}, // a quoted tab reads as a space
        {"q.exe \"\xFE\xE9 x.ktl\"", 1, ARG_COPIED, "\xFE\xE9 x.ktl", 600},
        {"q.exe   \t ", 1, ARG_MISSING, "", 600},
        {"q.exe \"\" a.ktl", 1, ARG_EMPTY, "", 600},
        {"q.exe \"\" a.ktl", 2, ARG_COPIED, "a.ktl", 600},
        {"q.exe \"" + longPath + "\"", 1, ARG_COPIED, longPath, 600},
        {std::string(300, 'p') + " b.ktl", 1, ARG_COPIED, "b.ktl", 600},
        {"q.exe " + std::string(20, 'x'), 1, ARG_COPIED, std::string(20, 'x'), 21},
        {"q.exe " + std::string(20, 'x'), 1, ARG_TOO_LONG, "", 20},
        {"q.exe \"\"", 1, ARG_TOO_LONG, "", 0},
        {std::string(50, 'q') + " a", 1, ARG_COPIED, "a", 2}, // only the wanted item must fit
        {"q.exe \"a b\" \"c", 1, ARG_UNBALANCED, std::string(600, '#'), 600}, // left as it was
    };
    for (const auto& [line, n, result, text, size] : cases) {
        std::string buffer(size + 1, '#');
        EXPECT_EQ(CommandLineArg(line.c_str(), n, buffer.data(), size), result) << line;
        EXPECT_EQ(buffer.substr(0, std::min(buffer.find('\0'), size)), text) << line;
        EXPECT_EQ(buffer[size], '#') << line;
    }
}
