// Settling the program folder and the data folder (gFolders) at start-up,
// and paths in them.
#pragma once
#include "globals.h"

#include <cstddef>

// Settles both folders for the running executable.
void SetUpFolders();

// The rule behind SetUpFolders, for a given executable path and per-user
// application-data folder (null or empty when there is none). Portable use
// (data folder = program folder) unless the program lies on a drive that is
// not removable with "DefSet.txt" beside it and the per-user folder exists.
void ResolveFolders(const char* exePath, const char* appDataFolder);

// Cuts a path after its last backslash; a text without one stays whole.
void TrimToFolder(char* path);

// folder followed by name, when it fits; otherwise an empty text and false.
bool JoinPath(char* destination, size_t size, const char* folder, const char* name);

// The data-folder copy of a side file when it can be read, otherwise the
// program-folder path (whether or not that exists). False when it does not fit.
bool ResolveSideFile(const char* name, char* path, size_t size);
