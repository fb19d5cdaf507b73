#include "slot_capacity.h"

#include "record_file.h"
#include "slot_placement.h"

#include <new>

namespace {

// Compaction leaves the records in slots 0 to records - 1 in their order.
int CompactSlots(RecordFile* file) {
    try {
        return PlaceRecords(file, UsedSlots(file));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void CheckCapacity(RecordFile* file) {
    uint32_t used = CountUsedSlots(file);
    uint32_t free = file->slotCount - used;
    uint32_t percent = static_cast<uint32_t>(static_cast<uint64_t>(used) * 100 / file->slotCount);
    if (percent > 90 || free < 10) {
        GrowSlots(file);
    } else if (percent < 70 && file->slotCount > 50) {
        if (CompactSlots(file)) ShrinkSlots(file);
    }
}

} // namespace

int32_t AddRecord(RecordFile* file) {
    if (!file) return -1;
    CheckCapacity(file);
    for (uint32_t slot = 0; slot < file->slotCount; ++slot) {
        int32_t s = static_cast<int32_t>(slot);
        if (file->statuses[slot] <= 9) {
            SetSlotStatus(file, s, SLOT_IN_USE);
            return s;
        }
    }
    return -1;
}
