#include "field_catalogue.h"

const FieldInfo fieldCatalogue[FIELD_COUNT + 1] = {
    {nullptr, nullptr, 0, 0, 0},
    {"Title", "Title", 99, 13, 0},
    {"Author", "Lead", 200, 13, 0},
    {"Subject/Style", "Subject/Style", 99, 12, 0},
    {"Pub. Date", "Rel. Date", 201, 12, 0},
    {"ISBN", "Direct", 202, 12, 0},
    {"Buy Date", "Buy Date", 99, 12, 0},
    {"Series", "Series", 99, 13, 0},
    {"No.", "No.", 99, 2, 0},
    {"Pages", "Time:", 203, 2, 0},
    {"Price", "Price", 99, 2, 0},
    {"Dewey", "Format", 207, 12, 0},
    {"Read A", "View A", 204, 2, 1},
    {"Read B", "View B", 205, 2, 1},
    {"Read C", "View C", 206, 2, 1},
    {"Rating", "Rating", 99, 2, 0},
    {"Status", "Status", 99, 2, 0},
    {"Where", "Where", 99, 12, 0},
    {"Comments", "Comments", 99, 14, 0},
    {nullptr, nullptr, 0, 12, 0},
    {nullptr, nullptr, 0, 2, KIND_MOVIE},
};

const char* const readingList[READING_LIST_SIZE] = {"Yes", "No", "Never", "Now", "Half"};
const char* const statusList[STATUS_LIST_SIZE] = {"Shelved", "Boxed", "Using",   "Borrowed", "Lost",
                                                  "Ordered", "Sold",  "Overdue", "Want"};

const char* const bookLabelSet[KIND_LABEL_COUNT] = {"Author", "Pub. Date", "ISBN",   "Pages",
                                                    "Read A", "Read B",    "Read C", "Dewey"};
const char* const movieLabelSet[KIND_LABEL_COUNT] = {
    "Lead", "Rel. Date", "Direct", "Time:", "View A", "View B", "View C", "Format"};
