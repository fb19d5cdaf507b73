// What the 20 fields of a record mean, one row per field: how each is stored,
// shown and edited, its labels for each record kind, and its value in a blank
// record. The form, the record rules, the command-line tool and the export
// all read this one table.
#pragma once
#include <cstdint>

constexpr uint32_t FIELD_COUNT = 20;
constexpr uint32_t TITLE_FIELD = 1;
constexpr uint32_t AUTHOR_FIELD = 2; // the Lead of music and movies
constexpr uint32_t KIND_FIELD = 20;
constexpr uint32_t KIND_BOOK = 1;
constexpr uint32_t KIND_MUSIC = 2;
constexpr uint32_t KIND_MOVIE = 3;
constexpr int FIXED_LABEL_ID = 99;
constexpr int FIRST_FIELD_CONTROL = 100; // control id = FIRST_FIELD_CONTROL + field number
constexpr const char* DEFAULT_COLLECTION_NAME = "Books";

// How the form holds a field's value.
enum FieldHolding : uint8_t {
    HELD_TEXT,   // the control's text (dates are the date button's caption)
    HELD_NUMBER, // unsigned decimal text
    HELD_PRICE,  // hundredths, shown with two decimals
    HELD_LIST,   // the position of the selected list item, -1 for none
    HELD_KIND,   // the checked kind button of the toolbar
};

// The control that edits a field.
enum FieldControl : uint8_t {
    CONTROL_NONE,          // the kind has the toolbar's buttons instead
    CONTROL_EDITABLE_LIST, // text with suggestions from the autofill file
    CONTROL_PICK_LIST,     // one item of a fixed list
    CONTROL_TEXT_BOX,      // one line that scrolls
    CONTROL_FIXED_BOX,     // one line; typing stops at the box's right edge
    CONTROL_COMMENT_BOX,   // several lines
    CONTROL_DATE_BUTTON,   // a push button showing the date picked in the date prompt
};

// What the form and the commands do differently for a few fields.
enum FieldFlag : uint8_t {
    FLAG_BORDERLESS = 1,  // its control has always been drawn without a border
    FLAG_LABEL_ABOVE = 2, // its label stands on a row of its own, above its control
    FLAG_LINK = 4,        // a path that Execute hands to the shell and Change.. picks
};

struct FieldInfo {
    const char* bookLabel; // null for fields without a label
    const char* movieLabel;
    int labelId;   // FIXED_LABEL_ID, a kind label from 200 to 207, or 0 for none
    uint32_t type; // storage type code of the record file
    FieldHolding holding;
    FieldControl control;
    uint32_t blankValue;     // what a blank record holds in a number field
    const char* const* list; // the items of a pick list
    int listSize;
    const char* autoFillKey; // the autofill file's section for an editable list's suggestions
    // Which of the autofill file's lists the section fills, -1 for none; the
    // entries before the file's first header go to list 0.
    int autoFillList;
    uint8_t flags; // FieldFlag bits
};

// Indexed by field number; entry 0 is unused.
extern const FieldInfo fieldCatalogue[FIELD_COUNT + 1];

// The order in which the form shows and stores a record, and a blank record is
// written: the kind first, then fields 1 to 19 (n counts from 0).
inline uint32_t FieldInFormOrder(uint32_t n) {
    return n == 0 ? KIND_FIELD : n;
}

inline int FieldControlId(uint32_t field) {
    return FIRST_FIELD_CONTROL + static_cast<int>(field);
}

// The first field with the given FieldFlag bit; 0 when none has it.
uint32_t FieldWithFlag(uint8_t flag);
// The field whose suggestions the given autofill list holds; 0 when none.
uint32_t AutoFillField(int list);

// The kind a record is shown as: Book, Music, or Movie for any other value.
inline uint32_t KindOf(uint32_t value) {
    return value == KIND_BOOK || value == KIND_MUSIC ? value : KIND_MOVIE;
}

// Touching a field's control makes it the field Sort sorts by; the date
// buttons open the date prompt instead.
inline bool IsSortControl(uint32_t field) {
    return field >= 1 && field < KIND_FIELD && fieldCatalogue[field].control != CONTROL_DATE_BUTTON;
}
