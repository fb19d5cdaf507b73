// quirebook-cli: its output, its exit statuses, and the files it leaves.
#include "cli.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Result {
    int status;
    std::string out, err;
};

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(Cli({"new", ktl, "My Books"}).status, 0); }
    Result Cli(std::vector<std::string> args) {
        args.insert(args.begin(), "quirebook-cli");
        std::vector<const char*> argv;
        for (const std::string& arg : args) argv.push_back(arg.c_str());
        std::ostringstream out, err;
        int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
        return {status, out.str(), err.str()};
    }
    TempDir dir;
    std::string ktl = dir.File("c.ktl");
};

TEST_F(CliTest, AddAndShowPrintTheOrdinalTheCountsAndTheBlankRecordWithTheGivenValues) {
    EXPECT_EQ(ReadAll(ktl).size(), 25294u);
    // clang-format off
    EXPECT_EQ(Cli({"add", ktl, "1=Say \"hi\", then go", "10=-7", "18=a=b", "3=" + std::string(70, 's')}).out, "1\n");
    EXPECT_EQ(Cli({"add", ktl}).out, "2\n");
    EXPECT_EQ(Cli({"show", ktl}).out, "name\tMy Books\nfields\t20\nslots\t20\nrecords\t2\n");
    EXPECT_EQ(Cli({"show", ktl, "1"}).out, "1\tSay \"hi\", then go\n2\t\n3\t" + std::string(64, 's') +
              "\n4\t\n5\t\n6\t\n7\t\n8\t0\n9\t0\n10\t-7\n11\t\n12\t1\n13\t1\n14\t1\n15\t0\n16\t0\n17\t\n18\ta=b\n19\t\n20\t3\n");
    // clang-format on
    EXPECT_EQ(Cli({"export", ktl, dir.File("no/such/folder.csv")}).status, 1);
}

TEST_F(CliTest, BadUsageExitsTwoAndNotDoneExitsOneWithoutChangingTheFile) {
    Cli({"add", ktl, "1=Only"});
    std::vector<uint8_t> before = ReadAll(ktl);
    // clang-format off
    const std::vector<std::string> usage[] = {
        {}, {"frobnicate", ktl}, {"add", ktl, "21=x"}, {"add", ktl, "0=x"}, {"add", ktl, "title"},
        {"add", ktl, "8=abc"}, {"add", ktl, "8=2147483648"}, {"add", ktl, "8=+5"}, {"set", ktl, "1"},
        {"set", ktl, "x", "1=a"}, {"sort", ktl, "0"}, {"sort", ktl, "21"}, {"delete", ktl},
        {"show", dir.File("missing.ktl")}, {"check", "/etc/hostname"}};
    // clang-format on
    for (const auto& args : usage) {
        Result result = Cli(args);
        EXPECT_EQ(result.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    }
    const std::vector<std::string> notDone[] = {
        {"delete", ktl, "2"}, {"copy", ktl, "0"}, {"show", ktl, "5"}, {"find", ktl, "zzz"}};
    for (const auto& args : notDone) {
        Result result = Cli(args);
        EXPECT_EQ(result.status, 1) << args[0];
        EXPECT_TRUE(result.out.empty() && !result.err.empty());
    }
    EXPECT_EQ(ReadAll(ktl), before);
    EXPECT_EQ(Cli({"check", ktl}).status, 0);
}

// Only the first 30 characters of a search text are searched for.
TEST_F(CliTest, CopyPrintsTheNewOrdinalAndFindSearchesThirtyCharacters) {
    Cli({"add", ktl, "7=" + std::string(30, 'x') + "yyy"});
    EXPECT_EQ(Cli({"copy", ktl, "1"}).out, "2\n");
    EXPECT_EQ(Cli({"find", ktl, std::string(30, 'x') + "zzz", "--after", "1"}).out, "2\n");
}

TEST_F(CliTest, ImportReadsBackWhatTheExportWrote) {
    Cli({"add", ktl, "1=Quote \"me\", twice", "18=line one\r\nline two\xE9", "10=1250"});
    std::string csv = dir.File("out.csv"), copy = dir.File("copy.ktl");
    Cli({"export", ktl, csv});
    Cli({"new", copy, "Copy"});
    EXPECT_EQ(Cli({"import", copy, csv}).out, "1\n");
    EXPECT_EQ(Cli({"show", copy, "1"}).out, Cli({"show", ktl, "1"}).out);
}

TEST(CliProgram, RunsAsACommandWithItsExitStatus) {
    TempDir dir;
    std::string cli = QUIREBOOK_CLI, ktl = dir.File("p.ktl");
    EXPECT_EQ(std::system((cli + " new " + ktl + " 'Program Test'").c_str()), 0);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " show " + ktl + " 9 2>/dev/null").c_str())), 1);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " 2>/dev/null").c_str())), 2);
}

} // namespace
