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
constexpr uint32_t WINDOW_BYTES = 1u << 20;
// Held records are written through windows small enough to stay in the
// processor's cache between being assembled and being written.
constexpr uint32_t HELD_WINDOW_BYTES = 256u << 10;
// The source of a slot that keeps the last record's bytes with status 5.
constexpr uint32_t VACATED = UINT32_MAX;

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

// Records held in memory wait squeezed, their zeros left out (a record of
// short texts in wide fields takes a fraction of its slot), in chains of small
// blocks from one pool; a record's blocks return to the pool when it is taken.
// Blocks are handed out from the start of the pool, so only the memory that
// the records need is ever touched.
class HeldRecords {
  public:
    // The pool memory that one record can take at most.
    static uint64_t MostBytes(uint32_t recordSize) {
        return static_cast<uint64_t>(Blocks(MostSqueezed(recordSize))) * (BLOCK + sizeof(uint32_t));
    }
    // Room for records of this size taking at most bytes of pool in all.
    bool Reserve(uint64_t bytes, uint32_t slotSize, uint32_t slots) {
        recordSize = slotSize;
        capacity = static_cast<uint32_t>(
            std::min<uint64_t>(bytes / (BLOCK + sizeof(uint32_t)), UINT32_MAX - 1));
        pool = AllocateSlots(static_cast<size_t>(capacity) * BLOCK);
        links = AllocateSlots(static_cast<size_t>(capacity) * sizeof(uint32_t));
        squeezed = AllocateSlots(static_cast<size_t>(Blocks(MostSqueezed(recordSize))) * BLOCK);
        if (!pool || !links || !squeezed) return false;
        if (capacity > 0) first.assign(slots, NONE);
        return true;
    }
    void Release() { *this = HeldRecords(); }
    bool Has(uint32_t slot) const { return slot < first.size() && first[slot] != NONE; }
    // A map with a bit for each 16 bytes of the slot up to its last whole 64,
    // set when they are not all zero (lowest bit first), then those 16-byte
    // pieces, then the bytes after the last whole 64. False, holding nothing,
    // when the pool has no room for it.
    bool Hold(uint32_t slot, const unsigned char* bytes) {
        const uint32_t groups = recordSize / GROUP;
        unsigned char* map = squeezed.get();
        unsigned char* at = map + MapBytes(recordSize);
        std::memset(map, 0, MapBytes(recordSize));
        for (uint32_t g = 0; g < groups; ++g) {
            Piece pieces[4];
            std::memcpy(pieces, bytes + g * GROUP, GROUP);
            const Piece any = pieces[0] | pieces[1] | pieces[2] | pieces[3];
            if ((any[0] | any[1]) == 0) continue; // most are zeros
            unsigned kept = 0;
            for (uint32_t p = 0; p < 4; ++p) {
                const unsigned nonzero = (pieces[p][0] | pieces[p][1]) != 0;
                kept |= nonzero << p;
                std::memcpy(at, &pieces[p], PIECE);
                at += nonzero * PIECE;
            }
            map[g / 2] |= static_cast<unsigned char>(kept << (4 * (g % 2)));
        }
        const uint32_t rest = recordSize - groups * GROUP;
        std::memcpy(at, bytes + groups * GROUP, rest);
        const uint32_t length = static_cast<uint32_t>(at + rest - map);
        if (Blocks(length) > capacity - used) return false;
        uint32_t* link = &first[slot];
        for (uint32_t done = 0; done < length; done += BLOCK) {
            *link = NewBlock();
            std::memcpy(Block(*link), map + done, BLOCK);
            link = Link(*link);
        }
        *link = NONE;
        return true;
    }
    void Take(uint32_t slot, unsigned char* bytes) {
        unsigned char* map = squeezed.get();
        for (uint32_t b = first[slot], done = 0; b != NONE; done += BLOCK) {
            std::memcpy(map + done, Block(b), BLOCK);
            uint32_t following = *Link(b);
            *Link(b) = free;
            free = b;
            --used;
            b = following;
        }
        first[slot] = NONE;
        // Zeros first, then each piece kept, a word of the map at a time (read
        // lowest byte first: the program runs on little-endian machines only).
        const uint32_t groups = recordSize / GROUP;
        const unsigned char* at = map + MapBytes(recordSize);
        std::memset(bytes, 0, groups * GROUP);
        for (uint32_t w = 0; w < MapBytes(recordSize) / 8; ++w) {
            uint64_t kept = 0;
            std::memcpy(&kept, map + 8 * w, 8);
            for (; kept != 0; kept &= kept - 1, at += PIECE)
                std::memcpy(bytes + (64 * w + __builtin_ctzll(kept)) * PIECE, at, PIECE);
        }
        std::memcpy(bytes + groups * GROUP, at, recordSize - groups * GROUP);
    }

