// The rows of the record list: one per record of the open file, in record
// order or ordered by one of the list's columns. Ordering moves rows, never
// records: the file stays as it is.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct RecordFile;

enum RowColumn : int { COLUMN_NUMBER, COLUMN_TITLE, COLUMN_AUTHOR, COLUMN_KIND, COLUMN_COUNT };

struct RecordRows {
    RecordFile* file = nullptr;
    std::vector<uint32_t> slots; // each record's slot, in record order
    std::vector<uint32_t> order; // each row's record, counted from 0
    int column = COLUMN_NUMBER;  // the column the rows are ordered by
    // Every record's title in record order, read in one pass when first needed.
    std::vector<std::string> titles;
};

// The field a column shows; 0 for the ordinal.
uint32_t ColumnField(int column);

// One row per record, in record order, from the file's map of slot statuses.
RecordRows ListRecords(RecordFile* file);

// Orders the rows by a column, or the other way round when they are ordered
// by it already. Titles and authors compare as Sort compares them, kinds in
// the order Book, Music, Movie; rows that tie keep their record order (the
// other way round reverses the rows). False when the keys could not be read
// (no memory): the rows stay as they were.
bool OrderRows(RecordRows& rows, int column);

inline uint32_t RowOrdinal(const RecordRows& rows, int row) {
    return rows.order[static_cast<size_t>(row)] + 1;
}
inline int32_t RowSlot(const RecordRows& rows, int row) {
    return static_cast<int32_t>(rows.slots[rows.order[static_cast<size_t>(row)]]);
}
// The row of the record with that ordinal; -1 for none.
int RowOf(const RecordRows& rows, uint32_t ordinal);

// The first row from start on, past the last row round to the first, whose
// title begins with text (an ASCII letter matching itself in either case);
// -1 when there is none.
int FindTitleRow(RecordRows& rows, int start, const char* text);
