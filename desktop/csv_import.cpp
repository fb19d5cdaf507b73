#include "csv_import.h"

#include "collection.h"
#include "csv_reader.h"
#include "field_catalogue.h"
#include "price.h"
#include "record_file.h"
#include "slot_capacity.h"
#include "text_routines.h"
#include "texts.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Longer values are no number, no list entry and no field name.
constexpr size_t SHORT_TEXT = 64;

// The value with its quotes undone: a view of it, or of what is appended to
// scratch where a doubled quote or text after the closing quote had to be
// joined. Room reserved in scratch for the whole record keeps every view valid.
std::string_view Unquoted(const RawValue& value, std::string& scratch) {
    if (!value.joined)
        return value.quoted ? std::string_view(value.text + 1, value.length - 2)
                            : std::string_view(value.text, value.length);
    const std::string_view raw(value.text, value.length);
    const size_t start = scratch.size();
    size_t close = 0;
    for (size_t from = 1;; from = close + 2) {
        close = raw.find('"', from);
        scratch.append(raw, from, close - from);
        if (close + 1 >= raw.size() || raw[close + 1] != '"') break;
        scratch += '"';
    }
    scratch.append(raw, close + 1);
    return std::string_view(scratch).substr(start);
}

// A short value with its quotes undone; false when it is long.
bool ShortView(const RawValue& value, std::string& scratch, std::string_view& plain) {
    if (value.length > 2 * SHORT_TEXT) return false;
    plain = Unquoted(value, scratch);
    return plain.size() < SHORT_TEXT;
}

// A short value as text; false when it holds a NUL, which would end it early.
bool AsText(std::string_view plain, char (&text)[SHORT_TEXT]) {
    if (plain.find('\0') != plain.npos) return false;
    plain.copy(text, plain.size());
    text[plain.size()] = '\0';
    return true;
}

// A short value with its quotes undone, as text.
bool ShortText(const RawValue& value, std::string& scratch, char (&text)[SHORT_TEXT]) {
    std::string_view plain;
    return ShortView(value, scratch, plain) && AsText(plain, text);
}

// The same text but for the letter case of ASCII letters.
bool SameLetters(const char* a, const char* b) {
    for (; *a && (*a == *b || (IsAsciiLetter(*a) && (*a ^ 0x20) == *b)); ++a, ++b) {
    }
    return *a == *b;
}

// A signed 32-bit decimal integer, as the export writes a number.
bool ReadWhole(std::string_view text, uint32_t& value) {
    const bool negative = !text.empty() && text[0] == '-';
    int64_t number = 0;
    for (size_t at = negative; at < text.size(); ++at) {
        const uint32_t digit = static_cast<unsigned char>(text[at]) - uint32_t{'0'};
        if (digit > 9 || number > INT32_MAX) return false;
        number = number * 10 + digit;
    }
    if (text.size() == negative || number > INT32_MAX + int64_t(negative)) return false;
    value = static_cast<uint32_t>(negative ? -number : number);
    return true;
}

// A price typed with a point, read as the Price box reads it; false for any
// other text, and for one too large for 32 bits, which the box would wrap.
bool ReadTypedPrice(const char* text, uint32_t& value) {
    const char* point = std::strchr(text, '.');
    if (!point || std::strchr(point + 1, '.') || text[1] == '\0' ||
        text[std::strspn(text, "0123456789.")] != '\0')
        return false;
    const char* whole = text + std::strspn(text, "0");
    uint64_t least = 0;
    for (const char* p = whole; p < point && least <= UINT32_MAX; ++p)
        least = least * 10 + (*p - '0');
    value = ParsePrice(text);
    return least * 100 <= UINT32_MAX && value >= least * 100;
}

// A price with a point or a list's entry by name, for a number column's
// value that is no whole number.
bool ReadNamedNumber(uint32_t field, std::string_view plain, uint32_t& value) {
    const FieldInfo& info = fieldCatalogue[field];
    char text[SHORT_TEXT];
    if (!AsText(plain, text)) return false;
    if (info.holding == HELD_PRICE) return ReadTypedPrice(text, value);
    for (int entry = 0; info.holding == HELD_LIST && entry < info.listSize; ++entry)
        if (SameLetters(text, info.list[entry])) return value = entry, true;
    return false;
}

