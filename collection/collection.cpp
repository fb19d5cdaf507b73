#include "collection.h"

#include "field_catalogue.h"
#include "file_io.h"
#include "record_file.h"
#include "slot_capacity.h"
#include "sort_search.h"
#include "text_routines.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

// The ordinal and the count follow the shown slot after every move or change.
void RefreshPosition(Collection& collection) {
    collection.currentNumber = RecordOrdinal(collection.hRecordFile, collection.currentRecord);
    collection.recordCount = static_cast<int32_t>(CountRecords(collection.hRecordFile));
}

void ShowSlot(Collection& collection, int32_t slot) {
    collection.currentRecord = slot;
    RefreshPosition(collection);
}

// Starts on the first record of a newly opened or created file.
bool Begin(Collection& collection, RecordFile* file) {
    collection.hRecordFile = file;
    collection.recordsAdded = collection.changesMade = false;
    ShowSlot(collection, NthRecord(file, 1));
    return file != nullptr;
}

// Calls write with every field a new record gets, in the form's order (the
// kind first), and the value a blank record holds there.
template <typename Write> void InFormOrder(const RecordFile* file, uint32_t kind, Write write) {
    for (uint32_t n = 0; n < FIELD_COUNT; ++n) {
        uint32_t field = FieldInFormOrder(n);
        if (field <= file->fieldCount)
            write(field, field == KIND_FIELD ? kind : fieldCatalogue[field].blankValue);
    }
}

void WriteBlankRecord(RecordFile* file, int32_t slot, uint32_t kind) {
    InFormOrder(file, kind, [&](uint32_t field, uint32_t blankValue) {
        FieldValue blank;
        blank.number = blankValue;
        WriteField(file, slot, field, blank);
    });
}

// Writes every byte of from into a new file at path and flushes it.
bool CopyFileTo(IoFile* from, const char* path) {
    constexpr uint32_t CHUNK = 1 << 20;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[CHUNK]);
    IoFile* to = buffer ? IoCreate(path) : nullptr;
    if (!to) return false;
    uint64_t size = IoFileSize(from);
    bool written = true;
    for (uint64_t at = 0; written && at < size; at += CHUNK) {
        uint32_t piece = static_cast<uint32_t>(size - at < CHUNK ? size - at : CHUNK);
        written = IoReadAt(from, at, buffer.get(), piece) == piece &&
                  IoWriteAt(to, at, buffer.get(), piece);
    }
    written = written && IoFlush(to);
    IoClose(to);
    return written;
}

std::string NotePath(const char* workPath) {
    return std::string(workPath) + ".unsaved";
}

} // namespace

RecordFile* CreateStandardRecordFile(const char* path, const char* name) {
    RecordFile* file = CreateRecordFile(path, FIELD_COUNT);
    if (!file) return nullptr;
    WriteCollectionName(file, name);
    WriteHeaderWord(file, 1);
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field)
        DefineField(file, field, fieldCatalogue[field].type);
    LayOutFields(file);
    return file;
}

bool OpenCollection(Collection& collection, const char* path, const char** reason) {
    CloseCollection(collection);
    return Begin(collection, OpenRecordFile(path, reason));
}

bool CreateCollection(Collection& collection, const char* path, const char* name) {
    CloseCollection(collection);
    return Begin(collection, CreateStandardRecordFile(path, name));
}

void CloseCollection(Collection& collection) {
    CloseRecordFile(collection.hRecordFile);
    collection.hRecordFile = nullptr;
    ShowSlot(collection, -1);
}

bool HasUnsavedChanges(const Collection& collection) {
    return collection.recordsAdded || collection.changesMade;
}

void MarkSaved(Collection& collection) {
    collection.recordsAdded = collection.changesMade = false;
}

bool SaveCollectionAs(Collection& collection, const char* target) {
    RecordFile* file = collection.hRecordFile;
    if (!file) return false;
    std::string temporary = std::string(target) + ".saving";
    if (!CopyFileTo(file->io, temporary.c_str()) || !IoReplace(temporary.c_str(), target)) {
        IoRemove(temporary.c_str());
        return false;
    }
    MarkSaved(collection);
    return true;
}

bool WriteRecoveryNote(const char* workPath, const char* userPath) {
    IoFile* note = IoCreate(NotePath(workPath).c_str());
    if (!note) return false;
    bool written = IoWriteAt(note, 0, userPath, TextLength(userPath)) && IoFlush(note);
    IoClose(note);
    return written;
}

