// Adding a record, and the rule that keeps the slot area near the size its
// records need: before each add, a nearly full area grows by ten slots and a
// mostly free one is compacted and shrinks by ten.
#pragma once
#include <cstdint>

struct RecordFile;

// The slot of the new record, the first free one; -1 when there is none, the
// slot count being at its limit.
int32_t AddRecord(RecordFile* file);
