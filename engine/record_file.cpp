#include "record_file.h"

#include "file_io.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

uint32_t numberValue = 0;
char textValue[TEXT_VALUE_SIZE] = {};

namespace {

constexpr uint32_t SKELETON_SIZE = 6354;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<unsigned char[], FreeDeleter>;

// One slot's worth of working memory; null when it cannot be had.
Buffer AllocateSlotBuffer(const RecordFile* file) {
    return Buffer(static_cast<unsigned char*>(std::calloc(file->recordSize, 1)));
}

uint32_t ReadWord(IoFile* io, uint64_t offset) {
    unsigned char bytes[2] = {0, 0};
    IoReadAt(io, offset, bytes, 2);
    return bytes[0] | (bytes[1] << 8);
}

void WriteWord(RecordFile* file, uint64_t offset, uint32_t value) {
    unsigned char bytes[2] = {static_cast<unsigned char>(value),
                              static_cast<unsigned char>(value >> 8)};
    IoWriteAt(file->io, offset, bytes, 2);
}

// Reads count bytes; what lies past the end of the file reads as zeros.
void ReadBytes(RecordFile* file, uint64_t offset, void* buffer, uint32_t count) {
    uint32_t got = IoReadAt(file->io, offset, buffer, count);
    std::memset(static_cast<char*>(buffer) + got, 0, count - got);
}

void WriteZeros(RecordFile* file, uint64_t offset, uint64_t count) {
    static const unsigned char zeros[65536] = {};
    while (count > 0) {
        uint32_t piece = count < sizeof zeros ? static_cast<uint32_t>(count) : sizeof zeros;
        IoWriteAt(file->io, offset, zeros, piece);
        offset += piece;
        count -= piece;
    }
}

bool ValidSlot(const RecordFile* file, int32_t slot) {
    return slot >= 0 && static_cast<uint32_t>(slot) < file->slotCount;
}

uint64_t SlotOffset(const RecordFile* file, int32_t slot) {
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

void ReadSlot(RecordFile* file, int32_t slot, unsigned char* buffer) {
    ReadBytes(file, SlotOffset(file, slot), buffer, file->recordSize);
}

void WriteSlot(RecordFile* file, int32_t slot, const unsigned char* buffer) {
    IoWriteAt(file->io, SlotOffset(file, slot), buffer, file->recordSize);
}

// Writes ten zeroed slots from firstSlot on.
void AppendEmptySlots(RecordFile* file, uint32_t firstSlot) {
    WriteZeros(file, SlotOffset(file, static_cast<int32_t>(firstSlot)),
               static_cast<uint64_t>(SLOTS_PER_STEP) * file->recordSize);
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
    IoWriteAt(io, 0, skeleton, SKELETON_SIZE);

    RecordFile* file = new (std::nothrow) RecordFile;
    if (!file) {
        IoClose(io);
        return nullptr;
    }
    file->io = io;
    file->fieldCount = fieldCount;
    file->dataStart = FIELD_TABLE_START + 4 * fieldCount;
    file->slotCount = SLOTS_PER_STEP;
    file->fields.assign(fieldCount, FieldDefinition{0, 0});
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
    IoWriteAt(file->io, COLLECTION_NAME_OFFSET, block, COLLECTION_NAME_SIZE);
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
    return 1;
}

uint32_t ReadField(RecordFile* file, int32_t slot, uint32_t field) {
    uint64_t offset = 0;
    const FieldDefinition* definition = LocateField(file, slot, field, offset);
    if (!definition) return 0;
    uint32_t width = FieldWidth(definition->type);
    if (IsNumberField(definition->type)) {
        unsigned char bytes[4];
        ReadBytes(file, offset, bytes, width);
        numberValue = 0;
        for (uint32_t i = width; i > 0; --i) numberValue = (numberValue << 8) | bytes[i - 1];
    } else {
        ReadBytes(file, offset, textValue, width);
        if (!std::memchr(textValue, 0, width)) textValue[width] = '\0';
    }
    return definition->type;
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
        IoWriteAt(file->io, offset, bytes, width);
        numberValue = 0;
    } else {
        // The value, its NUL when it fits, then zeros to the field's width.
        unsigned char bytes[MAX_TEXT_FIELD_WIDTH] = {};
        std::memcpy(bytes, textValue, strnlen(textValue, width));
        IoWriteAt(file->io, offset, bytes, width);
        textValue[0] = '\0';
    }
    return definition->type;
}

uint32_t ReadSlotStatus(RecordFile* file, int32_t slot) {
    if (!file || !ValidSlot(file, slot)) return SLOT_EMPTY;
    return ReadWord(file->io, SlotOffset(file, slot));
}

int SetSlotStatus(RecordFile* file, int32_t slot, uint32_t status) {
    if (!file || !ValidSlot(file, slot)) return 0;
    WriteWord(file, SlotOffset(file, slot), status);
    return 1;
}

int DeleteRecord(RecordFile* file, int32_t slot) {
    return SetSlotStatus(file, slot, SLOT_DELETED);
}

int CopyRecord(RecordFile* file, int32_t source, int32_t target) {
    if (!file) return 0;
    if (!ValidSlot(file, source) || !ValidSlot(file, target)) return 1;
    Buffer buffer = AllocateSlotBuffer(file);
    if (!buffer) return 1;
    ReadSlot(file, source, buffer.get());
    WriteSlot(file, target, buffer.get());
    return 1;
}

int ExchangeSlots(RecordFile* file, int32_t a, int32_t b) {
    if (!file || !ValidSlot(file, a) || !ValidSlot(file, b)) return 0;
    Buffer first = AllocateSlotBuffer(file);
    Buffer second = AllocateSlotBuffer(file);
    if (!first || !second) return 0;
    ReadSlot(file, a, first.get());
    ReadSlot(file, b, second.get());
    WriteSlot(file, a, second.get());
    WriteSlot(file, b, first.get());
    return 1;
}

uint32_t CountRecords(RecordFile* file) {
    if (!file) return 0;
    uint32_t count = 0;
    for (uint32_t slot = 0; slot < file->slotCount; ++slot)
        if (ReadSlotStatus(file, static_cast<int32_t>(slot)) == SLOT_IN_USE) ++count;
    return count;
}

uint32_t CountUsedSlots(RecordFile* file) {
    if (!file) return 0;
    uint32_t count = 0;
    for (uint32_t slot = 0; slot < file->slotCount; ++slot)
        if (ReadSlotStatus(file, static_cast<int32_t>(slot)) > 9) ++count;
    return count;
}

int GrowSlots(RecordFile* file) {
    if (!file || file->slotCount + SLOTS_PER_STEP > MAX_SLOT_COUNT) return 0;
    AppendEmptySlots(file, file->slotCount);
    file->slotCount += SLOTS_PER_STEP;
    WriteWord(file, SLOT_COUNT_OFFSET, file->slotCount);
    return 1;
}

int ShrinkSlots(RecordFile* file) {
    if (!file || file->slotCount <= SLOTS_PER_STEP) return 0;
    file->slotCount -= SLOTS_PER_STEP;
    IoSetLength(file->io, SlotOffset(file, static_cast<int32_t>(file->slotCount)));
    WriteWord(file, SLOT_COUNT_OFFSET, file->slotCount);
    return 1;
}

int CompactSlots(RecordFile* file) {
    if (!file) return 0;
    Buffer buffer = AllocateSlotBuffer(file);
    if (!buffer) return 0;
    // Moves one record into the free slot just before it, then starts over
    // from slot 0, until no free slot precedes a record.
    int32_t lastFree = -1;
    for (int32_t i = 0; static_cast<uint32_t>(i) != file->slotCount;) {
        uint32_t status = ReadSlotStatus(file, i);
        if (status <= 9) {
            lastFree = i++;
        } else if (lastFree < 0) {
            ++i;
        } else {
            ReadSlot(file, i, buffer.get());
            WriteSlot(file, lastFree, buffer.get());
            SetSlotStatus(file, lastFree, status);
            SetSlotStatus(file, i, SLOT_DELETED);
            i = 0;
            lastFree = -1;
        }
    }
    return 1;
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
        if (ReadSlotStatus(file, s) <= 9) {
            SetSlotStatus(file, s, SLOT_IN_USE);
            return s;
        }
    }
    return -1;
}

