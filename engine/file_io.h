// The few file calls the record file engine needs: positioned reads and
// writes on one open file. Win32 and POSIX each implement them.
#pragma once
#include <cstdint>

struct IoFile;

// Opens an existing file for reading and writing; others may only read it.
IoFile* IoOpenExisting(const char* path);
// Creates the file anew (truncating an existing one) for exclusive use.
IoFile* IoCreate(const char* path);
// Opens the file for exclusive use, creating it when it is missing; its bytes
// stay until they are written over or cut (overwriting bytes a file holds
// costs less than giving it new ones).
IoFile* IoOpenForWriting(const char* path);
void IoClose(IoFile* file);

// Reads up to count bytes at offset; returns how many were read (fewer at the end of the file).
uint32_t IoReadAt(IoFile* file, uint64_t offset, void* buffer, uint32_t count);
// Writes count bytes at offset, extending the file when needed; false when not all were written.
bool IoWriteAt(IoFile* file, uint64_t offset, const void* buffer, uint32_t count);
uint64_t IoFileSize(IoFile* file);
// Cuts (or extends) the file to length bytes.
bool IoSetLength(IoFile* file, uint64_t length);
// Makes what was written reach the disk itself.
bool IoFlush(IoFile* file);
// Puts source in place of target in one step, whether or not target exists.
bool IoReplace(const char* source, const char* target);
bool IoRemove(const char* path);

// The kinds of file call, for tests of what a failing disk does to the
// program (see gIoFaultHook).
enum IoCall { IO_OPEN, IO_CREATE, IO_READ, IO_WRITE, IO_FLUSH, IO_SET_LENGTH, IO_REPLACE };
