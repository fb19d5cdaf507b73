// Reads comma-separated text a record at a time, as spreadsheets and the
// export write it: RFC 4180 quoting, CR, LF or CR LF line ends, bare values,
// line breaks inside quotes; empty lines are passed over. The file is read in
// pieces, and a record's values point into the piece that holds it.
#pragma once
#include "field_catalogue.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// A value as the file holds it: in quotes when it begins with one. Its text
// is what lies between them, unless a doubled quote or text after the
// closing quote must be joined to it.
struct RawValue {
    const char* text = nullptr;
    size_t length = 0;
    bool quoted = false;
    bool joined = false;
};

struct CsvRecord {
    RawValue values[FIELD_COUNT];
    uint32_t count = 0;    // the values kept, the first FIELD_COUNT
    bool overflow = false; // a value after them holds something
    uint32_t line = 1;     // where the record begins; after an unclosed quote, where it opened
    bool ascii = false;    // every byte is known to be ASCII
    const char* begin = nullptr;
    const char* end = nullptr;
};

enum ReadStep { CSV_RECORD, CSV_END, CSV_UNCLOSED, CSV_UNREADABLE, CSV_MORE };

inline bool IsEmpty(RawValue value) {
    return value.length == (value.quoted && !value.joined ? 2 : 0);
}

// The file's records one after another, read in pieces into one buffer.
class CsvReader {
  public:
    explicit CsvReader(const char* path);
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // Back to the first record, after a byte-order mark; false when the file cannot be read.
    bool Rewind();
    bool HasBom() const { return bom_; }
    // The record's values point into the buffer until the next call.
    ReadStep Next(CsvRecord& record);

  private:
    bool Fill();

    std::FILE* file_;
    std::vector<char> buffer_; // the bytes from at_ to filled_ are not taken yet
    size_t at_ = 0, filled_ = 0;
    uint32_t line_ = 1;
    bool last_ = false;
    bool bom_ = false;
};
