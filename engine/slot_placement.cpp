#include "slot_placement.h"

#include "globals.h"
#include "record_file.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// One more read call costs about as much as reading this many bytes, so
// gaps this small between wanted slots are read through.
constexpr uint32_t READ_THROUGH = 32u << 10;
// Rearrangements assemble windows of at most this size: memory the process
// has not touched before costs more than reading the slots it would save.
constexpr uint32_t WINDOW_BYTES = 4u << 20;
// The source of a slot that keeps the last record's bytes with status 5.
constexpr uint32_t VACATED = UINT32_MAX;

bool ZeroWord(const unsigned char* bytes) {
    uint64_t word = 0;
    std::memcpy(&word, bytes, 8);
    return word == 0;
}

// What a rearrangement of the slot area leaves: slot k receives the record of
// slot source[k] (or the vacated bytes), and the record of slot s goes to
// destination[s]. Only the slots from first to end - 1 change.
struct Placement {
    uint32_t records = 0;
    uint32_t first = 0;
    uint32_t end = 0;
    std::vector<uint32_t> source;
    std::vector<uint32_t> destination;
    SlotBuffer vacated; // the last record's bytes with status 5
};

bool Changes(const Placement& plan, uint32_t slot) {
    return plan.source[slot] != slot;
}

// How many records must be held in memory at once when the changed slots are
// written in windows of the given size, lowest first: those read out of a
// window before it is written but bound for a later one.
uint32_t HeldPeak(const Placement& plan, uint32_t window) {
    std::vector<int32_t> change((plan.end - plan.first) / window + 2, 0);
    for (uint32_t s = plan.first; s < plan.end; ++s) {
        uint32_t d = plan.destination[s];
        if (d == VACATED || (d - plan.first) / window <= (s - plan.first) / window) continue;
        ++change[(s - plan.first) / window];
        --change[(d - plan.first) / window];
    }
    int32_t held = 0;
    int32_t peak = 0;
    for (int32_t c : change) peak = std::max(peak, held += c);
    return static_cast<uint32_t>(peak);
}

// Records held between windows wait with their long runs of zeros squeezed
// out (a record of short texts in wide fields takes a fraction of its slot),
// spread over blocks of a pool; a record's blocks return to the pool when it is
// written. Memory that is never touched costs nothing, so the pool is sized
// for the worst case and only what the records need is used.
struct HeldRecords {
    static constexpr uint32_t BLOCK = 256;
    static constexpr uint32_t NONE = UINT32_MAX;
    SlotBuffer pool;
    SlotBuffer squeezed;         // one record, squeezed
    std::vector<uint32_t> next;  // the next block of a record, or of the free list
    std::vector<uint32_t> first; // by slot: the record's first block
    uint32_t free = NONE;
    uint32_t recordSize = 0;

