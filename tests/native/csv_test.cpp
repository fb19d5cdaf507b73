#include "csv_export.h"
#include "csv_import.h"
#include "record_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace {

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(CsvExport, OneLinePerSlotWithQuotedFieldsAndCarriageReturns) {
    TempDir dir;
    std::string csv = dir.File("out.csv");
    RecordFile* file = CreateStandardRecordFile(dir.File("e.ktl").c_str(), "E");
    EXPECT_EQ(ExportCsv(file, csv.c_str()), EXPORT_DONE);
    EXPECT_EQ(ReadText(csv), std::string(10, '\r'));

    int32_t first = AddRecord(file);
    SetText("Say \"hi\", then go");
    WriteField(file, first, 1);
    numberValue = 5;
    WriteField(file, first, 10);
    numberValue = static_cast<uint32_t>(-1);
    WriteField(file, first, 16);
    numberValue = 3;
    WriteField(file, first, 20);
    int32_t gap = AddRecord(file);
    int32_t third = AddTitled(file, "Third", 7);
    DeleteRecord(file, gap);
    EXPECT_EQ(ExportCsv(file, csv.c_str()), EXPORT_DONE);
    EXPECT_EQ(ExportCsv(file, csv.c_str()), EXPORT_DONE);
    CloseRecordFile(file);

    std::string firstLine =
        "\"Say \"\"hi\"\", then go\",\"\",\"\",\"\",\"\",\"\",\"\",\"0\",\"0\",\"5\","
        "\"\",\"0\",\"0\",\"0\",\"0\",\"-1\",\"\",\"\",\"\",\r";
    std::string thirdLine = "\"Third\",\"\",\"\",\"\",\"\",\"\",\"\",\"7\",\"0\",\"0\","
                            "\"\",\"0\",\"0\",\"0\",\"0\",\"0\",\"\",\"\",\"\",\r";
    ASSERT_EQ(third, 2);
    EXPECT_EQ(ReadText(csv), firstLine + "\r" + thirdLine + std::string(17, '\r'));
    EXPECT_EQ(ExportCsv(nullptr, dir.File("none.csv").c_str()), EXPORT_NO_FILE);
    EXPECT_TRUE(ReadAll(dir.File("none.csv")).empty());
    EXPECT_EQ(ExportCsv(file = CreateStandardRecordFile(dir.File("f.ktl").c_str(), "F"),
                        dir.File("no/such/folder.csv").c_str()),
              EXPORT_FAILED);
    CloseRecordFile(file);
}

TEST(CsvImport, ReadsQuotingAndEveryLineEnd) {
    std::vector<CsvRow> rows;
    std::string error;
    ASSERT_TRUE(ParseCsv("\"a\",\"b\",\r\"c\"\"d\",e\n\nf,\"g\r\nh\",\r\n\r\nlast", rows, error));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (CsvRow{"a", "b", ""}));
    EXPECT_EQ(rows[1], (CsvRow{"c\"d", "e"}));
    EXPECT_EQ(rows[2], (CsvRow{"f", "g\r\nh", ""}));
    EXPECT_EQ(rows[3], (CsvRow{"last"}));
    ASSERT_TRUE(ParseCsv("\"\"\n,\n", rows, error));
    EXPECT_EQ(rows, (std::vector<CsvRow>{{""}, {"", ""}}));
    EXPECT_FALSE(ParseCsv("ok\n\"never\nends", rows, error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
}

} // namespace
