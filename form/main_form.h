// The main window's client area: toolbar, status bar and the record form.
#pragma once
#include <windows.h>

extern HWND hToolbar;
extern HWND hStatusBar;

// Builds the toolbar, the status bar and the 39 form controls into window (the
// main window being created, whose handle hMainWnd does not hold yet) and fills
// the fixed lists.
void BuildRecordForm(HWND window);

// Adds one toolbar button with the style last set in the shared button record.
void AddToolbarButton(int image, int command);
