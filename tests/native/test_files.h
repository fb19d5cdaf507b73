// Helpers for tests that make and inspect record files on disk.
#pragma once
#include "record_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

// A fresh folder for one test, removed afterwards.
class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/quirebook-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

inline std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8);
}

inline void PutWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

constexpr uint32_t STANDARD_DATA_START = 1434;
constexpr uint32_t STANDARD_RECORD_SIZE = 2386;

inline size_t SlotStart(int32_t slot) {
    return STANDARD_DATA_START + static_cast<size_t>(slot) * STANDARD_RECORD_SIZE;
}

inline void SetText(const std::string& text) {
    std::string cut = text.substr(0, TEXT_VALUE_SIZE - 1);
    std::copy(cut.begin(), cut.end(), textValue);
    textValue[cut.size()] = '\0';
}

// Adds a record and writes its title (field 1) and field 8.
inline int32_t AddTitled(RecordFile* file, const std::string& title, uint32_t number = 0) {
    int32_t slot = AddRecord(file);
    SetText(title);
    WriteField(file, slot, 1);
    numberValue = number;
    WriteField(file, slot, 8);
    return slot;
}

inline std::string TitleOf(RecordFile* file, int32_t slot) {
    ReadField(file, slot, 1);
    return textValue;
}

// A standard-layout file with the given slot statuses (the slot count is
// statuses.size()); slot s's title is "R<s>" for every slot with a status.
inline void MakeFile(const std::string& path, const std::vector<uint32_t>& statuses) {
    CloseRecordFile(CreateStandardRecordFile(path.c_str(), "Test"));
    std::vector<uint8_t> bytes = ReadAll(path);
    bytes.resize(SlotStart(static_cast<int32_t>(statuses.size())), 0);
    PutWord(bytes, SLOT_COUNT_OFFSET, static_cast<uint32_t>(statuses.size()));
    for (size_t s = 0; s < statuses.size(); ++s) {
        size_t start = SlotStart(static_cast<int32_t>(s));
        PutWord(bytes, start, statuses[s]);
        if (statuses[s] != 0) {
            std::string title = "R" + std::to_string(s);
            std::copy(title.begin(), title.end(), bytes.begin() + static_cast<long>(start) + 2);
        }
    }
    WriteAll(path, bytes);
}

inline RecordFile* OpenOrFail(const std::string& path) {
    const char* reason = nullptr;
    RecordFile* file = OpenRecordFile(path.c_str(), &reason);
    EXPECT_NE(file, nullptr) << (reason ? reason : "");
    return file;
}
