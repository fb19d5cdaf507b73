// The shell's globals, one instance each, living for the whole process.
#include "shell_state.h"

HINSTANCE hInstance;
HWND hMainWnd;
HMENU hMainMenu;
StartupRecord* startupRecord;
uint32_t ctrlHeld;

RecordFile* hRecordFile;
uint32_t fileNamed;
uint32_t recordsAdded;
int32_t currentRecord = -1;
int32_t currentNumber = -1;
int32_t recordCount;
uint32_t sortField = 1;
char textBuffer[TEXT_BUFFER_SIZE];
char filePath[PATH_SIZE];
char workPath[PATH_SIZE];
