#include "test_files.h"
#include "text_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(Cli({"new", ktl, "My Books"}).status, 0); }
    TempDir dir;
    std::string ktl = dir.File("c.ktl");
};

TEST_F(CliTest, BadUsageExitsTwoAndNotDoneOneWithOneLineSaidAndTheFileUnchanged) {
    Cli({"add", ktl, "1=Only"});
    std::vector<uint8_t> before = ReadAll(ktl);
    // clang-format off
    const std::vector<std::vector<std::string>> usage = {
        {}, {"frobnicate", ktl}, {"add", ktl, "21=x"}, {"add", ktl, "0=x"}, {"add", ktl, "title"},
        {"add", ktl, "8=abc"}, {"add", ktl, "8=2147483648"}, {"add", ktl, "8=+5"}, {"set", ktl, "1"},
        {"set", ktl, "x", "1=a"}, {"sort", ktl, "0"}, {"sort", ktl, "21"}, {"delete", ktl},
        {"show", dir.File("missing.ktl")}, {"check", "/etc/hostname"}}, notDone = {
        {"delete", ktl, "2"}, {"copy", ktl, "0"}, {"show", ktl, "5"}, {"find", ktl, "zzz"},
        {"export", ktl, dir.File("no/such/folder.csv")}};
    // clang-format on
    for (int status : {2, 1})
        for (const auto& args : status == 2 ? usage : notDone) {
            CliResult result = Cli(args);
            EXPECT_EQ(result.status, status) << (args.empty() ? "" : args[0]);
            EXPECT_TRUE(result.out.empty());
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
        }
    EXPECT_EQ(ReadAll(ktl), before);
    EXPECT_EQ(Cli({"check", ktl}).status, 0);
    std::string cli = QUIREBOOK_CLI; // the program itself exits with these statuses
    EXPECT_EQ(std::system((cli + " new " + ktl + " 'Program Test'").c_str()), 0);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " show " + ktl + " 9 2>/dev/null").c_str())), 1);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " 2>/dev/null").c_str())), 2);
}

TEST_F(CliTest, ImportReadsBackWhatTheExportWroteAndFindSearchesThirtyCharacters) {
    Cli({"add", ktl, "1=Quote \"me\", twice", "18=line one\r\nline two\xE9", "10=1250", "9=-7",
         "12=4", "16=-1", "3=" + std::string(64, 's'), "19=C:\\a b.pdf"});
    std::string csv = dir.File("out.csv"), copy = dir.File("copy.ktl");
    Cli({"export", ktl, csv});
    Cli({"new", copy, "Copy"});
    EXPECT_EQ(Cli({"import", copy, csv}).out, "1\n");
    EXPECT_EQ(Cli({"show", copy, "1"}).out, Cli({"show", ktl, "1"}).out);
    Cli({"add", ktl, "7=" + std::string(30, 'x') + "yyy"});
    EXPECT_EQ(Cli({"find", ktl, std::string(30, 'x') + "zzz"}).out, "2\n");
}

