#include "shell_open.h"

#include "folders.h"

#include <windows.h>
#include <shellapi.h>

void ShellOpenPath(const char* path) {
    if (gShellOpen)
        gShellOpen(path);
    else
        ShellExecuteA(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
}

void ShellOpenSideFile(const char* name, bool inProgramFolder) {
    char path[FOLDER_SIZE];
    if (JoinPath(path, sizeof path, inProgramFolder ? gFolders.program : gFolders.data, name))
        ShellOpenPath(path);
}

void OpenReadMe() {
    ShellOpenSideFile("ReadMe.htm", true);
}

void OpenDataFolder() {
    ShellOpenPath(gFolders.data);
}
