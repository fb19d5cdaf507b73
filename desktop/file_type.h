// The association of record files (".ktl", program identifier "Kestrel") with
// the running program, written into the registry at every start.
#pragma once
#include <windows.h>

// Sets the REG_SZ value name (null: the key's default value) of key under
// root to text, making the key and those above it when needed. A key that
// cannot be made or opened, such as a machine-wide one without the rights,
// is skipped.
void WriteRegString(HKEY root, const char* key, const char* name, const char* text);

// Points the open command and the icon of record files at "Quirebook.exe" in
// folder (the program folder, ending in a backslash). Nothing is written when
// the paths do not fit.
void AssociateFileType(const char* folder);
