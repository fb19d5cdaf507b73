// Help > About: the program's name, version and description.
#pragma once
#include <windows.h>

void ShowAboutBox(HWND owner);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
