// Opening and leaving record files. The program never edits the user's file:
// it works on a working copy in the data folder.
#pragma once
#include <windows.h>

// Sets workPath to "Temp.dat" in the data folder, or to "Temp1.dat",
// "Temp2.dat", ... when another running instance holds that one: every
// instance keeps a named lock on its working copy for its whole life.
void ChooseWorkPath();

// Copies the user's file over the working copy and opens and shows it; on
// failure the "File Error" notice and no file open.
void OpenUserFile(const char* path);

// Asks whether to save when records were added to the open file.
// 1 when the user chose Cancel (the caller must not leave the file), 0 otherwise.
int ConfirmLeaveFile();

// File > Close: leaves the open file after the save question.
void CloseUserFile();

// Exit, the close box and the end of the session: destroys the main window
// unless the save question is cancelled. True when the window is gone.
bool ExitProgram(HWND window);
