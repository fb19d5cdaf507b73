#include "csv_export.h"

#include "file_io.h"
#include "record_file.h"
#include "text_routines.h"

#include <string>

namespace {

// A double quote inside a field is doubled, so spreadsheets read the field back as stored.
void AppendQuoted(std::string& line, const char* text) {
    line += '"';
    for (const char* p = text; *p; ++p) {
        if (*p == '"') line += '"';
        line += *p;
    }
    line += "\",";
}

} // namespace

ExportResult ExportCsv(RecordFile* file, const char* path) {
    if (!file) return EXPORT_NO_FILE;
    IoFile* out = IoCreate(path);
    if (!out) return EXPORT_FAILED;
    bool written = true;
    uint64_t offset = 0;
    std::string line;
    char number[12];
    for (uint32_t slot = 0; slot < file->slotCount; ++slot) {
        int32_t s = static_cast<int32_t>(slot);
        line.clear();
        if (ReadSlotStatus(file, s) == SLOT_IN_USE) {
            for (uint32_t field = 1; field < file->fieldCount; ++field) {
                if (IsNumberField(ReadField(file, s, field))) {
                    NumberToDecimal(static_cast<int32_t>(numberValue), number);
                    AppendQuoted(line, number);
                } else {
                    AppendQuoted(line, textValue);
                }
            }
        }
        line += '\r';
        written =
            written && IoWriteAt(out, offset, line.data(), static_cast<uint32_t>(line.size()));
        offset += line.size();
    }
    IoClose(out);
    return written ? EXPORT_DONE : EXPORT_FAILED;
}
