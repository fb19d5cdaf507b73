#include "autofill_lists.h"

#include "autofill.h"
#include "field_catalogue.h"
#include "folders.h"

namespace {

// Closes the file it holds when it goes.
struct FileHandle {
    explicit FileHandle(HANDLE opened) : handle(opened) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    HANDLE handle;
};

HANDLE OpenForReading(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int ListControl(int list) {
    return FieldControlId(AutoFillField(list));
}

} // namespace

void LoadAutoFill(HWND window) {
    char path[FOLDER_SIZE], defaultPath[FOLDER_SIZE];
    if (!JoinPath(path, sizeof path, gFolders.data, AUTOFILL_FILE_NAME)) return;
    FileHandle file(OpenForReading(path));
    // Only a missing file is replaced by the default: one that is there but
    // locked is neither overwritten nor read.
    if (file.handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND &&
        ResolveSideFile(AUTOFILL_FILE_NAME, defaultPath, sizeof defaultPath) &&
        CopyFileA(defaultPath, path, TRUE))
        file.handle = OpenForReading(path);
    if (file.handle == INVALID_HANDLE_VALUE) return;

    AutoFillReader reader;
    int inserted[AUTOFILL_LISTS] = {};
    char block[4096];
    DWORD count;
    while (ReadFile(file.handle, block, sizeof block, &count, nullptr) && count > 0)
        for (DWORD i = 0; i < count; ++i)
            if (ReadAutoFillByte(reader, block[i]) && inserted[reader.list] < AUTOFILL_MAX_ENTRIES)
                SendDlgItemMessageA(window, ListControl(reader.list), CB_INSERTSTRING,
                                    inserted[reader.list]++, reinterpret_cast<LPARAM>(reader.line));
}

void ReloadAutoFillLists(HWND window) {
    // Emptying a list empties its box too: what the box held is put back.
    char typed[AUTOFILL_LISTS][AUTOFILL_LINE_SIZE];
    for (int list = 0; list < AUTOFILL_LISTS; ++list) {
        GetDlgItemTextA(window, ListControl(list), typed[list], AUTOFILL_LINE_SIZE);
        SendDlgItemMessageA(window, ListControl(list), CB_RESETCONTENT, 0, 0);
    }
    LoadAutoFill(window);
    for (int list = 0; list < AUTOFILL_LISTS; ++list)
        SetDlgItemTextA(window, ListControl(list), typed[list]);
}
