// The application shell's single-instance state, read by the form and the commands.
#pragma once
#include <windows.h>
#include <cstdint>

struct RecordFile;

constexpr int TEXT_BUFFER_SIZE = 1000;
constexpr int PATH_SIZE = 600;

extern HINSTANCE hInstance;
extern HWND hMainWnd;
extern HMENU hMainMenu;

extern RecordFile* hRecordFile;  // the open working copy, null when no file is open
extern int32_t currentRecord;    // slot of the record on the form, -1 for none
extern int32_t currentNumber;    // its ordinal, -1 for none
extern int32_t recordCount;
extern uint32_t sortField;
extern char textBuffer[TEXT_BUFFER_SIZE];
extern char filePath[PATH_SIZE];
extern char workPath[PATH_SIZE];
