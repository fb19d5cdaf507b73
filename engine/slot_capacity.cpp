#include "slot_capacity.h"

#include "slot_placement.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

enum CapacityStep { KEEP_SLOTS, GROW_SLOTS, COMPACT_SLOTS };

CapacityStep StepBeforeAdd(uint32_t slotCount, uint32_t used) {
    uint32_t free = slotCount - used;
    uint32_t percent = static_cast<uint32_t>(static_cast<uint64_t>(used) * 100 / slotCount);
    if (percent > 90 || free < 10) return GROW_SLOTS;
    if (percent < 70 && slotCount > 50) return COMPACT_SLOTS;
    return KEEP_SLOTS;
}

// The slot count a step leaves when it succeeds.
uint32_t SlotCountAfter(CapacityStep step, uint32_t slotCount) {
    if (step == GROW_SLOTS && slotCount + SLOTS_PER_STEP <= MAX_SLOT_COUNT)
        return slotCount + SLOTS_PER_STEP;
    return step == COMPACT_SLOTS ? slotCount - SLOTS_PER_STEP : slotCount;
}

// Compaction leaves the records in slots 0 to records - 1 in their order.
int CompactSlots(RecordFile* file) {
    try {
        return PlaceRecords(file, UsedSlots(file));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void CheckCapacity(RecordFile* file) {
    switch (StepBeforeAdd(file->slotCount, CountUsedSlots(file))) {
    case GROW_SLOTS:
        GrowSlots(file);
        break;
    case COMPACT_SLOTS:
        if (CompactSlots(file)) ShrinkSlots(file);
        break;
    case KEEP_SLOTS:
        break;
    }
}

int32_t FirstFreeSlot(const RecordFile* file) {
    for (uint32_t slot = 0; slot < file->slotCount; ++slot)
        if (file->statuses[slot] <= 9) return static_cast<int32_t>(slot);
    return -1;
}

// Adds up to count records while no add would compact the slots. Each takes
// the first free slot: first the free slots below the slot count the run
// starts with, then new ones; the area grows once, by all the steps the adds
// would grow it. How many were added, and the first one's slot in first.
uint32_t AddRun(RecordFile* file, uint32_t count, const SlotFiller& fill, int32_t& first) {
    const uint32_t slotsBefore = file->slotCount;
    uint32_t slots = slotsBefore, used = CountUsedSlots(file), hole = 0;
    std::vector<uint32_t> holes;
    uint32_t added = 0;
    for (; added < count; ++added, ++used) {
        CapacityStep step = StepBeforeAdd(slots, used);
        if (step == COMPACT_SLOTS) break;
        slots = SlotCountAfter(step, slots);
        while (hole < slotsBefore && IsUsedStatus(file->statuses[hole])) ++hole;
        if (hole < slotsBefore)
            holes.push_back(hole++);
        else if (slotsBefore + (added - holes.size()) >= slots)
            break;
    }
    for (uint32_t slot : holes) FillFreeSlot(file, static_cast<int32_t>(slot), fill);
    if (slots > slotsBefore)
        AppendSlots(file, slots - slotsBefore, added - static_cast<uint32_t>(holes.size()), fill);
    if (first < 0 && added > 0)
        first = static_cast<int32_t>(holes.empty() ? slotsBefore : holes[0]);
    return added;
}

// Adds up to count records while each add would compact the slots first.
// Only the first compaction moves records; after it each add shrinks the area
// by ten and takes the slot right after the records, so the area shrinks once
// by all those steps. How many were added, and first kept on the first one.
uint32_t AddCompactingRun(RecordFile* file, uint32_t count, const SlotFiller& fill,
                          int32_t& first) {
    uint32_t slots = file->slotCount, used = CountUsedSlots(file), added = 0;
    for (; added < count && StepBeforeAdd(slots, used + added) == COMPACT_SLOTS; ++added)
        slots -= SLOTS_PER_STEP;
    // Compaction keeps the used slots in their order: the first record added
    // moves to the place of its rank among them.
    int32_t rank = static_cast<int32_t>(std::count_if(
        file->statuses.begin(), file->statuses.begin() + std::max(first, 0), IsUsedStatus));
    if (!CompactSlots(file)) { // without memory for it an add takes the first free slot as it is
        int32_t slot = FirstFreeSlot(file);
        if (!FillFreeSlot(file, slot, fill)) return 0;
        if (first < 0) first = slot;
        return 1;
    }
    if (first >= 0) first = rank;
    ShrinkSlots(file, file->slotCount - slots);
    for (uint32_t slot = used; slot < used + added; ++slot)
        FillFreeSlot(file, static_cast<int32_t>(slot), fill);
    if (first < 0) first = static_cast<int32_t>(used);
    return added;
}

} // namespace

int32_t AddRecord(RecordFile* file) {
    if (!file) return -1;
    CheckCapacity(file);
    int32_t slot = FirstFreeSlot(file);
    if (slot >= 0) SetSlotStatus(file, slot, SLOT_IN_USE);
    return slot;
}

uint32_t RecordRoom(RecordFile* file) {
    if (!file) return 0;
    uint32_t slots = file->slotCount, used = CountUsedSlots(file), room = 0;
    for (;; ++room, ++used) {
        slots = SlotCountAfter(StepBeforeAdd(slots, used), slots);
        if (used >= slots) return room;
    }
}

int32_t AddRecords(RecordFile* file, uint32_t count, const SlotFiller& fill) {
    if (!file || count == 0 || count > RecordRoom(file)) return -1;
    int32_t first = -1;
    for (uint32_t added = 0, run = 1; added < count && run > 0; added += run)
        run = StepBeforeAdd(file->slotCount, CountUsedSlots(file)) == COMPACT_SLOTS
                  ? AddCompactingRun(file, count - added, fill, first)
                  : AddRun(file, count - added, fill, first);
    return first;
}
