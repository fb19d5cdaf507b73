// The record file engine: a collection is one file of fixed-size slots, one
// record per in-use slot, worked on in place: every change is in the file when
// the call returns. A map of the slot statuses, kept in step with the file,
// answers counting and navigation; whole slots move in large pieces.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

struct IoFile;

enum FieldType : uint32_t {
    FIELD_NUM1 = 0,
    FIELD_NUM2 = 1,
    FIELD_NUM4 = 2,
    FIELD_NUM8 = 3,
    FIELD_NUM16 = 4,
    FIELD_TEXT4 = 10,
    FIELD_TEXT16 = 11,
    FIELD_TEXT64 = 12,
    FIELD_TEXT300 = 13,
    FIELD_TEXT1000 = 14,
    FIELD_TEXT5000 = 15,
    FIELD_NONE = UINT32_MAX, // read from a field that the file or the slot lacks
};

enum SlotStatus : uint32_t {
    SLOT_EMPTY = 0,
    SLOT_DELETED = 5,
    SLOT_IN_USE = 10,
};

constexpr uint32_t FIELD_TABLE_START = 1354;
constexpr uint32_t COLLECTION_NAME_OFFSET = 8;
constexpr uint32_t COLLECTION_NAME_SIZE = 300;
constexpr uint32_t HEADER_WORD_OFFSET = 608;
constexpr uint32_t FIELD_COUNT_OFFSET = 1278;
constexpr uint32_t SLOT_COUNT_OFFSET = 1280;
constexpr uint32_t SLOTS_PER_STEP = 10;
// The largest multiple of ten that fits the 16-bit slot count.
constexpr uint32_t MAX_SLOT_COUNT = 65530;
constexpr uint32_t TEXT_VALUE_SIZE = 1024;
// The widest field an open file may have, so that a value always fits a FieldValue.
constexpr uint32_t MAX_TEXT_FIELD_WIDTH = 1000;

// One field's value. A read fills number from a number field and text from a
// text field and leaves the other empty; a write stores number into a number
// field and text, cut to the field's width, into a text field, whatever type says.
struct FieldValue {
    uint32_t type = FIELD_NONE;
    uint32_t number = 0;
    char text[TEXT_VALUE_SIZE] = "";
};

struct FieldDefinition {
    uint32_t type;
    uint32_t offset; // absolute offset of the field in slot 0
};

// The state of one open record file; a null pointer means no file is open.
// The field table is kept here as the file holds it; only DefineField and
// LayOutFields change it.
struct RecordFile {
    IoFile* io = nullptr;
    uint32_t fieldCount = 0;
    uint32_t slotCount = 0;
    uint32_t fieldTableStart = FIELD_TABLE_START;
    uint32_t dataStart = 0;
    uint32_t recordSize = 0;
    std::vector<FieldDefinition> fields; // index 0 is field 1
    // Every slot's status word as the file holds it (zero past its end).
    std::vector<uint16_t> statuses;
    // Set when a write, seek or length change of the file failed; the engine
    // never clears it, whoever reports the failure does.
    bool writeFailed = false;
    bool readFailed = false; // a read stopped short of what the file holds; it read as zeros
};

uint32_t FieldWidth(uint32_t type);
inline bool IsNumberField(uint32_t type) {
    return type < 10;
}

// File level. When OpenRecordFile cannot open a file it returns null and, if
// reason is given, points it at a sentence saying why.
RecordFile* OpenRecordFile(const char* path, const char** reason = nullptr);
RecordFile* CreateRecordFile(const char* path, uint32_t fieldCount);
int CloseRecordFile(RecordFile* file);
int WriteCollectionName(RecordFile* file, const char* name);
// Copies the 300-byte name block and a NUL after it into name, which has room
// for COLLECTION_NAME_SIZE + 1 characters; without a file name is empty and the result 0.
int ReadCollectionName(RecordFile* file, char* name);
int WriteHeaderWord(RecordFile* file, uint32_t value);
int DefineField(RecordFile* file, uint32_t field, uint32_t type);
int LayOutFields(RecordFile* file);

// Record level. Slots are 0-based indexes, ordinals 1-based, fields 1-based.
// A field the file or slot does not have reads as type FIELD_NONE and is not written.
FieldValue ReadField(RecordFile* file, int32_t slot, uint32_t field);
bool WriteField(RecordFile* file, int32_t slot, uint32_t field, const FieldValue& value);
// Writes a value into a field of a slot in memory as WriteField writes it
// into the file; a text ends at its NUL or after length bytes.
void PutField(const RecordFile* file, unsigned char* slot, uint32_t field, uint32_t number,
              const char* text, size_t length);