// A number column's value; false when it holds none the field takes. A
// whole number, the usual value, is read where it lies.
inline bool ReadNumber(uint32_t field, const RawValue& raw, std::string& scratch, uint32_t& value) {
    std::string_view plain;
    if (!ShortView(raw, scratch, plain)) return false;
    if (ReadWhole(plain, value))
        return field != KIND_FIELD || (value >= KIND_BOOK && value <= KIND_MOVIE);
    return ReadNamedNumber(field, plain, value);
}

// A first line that names the columns as the form's Book or Movie labels do.
bool IsHeader(const CsvRecord& record, std::string& scratch) {
    char text[SHORT_TEXT];
    scratch.clear();
    for (uint32_t field = 1; field <= record.count; ++field) {
        const FieldInfo& info = fieldCatalogue[field];
        if (info.bookLabel &&
            (!ShortText(record.values[field - 1], scratch, text) ||
             !(SameLetters(text, info.bookLabel) || SameLetters(text, info.movieLabel))))
            return false;
    }
    return true;
}

// Why a record cannot be added, written into reason; false when it can.
bool FindFault(const RecordFile* file, const CsvRecord& record, std::string& scratch,
               char (&reason)[SHORT_TEXT]) {
    scratch.clear();
    if (record.overflow) return std::snprintf(reason, SHORT_TEXT, "%s", TEXT_TOO_MANY_VALUES), true;
    const uint32_t count = record.count;
    for (uint32_t field = 1; field <= count; ++field) {
        const RawValue& raw = record.values[field - 1];
        uint32_t number = 0;
        if (IsEmpty(raw)) continue;
        if (field > file->fieldCount)
            return std::snprintf(reason, SHORT_TEXT, TEXT_NO_FIELD, field), true;
        if (IsNumberField(file->fields[field - 1].type) && !ReadNumber(field, raw, scratch, number))
            return std::snprintf(reason, SHORT_TEXT,
                                 field == KIND_FIELD ? TEXT_NO_KIND : TEXT_NO_NUMBER, field),
                   true;
    }
    return false;
}

// The code point of the UTF-8 sequence at p, which has length bytes; -1 for a
// byte that begins none (its length is 1).
int32_t DecodeUtf8(const unsigned char* p, const unsigned char* end, size_t& length) {
    length = 1;
    if (p[0] < 0x80) return p[0];
    size_t extra = p[0] >= 0xC2 && p[0] <= 0xDF   ? 1
                   : p[0] >= 0xE0 && p[0] <= 0xEF ? 2
                   : p[0] >= 0xF0 && p[0] <= 0xF4 ? 3
                                                  : 0;
    if (extra == 0 || static_cast<size_t>(end - p) <= extra) return -1;
    // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
    unsigned char low = p[0] == 0xE0 ? 0xA0 : p[0] == 0xF0 ? 0x90 : 0x80;
    unsigned char high = p[0] == 0xED ? 0x9F : p[0] == 0xF4 ? 0x8F : 0xBF;
    int32_t code = p[0] & (0x3F >> extra);
    for (size_t i = 1; i <= extra; ++i, low = 0x80, high = 0xBF) {
        if (p[i] < low || p[i] > high) return -1;
        code = code << 6 | (p[i] & 0x3F);
    }
    length = extra + 1;
    return code;
}

// Whether the bytes are valid UTF-8; notes in multiByte a character of more than one byte.
bool IsUtf8(const char* begin, const char* end, bool& multiByte) {
    auto p = reinterpret_cast<const unsigned char*>(begin);
    auto stop = reinterpret_cast<const unsigned char*>(end);
    while (p < stop) {
        if (stop - p >= static_cast<ptrdiff_t>(SPAN)) { // up to the first byte that is not ASCII
            Span span;
            std::memcpy(&span, p, SPAN);
            const uint32_t high = HighBits(span);
            if (high == 0) {
                p += SPAN;
                continue;
            }
            p += __builtin_ctz(high);
        } else if (*p < 0x80) {
            ++p;
            continue;
        }
        size_t length = 0;
        if (DecodeUtf8(p, stop, length) < 0) return false;
        multiByte = multiByte || length > 1;
        p += length;
    }
    return true;
}

