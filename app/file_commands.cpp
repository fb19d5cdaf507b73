#include "file_commands.h"

#include "folders.h"
#include "main_form.h"
#include "prompt_dialog.h"
#include "record_file.h"
#include "record_form.h"
#include "resource.h"

#include <commctrl.h>

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

void ShowNoFile(Program& program) {
    CloseCollection(program.collection);
    ClearRecordForm(program.window);
    EnableFileCommands(program.window, 0);
    UpdateStatusLine(program.window, program.collection);
}

} // namespace

void ChooseWorkPath(char* workPath, size_t size) {
    for (int instance = 0; instance < 1000; ++instance) {
        char name[32];
        if (instance == 0)
            std::snprintf(name, sizeof name, "Temp.dat");
        else
            std::snprintf(name, sizeof name, "Temp%d.dat", instance);
        if (!JoinPath(workPath, size, dataFolder, name)) return;
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

void EnableFileCommands(HWND window, int on) {
    for (int id = IDT_SAVE; id <= IDT_MOVIE; ++id)
        SendMessageA(Toolbar(window), TB_ENABLEBUTTON, id, on);
    for (int id = IDM_FILE_CLOSE; id <= IDM_EDIT_NAME; ++id)
        EnableMenuItem(GetMenu(window), id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

void OpenUserFile(Program& program, const char* path) {
    Collection& collection = program.collection;
    CloseCollection(collection);
    // A damaged file is refused by the engine and counts as a failed open.
    if (!program.workPath[0] || !CopyFileA(path, program.workPath, FALSE) ||
        !OpenCollection(collection, program.workPath)) {
        promptMode = PROMPT_NOTICE;
        promptLine2 = "File Error";
        ShowPrompt(program.window);
        ShowNoFile(program);
        return;
    }
    EnableFileCommands(program.window, 1);
    ReadCollectionName(collection.hRecordFile);
    SetWindowTextA(program.window, textValue);
    UpdateStatusLine(program.window, collection);
    ShowRecord(program.window, collection);
    program.fileNamed = 1;
}

int ConfirmLeaveFile(Program& program) {
    Collection& collection = program.collection;
    if (!collection.hRecordFile || !collection.recordsAdded) return 0;
    promptMode = PROMPT_YES_NO_CANCEL;
    promptLine2 = "New Records Have Been Added";
    promptLine3 = "Save Current File Now?";
    int32_t answer = ShowPrompt(program.window);
    if (answer == PROMPT_CANCEL) return 1;
    if (answer == PROMPT_OK) StoreRecord(program.window, collection);
    return 0;
}

void CloseUserFile(Program& program) {
    StoreRecord(program.window, program.collection);
    if (ConfirmLeaveFile(program) == 1) return;
    ShowNoFile(program);
}

bool ExitProgram(Program& program) {
    if (ConfirmLeaveFile(program) == 1) return false;
    DestroyWindow(program.window);
    return true;
}