int32_t NextRecord(RecordFile* file, int32_t slot) {
    if (!file) return slot;
    for (int32_t s = slot + 1; ValidSlot(file, s); ++s)
        if (ReadSlotStatus(file, s) == SLOT_IN_USE) return s;
    return slot;
}

int32_t PreviousRecord(RecordFile* file, int32_t slot) {
    if (!file) return slot;
    for (int32_t s = slot - 1; s >= 0; --s)
        if (ReadSlotStatus(file, s) == SLOT_IN_USE) return s;
    return slot;
}

int32_t RecordOrdinal(RecordFile* file, int32_t slot) {
    if (!file || ReadSlotStatus(file, slot) != SLOT_IN_USE) return -1;
    int32_t ordinal = 0;
    for (int32_t s = 0; s <= slot; ++s)
        if (ReadSlotStatus(file, s) == SLOT_IN_USE) ++ordinal;
    return ordinal;
}

int32_t NthRecord(RecordFile* file, uint32_t ordinal) {
    if (!file || ordinal == 0) return -1;
    uint32_t seen = 0;
    for (uint32_t slot = 0; slot < file->slotCount; ++slot)
        if (ReadSlotStatus(file, static_cast<int32_t>(slot)) == SLOT_IN_USE && ++seen == ordinal)
            return static_cast<int32_t>(slot);
    return -1;
}
