// Adding records, and the rule that keeps the slot area near the size its
// records need: before each add, a nearly full area grows by ten slots and a
// mostly free one is compacted and shrinks by ten.
#pragma once
#include "record_file.h"

#include <cstdint>

// The slot of the new record, the first free one; -1 when there is none, the
// slot count being at its limit.
int32_t AddRecord(RecordFile* file);

// How many records can be added one after another before no slot is free.
uint32_t RecordRoom(RecordFile* file);

// Adds count records (at least one), each made by fill in turn, and leaves
// the file byte for byte as count calls of AddRecord would, each followed by
// the writes of the filler's fields; but new slots are written in large
// pieces, not ten at a time and then field by field. The slot of the first
// record added; -1 when there is no room for them all, and nothing changed.
int32_t AddRecords(RecordFile* file, uint32_t count, const SlotFiller& fill);
