#include "file_io.h"

#include <windows.h>

#include <new>

struct IoFile {
    HANDLE handle;
};

static IoFile* OpenWith(const char* path, DWORD share, DWORD disposition) {
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, disposition,
                                FILE_FLAG_RANDOM_ACCESS | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    IoFile* file = new (std::nothrow) IoFile{handle};
    if (!file) CloseHandle(handle);
    return file;
}

IoFile* IoOpenExisting(const char* path) {
    return OpenWith(path, FILE_SHARE_READ, OPEN_EXISTING);
}

IoFile* IoCreate(const char* path) {
    return OpenWith(path, 0, CREATE_ALWAYS);
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
    if (!SeekTo(file, offset) || !ReadFile(file->handle, buffer, count, &read, nullptr)) return 0;
    return read;
}

bool IoWriteAt(IoFile* file, uint64_t offset, const void* buffer, uint32_t count) {
    DWORD written = 0;
    return SeekTo(file, offset) && WriteFile(file->handle, buffer, count, &written, nullptr) &&
           written == count;
}

uint64_t IoFileSize(IoFile* file) {
    LARGE_INTEGER size;
    return GetFileSizeEx(file->handle, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

bool IoSetLength(IoFile* file, uint64_t length) {
    return SeekTo(file, length) && SetEndOfFile(file->handle);
}