int DeleteRecord(RecordFile* file, int32_t slot);
int SetSlotStatus(RecordFile* file, int32_t slot, uint32_t status);
uint32_t ReadSlotStatus(RecordFile* file, int32_t slot);
// 0 when nothing was copied: no such slot, or no memory for one.
int CopyRecord(RecordFile* file, int32_t source, int32_t target);
uint32_t CountRecords(RecordFile* file);
uint32_t CountUsedSlots(RecordFile* file);
int32_t NextRecord(RecordFile* file, int32_t slot);
int32_t PreviousRecord(RecordFile* file, int32_t slot);
int32_t RecordOrdinal(RecordFile* file, int32_t slot);
int32_t NthRecord(RecordFile* file, uint32_t ordinal);

// Ten slots more, or fewer, at the end of the slot area; 0 at its limits.
int GrowSlots(RecordFile* file);
int ShrinkSlots(RecordFile* file, uint32_t count = SLOTS_PER_STEP);

// Writes a new record's fields into its slot's bytes in memory, which hold
// status 10 and, elsewhere, what the slot held before (zeros in a new slot).
using SlotFiller = std::function<void(unsigned char* slot)>;
// Puts a record into a slot that is not in use: the slot's bytes are left
// as setting its status and then writing the filler's fields would leave
// them. 0 when it is in use or no memory could be had.
int FillFreeSlot(RecordFile* file, int32_t slot, const SlotFiller& fill);
// Adds count slots at the end of the slot area, as count / 10 grows would,
// the first records of them holding records made by fill, written in large
// pieces. 0 when that would pass MAX_SLOT_COUNT or no memory could be had.
int AppendSlots(RecordFile* file, uint32_t count, uint32_t records, const SlotFiller& fill);

// Working memory for whole slots, its bytes unset; null when it cannot be had.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using SlotBuffer = std::unique_ptr<unsigned char[], FreeDeleter>;
SlotBuffer AllocateSlots(size_t bytes);
// Reads and scans of many slots go in pieces of about this size: small
// enough to stay in the processor's cache while the slots are looked at.
constexpr uint32_t READ_PIECE = 256u << 10;
// New slots are made and written in pieces of about this size: every write
// call has a cost of its own, and on Linux a buffer of a read piece or more
// takes a 2 MB page anyway.
constexpr uint32_t WRITE_PIECE = 2u << 20;
// How many whole slots make a piece of about the given size; at least one.
// Never more slots than the file has: a small file needs no large buffer.
uint32_t SlotsPerPiece(const RecordFile* file, uint32_t bytes);
// Reads count whole slots from first on; what lies past the end of the file reads as zeros.
void ReadSlots(RecordFile* file, int32_t first, uint32_t count, unsigned char* buffer);
// Writes whole slots from memory and takes their status words into the map.
void WriteSlots(RecordFile* file, uint32_t first, uint32_t count, const unsigned char* bytes);
// A field of a slot in memory: a number field's value, or a text field's
// bytes up to its NUL or its width.
struct SlotField {
    uint32_t type;
    uint32_t number;
    const char* text;
    uint32_t length;
};
SlotField FieldIn(const RecordFile* file, const unsigned char* slot, uint32_t field);
// A number field's value from its width bytes, lowest byte first.
inline uint32_t NumberIn(const unsigned char* bytes, uint32_t width) {
    uint32_t number = 0;
    if (width == 4) { // the usual width, in one load
        std::memcpy(&number, bytes, 4);
        return number;
    }
    for (uint32_t i = width; i > 0; --i) number = (number << 8) | bytes[i - 1];
    return number;
}
inline bool IsRecordStatus(uint32_t status) {
    return status == SLOT_IN_USE;
}
// Compaction and sorting move every slot whose status is above 9.
inline bool IsUsedStatus(uint32_t status) {
    return status > 9;
}
// Calls visit with each slot from `from` to `to` (both included, counting up or
// down) whose status `wanted` accepts, reading the slots in large pieces. Stops
// at the first slot for which visit returns true and returns it; -1 otherwise.
using SlotVisitor = std::function<bool(int32_t slot, const unsigned char* bytes)>;
int32_t ScanSlots(RecordFile* file, int32_t from, int32_t to, bool (*wanted)(uint32_t status),
                  const SlotVisitor& visit);
// The slots whose status is above 9, lowest first.
std::vector<uint32_t> UsedSlots(const RecordFile* file);
// The slots of the records, lowest first: the record with ordinal n lies in the nth.
std::vector<uint32_t> RecordSlots(const RecordFile* file);
