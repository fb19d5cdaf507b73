// Splitting a Windows command line into its items: runs of spaces or tabs
// separate them, double quotes group a stretch with spaces into one item.
// Portable, so that it is tested natively.
#pragma once
#include <cstddef>
#include <cstdint>

enum CommandLineResult : int {
    ARG_COPIED = 1,     // the argument is in the destination
    ARG_MISSING = 2,    // there is no such argument; the destination is empty
    ARG_UNBALANCED = 3, // the quotes do not pair up; the destination is untouched
    ARG_EMPTY = 4,      // the argument is "" ; the destination is empty
    ARG_TOO_LONG = 5,   // the argument does not fit the destination; it is left empty
};

// Copies item n of commandLine (item 0 is the program) into destination,
// without its quotes. The whole line is read, however long it is.
CommandLineResult CommandLineArg(const char* commandLine, uint32_t n, char* destination,
                                 size_t destinationSize);