  private:
    static constexpr uint32_t BLOCK = 64;
    static constexpr uint32_t PIECE = 16;
    // Sixteen bytes as two words, tested in one step where the processor can.
    typedef uint64_t Piece __attribute__((vector_size(16)));
    static constexpr uint32_t GROUP = 64; // the pieces of one half of a map byte
    static constexpr uint32_t NONE = UINT32_MAX;
    static uint32_t Blocks(uint32_t bytes) { return (bytes + BLOCK - 1) / BLOCK; }
    // Whole words, read a word at a time.
    static uint32_t MapBytes(uint32_t recordSize) { return (recordSize / GROUP + 15) / 16 * 8; }
    // The map, every byte of the slot, and room for a piece written past the end.
    static uint32_t MostSqueezed(uint32_t recordSize) {
        return MapBytes(recordSize) + recordSize + PIECE;
    }
    unsigned char* Block(uint32_t b) { return pool.get() + static_cast<size_t>(b) * BLOCK; }
    // The next block of a record, or of the blocks returned.
    uint32_t* Link(uint32_t b) {
        return reinterpret_cast<uint32_t*>(links.get() + static_cast<size_t>(b) * sizeof(uint32_t));
    }
    // A returned block, else the first never used.
    uint32_t NewBlock() {
        ++used;
        if (free == NONE) return fresh++;
        uint32_t b = free;
        free = *Link(b);
        return b;
    }
    SlotBuffer pool;
    SlotBuffer links;
    SlotBuffer squeezed;         // one record, squeezed
    std::vector<uint32_t> first; // by slot: the record's first block
    uint32_t recordSize = 0;
    uint32_t capacity = 0; // blocks
    uint32_t used = 0;
    uint32_t fresh = 0;
    uint32_t free = NONE;
};

