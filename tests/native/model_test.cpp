// Runs random command sequences through the command-line tool and through a
// small in-memory model of the file format, and compares the files byte for
// byte after every step. The model works on whole byte images and computes
// compaction and sorting from their final results (packed records, a stable
// sort), not by the engine's step-by-step algorithms.
#include "cli.h"
#include "record_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>

namespace {

const uint32_t offsets[21] = {0,    1436, 1736, 2036, 2100, 2164, 2228, 2292, 2592, 2596, 2600,
                              2604, 2668, 2672, 2676, 2680, 2684, 2688, 2752, 3752, 3816};
const uint32_t widths[21] = {0,  300, 300, 64, 64, 64, 64, 300,  4,  4, 4,
                             64, 4,   4,   4,  4,  4,  64, 1000, 64, 4};

bool IsNumber(uint32_t field) {
    return widths[field] == 4;
}

struct Model {
    std::vector<uint8_t> bytes;

    uint32_t Slots() const { return WordAt(bytes, SLOT_COUNT_OFFSET); }
    uint32_t Status(uint32_t s) const { return WordAt(bytes, SlotStart(static_cast<int32_t>(s))); }
    void SetStatus(uint32_t s, uint32_t v) {
        PutWord(bytes, SlotStart(static_cast<int32_t>(s)), v);
    }
    std::vector<uint8_t> Slot(uint32_t s) const {
        auto start = bytes.begin() + static_cast<long>(SlotStart(static_cast<int32_t>(s)));
        return std::vector<uint8_t>(start, start + STANDARD_RECORD_SIZE);
    }
    void PutSlot(uint32_t s, const std::vector<uint8_t>& slot) {
        std::copy(slot.begin(), slot.end(),
                  bytes.begin() + static_cast<long>(SlotStart(static_cast<int32_t>(s))));
    }
    std::vector<uint32_t> Records() const {
        std::vector<uint32_t> records;
        for (uint32_t s = 0; s < Slots(); ++s)
            if (Status(s) == SLOT_IN_USE) records.push_back(s);
        return records;
    }
    void Compact() {
        std::vector<uint32_t> records = Records();
        if (records.empty()) return;
        std::vector<uint8_t> last = Slot(records.back());
        for (uint32_t k = 0; k < records.size(); ++k) PutSlot(k, Slot(records[k]));
        PutWord(last, 0, SLOT_DELETED);
        for (uint32_t s = static_cast<uint32_t>(records.size()); s <= records.back(); ++s)
            PutSlot(s, last);
    }
    int32_t Add() {
        uint32_t n = Slots();
        uint32_t used = static_cast<uint32_t>(Records().size());
        uint32_t percent = used * 100 / n;
        if (percent > 90 || n - used < 10) {
            if (n + 10 <= MAX_SLOT_COUNT) {
                bytes.resize(bytes.size() + 10 * STANDARD_RECORD_SIZE, 0);
                PutWord(bytes, SLOT_COUNT_OFFSET, n + 10);
            }
        } else if (percent < 70 && n > 50) {
            Compact();
            bytes.resize(SlotStart(static_cast<int32_t>(n - 10)));
            PutWord(bytes, SLOT_COUNT_OFFSET, n - 10);
        }
        for (uint32_t s = 0; s < Slots(); ++s)
            if (Status(s) == SLOT_EMPTY || Status(s) == SLOT_DELETED) {
                SetStatus(s, SLOT_IN_USE);
                return static_cast<int32_t>(s);
            }
        return -1;
    }
    void Write(uint32_t slot, uint32_t field, const std::string& value) {
        size_t at = offsets[field] + static_cast<size_t>(slot) * STANDARD_RECORD_SIZE;
        std::fill(bytes.begin() + static_cast<long>(at),
                  bytes.begin() + static_cast<long>(at + widths[field]), 0);
        if (IsNumber(field)) {
            uint32_t number = static_cast<uint32_t>(std::stol(value));
            for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(number >> (8 * i));
        } else {
            std::copy_n(value.begin(), std::min<size_t>(value.size(), widths[field]),
                        bytes.begin() + static_cast<long>(at));
        }
    }
    std::string Key(uint32_t slot, uint32_t field) const {
        size_t at = offsets[field] + static_cast<size_t>(slot) * STANDARD_RECORD_SIZE;
        if (IsNumber(field)) {
            int32_t number =
                static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                     static_cast<uint32_t>(bytes[at + 3]) << 24);
            return std::to_string(number);
        }
        const char* text = reinterpret_cast<const char*>(&bytes[at]);
        return std::string(text, strnlen(text, widths[field]));
    }
    void Sort(uint32_t field) {
        Compact();
        uint32_t count = static_cast<uint32_t>(Records().size());
        std::vector<std::pair<std::string, std::vector<uint8_t>>> records;
        for (uint32_t s = 0; s < count; ++s) records.emplace_back(Key(s, field), Slot(s));
        std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
            return std::strcmp(a.first.c_str(), b.first.c_str()) < 0;
        });
        for (uint32_t s = 0; s < count; ++s) PutSlot(s, records[s].second);
    }
};