    static uint32_t BlocksPerRecord(uint32_t recordSize) {
        return (recordSize + 12 + BLOCK - 1) / BLOCK;
    }
    static uint64_t Bytes(uint32_t records, uint32_t recordSize) {
        return static_cast<uint64_t>(records) * BlocksPerRecord(recordSize) * BLOCK;
    }
    bool Reserve(uint32_t records, uint32_t slotSize, uint32_t slots) {
        recordSize = slotSize;
        uint32_t blocks = records * BlocksPerRecord(recordSize);
        pool = AllocateSlots(static_cast<size_t>(blocks) * BLOCK);
        squeezed = AllocateSlots(static_cast<size_t>(BlocksPerRecord(recordSize)) * BLOCK);
        if (!pool || !squeezed) return false;
        try {
            next.resize(blocks);
            first.assign(slots, NONE);
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (uint32_t b = blocks; b > 0; --b) next[b - 1] = free, free = b - 1;
        return true;
    }
    unsigned char* Block(uint32_t b) { return pool.get() + static_cast<size_t>(b) * BLOCK; }

    // A 32-bit length, then pairs of 32-bit counts (bytes kept, zeros left
    // out), each followed by the bytes kept. Only runs of eight or more zeros
    // are left out (and the zeros at the end), so a record takes at most 12
    // bytes more than its slot: the length and the last pair.
    void Hold(uint32_t slot, const unsigned char* bytes) {
        uint32_t length = 4;
        for (uint32_t i = 0; i < recordSize;) {
            // The bytes kept end where a run of zeros takes in eight whole
            // bytes from i on, found a word at a time, or at the end.
            uint32_t kept = i;
            while (kept + 8 <= recordSize && !ZeroWord(bytes + kept)) kept += 8;
            if (kept + 8 > recordSize) kept = recordSize;
            uint32_t zeros = kept;
            while (zeros + 8 <= recordSize && ZeroWord(bytes + zeros)) zeros += 8;
            // The run's zeros on either side of those words.
            while (kept > i && bytes[kept - 1] == 0) --kept;
            while (zeros < recordSize && bytes[zeros] == 0) ++zeros;
            uint32_t counts[2] = {kept - i, zeros - kept};
            std::memcpy(squeezed.get() + length, counts, 8);
            std::memcpy(squeezed.get() + length + 8, bytes + i, kept - i);
            length += 8 + kept - i;
            i = zeros;
        }
        std::memcpy(squeezed.get(), &length, 4);
        uint32_t* link = &first[slot];
        for (uint32_t done = 0; done < length; done += BLOCK) {
            *link = free;
            free = next[free];
            std::memcpy(Block(*link), squeezed.get() + done, std::min(BLOCK, length - done));
            link = &next[*link];
        }
        *link = NONE;
    }
    void Take(uint32_t slot, unsigned char* bytes) {
        uint32_t length = 0;
        std::memcpy(&length, Block(first[slot]), 4);
        for (uint32_t b = first[slot], done = 0; b != NONE; done += BLOCK) {
            std::memcpy(squeezed.get() + done, Block(b), std::min(BLOCK, length - done));
            uint32_t following = next[b];
            next[b] = free;
            free = b;
            b = following;
        }
        for (uint32_t at = 4, i = 0; at < length;) {
            uint32_t counts[2];
            std::memcpy(counts, squeezed.get() + at, 8);
            std::memcpy(bytes + i, squeezed.get() + at + 8, counts[0]);
            std::memset(bytes + i + counts[0], 0, counts[1]);
            i += counts[0] + counts[1];
            at += 8 + counts[0];
        }
    }
};

// Assembles each window of changed slots in memory and writes it in one piece.
// The records a window needs are read in large pieces from where they lie,
// unless an earlier window held them; false when the memory cannot be had,
// and then nothing was written.
bool PlaceByWindows(RecordFile* file, const Placement& plan, uint32_t window, uint32_t held) {
    const uint32_t size = file->recordSize;
    const uint32_t piece = std::min(window, SlotsPerPiece(file, READ_PIECE));
    const uint32_t gap = READ_THROUGH / size;
    SlotBuffer out = AllocateSlots(static_cast<size_t>(window) * size);
    SlotBuffer in = AllocateSlots(static_cast<size_t>(piece) * size);
    HeldRecords store;
    std::vector<uint32_t> wanted;
    try {
        wanted.reserve(2 * static_cast<size_t>(window));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!out || !in || !store.Reserve(held, size, plan.end)) return false;

    for (uint32_t x = plan.first; x < plan.end; x += window) {
        const uint32_t y = std::min(plan.end, x + window);
        auto at = [&](uint32_t k) { return out.get() + static_cast<size_t>(k - x) * size; };
        wanted.clear();
        for (uint32_t k = x; k < y; ++k) {
            uint32_t s = plan.source[k];
            if (s == VACATED) {
                std::memcpy(at(k), plan.vacated.get(), size);
            } else if (s < x) {
                store.Take(s, at(k));
            } else if (s != k) {
                wanted.push_back(s);
            }
        }
        for (uint32_t s = x; s < y; ++s)
            if (plan.destination[s] != VACATED && plan.destination[s] >= y) wanted.push_back(s);
        std::sort(wanted.begin(), wanted.end());
        for (size_t i = 0; i < wanted.size();) {
            const uint32_t low = wanted[i];
            size_t j = i + 1;
            while (j < wanted.size() && wanted[j] - wanted[j - 1] <= gap + 1 &&
                   wanted[j] - low < piece)
                ++j;
            ReadSlots(file, static_cast<int32_t>(low), wanted[j - 1] - low + 1, in.get());
            for (; i < j; ++i) {
                const unsigned char* bytes = in.get() + static_cast<size_t>(wanted[i] - low) * size;
                uint32_t d = plan.destination[wanted[i]];
                if (d < y) {
                    std::memcpy(at(d), bytes, size);
                } else {
                    store.Hold(wanted[i], bytes);
                }
            }
        }
        for (uint32_t k = x; k < y;) {
            uint32_t run = k;
            while (run < y && Changes(plan, run)) ++run;
            if (run > k) WriteSlots(file, k, run - k, at(k));
            k = std::max(run, k + 1);
        }
    }
    return true;
}

// Moves one slot at a time along the chains of moves, with two slots of
// memory: first the chains that start at a slot holding no record, then the
// closed cycles, whose first slot waits in memory for the end.
bool PlaceBySlots(RecordFile* file, const Placement& plan) {
    SlotBuffer first = AllocateSlots(file->recordSize);
    SlotBuffer moving = AllocateSlots(file->recordSize);
    std::vector<bool> done;
    try {
        done.assign(plan.records, false);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!first || !moving) return false;
    auto follow = [&](uint32_t start) {
        for (uint32_t k = start;;) {
            done[k] = true;
            uint32_t s = plan.source[k];
            if (s == start) {
                WriteSlots(file, k, 1, first.get());
                return;
            }
            ReadSlots(file, static_cast<int32_t>(s), 1, moving.get());
            WriteSlots(file, k, 1, moving.get());
            if (s >= plan.records) return;
            k = s;
        }
    };
    for (uint32_t k = plan.first; k < plan.records; ++k)
        if (Changes(plan, k) && plan.destination[k] == VACATED) follow(k);
    for (uint32_t k = plan.first; k < plan.records; ++k) {
        if (!Changes(plan, k) || done[k]) continue;
        ReadSlots(file, static_cast<int32_t>(k), 1, first.get());
        follow(k);
    }
    for (uint32_t k = plan.records; k < plan.end; ++k) WriteSlots(file, k, 1, plan.vacated.get());
    return true;
}

} // namespace

