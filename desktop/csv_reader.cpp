#include "csv_reader.h"

#include "text_routines.h"

#include <cstring>

namespace {

// The file is read this much at a time; a longer record makes room for itself.
constexpr size_t PIECE = 256u << 10;

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

// A record, as yet of no values, that begins at p on the given line.
void StartRecord(CsvRecord& record, const char* p, uint32_t line, bool ascii) {
    record.count = 0;
    record.overflow = false;
    record.line = line;
    record.ascii = ascii;
    record.begin = p;
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
    StartRecord(record, p, line + lines, false);
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
    // A block may reach into the next record: a byte there that is not ASCII
    // only costs this one a closer look.
    StartRecord(record, p, line + lines, true);
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

} // namespace

CsvReader::CsvReader(const char* path) : file_(std::fopen(path, "rb")), buffer_(PIECE) {
    Rewind();
}

CsvReader::~CsvReader() {
    if (file_) std::fclose(file_);
}

bool CsvReader::Rewind() {
    at_ = filled_ = 0;
    line_ = 1;
    last_ = false;
    if (!file_ || std::fseek(file_, 0, SEEK_SET) != 0 || !Fill()) return false;
    bom_ = filled_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0;
    at_ = bom_ ? 3 : 0;
    return true;
}

ReadStep CsvReader::Next(CsvRecord& record) {
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

// Keeps the bytes not yet taken at the front and reads more after them; a
// buffer full of one record doubles.
bool CsvReader::Fill() {
    filled_ -= at_;
    std::memmove(buffer_.data(), buffer_.data() + at_, filled_);
    at_ = 0;
    if (filled_ == buffer_.size()) buffer_.resize(2 * buffer_.size());
    filled_ += std::fread(buffer_.data() + filled_, 1, buffer_.size() - filled_, file_);
    last_ = std::feof(file_) != 0;
    return !std::ferror(file_);
}
