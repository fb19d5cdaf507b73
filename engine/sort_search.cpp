#include "sort_search.h"

#include "record_file.h"
#include "text_routines.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

char searchText[SEARCH_TEXT_LENGTH + 1] = {};

namespace {

// A key text: a text field's value, or a number field's signed decimal text.
void ReadKey(RecordFile* file, int32_t slot, uint32_t field, char* key) {
    uint32_t type = ReadField(file, slot, field);
    if (IsNumberField(type))
        NumberToDecimal(static_cast<int32_t>(numberValue), key);
    else
        CopyText(textValue, key);
}

// A value byte matches a search byte when they are equal, or when the value
// byte is an ASCII letter and the search byte is the same letter in the other case.
bool BytesMatch(unsigned char value, unsigned char search) {
    bool letter = (value >= 'A' && value <= 'Z') || (value >= 'a' && value <= 'z');
    return value == search || (letter && (value ^ 0x20) == search);
}

bool ContainsSearchText(const char* value) {
    size_t valueLength = std::strlen(value);
    size_t searchLength = std::strlen(searchText);
    for (size_t start = 0; start + searchLength <= valueLength; ++start) {
        size_t i = 0;
        while (i < searchLength && BytesMatch(static_cast<unsigned char>(value[start + i]),
                                              static_cast<unsigned char>(searchText[i])))
            ++i;
        if (i == searchLength) return true;
    }
    return false;
}

bool IsRecord(RecordFile* file, int32_t slot) {
    return ReadSlotStatus(file, slot) == SLOT_IN_USE;
}

} // namespace

int CompareKeys(const char* a, const char* b) {
#ifdef _WIN32
    // A failed comparison (0) counts as equal, so nothing moves.
    int result = CompareStringA(LOCALE_USER_DEFAULT, 0, a, -1, b, -1);
    return result == 0 ? 0 : result - CSTR_EQUAL;
#else
    return std::strcoll(a, b);
#endif
}

int SortRecords(RecordFile* file, uint32_t field) {
    if (!file || field == 0 || field > file->fieldCount) return 0;
    CompactSlots(file);
    char previousKey[MAX_TEXT_FIELD_WIDTH + 1];
    char key[MAX_TEXT_FIELD_WIDTH + 1];
    // Bubble sort in the file: passes over all slots, exchanging neighbours
    // whose keys are out of order, until a pass exchanges nothing.
    int swapped = 0;
    uint32_t i = 1;
    while (i <= file->slotCount) {
        int32_t low = static_cast<int32_t>(i - 1);
        int32_t high = static_cast<int32_t>(i);
        uint32_t statusLow = ReadSlotStatus(file, low);
        uint32_t statusHigh = ReadSlotStatus(file, high);
        if (statusLow > 9 && statusHigh > 9) {
            ReadKey(file, low, field, previousKey);
            ReadKey(file, high, field, key);
            if (CompareKeys(previousKey, key) > 0) {
                if (!ExchangeSlots(file, low, high)) return 0;
                swapped = 1;
            }
        }
        ++i;
        if (i > file->slotCount) {
            if (swapped) {
                swapped = 0;
                i = 1;
            } else {
                swapped = 1;
            }
        }
    }
    return swapped;
}

bool RecordsInOrder(RecordFile* file, uint32_t field) {
    if (!file || field == 0 || field > file->fieldCount) return true;
    char previousKey[MAX_TEXT_FIELD_WIDTH + 1] = "";
    char key[MAX_TEXT_FIELD_WIDTH + 1];
    uint32_t records = CountRecords(file);
    if (CountUsedSlots(file) != records) return false;
    for (uint32_t slot = 0; slot < records; ++slot) {
        if (!IsRecord(file, static_cast<int32_t>(slot))) return false;
        ReadKey(file, static_cast<int32_t>(slot), field, key);
        if (slot > 0 && CompareKeys(previousKey, key) > 0) return false;
        CopyText(key, previousKey);
    }
    return true;
}

int32_t RecordMatches(RecordFile* file, int32_t slot) {
    uint32_t searchNumber = DecimalToNumber(searchText);
    if (searchNumber == 0) searchNumber = static_cast<uint32_t>(-1);
    for (uint32_t field = file ? file->fieldCount : 0; field >= 1; --field) {
        uint32_t type = ReadField(file, slot, field);
        if (IsNumberField(type)) {
            if (searchNumber != static_cast<uint32_t>(-1) && searchNumber == numberValue)
                return slot;
        } else if (ContainsSearchText(textValue)) {
            return slot;
        }
    }
    return -1;
}

int32_t FindFirstMatch(RecordFile* file) {
    return FindNextMatch(file, -1);
}

int32_t FindNextMatch(RecordFile* file, int32_t slot) {
    if (!file) return -1;
    for (int32_t s = slot + 1; static_cast<uint32_t>(s) < file->slotCount; ++s)
        if (IsRecord(file, s) && RecordMatches(file, s) >= 0) return s;
    return -1;
}

int32_t FindPreviousMatch(RecordFile* file, int32_t slot) {
    if (!file || slot <= 0) return -1;
    for (int32_t s = slot - 1; s >= 0; --s)
        if (IsRecord(file, s) && RecordMatches(file, s) >= 0) return s;
    return -1;
}
