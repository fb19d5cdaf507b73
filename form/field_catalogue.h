// What the 20 fields of a record mean: labels per record kind, storage types,
// form controls, fixed value lists and the values of a blank record.
// Plain tables, shared by the form, the command-line tool and the export.
#pragma once
#include <cstdint>

constexpr uint32_t FIELD_COUNT = 20;
constexpr uint32_t KIND_FIELD = 20;
constexpr uint32_t KIND_BOOK = 1;
constexpr uint32_t KIND_MUSIC = 2;
constexpr uint32_t KIND_MOVIE = 3;
constexpr int FIXED_LABEL_ID = 99;
constexpr int FIRST_FIELD_CONTROL = 100; // control id = FIRST_FIELD_CONTROL + field number
constexpr const char* DEFAULT_COLLECTION_NAME = "Books";

struct FieldInfo {
    const char* bookLabel; // null for fields without a label
    const char* movieLabel;
    int labelId;         // 99 for fixed labels, 200 to 207 for kind labels, 0 for none
    uint32_t type;       // storage type code of the record file
    uint32_t blankValue; // number stored by a blank form (number fields only)
};

// Indexed by field number; entry 0 is unused.
extern const FieldInfo fieldCatalogue[FIELD_COUNT + 1];

constexpr int READING_LIST_SIZE = 5;
constexpr int STATUS_LIST_SIZE = 9;
extern const char* const readingList[READING_LIST_SIZE];
extern const char* const statusList[STATUS_LIST_SIZE];

// The eight labels that change with the record kind, in the order 200 to 207.
constexpr int KIND_LABEL_COUNT = 8;
constexpr int FIRST_KIND_LABEL_ID = 200;
extern const char* const bookLabelSet[KIND_LABEL_COUNT];
extern const char* const movieLabelSet[KIND_LABEL_COUNT];
