// Runs random command sequences through the command-line tool and through an
// in-memory model of the file format, and compares the files byte for byte
// after every step, and what find and export give. The model computes each
// result from its definition, not by the engine's steps: compaction packs the
// records in their order and leaves the last one's bytes with status 5 in every
// slot it vacated; a sort is the stable sort of the packed records; an add takes
// the first free slot. QUIREBOOK_MODEL_STEPS sets the steps of each run.
#include "cli.h"
#include "file_io.h"
#include "record_file.h"
#include "test_files.h"
#include "text_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <sstream>

namespace {

using Bytes = std::vector<uint8_t>;
const uint32_t widths[21] = {0,  300, 300, 64, 64, 64, 64, 300,  4,  4, 4,
                             64, 4,   4,   4,  4,  4,  64, 1000, 64, 4};
const std::string blanks[21] = {"", "",  "",  "",  "",  "",  "", "", "0", "0", "0",
                                "", "1", "1", "1", "0", "0", "", "", "",  "3"};

// Where a field lies in its slot.
uint32_t FieldOffset(uint32_t field) {
    return std::accumulate(widths + 1, widths + field, 2u);
}

// The file as its header and its slots.
struct Model {
    Bytes head;
    std::vector<Bytes> slots;

    Bytes File() const {
        Bytes file = head;
        for (const Bytes& slot : slots) file.insert(file.end(), slot.begin(), slot.end());
        return file;
    }
    bool IsRecord(uint32_t s) const { return WordAt(slots[s], 0) == SLOT_IN_USE; }
    std::vector<uint32_t> Records() const {
        std::vector<uint32_t> records;
        for (uint32_t s = 0; s < slots.size(); ++s)
            if (IsRecord(s)) records.push_back(s);
        return records;
    }
    // The records packed into slots 0, 1, ... in their order, or in the
    // stable order of their values of sortField when it is not 0.
    void Pack(uint32_t sortField) {
        std::vector<uint32_t> records = Records(), order = Records();
        if (records.empty()) return;
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return sortField && Value(a, sortField) < Value(b, sortField);
        });
        std::vector<Bytes> packed;
        for (uint32_t s : order) packed.push_back(slots[s]);
        Bytes last = slots[records.back()];
        PutWord(last, 0, SLOT_DELETED);
        for (uint32_t s = 0; s <= records.back(); ++s)
            slots[s] = s < packed.size() ? packed[s] : last;
    }
    void Resize(uint32_t count) {
        slots.resize(count, Bytes(STANDARD_RECORD_SIZE, 0));
        PutWord(head, SLOT_COUNT_OFFSET, count);
    }
    // Before an add, a file with more than 90 % of its slots used or fewer than
    // ten free grows by ten slots, up to 65530; one of more than 50 slots with
    // fewer than 70 % used is compacted and loses its last ten.
    uint32_t Add() {
        uint32_t n = static_cast<uint32_t>(slots.size()), used = uint32_t(Records().size());
        if (used * 100 / n > 90 || n - used < 10) {
            if (n + 10 <= MAX_SLOT_COUNT) Resize(n + 10);
        } else if (used * 100 / n < 70 && n > 50) {
            Pack(0);
            Resize(n - 10);
        }
        uint32_t s = 0;
        while (IsRecord(s)) ++s;
        PutWord(slots[s], 0, SLOT_IN_USE);
        return s;
    }
    void Write(uint32_t slot, uint32_t field, const std::string& value) {
        uint32_t number = widths[field] == 4 ? static_cast<uint32_t>(std::stol(value)) : 0;
        std::string stored =
            widths[field] == 4 ? std::string(reinterpret_cast<char*>(&number), 4) : value;
        uint8_t* at = &slots[slot][FieldOffset(field)];
        std::fill_n(at, widths[field], 0);
        std::copy_n(stored.begin(), std::min<size_t>(stored.size(), widths[field]), at);
    }
    // A field's value as text: numbers signed decimal, texts up to their NUL.
    std::string Value(uint32_t slot, uint32_t field) const {
        const char* text = reinterpret_cast<const char*>(&slots[slot][FieldOffset(field)]);
        int32_t number;
        std::memcpy(&number, text, 4);
        return widths[field] == 4 ? std::to_string(number)
                                  : std::string(text, strnlen(text, widths[field]));
    }
    // A record matches when one of its texts holds the search text, ASCII
    // letters of either case alike, or one of its numbers is the search
    // text's number, unless that is 0 or -1.
    bool Matches(uint32_t slot, const std::string& search) const {
        uint32_t number = DecimalToNumber(search.c_str());
        for (uint32_t f = 1; f <= 20; ++f) {
            std::string value = Value(slot, f);
            auto same = [](char v, char c) {
                return v == c || (((v | 32) >= 'a' && (v | 32) <= 'z') && (v ^ 32) == c);
            };
            auto at = std::search(value.begin(), value.end(), search.begin(), search.end(), same);
            if (widths[f] != 4 ? search.empty() || at != value.end()
                               : number != 0 && number != UINT32_MAX &&
                                     static_cast<uint32_t>(std::stoll(value)) == number)
                return true;
        }
        return false;
    }
    std::string Csv() const {
        std::string csv;
        for (uint32_t s = 0; s < slots.size(); csv += '\r', ++s)
            for (uint32_t f = 1; IsRecord(s) && f < 20; ++f) {
                std::string value = Value(s, f);
                for (size_t q = 0; (q = value.find('"', q)) != std::string::npos; q += 2)
                    value.insert(q, 1, '"');
                csv += '"' + value + "\",";
            }
        return csv;
    }
};