// Windows-1252's characters from 0x80 to 0x9F; 0 where it has none.
constexpr uint16_t WINDOWS_1252_HIGH[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(int32_t code) {
    if ((code >= 0 && code < 0x80) || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (int i = 0; i < 32 && code > 0; ++i)
        if (WINDOWS_1252_HIGH[i] == code) return static_cast<char>(0x80 + i);
    return '?';
}

// Up to width characters of UTF-8 text as Windows-1252 into out; how many.
size_t FromUtf8(std::string_view text, char* out, size_t width) {
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    auto end = p + text.size();
    size_t written = 0;
    for (size_t length = 0; p < end && written < width; p += length)
        out[written++] = ToWindows1252(DecodeUtf8(p, end, length));
    return written;
}

ImportResult Failed(ImportOutcome outcome, uint32_t line, const char* reason) {
    ImportResult result;
    result.outcome = outcome;
    std::snprintf(result.fault, sizeof result.fault, TEXT_IMPORT_LINE, static_cast<unsigned>(line),
                  reason);
    return result;
}

// The first pass checks every record and counts them; the second adds them.
ImportResult Import(Collection& collection, CsvReader& reader, uint32_t kind) {
    RecordFile* file = collection.hRecordFile;
    ImportResult result;
    const uint32_t room = RecordRoom(file);
    uint32_t records = 0, firstLine = 0;
    size_t longest = 0; // the longest record, in bytes
    bool header = false, utf8 = true, multiByte = false;
    std::string scratch;
    char reason[SHORT_TEXT];
    CsvRecord record;
    ReadStep step = reader.Next(record);
    for (bool first = true; step == CSV_RECORD; step = reader.Next(record), first = false) {
        utf8 = utf8 && (record.ascii || IsUtf8(record.begin, record.end, multiByte));
        if (first && (header = IsHeader(record, scratch))) continue;
        if (FindFault(file, record, scratch, reason))
            return Failed(IMPORT_BAD_LINE, record.line, reason);
        if (records == room) return Failed(IMPORT_FULL, record.line, TEXT_COLLECTION_FULL);
        if (records++ == 0) firstLine = record.line;
        longest = std::max(longest, static_cast<size_t>(record.end - record.begin));
    }
    if (step == CSV_UNCLOSED) return Failed(IMPORT_BAD_LINE, record.line, TEXT_QUOTE_NOT_CLOSED);
    if (step == CSV_UNREADABLE) return result;
    result.outcome = IMPORT_DONE;
    if (records == 0) return result;

    // Nothing is allocated after the rewind: a failure would leave records half added.
    scratch.reserve(longest);
    const bool fromUtf8 = reader.HasBom() || (utf8 && multiByte);
    std::vector<char> converted(fromUtf8 ? FIELD_COUNT * MAX_TEXT_FIELD_WIDTH : 0);
    if (!reader.Rewind() || (header && reader.Next(record) != CSV_RECORD)) return ImportResult();
    auto valueOf = [&](NewValue* values) {
        // Should the file have changed since it was checked, what is missing is blank.
        if (reader.Next(record) != CSV_RECORD) return;
        scratch.clear();
        const uint32_t given = std::min(record.count, file->fieldCount);
        for (uint32_t field = 1; field <= given; ++field) {
            const RawValue& raw = record.values[field - 1];
            NewValue& value = values[field];
            const uint32_t type = file->fields[field - 1].type;
            if (IsEmpty(raw)) continue;
            if (IsNumberField(type)) {
                value.given = ReadNumber(field, raw, scratch, value.number);
                continue;
            }
            std::string_view plain = Unquoted(raw, scratch);
            value.text = plain.data();
            value.length = plain.size();
            if (!fromUtf8) continue;
            char* text = &converted[(field - 1) * MAX_TEXT_FIELD_WIDTH];
            value.length = FromUtf8(plain, text, FieldWidth(type));
            value.text = text;
        }
    };
    if (!AddRecordsOfValues(collection, records, kind, valueOf))
        return Failed(IMPORT_FULL, firstLine, TEXT_COLLECTION_FULL);
    result.records = records;
    return result;
}

} // namespace

ImportResult ImportCsv(Collection& collection, const char* path, uint32_t kind) {
    ImportResult result;
    std::snprintf(result.fault, sizeof result.fault, "%s", TEXT_FILE_UNREADABLE);
    if (!collection.hRecordFile) return result;
    try {
        CsvReader reader(path);
        ImportResult imported = Import(collection, reader, kind);
        return imported.outcome == IMPORT_UNREADABLE ? result : imported;
    } catch (const std::bad_alloc&) {
        return result;
    }
}
