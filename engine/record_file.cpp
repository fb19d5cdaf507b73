#include "record_file.h"

#include "file_io.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

constexpr uint32_t SKELETON_SIZE = 6354;

// The file's 16-bit words, lowest byte first.
uint32_t WordOf(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

void PutWord(unsigned char* bytes, uint32_t value) {
    bytes[0] = static_cast<unsigned char>(value);
    bytes[1] = static_cast<unsigned char>(value >> 8);
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
    unsigned char bytes[2];
    PutWord(bytes, value);
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

// A field's value from the bytes it lies in.
inline SlotField FieldAt(uint32_t type, const unsigned char* bytes) {
    const uint32_t width = FieldWidth(type);
    SlotField value{type, 0, reinterpret_cast<const char*>(bytes), 0};
    if (IsNumberField(type))
        value.number = NumberIn(bytes, width);
    else
        value.length = static_cast<uint32_t>(strnlen(value.text, width));
    return value;
}

// A value's bytes as a field of that type holds them: a number lowest byte
// first; a text up to its NUL, its length or the field's width, then zeros.
void PutValue(uint32_t type, uint32_t number, const char* text, size_t length,
              unsigned char* bytes) {
    const uint32_t width = FieldWidth(type);
    if (IsNumberField(type)) {
        for (uint32_t i = 0; i < width; ++i)
            bytes[i] = static_cast<unsigned char>(number >> (8 * i));
        return;
    }
    const size_t kept = length ? strnlen(text, std::min<size_t>(length, width)) : 0;
    if (kept) std::memcpy(bytes, text, kept); // a text of no length may have no bytes at all
    std::memset(bytes + kept, 0, width - kept);
}

// Sets the slot count and writes it into the file; the map follows it.
void TakeSlotCount(RecordFile* file, uint32_t slotCount) {
    file->slotCount = slotCount;
    file->statuses.resize(slotCount, SLOT_EMPTY);
    WriteWord(file, SLOT_COUNT_OFFSET, slotCount);
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
    SlotBuffer buffer = AllocateSlots(static_cast<size_t>(piece) * file->recordSize);
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

// A FieldValue holds 32-bit numbers and texts of up to 1000 bytes.
const char* UnsupportedType(uint32_t type) {
    uint32_t width = FieldWidth(type);
    if (IsNumberField(type) && width > 4) return "a number field is wider than 4 bytes";
    if (!IsNumberField(type) && width > MAX_TEXT_FIELD_WIDTH)
        return "a text field is wider than 1000 bytes";
    return nullptr;
}

// The slots whose status wanted accepts, lowest first, from the map alone.
std::vector<uint32_t> SlotsWith(const RecordFile* file, bool (*wanted)(uint32_t status)) {
    std::vector<uint32_t> slots;
    for (uint32_t slot = 0; slot < file->slotCount; ++slot)
        if (wanted(file->statuses[slot])) slots.push_back(slot);
    return slots;
}

RecordFile* Refuse(IoFile* io, const char** reason, const char* why) {
    IoClose(io);
    if (reason) *reason = why;
    return nullptr;
}

} // namespace

SlotBuffer AllocateSlots(size_t bytes) {
#ifdef __linux__
    // Every page a process touches for the first time costs a fault, and in a
    // virtual machine one fault of a 4 KB page can cost as much as reading
    // 100 KB of a cached file. Buffers of a read piece or more ask for 2 MB
    // pages instead: one fault where there would be 64 or more.
    constexpr size_t LARGE_PAGE = 2u << 20;
    if (bytes >= READ_PIECE) {
        const size_t rounded = (bytes + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE;
        void* memory = std::aligned_alloc(LARGE_PAGE, rounded);
        if (memory) madvise(memory, rounded, MADV_HUGEPAGE);
        return SlotBuffer(static_cast<unsigned char*>(memory));
    }
#endif
    return SlotBuffer(static_cast<unsigned char*>(std::malloc(bytes ? bytes : 1)));
}

uint32_t SlotsPerPiece(const RecordFile* file, uint32_t bytes) {
    return std::max<uint32_t>(1, std::min(bytes / file->recordSize, file->slotCount));
}

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
        field.type = WordOf(entry);
        field.offset = WordOf(entry + 2);
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
    PutWord(skeleton + HEADER_WORD_OFFSET, 1);
    PutWord(skeleton + 674, 1);
    PutWord(skeleton + 1276, 2);
    PutWord(skeleton + FIELD_COUNT_OFFSET, fieldCount);
    PutWord(skeleton + SLOT_COUNT_OFFSET, SLOTS_PER_STEP);
    PutWord(skeleton + 1282, 10);

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

int ReadCollectionName(RecordFile* file, char* name) {
    if (!file) {
        name[0] = '\0';
        return 0;
    }
    ReadBytes(file, COLLECTION_NAME_OFFSET, name, COLLECTION_NAME_SIZE);
    name[COLLECTION_NAME_SIZE] = '\0';
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

FieldValue ReadField(RecordFile* file, int32_t slot, uint32_t field) {
    FieldValue value;
    uint64_t offset = 0;
    const FieldDefinition* definition = LocateField(file, slot, field, offset);
    if (!definition) return value;
    unsigned char bytes[MAX_TEXT_FIELD_WIDTH];
    ReadBytes(file, offset, bytes, FieldWidth(definition->type));
    const SlotField read = FieldAt(definition->type, bytes);
    value.type = read.type;
    value.number = read.number;
    std::memcpy(value.text, read.text, read.length);
    return value;
}

SlotField FieldIn(const RecordFile* file, const unsigned char* slot, uint32_t field) {
    const FieldDefinition& definition = file->fields[field - 1];
    return FieldAt(definition.type, slot + (definition.offset - file->dataStart));
}

bool WriteField(RecordFile* file, int32_t slot, uint32_t field, const FieldValue& value) {
    uint64_t offset = 0;
    const FieldDefinition* definition = LocateField(file, slot, field, offset);
    if (!definition) return false;
    unsigned char bytes[MAX_TEXT_FIELD_WIDTH];
    PutValue(definition->type, value.number, value.text, TEXT_VALUE_SIZE, bytes);
    WriteBytes(file, offset, bytes, FieldWidth(definition->type));
    return true;
}

void PutField(const RecordFile* file, unsigned char* slot, uint32_t field, uint32_t number,
              const char* text, size_t length) {
    if (!ValidField(file, field)) return;
    const FieldDefinition& definition = file->fields[field - 1];
    PutValue(definition.type, number, text, length, slot + (definition.offset - file->dataStart));
}

void ReadSlots(RecordFile* file, int32_t first, uint32_t count, unsigned char* buffer) {
    ReadBytes(file, SlotOffset(file, first), buffer, count * file->recordSize);
}

void WriteSlots(RecordFile* file, uint32_t first, uint32_t count, const unsigned char* bytes) {
    WriteBytes(file, SlotOffset(file, first), bytes, count * file->recordSize);
    for (uint32_t i = 0; i < count; ++i)
        file->statuses[first + i] = static_cast<uint16_t>(WordOf(bytes + i * file->recordSize));
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
    SlotBuffer buffer = AllocateSlots(static_cast<size_t>(piece) * file->recordSize);
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
    if (!file || !ValidSlot(file, source) || !ValidSlot(file, target)) return 0;
    SlotBuffer buffer = AllocateSlots(file->recordSize);
    if (!buffer) return 0;
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
    return SlotsWith(file, IsUsedStatus);
}

std::vector<uint32_t> RecordSlots(const RecordFile* file) {
    return SlotsWith(file, IsRecordStatus);
}

int GrowSlots(RecordFile* file) {
    if (!file || file->slotCount + SLOTS_PER_STEP > MAX_SLOT_COUNT) return 0;
    AppendEmptySlots(file, file->slotCount);
    TakeSlotCount(file, file->slotCount + SLOTS_PER_STEP);
    return 1;
}

int ShrinkSlots(RecordFile* file, uint32_t count) {
    if (!file || file->slotCount <= count) return 0;
    TakeSlotCount(file, file->slotCount - count);
    if (!IoSetLength(file->io, SlotOffset(file, file->slotCount))) file->writeFailed = true;
    return 1;
}

int FillFreeSlot(RecordFile* file, int32_t slot, const SlotFiller& fill) {
    if (!file || !ValidSlot(file, slot) || IsUsedStatus(file->statuses[slot])) return 0;
    SlotBuffer bytes = AllocateSlots(file->recordSize);
    if (!bytes) return 0;
    ReadSlots(file, slot, 1, bytes.get());
    PutWord(bytes.get(), SLOT_IN_USE);
    fill(bytes.get());
    // Field by field the file would grow only to the end of the last field
    // written: bytes past its end that no field covers are not written.
    uint32_t covered = 2;
    for (const FieldDefinition& field : file->fields)
        covered = std::max(covered, field.offset - file->dataStart + FieldWidth(field.type));
    const uint64_t start = SlotOffset(file, slot), size = IoFileSize(file->io);
    const uint64_t inFile = size > start ? size - start : 0;
    const uint32_t length = static_cast<uint32_t>(
        std::min<uint64_t>(file->recordSize, std::max<uint64_t>(covered, inFile)));
    WriteBytes(file, start, bytes.get(), length);
    file->statuses[slot] = SLOT_IN_USE;
    return 1;
}

int AppendSlots(RecordFile* file, uint32_t count, uint32_t records, const SlotFiller& fill) {
    if (!file || count == 0 || records > count || file->slotCount + count > MAX_SLOT_COUNT)
        return 0;
    const uint32_t first = file->slotCount;
    const uint32_t piece = std::max<uint32_t>(1, std::min(WRITE_PIECE / file->recordSize, count));
    SlotBuffer buffer = AllocateSlots(static_cast<size_t>(piece) * file->recordSize);
    if (!buffer) return 0;
    TakeSlotCount(file, first + count);
    for (uint32_t at = 0; at < count; at += piece) {
        const uint32_t slots = std::min(piece, count - at);
        std::memset(buffer.get(), 0, static_cast<size_t>(slots) * file->recordSize);
        for (uint32_t i = 0; i < slots && at + i < records; ++i) {
            unsigned char* slot = buffer.get() + static_cast<size_t>(i) * file->recordSize;
            PutWord(slot, SLOT_IN_USE);
            fill(slot);
        }
        WriteSlots(file, first + at, slots, buffer.get());
    }
    return 1;
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