const std::string blanks[21] = {"", "",  "",  "",  "",  "",  "", "", "0", "0", "0",
                                "", "1", "1", "1", "0", "0", "", "", "",  "3"};

int RunQuiet(std::vector<std::string> args) {
    args.insert(args.begin(), "quirebook-cli");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    return RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
}

TEST(FormatModel, RandomCommandSequencesLeaveTheModelsBytes) {
    TempDir dir;
    std::string ktl = dir.File("m.ktl");
    std::mt19937 random(11);
    const char* words[] = {"apple", "Apple", "banana", "cherry", "9", "10", "", "zebra crossing"};
    for (int run = 0; run < 3; ++run) {
        ASSERT_EQ(RunQuiet({"new", ktl, "Model"}), 0);
        Model model{ReadAll(ktl)};
        // Phases of mostly adding, then mostly deleting, cross growth, compaction and shrinking.
        for (int step = 0; step < 400; ++step) {
            bool adding = (step / 100) % 2 == 0;
            uint32_t records = static_cast<uint32_t>(model.Records().size());
            uint32_t choice = random() % 100;
            std::string ordinal = std::to_string(1 + (records ? random() % records : 0));
            if (records == 0 || (adding ? choice < 55 : choice < 15)) {
                std::string title = words[random() % 8];
                std::string number = std::to_string(static_cast<int32_t>(random() % 200) - 50);
                ASSERT_EQ(RunQuiet({"add", ktl, "1=" + title, "9=" + number}), 0);
                int32_t slot = model.Add();
                for (uint32_t f = 1; f <= 20; ++f)
                    model.Write(static_cast<uint32_t>(slot), f,
                                f == 1   ? title
                                : f == 9 ? number
                                         : blanks[f]);
            } else if (choice < (adding ? 70u : 75u)) {
                ASSERT_EQ(RunQuiet({"delete", ktl, ordinal}), 0);
                model.SetStatus(model.Records()[std::stoul(ordinal) - 1], SLOT_DELETED);
            } else if (choice < 85) {
                ASSERT_EQ(RunQuiet({"copy", ktl, ordinal}), 0);
                std::vector<uint8_t> source = model.Slot(model.Records()[std::stoul(ordinal) - 1]);
                int32_t slot = model.Add();
                model.PutSlot(static_cast<uint32_t>(slot), source);
            } else if (choice < 92) {
                uint32_t field = random() % 2 ? 1 : 9;
                ASSERT_EQ(RunQuiet({"sort", ktl, std::to_string(field)}), 0);
                model.Sort(field);
            } else {
                std::string text =
                    std::string(1 + random() % 320, static_cast<char>('a' + random() % 26));
                uint32_t field = 1 + random() % 19;
                std::string value =
                    IsNumber(field) ? std::to_string(static_cast<int32_t>(random())) : text;
                ASSERT_EQ(RunQuiet({"set", ktl, ordinal, std::to_string(field) + "=" + value}), 0);
                model.Write(model.Records()[std::stoul(ordinal) - 1], field, value);
            }
            ASSERT_EQ(ReadAll(ktl), model.bytes) << "run " << run << ", step " << step;
        }
    }
}

} // namespace