// Assembles each window of changed slots in memory and writes it in one piece.
// The records a window needs come from the held records, or are read in large
// pieces from where they lie; those read out of a window but bound for a later
// one are held. False when the memory cannot be had, and then nothing was written.
// Reads go in pieces of piece slots (none when store holds every record).
bool PlaceByWindows(RecordFile* file, const Placement& plan, uint32_t window, uint32_t piece,
                    HeldRecords& store) {
    const uint32_t size = file->recordSize;
    const uint32_t gap = READ_THROUGH / size;
    SlotBuffer out = AllocateSlots(static_cast<size_t>(window) * size);
    SlotBuffer in = AllocateSlots(static_cast<size_t>(piece) * size);
    std::vector<uint32_t> wanted;
    try {
        wanted.reserve(2 * static_cast<size_t>(window));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!out || (piece > 0 && !in)) return false;

    // The window's places from this one on hold the vacated bytes already.
    uint32_t vacatedFrom = window;
    for (uint32_t x = plan.first; x < plan.end; x += window) {
        const uint32_t y = std::min(plan.end, x + window);
        auto at = [&](uint32_t k) { return out.get() + static_cast<size_t>(k - x) * size; };
        const uint32_t firstVacated = std::max(plan.records, x) - x;
        wanted.clear();
        for (uint32_t k = x; k < y; ++k) {
            uint32_t s = plan.source[k];
            if (s == VACATED) {
                if (k - x < vacatedFrom) std::memcpy(at(k), plan.vacated.get(), size);
            } else if (store.Has(s)) {
                store.Take(s, at(k));
            } else if (s != k) {
                wanted.push_back(s);
            }
        }
        vacatedFrom = std::min(firstVacated, window);
        for (uint32_t s = x; s < y; ++s) {
            uint32_t d = plan.destination[s];
            if (d != VACATED && d >= y && !store.Has(s)) wanted.push_back(s);
        }
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

// Puts the records in the given order, taking them from held when it holds
// them all (writing through windows of the given size), otherwise reading them.
int Place(RecordFile* file, const std::vector<uint32_t>& order, HeldRecords* held,
          uint32_t heldWindow) {
    if (order.empty()) return 1;
    Placement plan;
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
    if (held) {
        uint32_t window = std::min(heldWindow, plan.end - plan.first);
        if (PlaceByWindows(file, plan, window, 0, *held)) return 1;
        held->Release();
    }

    // The widest windows whose slots, held records and read piece fit the limit.
    uint32_t widest = std::min(plan.end - plan.first, SlotsPerPiece(file, WINDOW_BYTES));
    for (uint32_t window = widest; window > 0; window /= 2) {
        const uint32_t piece = std::min(window, SlotsPerPiece(file, READ_PIECE));
        uint64_t slots = (window + piece) * static_cast<uint64_t>(file->recordSize);
        if (slots > gSlotMemoryLimit) continue;
        uint64_t heldBytes = HeldPeak(plan, window) * HeldRecords::MostBytes(file->recordSize);
        if (slots + heldBytes <= gSlotMemoryLimit) {
            HeldRecords store;
            if (store.Reserve(heldBytes, file->recordSize, plan.end) &&
                PlaceByWindows(file, plan, window, piece, store))
                return 1;
            break;
        }
    }
    return PlaceBySlots(file, plan) ? 1 : 0;
}

} // namespace

int PlaceRecords(RecordFile* file, const std::vector<uint32_t>& order) {
    if (!file) return 0;
    try {
        return Place(file, order, nullptr, 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int RearrangeRecords(RecordFile* file, const SlotVisitor& visit,
                     const std::function<std::vector<uint32_t>()>& arrange) {
    if (!file) return 0;
    try {
        const std::vector<uint32_t> used = UsedSlots(file);
        if (used.empty()) return 1;
        // The window that held records are written through, and the room beside it.
        const uint32_t window = SlotsPerPiece(file, static_cast<uint32_t>(std::min<uint64_t>(
                                                        HELD_WINDOW_BYTES, gSlotMemoryLimit / 4)));
        const uint64_t windowBytes = static_cast<uint64_t>(window) * file->recordSize;
        HeldRecords held;
        bool holding =
            gSlotMemoryLimit > windowBytes &&
            held.Reserve(gSlotMemoryLimit - windowBytes, file->recordSize, file->slotCount);
        size_t visited = 0;
        ScanSlots(file, static_cast<int32_t>(used.front()), static_cast<int32_t>(used.back()),
                  IsUsedStatus, [&](int32_t slot, const unsigned char* bytes) {
                      ++visited;
                      visit(slot, bytes);
                      holding = holding && held.Hold(static_cast<uint32_t>(slot), bytes);
                      return false;
                  });
        if (visited != used.size()) return 0;
        if (!holding) held.Release();
        std::vector<uint32_t> order = arrange();
        if (order.size() != used.size()) return 0;
        for (uint32_t& i : order) i = used[i];
        return Place(file, order, holding ? &held : nullptr, window);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
