// Rearranging the records of a record file among its slots, as compaction and
// sorting do, with few reads and writes and within a memory limit.
#pragma once
#include "record_file.h"

#include <cstdint>
#include <functional>
#include <vector>

// Puts the records of the used slots into slots 0, 1, ... in the given order
// (a permutation of UsedSlots), leaving in every slot from the number of
// records up to the highest used slot that slot's bytes with status 5: what
// compaction and then exchanges of whole slots leave. Writes each slot at most
// once; 0 when no memory could be had, and then nothing changed.
int PlaceRecords(RecordFile* file, const std::vector<uint32_t>& order);
// Reads every used slot once, in large pieces and lowest first, handing each
// to visit, then places the records in the order that arrange returns (a
// permutation of the indexes of the slots visited: 0 for the first), as
// PlaceRecords does. When the records read all fit in memory they are kept
// there, squeezed, so that none is read twice.
int RearrangeRecords(RecordFile* file, const SlotVisitor& visit,
                     const std::function<std::vector<uint32_t>()>& arrange);
