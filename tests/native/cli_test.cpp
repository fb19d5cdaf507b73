#include "cli.h"
#include "record_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "quirebook-cli");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(Cli({"new", ktl, "My Books"}).status, 0); }
    std::string Field(const std::string& ordinal, int field) {
        std::istringstream lines(Cli({"show", ktl, ordinal}).out);
        std::string line;
        for (int i = 0; i < field; ++i) std::getline(lines, line);
        return line.substr(line.find('\t') + 1);
    }
    TempDir dir;
    std::string ktl = dir.File("c.ktl");
};

TEST_F(CliTest, NewAddShowAndSetWriteTheBlankRecordAndTheGivenValues) {
    EXPECT_EQ(ReadAll(ktl).size(), 25294u);
    Result added = Cli({"add", ktl, "1=Dune", "10=-7", "18=a=b", "3=" + std::string(70, 's')});
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.out, "1\n");
    EXPECT_EQ(Cli({"add", ktl}).out, "2\n");
    EXPECT_EQ(Cli({"show", ktl}).out, "name\tMy Books\nfields\t20\nslots\t20\nrecords\t2\n");
    std::string shown = Cli({"show", ktl, "1"}).out;
    EXPECT_EQ(shown,
              "1\tDune\n2\t\n3\t" + std::string(64, 's') +
                  "\n4\t\n5\t\n6\t\n7\t\n8\t0\n9\t0\n10\t-7\n11\t\n12\t1\n13\t1\n14\t1\n15\t0\n"
                  "16\t0\n17\t\n18\ta=b\n19\t\n20\t3\n");
    EXPECT_EQ(Cli({"set", ktl, "2", "20=1", "9=2147483647"}).status, 0);
    EXPECT_EQ(Field("2", 20), "1");
    EXPECT_EQ(Field("2", 9), "2147483647");
}

TEST_F(CliTest, BadUsageExitsTwoAndNotDoneExitsOneWithoutChangingTheFile) {
    Cli({"add", ktl, "1=Only"});
    std::vector<uint8_t> before = ReadAll(ktl);
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"frobnicate", ktl},
                                                                  {"add", ktl, "21=x"},
                                                                  {"add", ktl, "0=x"},
                                                                  {"add", ktl, "title"},
                                                                  {"add", ktl, "8=abc"},
                                                                  {"add", ktl, "8=2147483648"},
                                                                  {"add", ktl, "8=+5"},
                                                                  {"set", ktl, "1"},
                                                                  {"set", ktl, "x", "1=a"},
                                                                  {"sort", ktl, "0"},
                                                                  {"sort", ktl, "21"},
                                                                  {"delete", ktl},
                                                                  {"show", dir.File("missing.ktl")},
                                                                  {"check", "/etc/hostname"}}) {
        Result result = Cli(args);
        EXPECT_EQ(result.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(result.err.empty());
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"delete", ktl, "2"}, {"copy", ktl, "0"}, {"show", ktl, "5"}, {"find", ktl, "zzz"}}) {
        Result result = Cli(args);
        EXPECT_EQ(result.status, 1) << args[0];
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_EQ(ReadAll(ktl), before);
    EXPECT_EQ(Cli({"check", ktl}).status, 0);
}

TEST_F(CliTest, CopyCopiesTheRecordThatHadTheOrdinalBeforeTheAdd) {
    Cli({"add", ktl, "1=A"});
    Cli({"add", ktl, "1=Gone"});
    Cli({"add", ktl, "1=B"});
    Cli({"delete", ktl, "2"});
    // The add reuses the free slot before B, which moves B to ordinal 3.
    Result copied = Cli({"copy", ktl, "2"});
    EXPECT_EQ(copied.out, "2\n");
    EXPECT_EQ(Field("2", 1), "B");
    EXPECT_EQ(Field("3", 1), "B");
    EXPECT_EQ(Field("1", 1), "A");
}

