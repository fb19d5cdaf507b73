// The command dispatcher: every menu item, toolbar button, shortcut and form
// notification arrives here as WM_COMMAND.
#pragma once
#include <windows.h>

void OnCommand(HWND window, WPARAM wParam, LPARAM lParam);
// Switches the commands that need an open record file on (1) or off (0).
void EnableFileCommands(int on);