// A bad line refuses the whole file, naming itself; texts in UTF-8 become
// Windows-1252, and a header, list entries by name and prices with a point are read.
TEST_F(CliTest, ImportRefusesABadFileWholeAndReadsWhatSpreadsheetsWrite) {
    Cli({"add", ktl, "1=Kept"});
    const std::string csv = dir.File("in.csv"), commas(19, ',');
    // The CSV, then the failure said or fields of the record it adds.
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\n\"b\r\nc", "Line 2: Quote Never Closed"},
        {"a\n" + commas + ",x", "Line 2: More Than 20 Values"},
        {"a,,,,,,,,12x", "Line 1: No Number In Column 9"},
        {std::string("a,,,,,,,,12\0", 12), "Line 1: No Number In Column 9"},
        {"a,,,,,,,,,12.3.4", "Line 1: No Number In Column 10"},
        {"a,,,,,,,,,42949673.00", "Line 1: No Number In Column 10"},
        {"a,,,,,,,,,,,Maybe", "Line 1: No Number In Column 12"},
        {"\n\ra\r\n" + commas + "4", "Line 4: Kind Is Not 1, 2 or 3"},
        {"\xEF\xBB\xBFTITLE,Lead,subject/style\r\n\xC3\xA9t\xC3\xA9 "
         "\xE2\x82\xAC\xE2\x98\x83,,,,,,,,,"
         "12.5,,yes,NEVER,Half,,borrowed,,,,1",
         "1=\xE9t\xE9 \x80?|10=1250|12=0|13=2|14=4|16=3|20=1"},
        {"caf\xC3\xA9", "1=caf\xE9|20=3"},
        {"caf\xE9,\xC3\xA9", "1=caf\xE9|2=\xC3\xA9"}, // no UTF-8: byte for byte
        {"x,,\"" + std::string(70, 's') + "\",,,,,,,.75", "3=" + std::string(64, 's') + "|10=75"},
    };
    for (const auto& [text, expected] : cases) {
        WriteAll(csv, std::vector<uint8_t>(text.begin(), text.end()));
        std::vector<uint8_t> before = ReadAll(ktl);
        CliResult result = Cli({"import", ktl, csv});
        if (expected.rfind("Line ", 0) == 0) {
            EXPECT_EQ(result.status, 2) << text;
            EXPECT_EQ(result.err, "quirebook-cli: " + csv + ": " + expected + "\n");
            EXPECT_EQ(ReadAll(ktl), before) << text;
            continue;
        }
        EXPECT_EQ(result.out, "1\n") << text;
        std::string shown = "\n" + Cli({"show", ktl, "2"}).out;
        for (size_t at = 0, end = 0; at < expected.size(); at = end + 1) {
            end = std::min(expected.find('|', at), expected.size());
            std::string field = expected.substr(at, end - at);
            EXPECT_NE(shown.find("\n" + field.replace(field.find('='), 1, "\t") + "\n"),
                      std::string::npos)
                << field;
        }
        Cli({"delete", ktl, "2"});
    }
    // A file with room for two more records: three are refused, two come in.
    std::string tiny = dir.File("tiny.ktl");
    RecordFile* file = CreateRecordFile(tiny.c_str(), 1);
    DefineField(file, 1, FIELD_NUM1);
    LayOutFields(file);
    CloseRecordFile(file);
    std::vector<uint8_t> bytes = ReadAll(tiny);
    bytes.resize(1358 + 3 * MAX_SLOT_COUNT);
    PutWord(bytes, SLOT_COUNT_OFFSET, MAX_SLOT_COUNT);
    for (uint32_t slot = 0; slot < MAX_SLOT_COUNT - 2; ++slot) bytes[1358 + 3 * slot] = SLOT_IN_USE;
    WriteAll(tiny, bytes);
    WriteAll(csv, {'1', '\n', '2', '\n', '3'});
    EXPECT_EQ(Cli({"import", tiny, csv}).err,
              "quirebook-cli: " + csv + ": Line 3: Collection Full\n");
    EXPECT_EQ(ReadAll(tiny), bytes);
    WriteAll(csv, {'1', '\n', '2', '\n'});
    EXPECT_EQ(Cli({"import", tiny, csv}).out, "2\n");
}

