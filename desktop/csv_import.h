// Reads comma-separated text into new records of the open collection: the
// export's own files, and what spreadsheets write (RFC 4180 quoting, CR, LF or
// CR LF line ends, bare values, line breaks inside quotes). The columns are
// fields 1 to 19 in order; a 20th value, when not empty, is the record kind.
// A first line of the field names (as the form labels them) and empty lines
// are skipped.
#pragma once
#include <cstdint>

struct Collection;

enum ImportOutcome {
    IMPORT_DONE,
    IMPORT_BAD_LINE,   // a line cannot be imported
    IMPORT_FULL,       // the collection has no room for every record
    IMPORT_UNREADABLE, // the file cannot be read, or no collection is open
};

struct ImportResult {
    ImportOutcome outcome = IMPORT_UNREADABLE;
    uint32_t records = 0; // how many were added
    char fault[96] = "";  // what failed, naming the line: "Line 7: Quote Never Closed"
};

// Adds a record for each record line of the file at path, as Add would, with
// the kind given where a line names none; the first one added is then shown.
// A text longer than its field is cut to it; a file in UTF-8 (a valid one
// with a character of more than one byte, or one that begins with a
// byte-order mark) is converted to Windows-1252, "?" standing for what it
// lacks; any other file is taken byte for byte. A number column holds a whole
// number (the price in hundredths, a list's entry by its index, -1 for none),
// a price with a point as the Price box reads it, or a list's entry as the
// list shows it, in any letter case. All or nothing: the whole file is read
// and checked before the first record is added.
ImportResult ImportCsv(Collection& collection, const char* path, uint32_t kind);
