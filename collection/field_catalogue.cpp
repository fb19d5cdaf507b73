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
    {nullptr, nullptr, 0, 0, HELD_TEXT, CONTROL_NONE, 0, nullptr, 0, nullptr},
    {"Title", "Title", 99, 13, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "tit"},
    {"Author", "Lead", 200, 13, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "aut"},
    {"Subject/Style", "Subject/Style", 99, 12, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "sty"},
    {"Pub. Date", "Rel. Date", 201, 12, HELD_TEXT, CONTROL_DATE_BUTTON, 0, nullptr, 0, nullptr},
    {"ISBN", "Direct", 202, 12, HELD_TEXT, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr},
    {"Buy Date", "Buy Date", 99, 12, HELD_TEXT, CONTROL_DATE_BUTTON, 0, nullptr, 0, nullptr},
    {"Series", "Series", 99, 13, HELD_TEXT, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr},
    {"No.", "No.", 99, 2, HELD_NUMBER, CONTROL_FIXED_BOX, 0, nullptr, 0, nullptr},
    {"Pages", "Time:", 203, 2, HELD_NUMBER, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr},
    {"Price", "Price", 99, 2, HELD_PRICE, CONTROL_FIXED_BOX, 0, nullptr, 0, nullptr},
    {"Dewey", "Format", 207, 12, HELD_TEXT, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr},
    {"Read A", "View A", 204, 2, HELD_LIST, CONTROL_PICK_LIST, 1, readingList, READING_LIST_SIZE, nullptr},
    {"Read B", "View B", 205, 2, HELD_LIST, CONTROL_PICK_LIST, 1, readingList, READING_LIST_SIZE, nullptr},
    {"Read C", "View C", 206, 2, HELD_LIST, CONTROL_PICK_LIST, 1, readingList, READING_LIST_SIZE, nullptr},
    {"Rating", "Rating", 99, 2, HELD_NUMBER, CONTROL_TEXT_BOX, 0, nullptr, 0, nullptr},
    {"Status", "Status", 99, 2, HELD_LIST, CONTROL_PICK_LIST, 0, statusList, STATUS_LIST_SIZE, nullptr},
    {"Where", "Where", 99, 12, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "loc"},
    {"Comments", "Comments", 99, 14, HELD_TEXT, CONTROL_COMMENT_BOX, 0, nullptr, 0, nullptr},
    {nullptr, nullptr, 0, 12, HELD_TEXT, CONTROL_EDITABLE_LIST, 0, nullptr, 0, "mys"},
    {nullptr, nullptr, 0, 2, HELD_KIND, CONTROL_NONE, KIND_MOVIE, nullptr, 0, nullptr},
};
// clang-format on
