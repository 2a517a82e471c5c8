#include "platform.h"

#include <new>
#include <windows.h>

// Files go through the kernel's file handles with 64-bit positions: the
// multimedia file functions take 32-bit signed offsets and would stop a wave
// file at 2 GiB although its format addresses 4 GiB.
struct PlatFileRecord {
    HANDLE handle;
};

namespace {

uint32_t OpenErrorFromLastError(DWORD e) {
    switch (e) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_NOT_READY: return PLAT_ERR_FILENOTFOUND;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT: return PLAT_ERR_ACCESSDENIED;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return PLAT_ERR_SHARINGVIOLATION;
        case ERROR_TOO_MANY_OPEN_FILES: return PLAT_ERR_TOOMANYOPENFILES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return PLAT_ERR_FILEEXISTS;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return PLAT_ERR_OUTOFMEMORY;
        default: return PLAT_ERR_CANNOTOPEN;
    }
}

DWORD ShareModeFromFlags(uint32_t flags) {
    switch (flags & 0x0070) {
        case 0x0010: return 0;                  // exclusive
        case 0x0020: return FILE_SHARE_READ;    // deny write
        case 0x0030: return FILE_SHARE_WRITE;   // deny read
        default: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

}  // namespace

extern "C" PlatFile PlatFileOpen(const char* path, uint32_t flags, uint32_t* error) {
    if (error) *error = PLAT_ERR_NONE;
    if (path == nullptr || path[0] == '\0') {
        if (error) *error = PLAT_ERR_FILENOTFOUND;
        return nullptr;
    }
    DWORD access = GENERIC_READ;
    switch (flags & PLAT_OPEN_ACCESS_MASK) {
        case PLAT_OPEN_WRITE: access = GENERIC_WRITE; break;
        case PLAT_OPEN_READWRITE: access = GENERIC_READ | GENERIC_WRITE; break;
        default: break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (flags & PLAT_OPEN_CREATE) {
        disposition = (flags & PLAT_OPEN_CREATE_NEW) ? CREATE_NEW : CREATE_ALWAYS;
        access |= GENERIC_WRITE;
    }
    HANDLE h = CreateFileA(path, access, ShareModeFromFlags(flags), nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = OpenErrorFromLastError(GetLastError());
        return nullptr;
    }
    PlatFileRecord* file = new (std::nothrow) PlatFileRecord{h};
    if (file == nullptr) {
        CloseHandle(h);
        if (error) *error = PLAT_ERR_OUTOFMEMORY;
    }
    return file;
}

extern "C" void PlatFileClose(PlatFile file) {
    if (file == nullptr) return;
    CloseHandle(file->handle);
    delete file;
}

extern "C" int32_t PlatFileRead(PlatFile file, void* buffer, int32_t count) {
    if (file == nullptr || count < 0 || (buffer == nullptr && count > 0)) return -1;
    DWORD done = 0;
    if (!ReadFile(file->handle, buffer, static_cast<DWORD>(count), &done, nullptr)) return -1;
    return static_cast<int32_t>(done);
}

extern "C" int32_t PlatFileWrite(PlatFile file, const void* buffer, int32_t count) {
    if (file == nullptr || count < 0 || (buffer == nullptr && count > 0)) return -1;
    DWORD done = 0;
    if (!WriteFile(file->handle, buffer, static_cast<DWORD>(count), &done, nullptr)) return -1;
    return static_cast<int32_t>(done);
}

extern "C" int64_t PlatFileSeek(PlatFile file, int64_t offset) {
    if (file == nullptr || offset < 0) return -1;
    LARGE_INTEGER to, now;
    to.QuadPart = offset;
    if (!SetFilePointerEx(file->handle, to, &now, FILE_BEGIN)) return -1;
    return now.QuadPart;
}

extern "C" int64_t PlatFileSize(PlatFile file) {
    LARGE_INTEGER size;
    if (file == nullptr || !GetFileSizeEx(file->handle, &size)) return -1;
    return size.QuadPart;
}

extern "C" uint32_t PlatFileNativeHandle(PlatFile file) {
    // Kernel handle values fit in 32 bits on both Windows targets.
    return file == nullptr ? 0u : static_cast<uint32_t>(reinterpret_cast<uintptr_t>(file->handle));
}

extern "C" int PlatFileSetSize(PlatFile file, int64_t size) {
    if (file == nullptr || size < 0) return 0;
    LARGE_INTEGER here{}, target{};
    target.QuadPart = size;
    if (!SetFilePointerEx(file->handle, LARGE_INTEGER{}, &here, FILE_CURRENT)) return 0;
    const bool cut = SetFilePointerEx(file->handle, target, nullptr, FILE_BEGIN) &&
                     SetEndOfFile(file->handle);
    SetFilePointerEx(file->handle, here, nullptr, FILE_BEGIN);
    return cut ? 1 : 0;
}