bool ReadRecoveryNote(const char* workPath, char* userPath, size_t size) {
    IoFile* note = IoOpenExisting(NotePath(workPath).c_str());
    if (!note) return false;
    uint64_t length = IoFileSize(note);
    bool fits = length < size && IoReadAt(note, 0, userPath, uint32_t(length)) == length;
    IoClose(note);
    if (fits) userPath[length] = '\0';
    return fits;
}

void RemoveRecoveryNote(const char* workPath) {
    IoRemove(NotePath(workPath).c_str());
}

bool GoToRecord(Collection& collection, uint32_t ordinal) {
    int32_t slot = NthRecord(collection.hRecordFile, ordinal);
    if (slot < 0) return false;
    ShowSlot(collection, slot);
    return true;
}

void GoToNextRecord(Collection& collection) {
    ShowSlot(collection, NextRecord(collection.hRecordFile, collection.currentRecord));
}

void GoToPreviousRecord(Collection& collection) {
    ShowSlot(collection, PreviousRecord(collection.hRecordFile, collection.currentRecord));
}

int32_t AddBlankRecord(Collection& collection, uint32_t kind) {
    int32_t slot = AddRecord(collection.hRecordFile);
    if (slot < 0) return -1;
    WriteBlankRecord(collection.hRecordFile, slot, kind);
    collection.recordsAdded = true;
    ShowSlot(collection, slot);
    return slot;
}

bool AddRecordsOfValues(Collection& collection, uint32_t count, uint32_t kind,
                        const RecordValues& valueOf) {
    RecordFile* file = collection.hRecordFile;
    int32_t first = AddRecords(file, count, [&](unsigned char* slot) {
        NewValue values[FIELD_COUNT + 1];
        valueOf(values);
        InFormOrder(file, kind, [&](uint32_t field, uint32_t blankValue) {
            const NewValue& value = values[field];
            PutField(file, slot, field, value.given ? value.number : blankValue, value.text,
                     value.length);
        });
    });
    if (first < 0) return false;
    collection.recordsAdded = true;
    ShowSlot(collection, first);
    return true;
}

int32_t CopyShownRecord(Collection& collection) {
    RecordFile* file = collection.hRecordFile;
    int32_t ordinal = RecordOrdinal(file, collection.currentRecord);
    if (ordinal < 0) return -1;
    int32_t target = AddRecord(file);
    if (target < 0) return -1;
    // The add may have compacted the slots or taken a free slot in front of
    // the shown record; its ordinal, one more in the latter case, still finds it.
    if (RecordOrdinal(file, target) <= ordinal) ++ordinal;
    CopyRecord(file, NthRecord(file, static_cast<uint32_t>(ordinal)), target);
    collection.recordsAdded = true;
    ShowSlot(collection, target);
    return target;
}

bool DeleteShownRecord(Collection& collection) {
    RecordFile* file = collection.hRecordFile;
    int32_t deleted = collection.currentRecord;
    if (!DeleteRecord(file, deleted)) return false;
    bool fromStart = collection.currentNumber == 1 || collection.recordCount == 2;
    collection.changesMade = true;
    ShowSlot(collection, fromStart ? NthRecord(file, 1) : PreviousRecord(file, deleted));
    return true;
}

bool SortCollection(Collection& collection) {
    bool moves = !RecordsInOrder(collection.hRecordFile, collection.sortField);
    SortRecords(collection.hRecordFile, collection.sortField);
    if (moves) collection.changesMade = true;
    ShowSlot(collection, NthRecord(collection.hRecordFile, 1));
    return moves;
}

bool RenameCollection(Collection& collection, const char* name) {
    RecordFile* file = collection.hRecordFile;
    char before[COLLECTION_NAME_SIZE + 1], after[COLLECTION_NAME_SIZE + 1];
    if (!ReadCollectionName(file, before)) return false;
    WriteCollectionName(file, name);
    ReadCollectionName(file, after);
    if (std::strcmp(before, after) == 0) return false;
    collection.changesMade = true;
    return true;
}

void SetSearchText(Collection& collection, const char* text) {
    uint32_t length = TextLength(text);
    CopyCount(text, collection.searchText,
              length < SEARCH_TEXT_LENGTH ? length : SEARCH_TEXT_LENGTH);
}

bool FindMatch(Collection& collection, SearchDirection direction) {
    RecordFile* file = collection.hRecordFile;
    const char* text = collection.searchText;
    int32_t slot = direction == SEARCH_FIRST ? FindFirstMatch(file, text)
                   : direction == SEARCH_FORWARD
                       ? FindNextMatch(file, collection.currentRecord, text)
                       : FindPreviousMatch(file, collection.currentRecord, text);
    if (slot < 0) return false;
    ShowSlot(collection, slot);
    return true;
}
