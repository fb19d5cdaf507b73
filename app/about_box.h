// Help > About: the program's name, version and description.
#pragma once
#include "program.h"

void ShowAboutBox(HWND owner, const StartupRecord* startup);
