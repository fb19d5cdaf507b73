// The texts the program's windows show that the resource script does not
// hold: notices, questions, entry prompts and captions, each named once
// wherever it is shown (the import's reasons quirebook-cli prints too). The
// toolbar's tooltips stand in the command table.
#pragma once

// Notices
constexpr char TEXT_FILE_ERROR[] = "File Error";
constexpr char TEXT_SAVE_FAILED[] = "Save Failed";
constexpr char TEXT_EXPORT_FAILED[] = "Export Failed";
constexpr char TEXT_COLLECTION_FULL[] = "Collection Full";
constexpr char TEXT_NO_MATCH[] = "No Match Found";

// Questions
constexpr char TEXT_CONFIRM[] = "Confirm?";
constexpr char TEXT_RECORDS_ADDED[] = "New Records Have Been Added";
constexpr char TEXT_CHANGES_MADE[] = "Changes Have Been Made";
constexpr char TEXT_SAVE_NOW[] = "Save Current File Now?";
constexpr char TEXT_CHANGES_FOUND[] = "Unsaved Changes Were Found";
constexpr char TEXT_RECOVER_NOW[] = "Recover Them Now?";

// Entries, and the navigator's first line
constexpr char TEXT_COLLECTION_NAME[] = "Database Name";
constexpr char TEXT_GOTO[] = "Goto";
constexpr char TEXT_SEARCH_FOR[] = "Search for...";
constexpr char TEXT_SELECT_DATE[] = "Select Date";

// Captions the prompt's buttons take in some modes
constexpr char TEXT_OK[] = "OK";
constexpr char TEXT_YES[] = "Yes";
constexpr char TEXT_NO[] = "No";
constexpr char TEXT_NEXT[] = "Next";
constexpr char TEXT_PREVIOUS[] = "Previous";

// The form's link buttons
constexpr char TEXT_EXECUTE[] = "Execute";
constexpr char TEXT_CHANGE[] = "Change..";

// The record list's column headings, in column order, and the names of kinds 1 to 3
constexpr const char* TEXT_LIST_COLUMNS[] = {"No.", "Title", "Author/Lead", "Kind"};
constexpr const char* TEXT_KINDS[] = {"Book", "Music", "Movie"};

// The file types the Open and Save dialogs offer
constexpr char TEXT_FILE_TYPES[] = "Kestrel Files\0*.ktl\0All Files\0*.*\0";

// Import: its Open dialog, its notices, and after "Line N: " why that line
// cannot be imported
constexpr char TEXT_IMPORT[] = "Import";
constexpr char TEXT_CSV_FILE_TYPES[] = "CSV Files\0*.csv\0All Files\0*.*\0";
constexpr char TEXT_RECORDS_IMPORTED[] = "%u Records Imported";
constexpr char TEXT_IMPORT_FAILED[] = "Import Failed";
constexpr char TEXT_FILE_UNREADABLE[] = "The File Cannot Be Read";
constexpr char TEXT_IMPORT_LINE[] = "Line %u: %s";
constexpr char TEXT_QUOTE_NOT_CLOSED[] = "Quote Never Closed";
constexpr char TEXT_TOO_MANY_VALUES[] = "More Than 20 Values";
constexpr char TEXT_NO_NUMBER[] = "No Number In Column %u";
constexpr char TEXT_NO_KIND[] = "Kind Is Not 1, 2 or 3";
constexpr char TEXT_NO_FIELD[] = "No Field %u In This File";
