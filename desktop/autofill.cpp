#include "autofill.h"

#include "field_catalogue.h"
#include "text_routines.h"

#include <cstring>

namespace {

// A header whose key names no list leaves the entries going where they went.
void SelectList(AutoFillReader& reader) {
    char key[4];
    std::memcpy(key, reader.line, 3);
    key[3] = '\0';
    LowerText(key);
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field) {
        const FieldInfo& info = fieldCatalogue[field];
        if (info.autoFillKey && std::strcmp(key, info.autoFillKey) == 0)
            reader.list = info.autoFillList;
    }
}

} // namespace

bool ReadAutoFillByte(AutoFillReader& reader, char byte) {
    switch (byte) {
    case '\n':
    case '\0': // no text can hold it: binary noise counts for nothing, as a line feed does
        return false;
    case '#':
        reader.comment = true;
        return false;
    case '*':
        reader.header = true;
        return false;
    case '\r':
        break;
    default:
        if (reader.length < AUTOFILL_LINE_SIZE - 1) reader.line[reader.length++] = byte;
        return false;
    }
    reader.line[reader.length] = '\0';
    bool entry = !reader.comment && !reader.header && reader.length >= 3;
    if (!entry && reader.header) SelectList(reader);
    reader.length = 0;
    reader.comment = reader.header = false;
    return entry;
}
