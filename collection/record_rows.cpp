#include "record_rows.h"

#include "field_catalogue.h"
#include "record_file.h"
#include "sort_search.h"
#include "text_routines.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <numeric>

namespace {

// A column's value of every record, in record order, read in large pieces: a
// text, or for the kind its place among the kinds as one digit. False when
// the file could not be scanned to the end.
bool ReadKeys(const RecordRows& rows, int column, std::vector<std::string>& keys) {
    RecordFile* file = rows.file;
    const uint32_t field = ColumnField(column);
    keys.clear();
    keys.reserve(rows.slots.size());
    ScanSlots(file, 0, static_cast<int32_t>(file->slotCount) - 1, IsRecordStatus,
              [&](int32_t, const unsigned char* bytes) {
                  if (field > file->fieldCount) {
                      keys.emplace_back();
                  } else {
                      const SlotField value = FieldIn(file, bytes, field);
                      if (column == COLUMN_KIND)
                          keys.emplace_back(1, static_cast<char>('0' + KindOf(value.number)));
                      else
                          keys.emplace_back(value.text, value.length);
                  }
                  return false;
              });
    return keys.size() == rows.slots.size();
}

bool ReadTitles(RecordRows& rows) {
    return rows.titles.size() == rows.slots.size() || ReadKeys(rows, COLUMN_TITLE, rows.titles);
}

// Each record's key for ordering the rows by a column, in record order.
bool SortKeys(RecordRows& rows, int column, std::vector<std::string>& keys) {
    std::vector<std::string> read;
    if (column == COLUMN_TITLE ? !ReadTitles(rows) : !ReadKeys(rows, column, read)) return false;
    const std::vector<std::string>& texts = column == COLUMN_TITLE ? rows.titles : read;
    keys.reserve(texts.size());
    for (const std::string& text : texts) keys.push_back(SortKeyOf(text.c_str()));
    return true;
}

unsigned char Folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return IsAsciiLetter(byte) ? byte | 0x20 : byte;
}

} // namespace

uint32_t ColumnField(int column) {
    static const uint32_t fields[COLUMN_COUNT] = {0, TITLE_FIELD, AUTHOR_FIELD, KIND_FIELD};
    return fields[column];
}

RecordRows ListRecords(RecordFile* file) {
    RecordRows rows;
    rows.file = file;
    rows.slots = RecordSlots(file);
    rows.order.resize(rows.slots.size());
    std::iota(rows.order.begin(), rows.order.end(), 0u);
    return rows;
}

bool OrderRows(RecordRows& rows, int column) {
    if (column == rows.column) {
        std::reverse(rows.order.begin(), rows.order.end());
        return true;
    }
    try {
        std::vector<std::string> keys;
        if (column != COLUMN_NUMBER && !SortKeys(rows, column, keys)) return false;
        std::iota(rows.order.begin(), rows.order.end(), 0u);
        if (column != COLUMN_NUMBER)
            std::stable_sort(rows.order.begin(), rows.order.end(),
                             [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
        rows.column = column;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int RowOf(const RecordRows& rows, uint32_t ordinal) {
    auto found = std::find(rows.order.begin(), rows.order.end(), ordinal - 1);
    return found == rows.order.end() ? -1 : static_cast<int>(found - rows.order.begin());
}

int FindTitleRow(RecordRows& rows, int start, const char* text) {
    const size_t count = rows.order.size(), length = std::strlen(text);
    try {
        if (count == 0 || !ReadTitles(rows)) return -1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
    const size_t first = start > 0 && static_cast<size_t>(start) < count ? start : 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t row = (first + i) % count;
        const std::string& title = rows.titles[rows.order[row]];
        if (title.size() >= length &&
            std::equal(text, text + length, title.begin(),
                       [](char a, char b) { return Folded(a) == Folded(b); }))
            return static_cast<int>(row);
    }
    return -1;
}
