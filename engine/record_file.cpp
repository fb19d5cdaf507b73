#include "record_file.h"

#include "file_io.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

uint32_t numberValue = 0;
char textValue[TEXT_VALUE_SIZE] = {};
uint64_t slotMemoryLimit = 80u << 20;

namespace {

constexpr uint32_t SKELETON_SIZE = 6354;
// Scans and reads of many slots go in pieces of about this size.
constexpr uint32_t READ_PIECE = 1u << 20;
// One more read call costs about as much as reading this many bytes, so
// gaps this small between wanted slots are read through.
constexpr uint32_t READ_THROUGH = 32u << 10;
// Rearrangements assemble windows of at most this size: memory the process
// has not touched before costs more than reading the slots it would save.
constexpr uint32_t WINDOW_BYTES = 4u << 20;
// The source of a slot that keeps the last record's bytes with status 5.
constexpr uint32_t VACATED = UINT32_MAX;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<unsigned char[], FreeDeleter>;

// Zeroed working memory; null when it cannot be had.
Buffer Allocate(size_t bytes) {
    return Buffer(static_cast<unsigned char*>(std::calloc(bytes ? bytes : 1, 1)));
}

bool ZeroWord(const unsigned char* bytes) {
    uint64_t word = 0;
    std::memcpy(&word, bytes, 8);
    return word == 0;
}

uint32_t WordOf(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

uint32_t ReadWord(IoFile* io, uint64_t offset) {
    unsigned char bytes[2] = {0, 0};
    IoReadAt(io, offset, bytes, 2);
    return WordOf(bytes);
}

void WriteBytes(RecordFile* file, uint64_t offset, const void* buffer, uint32_t count) {
    if (!IoWriteAt(file->io, offset, buffer, count)) file->writeFailed = true;
}

void WriteWord(RecordFile* file, uint64_t offset, uint32_t value) {
    unsigned char bytes[2] = {static_cast<unsigned char>(value),
                              static_cast<unsigned char>(value >> 8)};
    WriteBytes(file, offset, bytes, 2);
}

// Reads count bytes; what lies past the end of the file reads as zeros, and
// a read that stops short before the end is noted.
void ReadBytes(RecordFile* file, uint64_t offset, void* buffer, uint32_t count) {
    uint32_t got = IoReadAt(file->io, offset, buffer, count);
    if (got == count) return;
    if (offset + got < IoFileSize(file->io)) file->readFailed = true;
    std::memset(static_cast<char*>(buffer) + got, 0, count - got);
}

void WriteZeros(RecordFile* file, uint64_t offset, uint64_t count) {
    static const unsigned char zeros[65536] = {};
    while (count > 0) {
        uint32_t piece = count < sizeof zeros ? static_cast<uint32_t>(count) : sizeof zeros;
        WriteBytes(file, offset, zeros, piece);
        offset += piece;
        count -= piece;
    }
}

bool ValidSlot(const RecordFile* file, int32_t slot) {
    return slot >= 0 && static_cast<uint32_t>(slot) < file->slotCount;
}

uint64_t SlotOffset(const RecordFile* file, int64_t slot) {
    return file->dataStart + static_cast<uint64_t>(slot) * file->recordSize;
}

// How many whole slots make a piece of about the given size; at least one.
// Never more slots than the file has: a small file needs no large buffer.
uint32_t SlotsPerPiece(const RecordFile* file, uint32_t bytes) {
    return std::max<uint32_t>(1, std::min(bytes / file->recordSize, file->slotCount));
}

bool ValidField(const RecordFile* file, uint32_t field) {
    return field >= 1 && field <= file->fieldCount;
}

// A field's definition and its offset in the given slot; null when there is no such field or slot.
const FieldDefinition* LocateField(const RecordFile* file, int32_t slot, uint32_t field,
                                   uint64_t& offset) {
    if (!file || !ValidField(file, field) || !ValidSlot(file, slot)) return nullptr;
    const FieldDefinition& definition = file->fields[field - 1];
    offset = definition.offset + static_cast<uint64_t>(slot) * file->recordSize;
    return &definition;
}

// Writes whole slots from memory and takes their status words into the map.
void WriteSlots(RecordFile* file, uint32_t first, uint32_t count, const unsigned char* bytes) {
    WriteBytes(file, SlotOffset(file, first), bytes, count * file->recordSize);
    for (uint32_t i = 0; i < count; ++i)
        file->statuses[first + i] = static_cast<uint16_t>(WordOf(bytes + i * file->recordSize));
}

// Writes ten zeroed slots from firstSlot on.
void AppendEmptySlots(RecordFile* file, uint32_t firstSlot) {
    WriteZeros(file, SlotOffset(file, firstSlot),
               static_cast<uint64_t>(SLOTS_PER_STEP) * file->recordSize);
}

// Reads every slot's status word into the map, in large pieces; false without memory.
bool LoadStatuses(RecordFile* file) {
    file->statuses.assign(file->slotCount, SLOT_EMPTY);
    uint64_t size = IoFileSize(file->io);
    uint64_t present = size > file->dataStart
                           ? (size - file->dataStart + file->recordSize - 1) / file->recordSize
                           : 0;
    uint32_t slots = static_cast<uint32_t>(std::min<uint64_t>(present, file->slotCount));
    uint32_t piece = SlotsPerPiece(file, READ_PIECE);
    Buffer buffer = Allocate(static_cast<size_t>(piece) * file->recordSize);
    if (!buffer) return false;
    for (uint32_t first = 0; first < slots; first += piece) {
        uint32_t count = std::min(piece, slots - first);
        ReadSlots(file, static_cast<int32_t>(first), count, buffer.get());
        for (uint32_t i = 0; i < count; ++i)
            file->statuses[first + i] =
                static_cast<uint16_t>(WordOf(buffer.get() + i * file->recordSize));
    }
    return true;
}

// Puts a field's bytes into numberValue or textValue.
void TakeValue(uint32_t type, const unsigned char* bytes) {
    uint32_t width = FieldWidth(type);
    if (IsNumberField(type)) {
        numberValue = NumberIn(bytes, width);
    } else {
        std::memcpy(textValue, bytes, width);
        if (!std::memchr(textValue, 0, width)) textValue[width] = '\0';
    }
}

// The engine's value buffers hold 32-bit numbers and texts of up to 1000 bytes.
const char* UnsupportedType(uint32_t type) {
    uint32_t width = FieldWidth(type);
    if (IsNumberField(type) && width > 4) return "a number field is wider than 4 bytes";
    if (!IsNumberField(type) && width > MAX_TEXT_FIELD_WIDTH)
        return "a text field is wider than 1000 bytes";
    return nullptr;
}

RecordFile* Refuse(IoFile* io, const char** reason, const char* why) {
    IoClose(io);
    if (reason) *reason = why;
    return nullptr;
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
    Buffer vacated; // the last record's bytes with status 5
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
    Buffer pool;
    Buffer squeezed;             // one record, squeezed
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
        pool = Allocate(static_cast<size_t>(blocks) * BLOCK);
        squeezed = Allocate(static_cast<size_t>(BlocksPerRecord(recordSize)) * BLOCK);
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
    Buffer out = Allocate(static_cast<size_t>(window) * size);
    Buffer in = Allocate(static_cast<size_t>(piece) * size);
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
    Buffer first = Allocate(file->recordSize);
    Buffer moving = Allocate(file->recordSize);
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

uint32_t FieldWidth(uint32_t type) {
    switch (type) {
    case FIELD_NUM1:
        return 1;
    case FIELD_NUM2:
        return 2;
    case FIELD_NUM4:
        return 4;
    case FIELD_NUM8:
        return 8;
    case FIELD_NUM16:
        return 16;
    case FIELD_TEXT4:
        return 4;
    case FIELD_TEXT16:
        return 16;
    case FIELD_TEXT64:
        return 64;
    case FIELD_TEXT300:
        return 300;
    case FIELD_TEXT1000:
        return 1000;
    case FIELD_TEXT5000:
        return 5000;
    default:
        return 64;
    }
}

RecordFile* OpenRecordFile(const char* path, const char** reason) {
    IoFile* io = IoOpenExisting(path);
    if (!io) return Refuse(nullptr, reason, "the file cannot be opened");

    char magic[5] = {};
    IoReadAt(io, 0, magic, 4);
    if (std::strcmp(magic, "DATA") != 0)
        return Refuse(io, reason, "not a record file (no DATA mark)");

    std::unique_ptr<RecordFile> file(new (std::nothrow) RecordFile);
    if (!file) return Refuse(io, reason, "out of memory");
    file->fieldCount = ReadWord(io, FIELD_COUNT_OFFSET);
    file->slotCount = ReadWord(io, SLOT_COUNT_OFFSET);
    file->dataStart = FIELD_TABLE_START + 4 * file->fieldCount;
    if (file->fieldCount == 0) return Refuse(io, reason, "the field count is 0");
    if (file->slotCount == 0) return Refuse(io, reason, "the slot count is 0");
    if (IoFileSize(io) < file->dataStart)
        return Refuse(io, reason, "the file is shorter than its field table");

    std::vector<unsigned char> table(4 * file->fieldCount);
    IoReadAt(io, FIELD_TABLE_START, table.data(), static_cast<uint32_t>(table.size()));
    file->recordSize = 2;
    file->fields.resize(file->fieldCount);
    for (uint32_t i = 0; i < file->fieldCount; ++i) {
        const unsigned char* entry = &table[4 * i];
        FieldDefinition& field = file->fields[i];
        field.type = entry[0] | (entry[1] << 8);
        field.offset = entry[2] | (entry[3] << 8);
        if (const char* why = UnsupportedType(field.type)) return Refuse(io, reason, why);
        file->recordSize += FieldWidth(field.type);
    }
    for (const FieldDefinition& field : file->fields) {
        uint64_t end = static_cast<uint64_t>(field.offset) + FieldWidth(field.type);
        if (field.offset < file->dataStart + 2 || end > file->dataStart + file->recordSize)
            return Refuse(io, reason, "a field lies outside its slot");
    }
    file->io = io;
    if (!LoadStatuses(file.get())) return Refuse(io, reason, "out of memory");
    if (file->readFailed) return Refuse(io, reason, "the file cannot be read");
    return file.release();
}

RecordFile* CreateRecordFile(const char* path, uint32_t fieldCount) {
    IoFile* io = IoCreate(path);
    if (!io) return nullptr;
    unsigned char skeleton[SKELETON_SIZE] = {};
    std::memcpy(skeleton, "DATA0007", 8);
    auto put = [&](uint32_t offset, uint32_t value) {
        skeleton[offset] = static_cast<unsigned char>(value);
        skeleton[offset + 1] = static_cast<unsigned char>(value >> 8);
    };
    put(HEADER_WORD_OFFSET, 1);
    put(674, 1);
    put(1276, 2);
    put(FIELD_COUNT_OFFSET, fieldCount);
    put(SLOT_COUNT_OFFSET, SLOTS_PER_STEP);
    put(1282, 10);

    RecordFile* file = new (std::nothrow) RecordFile;
    if (!file) {
        IoClose(io);
        return nullptr;
    }
    file->io = io;
    WriteBytes(file, 0, skeleton, SKELETON_SIZE);
    file->fieldCount = fieldCount;
    file->dataStart = FIELD_TABLE_START + 4 * fieldCount;
    file->slotCount = SLOTS_PER_STEP;
    file->fields.assign(fieldCount, FieldDefinition{0, 0});
    file->statuses.assign(SLOTS_PER_STEP, SLOT_EMPTY);
    return file;
}

int CloseRecordFile(RecordFile* file) {
    if (file) {
        IoClose(file->io);
        delete file;
    }
    return 0;
}

int WriteCollectionName(RecordFile* file, const char* name) {
    if (!file) return 0;
    // Zeros after the name, so nothing of an older name stays in the file.
    char block[COLLECTION_NAME_SIZE] = {};
    std::memcpy(block, name, strnlen(name, COLLECTION_NAME_SIZE));
    WriteBytes(file, COLLECTION_NAME_OFFSET, block, COLLECTION_NAME_SIZE);
    return 1;
}

int ReadCollectionName(RecordFile* file) {
    if (!file) return 0;
    ReadBytes(file, COLLECTION_NAME_OFFSET, textValue, COLLECTION_NAME_SIZE);
    textValue[COLLECTION_NAME_SIZE] = '\0';
    return 1;
}

int WriteHeaderWord(RecordFile* file, uint32_t value) {
    if (!file) return 0;
    WriteWord(file, HEADER_WORD_OFFSET, value);
    return 1;
}

int DefineField(RecordFile* file, uint32_t field, uint32_t type) {
    if (!file || !ValidField(file, field) || UnsupportedType(type)) return 0;
    uint64_t entry = FIELD_TABLE_START + 4 * (field - 1);
    WriteWord(file, entry, type);
    WriteWord(file, entry + 2, 0);
    file->fields[field - 1] = FieldDefinition{type, 0};
    return 1;
}

int LayOutFields(RecordFile* file) {
    if (!file) return 0;
    uint32_t recordSize = 2;
    uint32_t offset = file->dataStart + 2;
    for (uint32_t i = 0; i < file->fieldCount; ++i) {
        FieldDefinition& field = file->fields[i];
        // Field offsets are stored in 16 bits.
        if (offset > 0xFFFF) return 0;
        field.offset = offset;
        WriteWord(file, FIELD_TABLE_START + 4 * i + 2, offset);
        uint32_t width = FieldWidth(field.type);
        recordSize += width;
        offset += width;
    }
    file->recordSize = recordSize;
    AppendEmptySlots(file, 0);
    return LoadStatuses(file) ? 1 : 0;
}

uint32_t ReadField(RecordFile* file, int32_t slot, uint32_t field) {
    uint64_t offset = 0;
    const FieldDefinition* definition = LocateField(file, slot, field, offset);
    if (!definition) return 0;
    unsigned char bytes[MAX_TEXT_FIELD_WIDTH];
    ReadBytes(file, offset, bytes, FieldWidth(definition->type));
    TakeValue(definition->type, bytes);
    return definition->type;
}

SlotField FieldIn(const RecordFile* file, const unsigned char* slot, uint32_t field) {
    const FieldDefinition& definition = file->fields[field - 1];
    const unsigned char* bytes = slot + (definition.offset - file->dataStart);
    const uint32_t width = FieldWidth(definition.type);
    SlotField value{definition.type, 0, reinterpret_cast<const char*>(bytes), 0};
    if (IsNumberField(definition.type))
        value.number = NumberIn(bytes, width);
    else
        value.length = static_cast<uint32_t>(strnlen(value.text, width));
    return value;
}

uint32_t WriteField(RecordFile* file, int32_t slot, uint32_t field) {
    uint64_t offset = 0;
    const FieldDefinition* definition = LocateField(file, slot, field, offset);
    if (!definition) return 0;
    uint32_t width = FieldWidth(definition->type);
    if (IsNumberField(definition->type)) {
        unsigned char bytes[4];
        for (uint32_t i = 0; i < 4; ++i)
            bytes[i] = static_cast<unsigned char>(numberValue >> (8 * i));
        WriteBytes(file, offset, bytes, width);
        numberValue = 0;
    } else {
        // The value, its NUL when it fits, then zeros to the field's width.
        unsigned char bytes[MAX_TEXT_FIELD_WIDTH] = {};
        std::memcpy(bytes, textValue, strnlen(textValue, width));
        WriteBytes(file, offset, bytes, width);
        textValue[0] = '\0';
    }
    return definition->type;
}

void ReadSlots(RecordFile* file, int32_t first, uint32_t count, unsigned char* buffer) {
    ReadBytes(file, SlotOffset(file, first), buffer, count * file->recordSize);
}

int32_t ScanSlots(RecordFile* file, int32_t from, int32_t to, bool (*wanted)(uint32_t status),
                  const SlotVisitor& visit) {
    if (!file || file->recordSize == 0) return -1;
    const int32_t step = from <= to ? 1 : -1;
    const int32_t last = static_cast<int32_t>(file->slotCount) - 1;
    if (step > 0 ? from > last : from < 0) return -1;
    from = std::min(std::max(from, 0), last);
    to = std::min(std::max(to, 0), last);
    const int32_t piece =
        std::min(static_cast<int32_t>(SlotsPerPiece(file, READ_PIECE)), std::abs(to - from) + 1);
    Buffer buffer = Allocate(static_cast<size_t>(piece) * file->recordSize);
    if (!buffer) return -1;
    auto reached = [&](int32_t slot, int32_t end) { return step > 0 ? slot > end : slot < end; };
    for (int32_t slot = from;;) {
        while (!reached(slot, to) && !wanted(file->statuses[slot])) slot += step;
        if (reached(slot, to)) return -1;
        // A piece of slots from this wanted one on, in the direction of travel.
        int32_t end = step > 0 ? std::min(to, slot + piece - 1) : std::max(to, slot - piece + 1);
        int32_t low = std::min(slot, end);
        ReadSlots(file, low, static_cast<uint32_t>(std::abs(end - slot) + 1), buffer.get());
        for (; !reached(slot, end); slot += step)
            if (wanted(file->statuses[slot]) &&
                visit(slot, buffer.get() + static_cast<size_t>(slot - low) * file->recordSize))
                return slot;
    }
}

uint32_t ReadSlotStatus(RecordFile* file, int32_t slot) {
    if (!file || !ValidSlot(file, slot)) return SLOT_EMPTY;
    return file->statuses[slot];
}

int SetSlotStatus(RecordFile* file, int32_t slot, uint32_t status) {
    if (!file || !ValidSlot(file, slot)) return 0;
    WriteWord(file, SlotOffset(file, slot), status);
    file->statuses[slot] = static_cast<uint16_t>(status);
    return 1;
}

int DeleteRecord(RecordFile* file, int32_t slot) {
    return SetSlotStatus(file, slot, SLOT_DELETED);
}

int CopyRecord(RecordFile* file, int32_t source, int32_t target) {
    if (!file) return 0;
    if (!ValidSlot(file, source) || !ValidSlot(file, target)) return 1;
    Buffer buffer = Allocate(file->recordSize);
    if (!buffer) return 1;
    ReadSlots(file, source, 1, buffer.get());
    WriteSlots(file, static_cast<uint32_t>(target), 1, buffer.get());
    return 1;
}

uint32_t CountRecords(RecordFile* file) {
    if (!file) return 0;
    return static_cast<uint32_t>(
        std::count(file->statuses.begin(), file->statuses.end(), SLOT_IN_USE));
}

uint32_t CountUsedSlots(RecordFile* file) {
    if (!file) return 0;
    return static_cast<uint32_t>(
        std::count_if(file->statuses.begin(), file->statuses.end(), IsUsedStatus));
}

std::vector<uint32_t> UsedSlots(const RecordFile* file) {
    std::vector<uint32_t> slots;
    for (uint32_t slot = 0; slot < file->slotCount; ++slot)
        if (IsUsedStatus(file->statuses[slot])) slots.push_back(slot);
    return slots;
}

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
        plan.vacated = Allocate(file->recordSize);
        if (!plan.vacated) return 0;
        ReadSlots(file, static_cast<int32_t>(last), 1, plan.vacated.get());
        plan.vacated[0] = SLOT_DELETED;
        plan.vacated[1] = 0;

        // The widest windows whose slots, held records and read piece fit the limit.
        uint32_t widest = std::min(plan.end - plan.first, SlotsPerPiece(file, WINDOW_BYTES));
        for (uint32_t window = widest; window > 0; window /= 2) {
            uint64_t slots = (window + std::min(window, SlotsPerPiece(file, READ_PIECE))) *
                             static_cast<uint64_t>(file->recordSize);
            if (slots > slotMemoryLimit) continue;
            uint32_t held = HeldPeak(plan, window);
            if (slots + HeldRecords::Bytes(held, file->recordSize) <= slotMemoryLimit) {
                if (PlaceByWindows(file, plan, window, held)) return 1;
                break;
            }
        }
        return PlaceBySlots(file, plan) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int GrowSlots(RecordFile* file) {
    if (!file || file->slotCount + SLOTS_PER_STEP > MAX_SLOT_COUNT) return 0;
    AppendEmptySlots(file, file->slotCount);
    file->slotCount += SLOTS_PER_STEP;
    file->statuses.resize(file->slotCount, SLOT_EMPTY);
    WriteWord(file, SLOT_COUNT_OFFSET, file->slotCount);
    return 1;
}

int ShrinkSlots(RecordFile* file) {
    if (!file || file->slotCount <= SLOTS_PER_STEP) return 0;
    file->slotCount -= SLOTS_PER_STEP;
    file->statuses.resize(file->slotCount);
    if (!IoSetLength(file->io, SlotOffset(file, file->slotCount))) file->writeFailed = true;
    WriteWord(file, SLOT_COUNT_OFFSET, file->slotCount);
    return 1;
}

// Compaction leaves the records in slots 0 to records - 1 in their order.
int CompactSlots(RecordFile* file) {
    if (!file) return 0;
    try {
        return PlaceRecords(file, UsedSlots(file));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void CheckCapacity(RecordFile* file) {
    if (!file) return;
    uint32_t used = CountUsedSlots(file);
    uint32_t free = file->slotCount - used;
    uint32_t percent = static_cast<uint32_t>(static_cast<uint64_t>(used) * 100 / file->slotCount);
    if (percent > 90 || free < 10) {
        GrowSlots(file);
    } else if (percent < 70 && file->slotCount > 50) {
        if (CompactSlots(file)) ShrinkSlots(file);
    }
}

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

int32_t NextRecord(RecordFile* file, int32_t slot) {
    if (!file) return slot;
    for (int32_t s = slot + 1; ValidSlot(file, s); ++s)
        if (file->statuses[s] == SLOT_IN_USE) return s;
    return slot;
}

int32_t PreviousRecord(RecordFile* file, int32_t slot) {
    if (!file) return slot;
    for (int32_t s = std::min(slot, static_cast<int32_t>(file->slotCount)) - 1; s >= 0; --s)
        if (file->statuses[s] == SLOT_IN_USE) return s;
    return slot;
}

int32_t RecordOrdinal(RecordFile* file, int32_t slot) {
    if (!file || ReadSlotStatus(file, slot) != SLOT_IN_USE) return -1;
    return static_cast<int32_t>(
        std::count(file->statuses.begin(), file->statuses.begin() + slot + 1, SLOT_IN_USE));
}

int32_t NthRecord(RecordFile* file, uint32_t ordinal) {
    if (!file || ordinal == 0) return -1;
    uint32_t seen = 0;
    for (uint32_t slot = 0; slot < file->slotCount; ++slot)
        if (file->statuses[slot] == SLOT_IN_USE && ++seen == ordinal)
            return static_cast<int32_t>(slot);
    return -1;
}
