// The autofill file "QuireAuto.txt": its lines, read one byte at a time, feed
// the five suggestion lists of the form. A carriage return ends a line and a
// line feed counts for nothing, so CR and CR LF files read alike. A line with
// "#" is a comment; a line with "*" is a header whose first three other
// characters, in any case, name the list that the entries after it go to.
// Every other line of three characters or more is an entry.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr const char* AUTOFILL_FILE_NAME = "QuireAuto.txt";
constexpr size_t AUTOFILL_LINE_SIZE = 600; // 599 characters; a longer line is cut
// More than a list can usefully offer; the entries after these are left out,
// so that a file of millions of short lines cannot stall the start.
constexpr int AUTOFILL_MAX_ENTRIES = 10000;

// The field catalogue gives each list its field and section key.
constexpr int AUTOFILL_LISTS = 5;

// The state of one pass over the file; a fresh one starts each load.
struct AutoFillReader {
    char line[AUTOFILL_LINE_SIZE] = "";
    size_t length = 0;
    bool comment = false;
    bool header = false;
    int list = 0; // a FieldInfo's autoFillList
};

// Takes the next byte of the file. True when it ends an entry: reader.line is
// then the entry's text for the list reader.list, until the next byte.
bool ReadAutoFillByte(AutoFillReader& reader, char byte);
