#include "shell_open.h"

#include "folders.h"

#include <shellapi.h>

ShellExecuteFunction shellExecute = ShellExecuteA;

void ShellOpenPath(const char* path) {
    shellExecute(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
}

void ShellOpenSideFile(const char* name, bool inProgramFolder) {
    char path[FOLDER_SIZE];
    if (JoinPath(path, sizeof path, inProgramFolder ? programFolder : dataFolder, name))
        ShellOpenPath(path);
}

void OpenReadMe() {
    ShellOpenSideFile("ReadMe.htm", true);
}

void OpenDataFolder() {
    ShellOpenPath(dataFolder);
}
