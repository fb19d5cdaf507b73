// Sorting the records of the open file by one field, and searching them for a text.
#pragma once
#include <cstdint>
#include <string>

struct RecordFile;

int SortRecords(RecordFile* file, uint32_t field);
// Whether the records already lie packed from slot 0 in the order SortRecords
// gives them, so that sorting by field would change nothing.
bool RecordsInOrder(RecordFile* file, uint32_t field);
// A record matches when one of its text fields holds text, an ASCII letter
// matching itself in either case, or one of its number fields holds the number
// text stands for, unless that is 0 or -1. The slot of the first record that
// matches, after slot or before it; -1 when there is none.
int32_t FindFirstMatch(RecordFile* file, const char* text);
int32_t FindNextMatch(RecordFile* file, int32_t slot, const char* text);
int32_t FindPreviousMatch(RecordFile* file, int32_t slot, const char* text);

// Compares two keys as the sort does: below zero, zero or above zero.
int CompareKeys(const char* a, const char* b);
// The bytes that compare, as a std::string, as CompareKeys compares the key:
// for ordering many keys, each turned once instead of at every comparison.
std::string SortKeyOf(const char* key);
