// The form's five suggestion lists, filled from the autofill file.
#pragma once
#include <windows.h>

// Adds the entries of the data folder's autofill file to the lists of window
// (the main window, parent of the form's controls). When the data folder has
// no autofill file, the default one beside the program is copied there first.
void LoadAutoFill(HWND window);

// Empties the five lists and fills them again, so the file's entries show
// once. Emptying a list also empties its edit field.
void ReloadAutoFillLists(HWND window);
