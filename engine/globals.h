// The few variables that belong to the whole process rather than to one
// collection or window: the folders settled at start-up, the memory limit of
// rearrangements, and the seams through which tests stand in for the disk
// and the shell.
#pragma once
#include "file_io.h"

#include <cstddef>
#include <cstdint>

constexpr size_t FOLDER_SIZE = 600;

// The program folder (where the executable lies) and the data folder (where
// the program writes its side files and the working copy). Both end in a
// backslash and are set once at start-up.
struct Folders {
    char program[FOLDER_SIZE];
    char data[FOLDER_SIZE];
};
extern Folders gFolders;

// The most memory compaction and sorting take for whole slots at once; a
// rearrangement that would need more moves its slots one at a time.
extern uint64_t gSlotMemoryLimit;

// A test's stand-in for a failing disk: when set, every file call asks it
// first and fails when it answers true. Null in the program.
extern bool (*gIoFaultHook)(IoCall call);

// A test's stand-in for the shell: when set, it receives each path the
// program would hand to the shell's default action. Null in the program.
extern void (*gShellOpen)(const char* path);
