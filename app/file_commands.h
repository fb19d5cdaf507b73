// Opening and leaving record files. The program never edits the user's file:
// it works on a working copy in the data folder.
#pragma once
#include "program.h"

// Sets workPath to "Temp.dat" in the data folder, or to "Temp1.dat",
// "Temp2.dat", ... when another running instance holds that one: every
// instance keeps a named lock on its working copy for its whole life.
void ChooseWorkPath(char* workPath, size_t size);

// Switches the commands that need an open record file on (1) or off (0).
void EnableFileCommands(HWND window, int on);

// Copies the user's file over the working copy and opens and shows it; on
// failure the "File Error" notice and no file open.
void OpenUserFile(Program& program, const char* path);

// Asks whether to save when records were added to the open file.
// 1 when the user chose Cancel (the caller must not leave the file), 0 otherwise.
int ConfirmLeaveFile(Program& program);

// File > Close: leaves the open file after the save question.
void CloseUserFile(Program& program);

// Exit, the close box and the end of the session: destroys the main window
// unless the save question is cancelled. True when the window is gone.
bool ExitProgram(Program& program);
