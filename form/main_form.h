// The main window's client area: toolbar, status bar and the record form.
#pragma once
#include <windows.h>

// Builds the toolbar, the status bar and the form controls into window (the
// main window being created) and fills the fixed lists.
void BuildRecordForm(HWND window);

// The main window's toolbar and status bar.
HWND Toolbar(HWND window);
HWND StatusBar(HWND window);
