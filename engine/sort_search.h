// Sorting the records of the open file by one field, and searching them for a text.
#pragma once
#include <cstdint>

struct RecordFile;

constexpr uint32_t SEARCH_TEXT_LENGTH = 30;
extern char searchText[SEARCH_TEXT_LENGTH + 1];

int SortRecords(RecordFile* file, uint32_t field);
// Whether the records already lie packed from slot 0 in the order SortRecords
// gives them, so that sorting by field would change nothing.
bool RecordsInOrder(RecordFile* file, uint32_t field);
int32_t RecordMatches(RecordFile* file, int32_t slot);
int32_t FindFirstMatch(RecordFile* file);
int32_t FindNextMatch(RecordFile* file, int32_t slot);
int32_t FindPreviousMatch(RecordFile* file, int32_t slot);

// Compares two keys as the sort does: below zero, zero or above zero.
int CompareKeys(const char* a, const char* b);
