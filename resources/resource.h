// Resource ids of Quirebook.exe, shared by the resource script and the code.
// Prefixes: IDM_ menu command, IDD_ dialog, IDC_ control, IDB_ bitmap, IDI_ icon.
#pragma once

#define IDC_STATIC (-1)

// PROGRAM_NAME, PROGRAM_VERSION and the like, made from the project's version
#include "version.h"

// Icon groups
#define IDI_BOOKSHELF 500
#define IDI_HOURGLASS 502
#define IDI_RECORD_FILE 503

// Toolbar bitmaps; the image index is the id minus IDB_FIRST_TOOL
#define IDB_FIRST_TOOL 100
#define IDB_NEW 100
#define IDB_OPEN 101
#define IDB_SAVE 102
#define IDB_ADD 103
#define IDB_COPY 104
#define IDB_DELETE 105
#define IDB_BOOK 106
#define IDB_MUSIC 107
#define IDB_MOVIE 108
#define IDB_PREVIOUS 109
#define IDB_NEXT 110
#define IDB_GOTO 111
#define IDB_SEARCH 112
#define IDB_README 113
#define IDB_LAST_TOOL 113

// Dialogs
#define IDD_PROMPT 1005
#define IDD_ABOUT 1025
#define IDD_RECORD_LIST 1030

// Prompt dialog controls (besides IDOK 1, IDCANCEL 2 and button 3)
#define IDC_PROMPT_BUTTON3 3
#define IDC_PROMPT_EDIT 1001
#define IDC_PROMPT_DATE 1002
#define IDC_PROMPT_LINE1 850
#define IDC_PROMPT_LINE2 851
#define IDC_PROMPT_LINE3 852
#define IDC_PROMPT_LINE4 853
#define IDC_PROMPT_RULE 600

// Record list controls
#define IDC_RECORD_LIST 1031

// Menu "Menu"
#define IDM_FILE_NEW 40001
#define IDM_FILE_OPEN 40002
#define IDM_FILE_CLOSE 40003
#define IDM_FILE_SAVE 40004
#define IDM_FILE_EXPORT 40005
#define IDM_FILE_EXIT 40006
#define IDM_EDIT_DELETE 40009
#define IDM_EDIT_ADD 40010
#define IDM_EDIT_COPY 40011
#define IDM_VIEW_GOTO 40012
#define IDM_VIEW_NEXT 40013
#define IDM_VIEW_PREVIOUS 40014
#define IDM_EDIT_SORT 40015
#define IDM_EDIT_NAME 40016
#define IDM_EDIT_AUTOFILL 40017
#define IDM_RELOAD_AUTOFILL 40018
#define IDM_HELP_HELP 40027
#define IDM_HELP_ABOUT 40028
#define IDM_HELP_DATA_DIR 40030
// Commands added to the menu later take ids from 40100 on.
#define IDM_FILE_IMPORT 40100
#define IDM_VIEW_LIST 40101

// Toolbar commands
#define IDT_OPEN 2
#define IDT_SAVE 3
#define IDT_ADD 4
#define IDT_COPY 5
#define IDT_DELETE 6
#define IDT_PREVIOUS 7
#define IDT_GOTO 9
#define IDT_SEARCH 10
#define IDT_NEXT 11
#define IDT_BOOK 15
#define IDT_MUSIC 16
#define IDT_MOVIE 17
#define IDT_NEW 30
#define IDT_README 31

// Form controls that are not field controls (field N has id 100 + N)
#define IDC_EXECUTE 120
#define IDC_CHANGE 121
#define IDC_TOOLBAR 1
#define IDC_STATUSBAR 60
