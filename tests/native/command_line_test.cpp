#include "command_line.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct Arg {
    CommandLineResult result;
    std::string text;
};

Arg Parse(const std::string& line, uint32_t n, size_t size = 600) {
    std::string buffer(size + 1, '#');
    CommandLineResult result = CommandLineArg(line.c_str(), n, buffer.data(), size);
    buffer.resize(size);
    return {result, buffer.substr(0, buffer.find('\0'))};
}

TEST(CommandLine, QuotesGroupAPathWithSpaces) {
    const std::string line =
        "\"C:\\Program Files\\Quirebook.exe\" \"C:\\My Books\\All Of Them.ktl\"";
    EXPECT_EQ(Parse(line, 0).text, "C:\\Program Files\\Quirebook.exe");
    Arg arg = Parse(line, 1);
    EXPECT_EQ(arg.result, ARG_COPIED);
    EXPECT_EQ(arg.text, "C:\\My Books\\All Of Them.ktl");
    // Quotes in the middle of an item group too and are left out.
    arg = Parse("q.exe C:\\\"My Books\"\\a.ktl next", 1);
    EXPECT_EQ(arg.text, "C:\\My Books\\a.ktl");
    EXPECT_EQ(Parse("q.exe C:\\\"My Books\"\\a.ktl next", 2).text, "next");
}

TEST(CommandLine, UnquotedSpacesAndTabsSeparate) {
    EXPECT_EQ(Parse("q.exe C:\\My Books\\a.ktl", 1).text, "C:\\My");
    EXPECT_EQ(Parse("q.exe C:\\My Books\\a.ktl", 2).text, "Books\\a.ktl");
    Arg arg = Parse("  q.exe\t\t  \ta.ktl\t", 1);
    EXPECT_EQ(arg.result, ARG_COPIED);
    EXPECT_EQ(arg.text, "a.ktl");
    // A tab inside quotes belongs to the item and reads as a space.
    EXPECT_EQ(Parse("q.exe \"a\tb.ktl\"", 1).text, "a b.ktl");
}

TEST(CommandLine, UnbalancedQuotesLeaveTheDestinationAlone) {
    char buffer[16] = "untouched";
    EXPECT_EQ(CommandLineArg("q.exe \"a b\" \"c", 1, buffer, sizeof buffer), ARG_UNBALANCED);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(CommandLineArg("q.exe \"\"\"", 1, buffer, sizeof buffer), ARG_UNBALANCED);
    EXPECT_STREQ(buffer, "untouched");
}

TEST(CommandLine, MissingAndEmptyArguments) {
    Arg arg = Parse("q.exe", 1);
    EXPECT_EQ(arg.result, ARG_MISSING);
    EXPECT_EQ(arg.text, "");
    EXPECT_EQ(Parse("q.exe   \t ", 1).result, ARG_MISSING);
    EXPECT_EQ(Parse("", 0).result, ARG_MISSING);
    EXPECT_EQ(Parse("q.exe a.ktl", 2).result, ARG_MISSING);
    arg = Parse("q.exe \"\" a.ktl", 1);
    EXPECT_EQ(arg.result, ARG_EMPTY);
    EXPECT_EQ(arg.text, "");
    EXPECT_EQ(Parse("q.exe \"\" a.ktl", 2).text, "a.ktl");
}

TEST(CommandLine, LongLinesAreReadWhole) {
    // Well past 192 characters: the path arrives whole.
    std::string path = "C:\\";
    for (int i = 0; i < 40; ++i) path += "Folder " + std::to_string(i) + "\\";
    path += "Collection.ktl";
    ASSERT_GT(path.size(), 400u);
    const std::string program = "\"C:\\Program Files (x86)\\Quirebook\\Quirebook.exe\"";
    Arg arg = Parse(program + " \"" + path + "\"", 1);
    EXPECT_EQ(arg.result, ARG_COPIED);
    EXPECT_EQ(arg.text, path);
    // A long program path before the argument does not hide it either.
    const std::string longProgram(300, 'p');
    EXPECT_EQ(Parse(longProgram + " b.ktl", 1).text, "b.ktl");
}

TEST(CommandLine, AnArgumentThatDoesNotFitIsRefused) {
    const std::string path(20, 'x');
    EXPECT_EQ(Parse("q.exe " + path, 1, 21).result, ARG_COPIED);
    Arg arg = Parse("q.exe " + path, 1, 20);
    EXPECT_EQ(arg.result, ARG_TOO_LONG);
    EXPECT_EQ(arg.text, "");
    EXPECT_EQ(Parse("q.exe \"\"", 1, 0).result, ARG_TOO_LONG);
    // Only the wanted item has to fit.
    EXPECT_EQ(Parse(std::string(50, 'q') + " a", 1, 2).text, "a");
}

TEST(CommandLine, OtherBytesPassUnchanged) {
    // 0xFE and other high bytes of the ANSI code page are ordinary characters.
    EXPECT_EQ(Parse("q.exe \"\xFE\xE9 x\xFE.ktl\"", 1).text, "\xFE\xE9 x\xFE.ktl");
}

} // namespace
