#include "csv_import.h"

#include "collection.h"
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

// The file is read this much at a time; a longer record makes room for itself.
constexpr size_t PIECE = 256u << 10;
// Longer values are no number, no list entry and no field name.
constexpr size_t SHORT_TEXT = 64;

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

bool IsEmpty(RawValue value) {
    return value.length == (value.quoted && !value.joined ? 2 : 0);
}

// The first byte from p on that is one of Wanted, or end; eight bytes at a time.
template <char... Wanted> const char* FindFirst(const char* p, const char* end) {
    for (; end - p >= 8; p += 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        uint64_t marks = (ZeroBytes(word ^ (EACH_BYTE * static_cast<unsigned char>(Wanted))) | ...);
        if (marks) return p + FirstMarked(marks);
    }
    while (p < end && ((*p != Wanted) && ...)) ++p;
    return p;
}

// Steps over the line end at p: CR, LF or CR LF.
const char* PastLineEnd(const char* p, const char* end) {
    return p + (*p == '\r' && p + 1 < end && p[1] == '\n' ? 2 : 1);
}

// The bytes read and not yet taken, up to end, the last of the file when last is set.
struct Piece {
    const char* end;
    bool last;
};

// Steps p over empty lines, counting them in lines. Should a CR end a piece
// that is not the last, p reaches its end: the record is read again with more.
void SkipEmptyLines(const Piece& piece, const char*& p, uint32_t& lines) {
    for (lines = 0; p < piece.end && (*p == '\r' || *p == '\n'); ++lines)
        p = PastLineEnd(p, piece.end);
}

// Keeps a value of the record; past the first FIELD_COUNT, notes one that holds something.
void Keep(CsvRecord& record, const char* text, size_t length, bool quoted, bool joined) {
    if (record.count < FIELD_COUNT) {
        // Member by member: a whole value built first and copied waits for its stores.
        RawValue& value = record.values[record.count++];
        value.text = text;
        value.length = length;
        value.quoted = quoted;
        value.joined = joined;
    } else if (!IsEmpty(RawValue{text, length, quoted, joined})) {
        record.overflow = true;
    }
}

// Reads the record that begins at p, or on the line after empty ones, from
// the piece; line is p's line. CSV_MORE when the piece ends before it does:
// whether a record ends at a CR depends on the byte after it. next is then
// where reading goes on, lines how many line ends it passed.
ReadStep ParseRecord(const Piece& piece, const char* p, uint32_t line, CsvRecord& record,
                     const char*& next, uint32_t& lines) {
    const char* const end = piece.end;
    const bool last = piece.last;
    SkipEmptyLines(piece, p, lines);
    if (p == end) return last ? CSV_END : CSV_MORE;
    record.count = 0;
    record.overflow = false;
    record.line = line + lines;
    record.ascii = false;
    record.begin = p;
    for (;;) {
        RawValue value{p, 0, p < end && *p == '"', false};
        if (value.quoted) {
            const uint32_t quoteLine = line + lines;
            for (++p;; ++p) {
                p = FindFirst<'"', '\r', '\n'>(p, end);
                if (p == end || (p + 1 == end && !last)) {
                    if (!last) return CSV_MORE;
                    record.line = quoteLine;
                    return CSV_UNCLOSED;
                }
                if (*p != '"') { // a line break inside the quotes
                    p = PastLineEnd(p, end) - 1;
                    ++lines;
                } else if (p + 1 == end || p[1] != '"') {
                    break;
                } else { // a doubled quote
                    ++p;
                    value.joined = true;
                }
            }
            ++p;
        }
        if (p < end && *p != ',') {
            const char* tail = p;
            p = FindFirst<',', '\r', '\n'>(p, end);
            value.joined = value.joined || (value.quoted && p > tail);
        }
        Keep(record, value.text, static_cast<size_t>(p - value.text), value.quoted, value.joined);
        if (p == end && !last) return CSV_MORE;
        if (p < end && *p == ',') {
            ++p;
            continue;
        }
        if (p < end) {
            if (*p == '\r' && p + 1 == end && !last) return CSV_MORE;
            p = PastLineEnd(p, end);
            ++lines;
        }
        record.end = next = p;
        return CSV_RECORD;
    }
}

// Marks of the quotes, commas and line ends of 64 bytes, bit i standing for byte i.
constexpr size_t BLOCK = 64;
struct BlockMarks {
    uint64_t quotes = 0, commas = 0, lineEnds = 0;
    bool ascii = true;
};

// The marks of the block at p; bytes from end on have none.
BlockMarks MarkBlock(const char* p, const char* end) {
    unsigned char tail[BLOCK];
    const void* bytes = p;
    if (end - p < static_cast<ptrdiff_t>(BLOCK)) {
        std::memset(tail, 0, BLOCK);
        std::memcpy(tail, p, static_cast<size_t>(end - p));
        bytes = tail;
    }
    BlockMarks marks;
    Span any = {};
    for (uint32_t at = 0; at < BLOCK; at += SPAN) {
        Span span;
        std::memcpy(&span, static_cast<const char*>(bytes) + at, SPAN);
        marks.quotes |= uint64_t{HighBits(Span(span == '"'))} << at;
        marks.commas |= uint64_t{HighBits(Span(span == ','))} << at;
        marks.lineEnds |= uint64_t{HighBits(Span((span == '\r') | (span == '\n')))} << at;
        any |= span;
    }
    marks.ascii = HighBits(any) == 0;
    return marks;
}

// Bit i set where bits 0 to i hold an odd number of ones.
uint64_t OddPrefix(uint64_t bits) {
    bits ^= bits << 1;
    bits ^= bits << 2;
    bits ^= bits << 4;
    bits ^= bits << 8;
    bits ^= bits << 16;
    return bits ^ bits << 32;
}