int PlaceRecords(RecordFile* file, const std::vector<uint32_t>& order) {
    if (!file) return 0;
    if (order.empty()) return 1;
    Placement plan;
    try {
        plan.records = static_cast<uint32_t>(order.size());
        const uint32_t last = *std::max_element(order.begin(), order.end());
        plan.end = std::max(plan.records, last + 1);
        plan.source.assign(plan.end, VACATED);
        plan.destination.assign(plan.end, VACATED);
        for (uint32_t k = 0; k < plan.records; ++k) {
            plan.source[k] = order[k];
            plan.destination[order[k]] = k;
        }
        while (plan.first < plan.end && !Changes(plan, plan.first)) ++plan.first;
        if (plan.first == plan.end) return 1;
        plan.vacated = AllocateSlots(file->recordSize);
        if (!plan.vacated) return 0;
        ReadSlots(file, static_cast<int32_t>(last), 1, plan.vacated.get());
        plan.vacated[0] = SLOT_DELETED;
        plan.vacated[1] = 0;

        // The widest windows whose slots, held records and read piece fit the limit.
        uint32_t widest = std::min(plan.end - plan.first, SlotsPerPiece(file, WINDOW_BYTES));
        for (uint32_t window = widest; window > 0; window /= 2) {
            uint64_t slots = (window + std::min(window, SlotsPerPiece(file, READ_PIECE))) *
                             static_cast<uint64_t>(file->recordSize);
            if (slots > gSlotMemoryLimit) continue;
            uint32_t held = HeldPeak(plan, window);
            if (slots + HeldRecords::Bytes(held, file->recordSize) <= gSlotMemoryLimit) {
                if (PlaceByWindows(file, plan, window, held)) return 1;
                break;
            }
        }
        return PlaceBySlots(file, plan) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
