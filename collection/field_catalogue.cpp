#include "field_catalogue.h"

namespace {

const char* const readingList[] = {"Yes", "No", "Never", "Now", "Half"};
const char* const statusList[] = {"Shelved", "Boxed", "Using",   "Borrowed", "Lost",
                                  "Ordered", "Sold",  "Overdue", "Want"};
constexpr int READING_LIST_SIZE = sizeof readingList / sizeof *readingList;
constexpr int STATUS_LIST_SIZE = sizeof statusList / sizeof *statusList;

} // namespace

// clang-format off
const FieldInfo fieldCatalogue[FIELD_COUNT + 1] = {
    {nullptr, nullptr, 0, 0, HELD_TEXT, CONTROL_NONE, 0, nullptr, 0, nullptr, -1, 0},
    {"Title", "Title", 99, 13, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "tit", 2, 0},
    {"Author", "Lead", 200, 13, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "aut", 3, 0},
    {"Subject/Style", "Subject/Style", 99, 12, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "sty", 0, 0},
    {"Pub. Date", "Rel. Date", 201, 12, HELD_TEXT, CONTROL_DATE_BUTTON, 0, nullptr, 0, nullptr, -1, 0},
    {"ISBN", "Direct", 202, 12, HELD_TEXT, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr, -1, 0},
    {"Buy Date", "Buy Date", 99, 12, HELD_TEXT, CONTROL_DATE_BUTTON, 0, nullptr, 0, nullptr, -1, 0},
    {"Series", "Series", 99, 13, HELD_TEXT, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr, -1, 0},
    {"No.", "No.", 99, 2, HELD_NUMBER, CONTROL_FIXED_BOX, 0, nullptr, 0, nullptr, -1, 0},
    {"Pages", "Time:", 203, 2, HELD_NUMBER, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr, -1, 0},
    {"Price", "Price", 99, 2, HELD_PRICE, CONTROL_FIXED_BOX, 0, nullptr, 0, nullptr, -1, 0},
    {"Dewey", "Format", 207, 12, HELD_TEXT, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr, -1, 0},
    {"Read A", "View A", 204, 2, HELD_LIST, CONTROL_PICK_LIST, 1, readingList, READING_LIST_SIZE, nullptr, -1, 0},
    {"Read B", "View B", 205, 2, HELD_LIST, CONTROL_PICK_LIST, 1, readingList, READING_LIST_SIZE, nullptr, -1, FLAG_BORDERLESS},
    {"Read C", "View C", 206, 2, HELD_LIST, CONTROL_PICK_LIST, 1, readingList, READING_LIST_SIZE, nullptr, -1, 0},
    {"Rating", "Rating", 99, 2, HELD_NUMBER, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr, -1, 0},
    {"Status", "Status", 99, 2, HELD_LIST, CONTROL_PICK_LIST, 0, statusList, STATUS_LIST_SIZE, nullptr, -1, 0},
    {"Where", "Where", 99, 12, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "loc", 1, 0},
    {"Comments", "Comments", 99, 14, HELD_TEXT, CONTROL_COMMENT_BOX, 0, nullptr, 0, nullptr, -1, FLAG_LABEL_ABOVE},
    {nullptr, nullptr, 0, 12, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "mys", 4, FLAG_LINK},
    {nullptr, nullptr, 0, 2, HELD_KIND, CONTROL_NONE, KIND_MOVIE, nullptr, 0, nullptr, -1, 0},
};
// clang-format on

uint32_t FieldWithFlag(uint8_t flag) {
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field)
        if (fieldCatalogue[field].flags & flag) return field;
    return 0;
}

uint32_t AutoFillField(int list) {
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field)
        if (fieldCatalogue[field].autoFillList == list) return field;
    return 0;
}
