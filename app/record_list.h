// View > List: every record of the open collection in a window over the main
// window, one a row, from which the user picks the record to show.
#pragma once
#include <windows.h>

#include <cstdint>

struct Collection;

// Opens the list with the shown record selected and in view; the ordinal of
// the record picked with Enter or a double click, 0 when the list was left
// otherwise. Ordering the rows by a column changes nothing in the collection.
uint32_t PickFromRecordList(HWND owner, const Collection& collection);
