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
    for (int i = 0; i < AUTOFILL_LISTS; ++i)
        if (std::strcmp(key, fieldCatalogue[autoFillFields[i]].autoFillKey) == 0) reader.list = i;
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
