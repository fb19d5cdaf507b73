#include "file_io.h"

#include "globals.h"

#include <windows.h>

#include <new>

struct IoFile {
    HANDLE handle;
};

static bool Fails(IoCall call) {
    return gIoFaultHook && gIoFaultHook(call);
}

static IoFile* OpenWith(const char* path, DWORD share, DWORD disposition) {
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, disposition,
                                FILE_FLAG_RANDOM_ACCESS | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    IoFile* file = new (std::nothrow) IoFile{handle};
    if (!file) CloseHandle(handle);
    return file;
}

IoFile* IoOpenExisting(const char* path) {
    return Fails(IO_OPEN) ? nullptr : OpenWith(path, FILE_SHARE_READ, OPEN_EXISTING);
}

IoFile* IoCreate(const char* path) {
    return Fails(IO_CREATE) ? nullptr : OpenWith(path, 0, CREATE_ALWAYS);
}

IoFile* IoOpenForWriting(const char* path) {
    return Fails(IO_CREATE) ? nullptr : OpenWith(path, 0, OPEN_ALWAYS);
}

void IoClose(IoFile* file) {
    if (!file) return;
    CloseHandle(file->handle);
    delete file;
}

static bool SeekTo(IoFile* file, uint64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file->handle, position, nullptr, FILE_BEGIN) != 0;
}

uint32_t IoReadAt(IoFile* file, uint64_t offset, void* buffer, uint32_t count) {
    DWORD read = 0;
    if (Fails(IO_READ) || !SeekTo(file, offset) ||
        !ReadFile(file->handle, buffer, count, &read, nullptr))
        return 0;
    return read;
}

bool IoWriteAt(IoFile* file, uint64_t offset, const void* buffer, uint32_t count) {
    DWORD written = 0;
    return !Fails(IO_WRITE) && SeekTo(file, offset) &&
           WriteFile(file->handle, buffer, count, &written, nullptr) && written == count;
}

uint64_t IoFileSize(IoFile* file) {
    LARGE_INTEGER size;
    return GetFileSizeEx(file->handle, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

bool IoSetLength(IoFile* file, uint64_t length) {
    return !Fails(IO_SET_LENGTH) && SeekTo(file, length) && SetEndOfFile(file->handle);
}

bool IoFlush(IoFile* file) {
    return !Fails(IO_FLUSH) && FlushFileBuffers(file->handle);
}

// An existing target keeps its attributes through ReplaceFileA; a new one is
// moved into place, written through before the call returns.
bool IoReplace(const char* source, const char* target) {
    if (Fails(IO_REPLACE)) return false;
    if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileA(target, source, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool IoRemove(const char* path) {
    return DeleteFileA(path) != 0;
}