// The file is read 256 KiB at a time: a record cut by the end of the first
// piece, in its doubled quote, its line break in quotes, its own CR LF or that
// of the empty line after it, is read whole and the lines after it are counted right.
TEST_F(CliTest, ImportReadsARecordCutByTheEndOfAPieceWhole) {
    const std::string record = "\"a\"\"b\r\nc\",,,,,,,,7\r\n\r\n", csv = dir.File("cut.csv");
    const std::string expected = dir.File("expected.ktl");
    Cli({"new", expected, "Cut"});
    Cli({"add", expected, "1=a\"b\r\nc", "9=7"});
    for (size_t cut = 1; cut <= record.size(); ++cut) {
        std::string lines;
        uint32_t count = 1;
        for (; lines.size() + 400 < (256u << 10) - cut; ++count)
            lines += std::string(199, 'x') + "\n";
        lines += std::string((256u << 10) - cut - lines.size() - 1, 'y') + "\n";
        const std::string file = dir.File("cut" + std::to_string(cut) + ".ktl");
        const std::string good = lines + record, bad = good + "z,,,,,,,,no";
        Cli({"new", file, "Cut"});
        WriteAll(csv, std::vector<uint8_t>(bad.begin(), bad.end()));
        EXPECT_EQ(Cli({"import", file, csv}).err, "quirebook-cli: " + csv + ": Line " +
                                                      std::to_string(count + 4) +
                                                      ": No Number In Column 9\n")
            << cut;
        WriteAll(csv, std::vector<uint8_t>(good.begin(), good.end()));
        EXPECT_EQ(Cli({"import", file, csv}).out, std::to_string(count + 1) + "\n") << cut;
        EXPECT_EQ(Cli({"show", file, std::to_string(count + 1)}).out,
                  Cli({"show", expected, "1"}).out)
            << cut;
    }
}

// Random commands run through quirebook-cli and through a model that computes
// each result from its definition, not by the engine's steps; file, output and
// export must agree byte for byte. QUIREBOOK_MODEL_STEPS sets the steps of each run.
using Bytes = std::vector<uint8_t>;
const std::string blanks[21] = {"", "",  "",  "",  "",  "",  "", "", "0", "0", "0",
                                "", "1", "1", "1", "0", "0", "", "", "",  "3"};

static uint32_t FieldOffset(uint32_t field) {
    return std::accumulate(FIELD_WIDTHS + 1, FIELD_WIDTHS + field, 2u);
}

struct Model {
    Bytes head = Bytes(STANDARD_DATA_START, 0);
    std::vector<Bytes> slots;

