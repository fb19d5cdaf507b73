#include "csv_export.h"

#include "file_io.h"
#include "record_file.h"
#include "text_routines.h"

#include <cstring>
#include <string>

namespace {

// A double quote inside a field is doubled, so spreadsheets read the field back as stored.
void AppendQuoted(std::string& line, const char* text, size_t length) {
    line += '"';
    const char* end = text + length;
    for (const char* quote; (quote = static_cast<const char*>(std::memchr(text, '"', end - text)));
         text = quote + 1)
        line.append(text, quote + 1).push_back('"');
    line.append(text, end);
    line += "\",";
}

} // namespace

ExportResult ExportCsv(RecordFile* file, const char* path) {
    if (!file) return EXPORT_NO_FILE;
    IoFile* out = IoCreate(path);
    if (!out) return EXPORT_FAILED;
    // Lines gather in memory and go to the file in large pieces.
    const size_t piece = 1u << 20;
    bool written = true;
    uint64_t offset = 0;
    std::string text;
    auto flush = [&] {
        written =
            written && IoWriteAt(out, offset, text.data(), static_cast<uint32_t>(text.size()));
        offset += text.size();
        text.clear();
    };
    // Every slot before this one has its line in text or in the file.
    uint32_t next = 0;
    int32_t last = -1;
    char number[12];
    ScanSlots(file, 0, static_cast<int32_t>(file->slotCount) - 1, IsRecordStatus,
              [&](int32_t slot, const unsigned char* bytes) {
                  text.append(static_cast<uint32_t>(slot) - next, '\r');
                  for (uint32_t field = 1; field < file->fieldCount; ++field) {
                      SlotField value = FieldIn(file, bytes, field);
                      if (IsNumberField(value.type)) {
                          NumberToDecimal(static_cast<int32_t>(value.number), number);
                          AppendQuoted(text, number, std::strlen(number));
                      } else {
                          AppendQuoted(text, value.text, value.length);
                      }
                  }
                  last = slot;
                  text += '\r';
                  next = static_cast<uint32_t>(slot) + 1;
                  if (text.size() >= piece) flush();
                  return false;
              });
    text.append(file->slotCount - next, '\r');
    flush();
    IoClose(out);
    // The shared buffers end as reading the last record's fields leaves them.
    for (uint32_t field = 1; last >= 0 && field < file->fieldCount; ++field)
        ReadField(file, last, field);
    return written ? EXPORT_DONE : EXPORT_FAILED;
}
