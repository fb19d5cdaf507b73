// The command dispatcher: every menu item, toolbar button, shortcut and form
// notification arrives here as WM_COMMAND.
#pragma once
#include "program.h"

void OnCommand(Program& program, WPARAM wParam);
