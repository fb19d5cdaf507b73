// Everything the program keeps while it runs. WinEntry owns the one instance;
// the window procedure hands it, or the part of it they need, to the commands.
#pragma once
#include "collection.h"

#include <windows.h>

#include <cstdint>

constexpr int TEXT_BUFFER_SIZE = 1000;
constexpr int PATH_SIZE = 600;

// Block handed to the About box: the module and the program icon in two sizes.
struct StartupRecord {
    HINSTANCE module;
    HICON smallIcon;
    HICON largeIcon;
};
constexpr SIZE_T STARTUP_RECORD_SIZE = 192;
static_assert(sizeof(StartupRecord) <= STARTUP_RECORD_SIZE, "start-up record too small");

struct Program {
    HWND window = nullptr; // the main window
    StartupRecord* startup = nullptr;
    Collection collection;         // the open working copy
    char filePath[PATH_SIZE] = ""; // the user's file the working copy belongs to
    char workPath[PATH_SIZE] = ""; // this instance's working copy
    bool fileNamed = false;        // filePath names that file
    bool noteWritten = false;      // the working copy's recovery note is there
    // What the prompts edit, and file names picked for the form.
    char textBuffer[TEXT_BUFFER_SIZE] = "";
};
