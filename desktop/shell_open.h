// Side files and folders handed to the shell's default action: the help page
// to the browser, the autofill file to the text editor, the data folder to
// the file browser. The program neither waits for them nor looks at the result.
#pragma once

// Opens path with the shell's default action for it, or hands it to gShellOpen when a test set it.
void ShellOpenPath(const char* path);
// Opens name in the program folder (inProgramFolder) or in the data folder.
// A path that does not fit is not handed over.
void ShellOpenSideFile(const char* name, bool inProgramFolder);
// The help page "ReadMe.htm", which lies only beside the program.
void OpenReadMe();
// The data folder itself, in a folder window.
void OpenDataFolder();