bool IsStopOrQuote(char c) {
    return c == ',' || c == '\r' || c == '\n' || c == '"';
}

// Reads a record as ParseRecord does, a block at a time: each quote opens or
// closes quotes, and what lies outside them splits at commas and ends at the
// first line end. That is ParseRecord's reading while every quote that opens
// follows a comma, a line end or a quote (or begins the record) and every one
// that closes is followed by one of them. False, leaving the record to
// ParseRecord, when a quote is not, or the record does not end in the piece
// with a byte after its line end.
bool ReadMarkedRecord(const Piece& piece, const char* p, uint32_t line, CsvRecord& record,
                      const char*& next, uint32_t& lines) {
    SkipEmptyLines(piece, p, lines);
    record.count = 0;
    record.overflow = false;
    record.line = line + lines;
    // A block may reach into the next record: a byte there that is not ASCII
    // only costs this one a closer look.
    record.ascii = true;
    record.begin = p;
    const char* value = p;  // where the value being read begins
    uint64_t quoted = 0;    // all ones when the block before ends inside quotes
    uint64_t afterStop = 1; // the block's first byte follows a stop or a quote
    bool doubled = false;   // the value holds a doubled quote in the blocks before
    for (const char* block = p; block < piece.end; block += BLOCK) {
        const BlockMarks marks = MarkBlock(block, piece.end);
        record.ascii = record.ascii && marks.ascii;
        const char after = piece.end - block > static_cast<ptrdiff_t>(BLOCK) ? block[BLOCK] : '\0';
        const uint64_t inside = OddPrefix(marks.quotes) ^ quoted;
        quoted = 0 - (inside >> 63);
        const uint64_t stops = marks.commas | marks.lineEnds, nearStop = stops | marks.quotes;
        const uint64_t opening = marks.quotes & inside, closing = marks.quotes & ~inside;
        const uint64_t irregular =
            (opening & ~(nearStop << 1 | afterStop)) |
            (closing & ~(nearStop >> 1 | uint64_t{IsStopOrQuote(after)} << 63));
        afterStop = nearStop >> 63;
        const uint64_t ends = marks.lineEnds & ~inside, end = ends & (0 - ends);
        const uint64_t within = end ? end | (end - 1) : ~uint64_t{0};
        if (irregular & within) return false;
        // Line breaks inside quotes: CR LF counts as one.
        for (uint64_t breaks = marks.lineEnds & inside & within; breaks; breaks &= breaks - 1) {
            const char* at = block + __builtin_ctzll(breaks);
            if (at + 1 == piece.end) return false;
            lines += *at == '\n' || at[1] != '\n';
        }
        uint64_t doubles = closing & (marks.quotes >> 1 | uint64_t{after == '"'} << 63);
        for (uint64_t split = stops & ~inside & within; split; split &= split - 1) {
            const uint64_t before = (split & (0 - split)) - 1;
            const char* stop = block + __builtin_ctzll(split);
            Keep(record, value, static_cast<size_t>(stop - value), *value == '"',
                 doubled || (doubles & before) != 0);
            doubles &= ~before;
            doubled = false;
            value = stop + 1;
        }
        doubled = doubled || doubles != 0;
        if (end) {
            const char* lineEnd = block + __builtin_ctzll(end);
            if (lineEnd + 1 == piece.end) return false;
            record.end = next = PastLineEnd(lineEnd, piece.end);
            ++lines;
            return true;
        }
    }
    return false;
}

// The file's records one after another, read in pieces into one buffer.
class CsvReader {
  public:
    explicit CsvReader(const char* path) : file_(std::fopen(path, "rb")), buffer_(PIECE) {
        Rewind();
    }
    ~CsvReader() {
        if (file_) std::fclose(file_);
    }
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // Back to the first record, after a byte-order mark; false when the file cannot be read.
    bool Rewind() {
        at_ = filled_ = 0;
        line_ = 1;
        last_ = false;
        if (!file_ || std::fseek(file_, 0, SEEK_SET) != 0 || !Fill()) return false;
        bom_ = filled_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0;
        at_ = bom_ ? 3 : 0;
        return true;
    }
    bool HasBom() const { return bom_; }

    // The record's values point into the buffer until the next call.
    ReadStep Next(CsvRecord& record) {
        for (;;) {
            if (!file_) return CSV_UNREADABLE;
            const Piece piece{buffer_.data() + filled_, last_};
            const char* start = buffer_.data() + at_;
            const char* next = start;
            uint32_t lines = 0;
            ReadStep step = ReadMarkedRecord(piece, start, line_, record, next, lines)
                                ? CSV_RECORD
                                : ParseRecord(piece, start, line_, record, next, lines);
            if (step != CSV_MORE) {
                at_ = static_cast<size_t>(next - buffer_.data());
                line_ += lines;
                return step;
            }
            if (!Fill()) return CSV_UNREADABLE;
        }
    }

  private:
    // Keeps the bytes not yet taken at the front and reads more after them;
    // a buffer full of one record doubles.
    bool Fill() {
        filled_ -= at_;
        std::memmove(buffer_.data(), buffer_.data() + at_, filled_);
        at_ = 0;
        if (filled_ == buffer_.size()) buffer_.resize(2 * buffer_.size());
        filled_ += std::fread(buffer_.data() + filled_, 1, buffer_.size() - filled_, file_);
        last_ = std::feof(file_) != 0;
        return !std::ferror(file_);
    }

    std::FILE* file_;
    std::vector<char> buffer_; // the bytes from at_ to filled_ are not taken yet
    size_t at_ = 0, filled_ = 0;
    uint32_t line_ = 1;
    bool last_ = false;
    bool bom_ = false;
};

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
