#include "file_commands.h"

#include "csv_import.h"
#include "field_catalogue.h"
#include "folders.h"
#include "prompt_dialog.h"
#include "record_file.h"
#include "record_form.h"
#include "text_routines.h"
#include "texts.h"

#include <commdlg.h>

#include <cstdio>

namespace {

// The lock on this instance's working copy, held until the process ends.
HANDLE workCopyLock;

// The one file dialog record, kept for the whole process.
OPENFILENAMEA fileDialog;

// A lock name for a path, the same whatever the letter case of the path.
void LockName(const char* path, char* name, size_t size) {
    uint32_t hash = 2166136261u;
    for (const char* p = path; *p; ++p) {
        char c = IsAsciiLetter(*p) ? *p & ~0x20 : *p;
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    std::snprintf(name, size, "Quirebook.WorkingCopy.%08lX", static_cast<unsigned long>(hash));
}

void ShowNoFile(Program& program) {
    ForgetUnsavedChanges(program);
    CloseCollection(program.collection);
    ClearRecordForm(program.window);
    UpdateStatusLine(program.window, program.collection);
}

void ShowFileError(Program& program) {
    ShowNotice(program.window, TEXT_FILE_ERROR);
    ShowNoFile(program);
}

// The collection name as the window's title.
void ShowCollectionName(Program& program) {
    char name[COLLECTION_NAME_SIZE + 1];
    ReadCollectionName(program.collection.hRecordFile, name);
    SetWindowTextA(program.window, name);
}

// Asks for the new collection's name and makes its working copy.
bool NewCollection(Program& program) {
    CopyText(DEFAULT_COLLECTION_NAME, program.textBuffer);
    if (!AskEntry(program.window, PROMPT_TEXT, TEXT_COLLECTION_NAME, program.textBuffer))
        return false;
    ForgetUnsavedChanges(program);
    if (!CreateCollection(program.collection, program.workPath, program.textBuffer)) {
        ShowFileError(program);
        return false;
    }
    return true;
}

} // namespace

void ChooseWorkPath(char* workPath, size_t size) {
    for (int instance = 0; instance < 1000; ++instance) {
        char name[32];
        if (instance == 0)
            std::snprintf(name, sizeof name, "Temp.dat");
        else
            std::snprintf(name, sizeof name, "Temp%d.dat", instance);
        if (!JoinPath(workPath, size, gFolders.data, name)) return;
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

int ChooseFile(HWND owner, char* path, uint32_t filter, int open, const char* title,
               const char* types) {
    fileDialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    fileDialog.hwndOwner = owner;
    fileDialog.hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    fileDialog.lpstrFilter = types ? types : TEXT_FILE_TYPES;
    fileDialog.nFilterIndex = filter;
    fileDialog.lpstrFile = path;
    fileDialog.nMaxFile = PATH_SIZE;
    fileDialog.lpstrDefExt = filter == 0 ? "ktl" : nullptr;
    fileDialog.lpstrTitle = title;
    fileDialog.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                       OFN_OVERWRITEPROMPT | (open ? OFN_FILEMUSTEXIST : 0);
    return open ? GetOpenFileNameA(&fileDialog) : GetSaveFileNameA(&fileDialog);
}

void OpenUserFile(Program& program, const char* path) {
    Collection& collection = program.collection;
    ForgetUnsavedChanges(program);
    CloseCollection(collection);
    // A damaged file is refused by the engine and counts as a failed open.
    if (!program.workPath[0] || !CopyFileA(path, program.workPath, FALSE) ||
        !OpenCollection(collection, program.workPath)) {
        ShowFileError(program);
        return;
    }
    ShowCollectionName(program);
    RefreshForm(program.window, collection);
    program.fileNamed = true;
}

bool ConfirmLeaveFile(Program& program) {
    Collection& collection = program.collection;
    StoreRecord(program.window, collection);
    if (!collection.hRecordFile || !HasUnsavedChanges(collection)) return true;
    int32_t answer = AskQuestion(program.window, PROMPT_YES_NO_CANCEL,
                                 collection.recordsAdded ? TEXT_RECORDS_ADDED : TEXT_CHANGES_MADE,
                                 TEXT_SAVE_NOW);
    if (answer == PROMPT_CANCEL) return false;
    // A cancelled Save dialog leaves the collection unsaved; a failed save
    // keeps it open, since leaving would lose it.
    return answer != PROMPT_OK || SaveUserFile(program) >= 0;
}

int SaveUserFile(Program& program) {
    Collection& collection = program.collection;
    if (!program.fileNamed) {
        ReadCollectionName(collection.hRecordFile, program.filePath);
        if (ChooseFile(program.window, program.filePath, 0, 0) != 1) return 0;
    }
    if (!SaveCollectionAs(collection, program.filePath)) {
        ShowNotice(program.window, TEXT_SAVE_FAILED);
        return -1;
    }
    program.fileNamed = true;
    return 1;
}

void ReportFileFailure(Program& program) {
    RecordFile* file = program.collection.hRecordFile;
    if (!file || !(file->writeFailed || file->readFailed)) return;
    file->writeFailed = file->readFailed = false;
    program.collection.changesMade = 1;
    ShowNotice(program.window, TEXT_FILE_ERROR);
}

void NoteUnsavedChanges(Program& program) {
    bool unsaved = program.collection.hRecordFile && HasUnsavedChanges(program.collection);
    if (!unsaved)
        ForgetUnsavedChanges(program);
    else if (!program.noteWritten)
        program.noteWritten =
            WriteRecoveryNote(program.workPath, program.fileNamed ? program.filePath : "");
}

void ForgetUnsavedChanges(Program& program) {
    if (program.noteWritten) RemoveRecoveryNote(program.workPath);
    program.noteWritten = false;
}

bool OfferRecovery(Program& program) {
    char owner[PATH_SIZE];
    if (!program.workPath[0] || !ReadRecoveryNote(program.workPath, owner, sizeof owner))
        return false;
    program.noteWritten = true;
    if (AskQuestion(program.window, PROMPT_YES_NO_CANCEL, TEXT_CHANGES_FOUND, TEXT_RECOVER_NOW) !=
            PROMPT_OK ||
        !OpenCollection(program.collection, program.workPath)) {
        ForgetUnsavedChanges(program);
        return false;
    }
    program.collection.changesMade = 1; // still unsaved
    CopyText(owner, program.filePath);
    program.fileNamed = owner[0] != '\0';
    ShowCollectionName(program);
    RefreshForm(program.window, program.collection);
    return true;
}

void NewCommand(Program& program) {
    if (!ConfirmLeaveFile(program) || !NewCollection(program)) return;
    program.fileNamed = false;
    SetWindowTextA(program.window, program.textBuffer);
    AddBlankRecord(program.collection, CheckedKind(program.window));
    ClearRecordForm(program.window);
    UpdateStatusLine(program.window, program.collection);
}

void OpenCommand(Program& program) {
    if (!ConfirmLeaveFile(program)) return;
    if (ChooseFile(program.window, program.filePath, 0, 1) == 1)
        OpenUserFile(program, program.filePath);
}

void SaveCommand(Program& program) {
    StoreRecord(program.window, program.collection);
    SaveUserFile(program);
}

void ImportCommand(Program& program) {
    char path[PATH_SIZE] = "";
    if (ChooseFile(program.window, path, 1, 1, TEXT_IMPORT, TEXT_CSV_FILE_TYPES) != 1) return;
    StoreRecord(program.window, program.collection);
    ImportResult result = ImportCsv(program.collection, path, CheckedKind(program.window));
    if (result.outcome != IMPORT_DONE) {
        ShowNotice(program.window, TEXT_IMPORT_FAILED, result.fault);
        return;
    }
    RefreshForm(program.window, program.collection);
    char imported[32];
    std::snprintf(imported, sizeof imported, TEXT_RECORDS_IMPORTED,
                  static_cast<unsigned>(result.records));
    ShowNotice(program.window, imported);
}

void CloseUserFile(Program& program) {
    if (!ConfirmLeaveFile(program)) return;
    ShowNoFile(program);
}

bool ExitProgram(Program& program) {
    if (!ConfirmLeaveFile(program)) return false;
    DestroyWindow(program.window);
    return true;
}
