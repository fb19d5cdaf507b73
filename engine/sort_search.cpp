#include "sort_search.h"

#include "record_file.h"
#include "text_routines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

char searchText[SEARCH_TEXT_LENGTH + 1] = {};

namespace {

constexpr uint32_t NO_NUMBER = UINT32_MAX;

// A key text: a text field's value, or a number field's signed decimal text.
std::string KeyOf(const SlotField& value) {
    if (!IsNumberField(value.type)) return std::string(value.text, value.length);
    char number[12];
    NumberToDecimal(static_cast<int32_t>(value.number), number);
    return number;
}

// A value byte matches a search byte when they are equal, or when the value
// byte is an ASCII letter and the search byte is the same letter in the other case.
bool BytesMatch(unsigned char value, unsigned char search) {
    bool letter = (value >= 'A' && value <= 'Z') || (value >= 'a' && value <= 'z');
    return value == search || (letter && (value ^ 0x20) == search);
}

bool ContainsSearchText(const unsigned char* value, size_t valueLength) {
    size_t searchLength = std::strlen(searchText);
    for (size_t start = 0; start + searchLength <= valueLength; ++start) {
        size_t i = 0;
        while (i < searchLength &&
               BytesMatch(value[start + i], static_cast<unsigned char>(searchText[i])))
            ++i;
        if (i == searchLength) return true;
    }
    return false;
}

// The number a search text stands for; none (-1) when that is 0.
uint32_t SearchNumber() {
    uint32_t number = DecimalToNumber(searchText);
    return number == 0 ? NO_NUMBER : number;
}

// Whether a field's value matches: a number equal to the search number, or
// a text that holds the search text.
bool ValueMatches(const SlotField& value, uint32_t searchNumber) {
    if (IsNumberField(value.type)) return searchNumber != NO_NUMBER && value.number == searchNumber;
    return ContainsSearchText(reinterpret_cast<const unsigned char*>(value.text), value.length);
}

// The first record from `from` towards `to` that matches, read in large
// pieces. The last record examined is then matched once more by
// RecordMatches, which leaves its field values in numberValue and textValue.
int32_t FindMatch(RecordFile* file, int32_t from, int32_t to) {
    const uint32_t searchNumber = SearchNumber();
    int32_t last = -1;
    int32_t found =
        ScanSlots(file, from, to, IsRecordStatus, [&](int32_t slot, const unsigned char* bytes) {
            last = slot;
            for (uint32_t field = file->fieldCount; field >= 1; --field)
                if (ValueMatches(FieldIn(file, bytes, field), searchNumber)) return true;
            return false;
        });
    if (last >= 0) RecordMatches(file, last);
    return found;
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

// The stable sort of the records by their key texts; each slot is written at most once.
int SortRecords(RecordFile* file, uint32_t field) {
    if (!file || field == 0 || field > file->fieldCount) return 0;
    try {
        std::vector<uint32_t> slots = UsedSlots(file);
        if (slots.empty()) return 1;
        std::vector<std::string> keys;
        keys.reserve(slots.size());
        ScanSlots(file, static_cast<int32_t>(slots.front()), static_cast<int32_t>(slots.back()),
                  IsUsedStatus, [&](int32_t, const unsigned char* bytes) {
                      keys.push_back(KeyOf(FieldIn(file, bytes, field)));
                      return false;
                  });
        if (keys.size() != slots.size()) return 0;
        std::vector<uint32_t> order(slots.size());
        for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return CompareKeys(keys[a].c_str(), keys[b].c_str()) < 0;
        });
        std::vector<std::string>().swap(keys);
        for (uint32_t& i : order) i = slots[i];
        return PlaceRecords(file, order);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

bool RecordsInOrder(RecordFile* file, uint32_t field) {
    if (!file || field == 0 || field > file->fieldCount) return true;
    try {
        std::vector<uint32_t> slots = UsedSlots(file);
        if (slots.empty()) return true;
        // Packed from slot 0, and nothing among them but records.
        if (slots.back() + 1 != slots.size() || CountRecords(file) != slots.size()) return false;
        std::string previous;
        bool inOrder = true;
        ScanSlots(file, 0, static_cast<int32_t>(slots.back()), IsUsedStatus,
                  [&](int32_t slot, const unsigned char* bytes) {
                      std::string key = KeyOf(FieldIn(file, bytes, field));
                      inOrder = slot == 0 || CompareKeys(previous.c_str(), key.c_str()) <= 0;
                      previous.swap(key);
                      return !inOrder;
                  });
        return inOrder;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int32_t RecordMatches(RecordFile* file, int32_t slot) {
    const uint32_t searchNumber = SearchNumber();
    for (uint32_t field = file ? file->fieldCount : 0; field >= 1; --field) {
        uint32_t type = ReadField(file, slot, field);
        SlotField value{type, numberValue, textValue,
                        static_cast<uint32_t>(std::strlen(textValue))};
        if (ValueMatches(value, searchNumber)) return slot;
    }
    return -1;
}

int32_t FindFirstMatch(RecordFile* file) {
    return FindNextMatch(file, -1);
}

int32_t FindNextMatch(RecordFile* file, int32_t slot) {
    if (!file || slot < -1 || slot >= static_cast<int32_t>(file->slotCount) - 1) return -1;
    return FindMatch(file, slot + 1, static_cast<int32_t>(file->slotCount) - 1);
}

int32_t FindPreviousMatch(RecordFile* file, int32_t slot) {
    if (!file || slot <= 0) return -1;
    return FindMatch(file, slot - 1, 0);
}
