// The application shell's single-instance state, read by the form and the commands.
#pragma once
#include <windows.h>
#include <cstdint>

struct RecordFile;

constexpr int TEXT_BUFFER_SIZE = 1000;
constexpr int PATH_SIZE = 600;

// Block handed to the About box: the module and the program icon in two sizes.
struct StartupRecord {
    HINSTANCE module;
    HICON smallIcon;
    HICON largeIcon;
};
constexpr SIZE_T STARTUP_RECORD_SIZE = 192;
static_assert(sizeof(StartupRecord) <= STARTUP_RECORD_SIZE, "start-up record too small");

extern HINSTANCE hInstance;
extern HWND hMainWnd;
extern HMENU hMainMenu;
extern StartupRecord* startupRecord;
extern uint32_t ctrlHeld; // 1 while the Control key is taken to be held

extern RecordFile* hRecordFile; // the open working copy, null when no file is open
extern uint32_t fileNamed;      // 1 when filePath names the file the working copy belongs to
extern uint32_t recordsAdded;   // 1 when records were added since the last open or save
extern int32_t currentRecord;   // slot of the record on the form, -1 for none
extern int32_t currentNumber;   // its ordinal, -1 for none
extern int32_t recordCount;
extern uint32_t sortField;
extern char textBuffer[TEXT_BUFFER_SIZE];
extern char filePath[PATH_SIZE];
extern char workPath[PATH_SIZE];
