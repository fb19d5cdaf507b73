#include "file_io.h"

#include "globals.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>

struct IoFile {
    int fd;
};

static bool Fails(IoCall call) {
    return gIoFaultHook && gIoFaultHook(call);
}

static IoFile* OpenWith(const char* path, int flags) {
    int fd = open(path, flags | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    IoFile* file = new (std::nothrow) IoFile{fd};
    if (!file) close(fd);
    return file;
}

IoFile* IoOpenExisting(const char* path) {
    return Fails(IO_OPEN) ? nullptr : OpenWith(path, O_RDWR);
}

IoFile* IoCreate(const char* path) {
    return Fails(IO_CREATE) ? nullptr : OpenWith(path, O_RDWR | O_CREAT | O_TRUNC);
}

IoFile* IoOpenForWriting(const char* path) {
    return Fails(IO_CREATE) ? nullptr : OpenWith(path, O_RDWR | O_CREAT);
}

void IoClose(IoFile* file) {
    if (!file) return;
    close(file->fd);
    delete file;
}

uint32_t IoReadAt(IoFile* file, uint64_t offset, void* buffer, uint32_t count) {
    if (Fails(IO_READ)) return 0;
    uint32_t done = 0;
    while (done < count) {
        ssize_t n = pread(file->fd, static_cast<char*>(buffer) + done, count - done,
                          static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<uint32_t>(n);
    }
    return done;
}

bool IoWriteAt(IoFile* file, uint64_t offset, const void* buffer, uint32_t count) {
    if (Fails(IO_WRITE)) return false;
    uint32_t done = 0;
    while (done < count) {
        ssize_t n = pwrite(file->fd, static_cast<const char*>(buffer) + done, count - done,
                           static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<uint32_t>(n);
    }
    return true;
}

uint64_t IoFileSize(IoFile* file) {
    struct stat info;
    return fstat(file->fd, &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

bool IoSetLength(IoFile* file, uint64_t length) {
    return !Fails(IO_SET_LENGTH) && ftruncate(file->fd, static_cast<off_t>(length)) == 0;
}

bool IoFlush(IoFile* file) {
    return !Fails(IO_FLUSH) && fsync(file->fd) == 0;
}

bool IoReplace(const char* source, const char* target) {
    return !Fails(IO_REPLACE) && std::rename(source, target) == 0;
}

bool IoRemove(const char* path) {
    return unlink(path) == 0;
}
