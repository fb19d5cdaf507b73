#include "file_commands.h"

#include "commands.h"
#include "folders.h"
#include "prompt_dialog.h"
#include "record_file.h"
#include "record_form.h"
#include "shell_state.h"

#include <cstdio>

namespace {

// The lock on this instance's working copy, held until the process ends.
HANDLE workCopyLock;

// A lock name for a path, the same whatever the letter case of the path.
void LockName(const char* path, char* name, size_t size) {
    uint32_t hash = 2166136261u;
    for (const char* p = path; *p; ++p) {
        char c = *p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p;
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    std::snprintf(name, size, "Quirebook.WorkingCopy.%08lX", static_cast<unsigned long>(hash));
}

void ShowNoFile() {
    hRecordFile = nullptr;
    currentRecord = -1;
    currentNumber = -1;
    recordCount = 0;
    ClearRecordForm();
    EnableFileCommands(0);
    UpdateStatusLine();
}

} // namespace

void ChooseWorkPath() {
    for (int instance = 0; instance < 1000; ++instance) {
        char name[32];
        if (instance == 0)
            std::snprintf(name, sizeof name, "Temp.dat");
        else
            std::snprintf(name, sizeof name, "Temp%d.dat", instance);
        if (!JoinPath(workPath, sizeof workPath, dataFolder, name)) return;
        char lockName[64];
        LockName(workPath, lockName, sizeof lockName);
        HANDLE lock = CreateMutexA(nullptr, FALSE, lockName);
        if (lock && GetLastError() != ERROR_ALREADY_EXISTS) {
            workCopyLock = lock;
            return;
        }
        if (lock) CloseHandle(lock);
    }
    workPath[0] = '\0';
}

void OpenUserFile(const char* path) {
    if (hRecordFile) CloseRecordFile(hRecordFile);
    hRecordFile = nullptr;
    // A damaged file is refused by the engine and counts as a failed open.
    if (workPath[0] && CopyFileA(path, workPath, FALSE))
        hRecordFile = OpenRecordFile(workPath);
    if (!hRecordFile) {
        promptMode = PROMPT_NOTICE;
        promptLine2 = "File Error";
        ShowPrompt(hMainWnd);
        ShowNoFile();
        return;
    }
    EnableFileCommands(1);
    recordCount = static_cast<int32_t>(CountRecords(hRecordFile));
    currentRecord = NthRecord(hRecordFile, 1);
    currentNumber = RecordOrdinal(hRecordFile, currentRecord);
    ReadCollectionName(hRecordFile);
    SetWindowTextA(hMainWnd, textValue);
    UpdateStatusLine();
    ShowRecord();
    fileNamed = 1;
    recordsAdded = 0;
}

int ConfirmLeaveFile() {
    if (!hRecordFile || !recordsAdded) return 0;
    promptMode = PROMPT_YES_NO_CANCEL;
    promptLine2 = "New Records Have Been Added";
    promptLine3 = "Save Current File Now?";
    int32_t answer = ShowPrompt(hMainWnd);
    if (answer == PROMPT_CANCEL) return 1;
    if (answer == PROMPT_OK && currentNumber != -1) StoreRecord();
    return 0;
}

void CloseUserFile() {
    if (currentNumber != -1) StoreRecord();
    if (ConfirmLeaveFile() == 1) return;
    CloseRecordFile(hRecordFile);
    ShowNoFile();
}

bool ExitProgram(HWND window) {
    if (ConfirmLeaveFile() == 1) return false;
    DestroyWindow(window);
    return true;
}