    // A new collection: the mark, the name in its 300-byte block, the header
    // words, each field's type and place, and ten empty slots.
    explicit Model(const std::string& name) {
        const uint32_t types[21] = {0,  13, 13, 12, 12, 12, 12, 13, 2,  2, 2,
                                    12, 2,  2,  2,  2,  2,  12, 14, 12, 2};
        std::memcpy(head.data(), "DATA0007", 8);
        std::copy_n(name.begin(), std::min<size_t>(name.size(), 300), head.begin() + 8);
        for (auto [offset, word] : {std::pair{608, 1}, {674, 1}, {1276, 2}, {1278, 20}, {1282, 10}})
            PutWord(head, static_cast<size_t>(offset), static_cast<uint32_t>(word));
        for (uint32_t f = 1; f <= 20; ++f) {
            PutWord(head, 1350 + 4 * f, types[f]);
            PutWord(head, 1352 + 4 * f, STANDARD_DATA_START + FieldOffset(f));
        }
        Resize(10);
    }
    // A slot whose status word is 10 holds a record; one above 9 is used all the same.
    bool IsRecord(uint32_t s) const { return WordAt(slots[s], 0) == SLOT_IN_USE; }
    bool IsUsed(uint32_t s) const { return WordAt(slots[s], 0) > 9; }
    // The record slots before the slot end: their count is the ordinal of the last.
    std::vector<uint32_t> Records(size_t end = SIZE_MAX, bool used = false) const {
        std::vector<uint32_t> records;
        for (uint32_t s = 0; s < std::min(end, slots.size()); ++s)
            if (used ? IsUsed(s) : IsRecord(s)) records.push_back(s);
        return records;
    }
    // The used slots packed into slots 0, 1, ... in the stable order of their
    // values of sortField (0: as they are); every slot they vacate keeps the
    // last used slot's bytes with status 5.
    void Pack(uint32_t sortField) {
        std::vector<uint32_t> records = Records(SIZE_MAX, true), order = records;
        if (records.empty()) return;
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return sortField && Value(a, sortField) < Value(b, sortField);
        });
        std::vector<Bytes> old = slots;
        Bytes last = slots[records.back()];
        PutWord(last, 0, SLOT_DELETED);
        for (uint32_t s = 0; s <= records.back(); ++s)
            slots[s] = s < order.size() ? old[order[s]] : last;
    }
    void Resize(uint32_t count) {
        slots.resize(count, Bytes(STANDARD_RECORD_SIZE, 0));
        PutWord(head, SLOT_COUNT_OFFSET, count);
    }
    // Before an add, a file with more than 90 % of its slots used or fewer than
    // ten free grows by ten slots, up to 65530; one of more than 50 slots with
    // fewer than 70 % used is packed and loses its last ten. The add takes the
    // first free slot.
    uint32_t Add() {
        uint32_t n = static_cast<uint32_t>(slots.size());
        uint32_t used = uint32_t(Records(SIZE_MAX, true).size());
        if (used * 100 / n > 90 || n - used < 10) {
            if (n + 10 <= MAX_SLOT_COUNT) Resize(n + 10);
        } else if (used * 100 / n < 70 && n > 50) {
            Pack(0);
            Resize(n - 10);
        }
        uint32_t s = 0;
        while (IsUsed(s)) ++s;
        PutWord(slots[s], 0, SLOT_IN_USE);
        return s;
    }
    void Write(uint32_t slot, uint32_t field, std::string value) {
        int32_t number = FIELD_WIDTHS[field] == 4 ? std::stoi(value) : 0;
        if (FIELD_WIDTHS[field] == 4) value.assign(reinterpret_cast<char*>(&number), 4);
        value.resize(FIELD_WIDTHS[field]); // cut to the field, or filled with NULs
        std::copy(value.begin(), value.end(), slots[slot].begin() + FieldOffset(field));
    }
    std::string Value(uint32_t slot, uint32_t field) const {
        const char* text = reinterpret_cast<const char*>(&slots[slot][FieldOffset(field)]);
        int32_t number;
        std::memcpy(&number, text, 4);
        return FIELD_WIDTHS[field] == 4 ? std::to_string(number)
                                        : std::string(text, strnlen(text, FIELD_WIDTHS[field]));
    }
    // A record matches when one of its texts holds the search text, ASCII
    // letters of either case alike, or one of its numbers is the search
    // text's number, unless that is 0 or -1.
    bool Matches(uint32_t slot, const std::string& search) const {
        uint32_t number = DecimalToNumber(search.c_str());
        auto same = [](char v, char c) {
            return v == c || (((v | 32) >= 'a' && (v | 32) <= 'z') && (v ^ 32) == c);
        };
        for (uint32_t f = 1; f <= 20; ++f) {
            std::string value = Value(slot, f);
            if (FIELD_WIDTHS[f] != 4
                    ? search.empty() || std::search(value.begin(), value.end(), search.begin(),
                                                    search.end(), same) != value.end()
                    : number != 0 && number != UINT32_MAX &&
                          static_cast<uint32_t>(std::stoll(value)) == number)
                return true;
        }
        return false;
    }
    Bytes File() const {
        Bytes file = head;
        for (const Bytes& slot : slots) file.insert(file.end(), slot.begin(), slot.end());
        return file;
    }
    // A line a slot, of every field but the last quoted, quotes doubled.
    Bytes Csv() const {
        std::string csv;
        for (uint32_t s = 0; s < slots.size(); csv += '\r', ++s)
            for (uint32_t f = 1; IsRecord(s) && f < 20; ++f) {
                std::string value = Value(s, f);
                for (size_t q = 0; (q = value.find('"', q)) != std::string::npos; q += 2)
                    value.insert(q, 1, '"');
                csv += '"' + value + "\",";
            }
        return Bytes(csv.begin(), csv.end());
    }
};

