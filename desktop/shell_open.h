// Side files and folders handed to the shell's default action: the help page
// to the browser, the autofill file to the text editor, the data folder to
// the file browser. The program neither waits for them nor looks at the result.
#pragma once
#include <windows.h>

// What hands a path to the shell: ShellExecuteA, or a test's stand-in.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern ShellExecuteFunction shellExecute;

// Opens path with the shell's default action for it.
void ShellOpenPath(const char* path);
// Opens name in the program folder (inProgramFolder) or in the data folder.
// A path that does not fit is not handed over.
void ShellOpenSideFile(const char* name, bool inProgramFolder);
// The help page "ReadMe.htm", which lies only beside the program.
void OpenReadMe();
// The data folder itself, in a folder window.
void OpenDataFolder();
