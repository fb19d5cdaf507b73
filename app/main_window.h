// The process: start-up, the main window, its message loop and window procedure.
#pragma once
#include "program.h"

#include <cstddef>

// Process entry: start-up, the message loop, then the end of the process.
void WinEntry();
// Every start-up step up to the message loop, the DLL search restricted first, for the given
// program, whose window the main window becomes; false when start-up failed (no memory for the
// start-up record, or no main window).
bool InitApplication(Program& program);
// The start-up record with the module and the icons, after the folders and
// the common controls are ready; null when it cannot be allocated.
StartupRecord* InitCommonUi();
// Runs until WM_QUIT, turning the keyboard shortcuts into commands for window.
void MessageLoop(HWND window);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Item n of the process's command line (see CommandLineArg).
int GetCommandLineArg(uint32_t n, char* destination, size_t size);
// Where a window of the given size starts when centred on the screen; never
// off its left or top edge.
int CentredOrigin(int screenSize, int windowSize);