TEST(FormatModel, RandomCommandSequencesLeaveTheModelsBytes) {
    TempDir dir;
    std::string ktl = dir.File("m.ktl"), csv = dir.File("m.csv");
    const char* env = std::getenv("QUIREBOOK_MODEL_STEPS");
    const int steps = env ? std::atoi(env) : 400;
    std::mt19937 random(11);
    // Searches take a word's first three bytes: "ban" also lies past sixteen bytes
    // that cannot begin it, "a\xE9r" must not fold the case of "\xC9", and "0"
    // names no number.
    const char* words[] = {"apple",     "Apple",     "banana", "say \"hi\"",
                           "9",         "10",        "",       "zebra=crossing",
                           "\xE9t\xE9", "\xC9t\xC9", "0",      "zzzzzzzzzzzzzzzzbanana",
                           "a\xE9ro",   "A\xC9ro"};
    const uint32_t wordCount = sizeof words / sizeof words[0];
    // Whole windows of slots in memory, a few slots at a time, and one slot at a
    // time; each from a new file and from a large one.
    const uint64_t defaultLimit = gSlotMemoryLimit;
    const uint64_t limits[] = {defaultLimit, uint64_t{24} * STANDARD_RECORD_SIZE, 0};
    for (int run = 0; run < 6; ++run) {
        gSlotMemoryLimit = limits[run / 2];
        const bool large = run % 2, full = run % 4 == 3;
        Model model(std::string(400, 'n'));
        if (large) {
            // Several hundred slots of every kind of status word: records, used
            // slots that are no records (moved, never shown), deleted, empty and
            // other free ones, each with bytes of its own; 72 % used, so that
            // deleting soon compacts, or 90 %, so that adding soon grows.
            model.Resize(300 + random() % 200);
            const uint32_t statuses[] = {10, 11, 255, 4096, 65535, 5, 0, 1, 9};
            const uint32_t records = full ? 80 : 62;
            for (uint32_t s = 0; s < model.slots.size(); ++s) {
                uint32_t kind = random() % 100;
                model.Write(s, 1, words[random() % wordCount]);
                model.Write(s, 9, std::to_string(int(random() % 200) - 50));
                model.Write(s, 18, std::string(random() % 40, static_cast<char>('a' + s % 26)));
                kind = kind < records ? 0 : kind < records + 10 ? 1 + kind % 4 : 5 + kind % 4;
                PutWord(model.slots[s], 0, statuses[kind]);
            }
            WriteAll(ktl, model.File());
        } else {
            ASSERT_EQ(Cli({"new", ktl, std::string(400, 'n')}).status, 0);
        }
        // Phases of mostly adding, then mostly deleting, cross growth, compaction
        // and shrinking; a large file less than 90 % used starts by deleting.
        for (int step = 0; step < (large ? steps / 2 : steps); ++step) {
            bool adding = (step / std::max(100, steps / 8) + (large && !full)) % 2 == 0;
            std::vector<uint32_t> records = model.Records();
            uint32_t choice = random() % 100, n = static_cast<uint32_t>(records.size());
            uint32_t ordinal = 1 + (n ? random() % n : 0), slot = n ? records[ordinal - 1] : 0;
            std::string ord = std::to_string(ordinal), text = words[random() % wordCount],
                        list = words[random() % wordCount], printed;
            std::vector<std::string> args;
            if (n == 0 || (adding ? choice < 50 : choice < 12)) {
                std::string number = std::to_string(int(random() % 200) - 50);
                std::string last = std::to_string(int32_t(random())); // the slot's last bytes
                args = {"add", ktl, "1=" + text, "3=" + list, "9=" + number, "20=" + last};
                uint32_t added = model.Add();
                for (uint32_t f = 1; f <= 20; ++f) model.Write(added, f, blanks[f]);
                for (size_t i = 2; i < args.size(); ++i)
                    model.Write(added, std::stoul(args[i]), args[i].substr(args[i].find('=') + 1));
                printed = std::to_string(model.Records(added + 1).size()) + "\n";
            } else if (choice < (adding ? 62u : 70u)) {
                args = {"delete", ktl, ord};
                PutWord(model.slots[slot], 0, SLOT_DELETED);
            } else if (choice < 77) {
                args = {"copy", ktl, ord};
                Bytes source = model.slots[slot];
                uint32_t added = model.Add();
                model.slots[added] = source;
                printed = std::to_string(model.Records(added + 1).size()) + "\n";
            } else if (choice < 83) {
                uint32_t field = std::vector<uint32_t>{1, 3, 9, 18}[random() % 4];
                args = {"sort", ktl, std::to_string(field)};
                model.Pack(field);
            } else if (choice < 92) {
                // The first match after the record, the last before it, or the first of all.
                uint32_t mode = choice % 3;
                args = {"find", ktl, text.substr(0, 3), mode == 1 ? "--before" : "--after", ord};
                args.resize(mode == 2 ? 3 : 5);
                for (uint32_t k = 1; k <= n; ++k)
                    if (model.Matches(records[k - 1], args[2]) &&
                        (mode == 1 ? k < ordinal : printed.empty() && (mode == 2 || k > ordinal)))
                        printed = std::to_string(k) + "\n";
            } else if (choice == 92) {
                args = {"show", ktl, ord};
                for (uint32_t f = 1; f <= 20; ++f)
                    printed += std::to_string(f) + "\t" + model.Value(slot, f) + "\n";
            } else if (choice == 93) {
                args = {"export", ktl, csv};
            } else if (choice == 94) {
                // Records as a spreadsheet writes them: bare or quoted values, any line end,
                // perhaps a header and empty lines; sometimes enough to grow the file often.
                uint32_t count = 1 + random() % (step % 2 ? 60 : 8);
                std::string lines = random() % 2 ? "title,LEAD\n" : "";
                for (uint32_t r = 0; r < count; ++r) {
                    std::string value[21] = {"", words[random() % wordCount], "",
                                             words[random() % wordCount]};
                    value[9] = std::to_string(int(random() % 200) - 50);
                    value[20] = random() % 2 ? std::to_string(1 + random() % 3) : "";
                    uint32_t added = model.Add();
                    for (uint32_t f = 1; f <= 20; ++f) {
                        model.Write(added, f, value[f].empty() ? blanks[f] : value[f]);
                        bool quoted =
                            value[f].find_first_of("\",") != std::string::npos || random() % 2;
                        for (size_t q = 0; (q = value[f].find('"', q)) != std::string::npos; q += 2)
                            value[f].insert(q, 1, '"');
                        lines += (quoted ? '"' + value[f] + '"' : value[f]) + (f < 20 ? "," : "");
                    }
                    const std::string end =
                        std::vector<std::string>{"\r", "\n", "\r\n"}[random() % 3];
                    lines += random() % 8 ? end : end + end;
                }
                WriteAll(csv, Bytes(lines.begin(), lines.end()));
                args = {"import", ktl, csv};
                printed = std::to_string(count) + "\n";
            } else {
                std::string value(1 + random() % 320, static_cast<char>('a' + random() % 26));
                uint32_t field = 1 + random() % 20;
                if (FIELD_WIDTHS[field] == 4) value = std::to_string(int32_t(random()));
                args = {"set", ktl, ord, std::to_string(field) + "=" + value};
                model.Write(slot, field, value);
            }
            CliResult result = Cli(args);
            ASSERT_EQ(result.status, args[0] == "find" && printed.empty() ? 1 : 0) << args[0];
            ASSERT_EQ(result.out, printed) << "step " << step;
            if (args[0] == "export") {
                ASSERT_EQ(ReadAll(csv), model.Csv());
            }
            ASSERT_EQ(ReadAll(ktl), model.File()) << "run " << run << ", step " << step;
        }
        EXPECT_EQ(Cli({"show", ktl}).out, "name\t" + std::string(300, 'n') +
                                              "\nfields\t20\nslots\t" +
                                              std::to_string(model.slots.size()) + "\nrecords\t" +
                                              std::to_string(model.Records().size()) + "\n");
    }
    gSlotMemoryLimit = defaultLimit;
}
