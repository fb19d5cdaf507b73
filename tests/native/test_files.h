// Record files made on disk with given records, and quirebook-cli run in this process.
#pragma once
#include "cli.h"
#include "collection.h"
#include "globals.h"
#include "record_file.h"
#include "slot_capacity.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

struct TempDir {
    std::string path = mkdtemp(std::string("/tmp/quirebook-test-XXXXXX").data());
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string File(const std::string& name) const { return path + "/" + name; }
};

inline std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<uint8_t> bytes(in ? static_cast<size_t>(in.tellg()) : 0);
    in.seekg(0).read(reinterpret_cast<char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary) << std::string(bytes.begin(), bytes.end());
}

inline uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8);
}

inline void PutWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

// The standard collection's field widths, by field number, and its slots.
constexpr uint32_t FIELD_WIDTHS[21] = {0,  300, 300, 64, 64, 64, 64, 300,  4,  4, 4,
                                       64, 4,   4,   4,  4,  4,  64, 1000, 64, 4};
constexpr uint32_t STANDARD_DATA_START = 1434;
constexpr uint32_t STANDARD_RECORD_SIZE = 2386;

inline size_t SlotStart(size_t slot) {
    return STANDARD_DATA_START + slot * STANDARD_RECORD_SIZE;
}

// A standard collection, written and returned, whose slot count is statuses.size();
// a slot with a status other than 0 has the title "R<slot>", or titles[slot] when given.
inline std::vector<uint8_t> MakeFile(const std::string& path, const std::vector<uint32_t>& statuses,
                                     const std::vector<std::string>& titles = {}) {
    CloseRecordFile(CreateStandardRecordFile(path.c_str(), "Test"));
    std::vector<uint8_t> bytes = ReadAll(path);
    bytes.resize(SlotStart(statuses.size()), 0);
    PutWord(bytes, SLOT_COUNT_OFFSET, static_cast<uint32_t>(statuses.size()));
    for (size_t s = 0; s < statuses.size(); ++s) {
        PutWord(bytes, SlotStart(s), statuses[s]);
        std::string title = s < titles.size() ? titles[s] : "R" + std::to_string(s);
        if (statuses[s] != 0) std::copy(title.begin(), title.end(), &bytes[SlotStart(s) + 2]);
    }
    WriteAll(path, bytes);
    return bytes;
}

inline std::string TitleOf(RecordFile* file, int32_t slot) {
    return ReadField(file, slot, 1).text;
}

struct CliResult {
    int status;
    std::string out, err;
};

inline CliResult Cli(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"quirebook-cli"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}
