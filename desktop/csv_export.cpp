#include "csv_export.h"

#include "file_io.h"
#include "record_file.h"
#include "text_routines.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// Lines gather in one buffer and go to the file in pieces of about this size.
constexpr size_t PIECE = READ_PIECE;
// Writing sixteen bytes where fewer are wanted may reach this far past a line.
constexpr size_t SLACK = SPAN;

// Puts a text value, ended by its NUL or its width, in double quotes and
// follows it with a comma; returns the end. A double quote inside is doubled,
// so spreadsheets read the field back as stored. Sixteen bytes at a time are
// copied while none of them is a NUL or a quote.
char* PutQuoted(char* out, const unsigned char* text, size_t width) {
    *out++ = '"';
    const unsigned char* end = text + width;
    for (const unsigned char* p = text; p < end;) {
        if (static_cast<size_t>(end - p) >= SPAN) {
            std::memcpy(out, p, SPAN);
            const uint32_t plain = FirstOf(p, '"', '"');
            out += plain;
            p += plain;
            if (plain == SPAN) continue;
        }
        if (*p == 0) break;
        if (*p == '"') *out++ = '"';
        *out++ = static_cast<char>(*p++);
    }
    *out++ = '"';
    *out++ = ',';
    return out;
}

// Where a field a line holds lies in a slot.
struct Place {
    uint32_t offset;
    uint32_t width;
    bool number;
};

// Every field but the last, in order.
std::vector<Place> PlacesOfLine(const RecordFile* file) {
    std::vector<Place> places;
    for (uint32_t field = 1; field < file->fieldCount; ++field) {
        const FieldDefinition& definition = file->fields[field - 1];
        places.push_back(Place{definition.offset - file->dataStart, FieldWidth(definition.type),
                               IsNumberField(definition.type)});
    }
    return places;
}

// The longest line a record can make: its fields, quoted, each quote
// doubled, then the line end.
size_t LongestLine(const std::vector<Place>& places) {
    size_t longest = 1;
    for (const Place& place : places) longest += 2 * std::max<size_t>(place.width, 11) + 3;
    return longest;
}

} // namespace

ExportResult ExportCsv(RecordFile* file, const char* path) {
    if (!file) return EXPORT_NO_FILE;
    std::vector<Place> places;
    try {
        places = PlacesOfLine(file);
    } catch (const std::bad_alloc&) {
        return EXPORT_FAILED;
    }
    const size_t capacity = PIECE + LongestLine(places) + SLACK;
    SlotBuffer buffer = AllocateSlots(capacity);
    if (!buffer) return EXPORT_FAILED;
    // An earlier export's file is written over, then cut to the new length.
    IoFile* out = IoOpenForWriting(path);
    if (!out) return EXPORT_FAILED;
    // A record that could not be read would be exported as empty: that is a failed export.
    const bool readFailedBefore = file->readFailed;
    file->readFailed = false;
    char* const start = reinterpret_cast<char*>(buffer.get());
    char* at = start;
    bool written = true;
    uint64_t offset = 0;
    auto flush = [&] {
        const uint32_t count = static_cast<uint32_t>(at - start);
        written = written && IoWriteAt(out, offset, start, count);
        offset += count;
        at = start;
    };
    // A free slot makes an empty line. Below PIECE there is room for a whole line.
    auto putEmptyLines = [&](uint32_t count) {
        while (count > 0) {
            const uint32_t some =
                static_cast<uint32_t>(std::min<size_t>(count, start + capacity - at));
            std::memset(at, '\r', some);
            at += some;
            count -= some;
            if (static_cast<size_t>(at - start) >= PIECE) flush();
        }
    };
    // Every slot before this one has its line in the buffer or in the file.
    uint32_t next = 0;
    try {
        ScanSlots(file, 0, static_cast<int32_t>(file->slotCount) - 1, IsRecordStatus,
                  [&](int32_t slot, const unsigned char* bytes) {
                      putEmptyLines(static_cast<uint32_t>(slot) - next);
                      for (const Place& place : places) {
                          const unsigned char* value = bytes + place.offset;
                          if (place.number) {
                              *at++ = '"';
                              at = PutDecimal(static_cast<int32_t>(NumberIn(value, place.width)),
                                              at);
                              *at++ = '"';
                              *at++ = ',';
                          } else {
                              at = PutQuoted(at, value, place.width);
                          }
                      }
                      *at++ = '\r';
                      next = static_cast<uint32_t>(slot) + 1;
                      if (static_cast<size_t>(at - start) >= PIECE) flush();
                      return false;
                  });
    } catch (const std::bad_alloc&) {
        written = false;
    }
    if (written) putEmptyLines(file->slotCount - next);
    flush();
    written = IoSetLength(out, offset) && written;
    IoClose(out);
    written = written && !file->readFailed;
    file->readFailed = file->readFailed || readFailedBefore;
    return written ? EXPORT_DONE : EXPORT_FAILED;
}
