#include "sort_search.h"

#include "record_file.h"
#include "slot_placement.h"
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

namespace {

constexpr uint32_t NO_NUMBER = UINT32_MAX;

// A key text: a text field's value, or a number field's signed decimal text,
// put after keys with its NUL.
void AppendKey(const SlotField& value, std::string& keys) {
    if (IsNumberField(value.type)) {
        char number[12];
        NumberToDecimal(static_cast<int32_t>(value.number), number);
        keys += number;
    } else {
        keys.append(value.text, value.length);
    }
    keys += '\0';
}

// A value byte matches a search byte when they are equal, or when the value
// byte is an ASCII letter and the search byte is the same letter in the other case.
bool BytesMatch(unsigned char value, unsigned char search) {
    return value == search || (IsAsciiLetter(value) && (value ^ 0x20) == search);
}

// What a search looks for, worked out once for all the records it examines.
struct Search {
    const char* text = nullptr;
    size_t length = 0;
    uint32_t number = NO_NUMBER;
    // The first search byte as it is and in the other case (the same again
    // when it is no letter).
    unsigned char first = 0;
    unsigned char other = 0;
};

// A text as a search: its length, its first byte, and the number it stands
// for (none, -1, when that is 0).
Search SearchFor(const char* text) {
    Search search;
    search.text = text;
    search.length = std::strlen(text);
    uint32_t number = DecimalToNumber(text);
    search.number = number == 0 ? NO_NUMBER : number;
    const unsigned char first = static_cast<unsigned char>(text[0]);
    search.first = first;
    search.other = IsAsciiLetter(first) ? first ^ 0x20 : first;
    return search;
}

// Whether a text value, ended by its NUL or its width, holds the search text.
// Sixteen bytes at a time are passed over up to the first that ends the value
// or can begin a match. A NUL matches no search byte, so no comparison runs
// past the value.
bool ContainsSearchText(const Search& search, const unsigned char* value, size_t width) {
    if (search.length == 0) return true;
    const unsigned char* end = value + width;
    for (const unsigned char* p = value; static_cast<size_t>(end - p) >= search.length; ++p) {
        if (static_cast<size_t>(end - p) >= SPAN) {
            const uint32_t passed = FirstOf(p, search.first, search.other);
            if (passed == SPAN) {
                p += SPAN - 1;
                continue;
            }
            p += passed;
            if (static_cast<size_t>(end - p) < search.length) return false;
        }
        if (*p == 0) return false;
        size_t i = 0;
        while (i < search.length && BytesMatch(p[i], static_cast<unsigned char>(search.text[i])))
            ++i;
        if (i == search.length) return true;
    }
    return false;
}

bool NumberMatches(const Search& search, uint32_t number) {
    return search.number != NO_NUMBER && number == search.number;
}

// The fields a scan compares, from the last to the first, where they lie in a
// slot: number fields only when there is a search number.
struct Place {
    uint32_t offset;
    uint32_t width;
    bool number;
};

std::vector<Place> PlacesToCompare(const RecordFile* file, const Search& search) {
    std::vector<Place> places;
    for (uint32_t field = file->fieldCount; field >= 1; --field) {
        const FieldDefinition& definition = file->fields[field - 1];
        const bool number = IsNumberField(definition.type);
        if (!number || search.number != NO_NUMBER)
            places.push_back(
                Place{definition.offset - file->dataStart, FieldWidth(definition.type), number});
    }
    return places;
}

// The first record from `from` towards `to` that matches, read in large pieces.
int32_t FindMatch(RecordFile* file, int32_t from, int32_t to, const char* text) {
    if (!file) return -1;
    const Search search = SearchFor(text);
    try {
        const std::vector<Place> places = PlacesToCompare(file, search);
        return ScanSlots(file, from, to, IsRecordStatus, [&](int32_t, const unsigned char* bytes) {
            for (const Place& place : places) {
                bool matches =
                    place.number
                        ? NumberMatches(search, NumberIn(bytes + place.offset, place.width))
                        : ContainsSearchText(search, bytes + place.offset, place.width);
                if (matches) return true;
            }
            return false;
        });
    } catch (const std::bad_alloc&) {
        return -1;
    }
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

std::string SortKeyOf(const char* key) {
#ifdef _WIN32
    // The size counts the key's closing zero byte, which the comparison may keep.
    int size = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, key, -1, nullptr, 0);
    std::string sortKey(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, key, -1, &sortKey[0], size);
#else
    std::string sortKey(std::strxfrm(nullptr, key, 0) + 1, '\0');
    sortKey.resize(std::strxfrm(&sortKey[0], key, sortKey.size()));
#endif
    return sortKey;
}

// The stable sort of the records by their key texts; each slot is written at
// most once. The keys wait end to end in one text, each ended by its NUL.
int SortRecords(RecordFile* file, uint32_t field) {
    if (!file || field == 0 || field > file->fieldCount) return 0;
    try {
        std::string keys;
        std::vector<uint32_t> starts;
        starts.reserve(CountUsedSlots(file));
        auto visit = [&](int32_t, const unsigned char* bytes) {
            starts.push_back(static_cast<uint32_t>(keys.size()));
            AppendKey(FieldIn(file, bytes, field), keys);
            return false;
        };
        return RearrangeRecords(file, visit, [&] {
            std::vector<uint32_t> order(starts.size());
            for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
            std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
                return CompareKeys(&keys[starts[a]], &keys[starts[b]]) < 0;
            });
            return order;
        });
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
        std::string previous, key;
        bool inOrder = true;
        ScanSlots(file, 0, static_cast<int32_t>(slots.back()), IsUsedStatus,
                  [&](int32_t slot, const unsigned char* bytes) {
                      key.clear();
                      AppendKey(FieldIn(file, bytes, field), key);
                      inOrder = slot == 0 || CompareKeys(previous.c_str(), key.c_str()) <= 0;
                      previous.swap(key);
                      return !inOrder;
                  });
        return inOrder;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int32_t FindFirstMatch(RecordFile* file, const char* text) {
    return FindNextMatch(file, -1, text);
}

int32_t FindNextMatch(RecordFile* file, int32_t slot, const char* text) {
    if (!file || slot < -1 || slot >= static_cast<int32_t>(file->slotCount) - 1) return -1;
    return FindMatch(file, slot + 1, static_cast<int32_t>(file->slotCount) - 1, text);
}

int32_t FindPreviousMatch(RecordFile* file, int32_t slot, const char* text) {
    if (!file || slot <= 0) return -1;
    return FindMatch(file, slot - 1, 0, text);
}