TEST_F(CliTest, SortFindAndNoWrapAround) {
    for (const char* title : {"beta", "Alpha", "gamma rock", "ROCK"})
        Cli({"add", ktl, std::string("1=") + title});
    EXPECT_EQ(Cli({"sort", ktl, "1"}).status, 0);
    EXPECT_EQ(Field("1", 1), "Alpha");
    EXPECT_EQ(Field("2", 1), "ROCK");
    EXPECT_EQ(Cli({"find", ktl, "rock"}).out, "2\n");
    EXPECT_EQ(Cli({"find", ktl, "rock", "--after", "2"}).out, "4\n");
    EXPECT_EQ(Cli({"find", ktl, "rock", "--after", "4"}).status, 1);
    EXPECT_EQ(Cli({"find", ktl, "rock", "--before", "4"}).out, "2\n");
    EXPECT_EQ(Cli({"find", ktl, "rock", "--before", "2"}).status, 1);
    EXPECT_EQ(Cli({"find", ktl, "rock", "--before", "9"}).status, 1);
    // Only the first 30 characters are searched for.
    EXPECT_EQ(Cli({"find", ktl, "Alpha" + std::string(26, 'x')}).status, 1);
    Cli({"set", ktl, "1", "7=Alpha" + std::string(25, 'x') + "yyy"});
    EXPECT_EQ(Cli({"find", ktl, "Alpha" + std::string(25, 'x') + "zzz"}).out, "1\n");
}

TEST_F(CliTest, ExportThenImportGivesTheSameRecords) {
    Cli({"add", ktl, "1=Quote \"me\", twice", "18=line one\r\nline two", "10=1250", "16=-1"});
    Cli({"add", ktl, "1=Book", "20=1"});
    std::string csv = dir.File("out.csv");
    EXPECT_EQ(Cli({"export", ktl, csv}).status, 0);
    std::string copy = dir.File("copy.ktl");
    Cli({"new", copy, "Copy"});
    Result imported = Cli({"import", copy, csv});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "2\n");
    for (const char* ordinal : {"1", "2"}) {
        std::string original = Cli({"show", ktl, ordinal}).out;
        std::string back = Cli({"show", copy, ordinal}).out;
        // The export leaves out the kind, so it comes back as the blank record's 3.
        EXPECT_EQ(back.substr(0, back.rfind("20\t")), original.substr(0, original.rfind("20\t")));
        EXPECT_EQ(back.substr(back.rfind("20\t")), "20\t3\n");
    }
}

TEST_F(CliTest, ImportTakesAKindAndRefusesABadNumberWholly) {
    std::string csv = dir.File("in.csv");
    auto write = [&](const std::string& text) {
        WriteAll(csv, std::vector<uint8_t>(text.begin(), text.end()));
    };
    write("a" + std::string(7, ',') + "9" + std::string(12, ',') + "1\n");
    EXPECT_EQ(Cli({"import", ktl, csv}).out, "1\n");
    EXPECT_EQ(Field("1", 20), "1");
    EXPECT_EQ(Field("1", 8), "9");
    EXPECT_EQ(Field("1", 12), "1");
    write("\"x\",\"\",\"\",\"\",\"\",\"\",\"\",\"1\",\r\"y\",\"\",\"\",\"\",\"\",\"\",\"\",\"one\","
          "\r");
    std::vector<uint8_t> before = ReadAll(ktl);
    EXPECT_EQ(Cli({"import", ktl, csv}).status, 2);
    EXPECT_EQ(ReadAll(ktl), before);
    write("\"open");
    EXPECT_EQ(Cli({"import", ktl, csv}).status, 2);
    EXPECT_EQ(Cli({"import", ktl, dir.File("missing.csv")}).status, 2);
}

TEST(CliProgram, RunsAsACommandWithItsExitStatus) {
    TempDir dir;
    std::string ktl = dir.File("p.ktl");
    std::string cli = QUIREBOOK_CLI;
    EXPECT_EQ(std::system((cli + " new " + ktl + " 'Program Test'").c_str()), 0);
    EXPECT_EQ(std::system((cli + " add " + ktl + " 1=x >/dev/null").c_str()), 0);
    int status = std::system((cli + " show " + ktl + " 9 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    status = std::system((cli + " 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

} // namespace
