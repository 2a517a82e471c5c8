#include "platform.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

// POSIX files keep their own position and use pread/pwrite, so a seek is a
// plain assignment and reads never share a hidden offset.
struct PlatFileRecord {
    int fd;
    int64_t position;
};

namespace {

uint32_t OpenErrorFromErrno(int e) {
    switch (e) {
        case ENOENT:
        case ENOTDIR: return PLAT_ERR_FILENOTFOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return PLAT_ERR_ACCESSDENIED;
        case EMFILE:
        case ENFILE: return PLAT_ERR_TOOMANYOPENFILES;
        case ENOMEM: return PLAT_ERR_OUTOFMEMORY;
        case EEXIST: return PLAT_ERR_FILEEXISTS;
        default: return PLAT_ERR_CANNOTOPEN;
    }
}

}  // namespace

extern "C" PlatFile PlatFileOpen(const char* path, uint32_t flags, uint32_t* error) {
    if (error) *error = PLAT_ERR_NONE;
    if (path == nullptr || path[0] == '\0') {
        if (error) *error = PLAT_ERR_FILENOTFOUND;
        return nullptr;
    }
    int oflags = O_CLOEXEC;
    switch (flags & PLAT_OPEN_ACCESS_MASK) {
        case PLAT_OPEN_WRITE: oflags |= O_WRONLY; break;
        case PLAT_OPEN_READWRITE: oflags |= O_RDWR; break;
        default: oflags |= O_RDONLY; break;
    }
    if (flags & PLAT_OPEN_CREATE) {
        oflags |= O_CREAT | ((flags & PLAT_OPEN_CREATE_NEW) ? O_EXCL : O_TRUNC);
        if ((flags & PLAT_OPEN_ACCESS_MASK) == PLAT_OPEN_READ)
            oflags = (oflags & ~O_RDONLY) | O_RDWR;
    }
    int fd = ::open(path, oflags, 0666);
    if (fd < 0) {
        if (error) *error = OpenErrorFromErrno(errno);
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        if (error) *error = PLAT_ERR_ACCESSDENIED;
        return nullptr;
    }
    PlatFileRecord* file = new (std::nothrow) PlatFileRecord{fd, 0};
    if (file == nullptr) {
        ::close(fd);
        if (error) *error = PLAT_ERR_OUTOFMEMORY;
    }
    return file;
}

extern "C" void PlatFileClose(PlatFile file) {
    if (file == nullptr) return;
    ::close(file->fd);
    delete file;
}

namespace {

// Both reads share it, so that each stands alone (a test may replace one).
int32_t ReadFrom(int fd, int64_t offset, void* buffer, int32_t count) {
    int32_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::pread(fd, out + done, static_cast<size_t>(count - done),
                            static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return done > 0 ? done : -1;
        }
        if (n == 0) break;
        done += static_cast<int32_t>(n);
    }
    return done;
}

}  // namespace

extern "C" int32_t PlatFileRead(PlatFile file, void* buffer, int32_t count) {
    if (file == nullptr || count < 0 || (buffer == nullptr && count > 0)) return -1;
    const int32_t done = ReadFrom(file->fd, file->position, buffer, count);
    if (done > 0) file->position += done;
    return done;
}

extern "C" int32_t PlatFileReadAt(PlatFile file, int64_t offset, void* buffer, int32_t count) {
    if (file == nullptr || offset < 0 || count < 0 || (buffer == nullptr && count > 0)) return -1;
    return ReadFrom(file->fd, offset, buffer, count);
}

extern "C" int32_t PlatFileWrite(PlatFile file, const void* buffer, int32_t count) {
    if (file == nullptr || count < 0 || (buffer == nullptr && count > 0)) return -1;
    int32_t done = 0;
    const char* in = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t n = ::pwrite(file->fd, in + done, static_cast<size_t>(count - done),
                             static_cast<off_t>(file->position));
        if (n < 0) {
            if (errno == EINTR) continue;
            return done > 0 ? done : -1;
        }
        if (n == 0) break;
        done += static_cast<int32_t>(n);
        file->position += n;
    }
    return done;
}

extern "C" int64_t PlatFileSeek(PlatFile file, int64_t offset) {
    if (file == nullptr || offset < 0) return -1;
    file->position = offset;
    return offset;
}

extern "C" int64_t PlatFileSize(PlatFile file) {
    struct stat st;
    if (file == nullptr || ::fstat(file->fd, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

extern "C" uint32_t PlatFileNativeHandle(PlatFile file) {
    return file == nullptr ? 0u : static_cast<uint32_t>(file->fd);
}

extern "C" int PlatPathIsCallerFile(const char* path, uintptr_t callerHandle) {
    struct stat named;
    struct stat held;
    if (path == nullptr || ::lstat(path, &named) != 0 ||
        ::fstat(static_cast<int>(callerHandle), &held) != 0)
        return 0;
    return named.st_dev == held.st_dev && named.st_ino == held.st_ino ? 1 : 0;
}

extern "C" int PlatFileSetSize(PlatFile file, int64_t size) {
    if (file == nullptr || size < 0) return 0;
    return ::ftruncate(file->fd, static_cast<off_t>(size)) == 0 ? 1 : 0;
}
