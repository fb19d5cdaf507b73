// The open collection: the record file the program works on, the record the
// user sees, and what changed since the collection was opened or saved. The
// window's commands and quirebook-cli change a collection only through these
// operations, so the two cannot drift apart.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

struct RecordFile;

constexpr uint32_t SEARCH_TEXT_LENGTH = 30;

struct Collection {
    RecordFile* hRecordFile = nullptr; // null when no collection is open
    int32_t currentRecord = -1;        // slot of the record shown, -1 for none
    int32_t currentNumber = -1;        // its ordinal, -1 for none
    int32_t recordCount = 0;
    bool recordsAdded = false; // records were added since the last open or save
    bool changesMade = false;  // anything else changed since then
    uint32_t sortField = 1;    // the field Sort orders the records by
    // What the search steps look for; it stays when another collection is opened.
    char searchText[SEARCH_TEXT_LENGTH + 1] = "";
};

inline bool IsRecordShown(const Collection& collection) {
    return collection.hRecordFile != nullptr && collection.currentRecord != -1;
}

// Creates a record file with the layout of every collection the program
// makes, the given collection name and no record.
RecordFile* CreateStandardRecordFile(const char* path, const char* name);

// Each of these closes the collection open until then. On success the first
// record is shown (none in an empty collection) and nothing counts as changed.
bool OpenCollection(Collection& collection, const char* path, const char** reason = nullptr);
bool CreateCollection(Collection& collection, const char* path, const char* name);
void CloseCollection(Collection& collection);

// What the save question asks about, and the state after a save.
bool HasUnsavedChanges(const Collection& collection);
void MarkSaved(Collection& collection);
// Writes the whole collection to target in one step: a temporary file beside
// it is written and flushed, then takes its place. When anything fails the
// target is as it was, no temporary file is left, and the changes stay unsaved.
bool SaveCollectionAs(Collection& collection, const char* target);

// The note beside a working copy that holds changes not yet saved, naming the
// user's file they belong to (empty for a collection never saved). A program
// that ends without saving or discarding them leaves it for the next start.
bool WriteRecoveryNote(const char* workPath, const char* userPath);
// The user's file a note names, into userPath of size characters; false when
// the working copy has no note, or its name does not fit.
bool ReadRecoveryNote(const char* workPath, char* userPath, size_t size);
void RemoveRecoveryNote(const char* workPath);

// Moving the shown record. GoToRecord changes nothing when there is no record
// with that ordinal; the first and the last record are the ends of Next and Previous.
bool GoToRecord(Collection& collection, uint32_t ordinal);
void GoToNextRecord(Collection& collection);
void GoToPreviousRecord(Collection& collection);

// Adds a record of the given kind with a blank record's values and shows it.
// The new slot, or -1 when the collection is full (nothing changes then).
int32_t AddBlankRecord(Collection& collection, uint32_t kind);
// A field's value in a record to be added: a number, or a text of length
// bytes; given marks a number that is not the blank record's.
struct NewValue {
    bool given = false;
    uint32_t number = 0;
    const char* text = nullptr;
    size_t length = 0;
};
// Sets the values of the next record to be added, indexed by field number
// (1 to 20); those it leaves are the blank record's.
using RecordValues = std::function<void(NewValue* values)>;
// Adds count records (at least one) as count Adds of a blank record of the
// given kind would, each with its values written into it, and shows the
// first. False when the collection has no room for them all: nothing changes.
bool AddRecordsOfValues(Collection& collection, uint32_t count, uint32_t kind,
                        const RecordValues& valueOf);
// Adds a copy of the shown record and shows the copy; -1 when the collection
// is full or no record is shown.
int32_t CopyShownRecord(Collection& collection);
// Deletes the shown record and shows the one before it, or the first record
// when the deleted one was first or only one other is left.
bool DeleteShownRecord(Collection& collection);
// Orders the records by sortField and shows the first; true when a record moved.
bool SortCollection(Collection& collection);
// Writes the collection name; true when it differs from the name before.
bool RenameCollection(Collection& collection, const char* name);

enum SearchDirection { SEARCH_FIRST, SEARCH_FORWARD, SEARCH_BACKWARD };
// Searches for the first 30 characters of text from now on.
void SetSearchText(Collection& collection, const char* text);
// The first match in the collection, or the next or previous one from the
// shown record, becomes the shown record; false when there is none.
bool FindMatch(Collection& collection, SearchDirection direction);
