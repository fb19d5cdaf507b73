#include "folders.h"

#include <windows.h>
#include <shlobj.h>
#include <cstdio>
#include <cstring>

namespace {

bool CanRead(const char* path, DWORD share) {
    HANDLE file = CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool IsRemovableDrive(const char* path) {
    char root[4];
    std::snprintf(root, sizeof root, "%.3s", path);
    return GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

// appDataFolder + "\Orrick\Quirebook\", making both levels (a level that exists
// already is fine); false when the path does not fit.
bool MakeUserFolder(const char* appDataFolder) {
    size_t length = std::strlen(appDataFolder);
    const char* first = appDataFolder[length - 1] == '\\' ? "Orrick" : "\\Orrick";
    char outer[FOLDER_SIZE], inner[FOLDER_SIZE], folder[FOLDER_SIZE];
    if (!JoinPath(outer, sizeof outer, appDataFolder, first) ||
        !JoinPath(inner, sizeof inner, outer, "\\Quirebook") ||
        !JoinPath(folder, sizeof folder, inner, "\\"))
        return false;
    CreateDirectoryA(outer, nullptr);
    CreateDirectoryA(inner, nullptr);
    std::strcpy(gFolders.data, folder);
    return true;
}

} // namespace

void TrimToFolder(char* path) {
    char* last = std::strrchr(path, '\\');
    if (last) last[1] = '\0';
}

bool JoinPath(char* destination, size_t size, const char* folder, const char* name) {
    size_t folderLength = std::strlen(folder);
    size_t nameLength = std::strlen(name);
    if (folderLength + nameLength >= size) {
        if (size > 0) destination[0] = '\0';
        return false;
    }
    std::memmove(destination, folder, folderLength);
    std::memcpy(destination + folderLength, name, nameLength + 1);
    return true;
}

void ResolveFolders(const char* exePath, const char* appDataFolder) {
    char* programFolder = gFolders.program;
    programFolder[0] = '\0';
    if (std::strlen(exePath) < FOLDER_SIZE) {
        std::strcpy(programFolder, exePath);
        TrimToFolder(programFolder);
    }
    std::strcpy(gFolders.data, programFolder);

    if (programFolder[0] == '\0' || IsRemovableDrive(programFolder)) return;
    char marker[FOLDER_SIZE];
    if (!JoinPath(marker, sizeof marker, programFolder, "DefSet.txt")) return;
    if (!CanRead(marker, FILE_SHARE_READ)) return;
    // Installed use; without a per-user folder the program stays portable.
    if (appDataFolder && appDataFolder[0]) MakeUserFolder(appDataFolder);
}

void SetUpFolders() {
    char exePath[FOLDER_SIZE];
    DWORD length = GetModuleFileNameA(nullptr, exePath, sizeof exePath);
    if (length == 0 || length >= sizeof exePath) exePath[0] = '\0';
    char appData[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE)) appData[0] = '\0';
    ResolveFolders(exePath, appData);
}

bool ResolveSideFile(const char* name, char* path, size_t size) {
    if (JoinPath(path, size, gFolders.data, name) && CanRead(path, 0)) return true;
    return JoinPath(path, size, gFolders.program, name);
}