int Cli(std::vector<std::string> args, std::string* printed = nullptr) {
    args.insert(args.begin(), "quirebook-cli");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    if (printed) *printed = out.str();
    return status;
}

TEST(FormatModel, RandomCommandSequencesLeaveTheModelsBytes) {
    TempDir dir;
    std::string ktl = dir.File("m.ktl"), csv = dir.File("m.csv");
    const char* env = std::getenv("QUIREBOOK_MODEL_STEPS");
    const int steps = env ? std::atoi(env) : 400;
    std::mt19937 random(11);
    const char* words[] = {"apple", "Apple", "banana",         "say \"hi\"", "9",
                           "10",    "",      "zebra crossing", "\xE9t\xE9",  "\xC9t\xC9"};
    // Whole windows of slots in memory, a few slots at a time, and one slot at a time.
    const uint64_t defaultLimit = slotMemoryLimit,
                   limits[] = {defaultLimit, 24 * STANDARD_RECORD_SIZE, 0};
    for (uint64_t limit : limits) {
        slotMemoryLimit = limit;
        ASSERT_EQ(Cli({"new", ktl, "Model"}), 0);
        Bytes file = ReadAll(ktl);
        Model model{Bytes(file.begin(), file.begin() + STANDARD_DATA_START), {}};
        model.Resize(10);
        // Phases of mostly adding, then mostly deleting, cross growth, compaction and shrinking.
        for (int step = 0; step < steps; ++step) {
            bool adding = (step / std::max(100, steps / 8)) % 2 == 0;
            std::vector<uint32_t> records = model.Records();
            uint32_t choice = random() % 100, n = static_cast<uint32_t>(records.size());
            uint32_t ordinal = 1 + (n ? random() % n : 0), slot = n ? records[ordinal - 1] : 0;
            std::string ord = std::to_string(ordinal), text = words[random() % 10], printed;
            std::string list = words[random() % 10];
            if (n == 0 || (adding ? choice < 50 : choice < 12)) {
                std::vector<std::string> values(blanks, blanks + 21);
                values[1] = text, values[3] = list,
                values[9] = std::to_string(int(random() % 200) - 50);
                values[20] = std::to_string(int32_t(random())); // the slot's last bytes
                ASSERT_EQ(Cli({"add", ktl, "1=" + text, "3=" + list, "9=" + values[9],
                               "20=" + values[20]}),
                          0);
                uint32_t added = model.Add();
                for (uint32_t f = 1; f <= 20; ++f) model.Write(added, f, values[f]);
            } else if (choice < (adding ? 62u : 70u)) {
                ASSERT_EQ(Cli({"delete", ktl, ord}), 0);
                PutWord(model.slots[slot], 0, SLOT_DELETED);
            } else if (choice < 77) {
                ASSERT_EQ(Cli({"copy", ktl, ord}), 0);
                Bytes source = model.slots[slot];
                model.slots[model.Add()] = source;
            } else if (choice < 83) {
                uint32_t field = std::vector<uint32_t>{1, 3, 9, 18}[random() % 4];
                ASSERT_EQ(Cli({"sort", ktl, std::to_string(field)}), 0);
                model.Pack(field);
            } else if (choice < 92) {
                // The first match after the record, the last before it, or the first of all.
                uint32_t mode = choice % 3;
                std::vector<std::string> args = {"find", ktl, text.substr(0, 3),
                                                 mode == 1 ? "--before" : "--after", ord};
                args.resize(mode == 2 ? 3 : 5);
                std::string expected;
                for (uint32_t k = 1; k <= n; ++k)
                    if (model.Matches(records[k - 1], args[2]) &&
                        (mode == 1 ? k < ordinal : expected.empty() && (mode == 2 || k > ordinal)))
                        expected = std::to_string(k) + "\n";
                EXPECT_EQ(Cli(args, &printed), expected.empty() ? 1 : 0);
                ASSERT_EQ(printed, expected) << "step " << step;
            } else if (choice < 94) {
                ASSERT_EQ(Cli({"export", ktl, csv}), 0);
                std::string expected = model.Csv();
                ASSERT_EQ(ReadAll(csv), Bytes(expected.begin(), expected.end()));
            } else {
                std::string value =
                    std::string(1 + random() % 320, static_cast<char>('a' + random() % 26));
                uint32_t field = 1 + random() % 20;
                if (widths[field] == 4) value = std::to_string(static_cast<int32_t>(random()));
                ASSERT_EQ(Cli({"set", ktl, ord, std::to_string(field) + "=" + value}), 0);
                model.Write(slot, field, value);
            }
            ASSERT_EQ(ReadAll(ktl), model.File()) << "limit " << limit << ", step " << step;
        }
    }
    slotMemoryLimit = defaultLimit;
}

bool FailWrites(IoCall call) {
    return call == IO_WRITE;
}

TEST(FormatModel, AFailedWriteIsNoted) {
    TempDir dir;
    RecordFile* file = CreateStandardRecordFile(dir.File("w.ktl").c_str(), "W");
    int32_t slot = AddRecord(file);
    EXPECT_FALSE(file->writeFailed);
    ioFaultHook = FailWrites;
    WriteField(file, slot, 1);
    ioFaultHook = nullptr;
    EXPECT_TRUE(file->writeFailed);
    CloseRecordFile(file);
}

} // namespace
