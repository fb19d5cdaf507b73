// The command table: every menu item, toolbar button, shortcut and form
// notification arrives as WM_COMMAND, and one row per command says what runs
// it, what it needs, whether it is greyed without a file and its tooltip.
#pragma once
#include "program.h"

void OnCommand(Program& program, WPARAM wParam);

// Switches the commands that need an open record file on or off.
void EnableFileCommands(HWND window, bool on);

// The tooltip of a toolbar button, or null.
const char* CommandTooltip(UINT_PTR button);
