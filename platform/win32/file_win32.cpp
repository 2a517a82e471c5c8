#include "platform.h"

#include <new>
#include <windows.h>
#include <mmsystem.h>

// Every file is a kernel file handle adopted by the multimedia file layer
// (unbuffered), so callers that are handed the multimedia handle read, write
// and seek the very same file object. The multimedia calls take signed
// 32-bit offsets; transfers that lie wholly below 2 GiB go through them, so
// the layer's own idea of the position stays exact, and anything at or past
// 2 GiB goes to the kernel handle with 64-bit positions (a wave file may
// reach 4 GiB).
struct PlatFileRecord {
    HANDLE handle;
    HMMIO mmio;
    int64_t position;  // of the kernel handle; -1 when unknown
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
        case 0x0010: return 0;                 // exclusive
        case 0x0020: return FILE_SHARE_READ;   // deny write
        case 0x0030: return FILE_SHARE_WRITE;  // deny read
        default: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

constexpr int64_t kMultimediaLimit = 0x7FFFFFFF;

bool WithinMultimediaRange(int64_t position, int64_t count) {
    return position >= 0 && count <= kMultimediaLimit - position;
}

// No name and no I/O procedure: the layer takes adwInfo[0] as the handle of
// an open file, and MMIO_FHOPEN on close leaves that file to us.
HMMIO AdoptIntoMultimedia(HANDLE handle, uint32_t flags, uint32_t* error) {
    MMIOINFO info;
    ZeroMemory(&info, sizeof info);
    // Kernel handles are 32-bit values on 64-bit Windows too.
    info.adwInfo[0] = static_cast<DWORD>(reinterpret_cast<uintptr_t>(handle));
    HMMIO mmio = mmioOpenA(nullptr, &info, flags & PLAT_OPEN_ACCESS_MASK);
    if (mmio == nullptr && error)
        *error = info.wErrorRet != 0 ? info.wErrorRet : uint32_t{PLAT_ERR_CANNOTOPEN};
    return mmio;
}

int64_t KernelPosition(HANDLE handle) {
    LARGE_INTEGER zero, now;
    zero.QuadPart = 0;
    return SetFilePointerEx(handle, zero, &now, FILE_CURRENT) ? now.QuadPart : -1;
}

// After a transfer of `moved` bytes (negative: failed) the position is known
// again only from the kernel.
void Advance(PlatFile file, int32_t moved) {
    if (moved >= 0 && file->position >= 0)
        file->position += moved;
    else
        file->position = KernelPosition(file->handle);
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
    HMMIO mmio = AdoptIntoMultimedia(h, flags, error);
    if (mmio == nullptr) {
        CloseHandle(h);
        return nullptr;
    }
    PlatFileRecord* file = new (std::nothrow) PlatFileRecord{h, mmio, 0};
    if (file == nullptr) {
        mmioClose(mmio, MMIO_FHOPEN);
        CloseHandle(h);
        if (error) *error = PLAT_ERR_OUTOFMEMORY;
    }
    return file;
}

extern "C" void PlatFileClose(PlatFile file) {
    if (file == nullptr) return;
    mmioClose(file->mmio, MMIO_FHOPEN);
    CloseHandle(file->handle);
    delete file;
}

extern "C" int32_t PlatFileRead(PlatFile file, void* buffer, int32_t count) {
    if (file == nullptr || count < 0 || (buffer == nullptr && count > 0)) return -1;
    if (count == 0) return 0;
    int32_t moved = -1;
    if (WithinMultimediaRange(file->position, count)) {
        LONG got = mmioRead(file->mmio, static_cast<HPSTR>(buffer), count);
        moved = got < 0 ? -1 : static_cast<int32_t>(got);
    } else {
        DWORD done = 0;
        if (ReadFile(file->handle, buffer, static_cast<DWORD>(count), &done, nullptr))
            moved = static_cast<int32_t>(done);
    }
    Advance(file, moved);
    return moved;
}

// The multimedia layer keeps its own idea of the position, which a read at
// an offset from another thread would move under it.
extern "C" int32_t PlatFileReadAt(PlatFile, int64_t, void*, int32_t) { return PLAT_READ_AT_NONE; }

extern "C" int32_t PlatFileWrite(PlatFile file, const void* buffer, int32_t count) {
    if (file == nullptr || count < 0 || (buffer == nullptr && count > 0)) return -1;
    // Never hand the layer a zero count: its file procedure would cut the
    // file at the current position.
    if (count == 0) return 0;
    int32_t moved = -1;
    if (WithinMultimediaRange(file->position, count)) {
        LONG put = mmioWrite(file->mmio, static_cast<const char*>(buffer), count);
        moved = put < 0 ? -1 : static_cast<int32_t>(put);
    } else {
        DWORD done = 0;
        if (WriteFile(file->handle, buffer, static_cast<DWORD>(count), &done, nullptr))
            moved = static_cast<int32_t>(done);
    }
    Advance(file, moved);
    return moved;
}

extern "C" int64_t PlatFileSeek(PlatFile file, int64_t offset) {
    if (file == nullptr || offset < 0) return -1;
    if (offset <= kMultimediaLimit) {
        LONG now = mmioSeek(file->mmio, static_cast<LONG>(offset), SEEK_SET);
        file->position = now < 0 ? KernelPosition(file->handle) : now;
        return now < 0 ? -1 : now;
    }
    LARGE_INTEGER to, now;
    to.QuadPart = offset;
    if (!SetFilePointerEx(file->handle, to, &now, FILE_BEGIN)) {
        file->position = KernelPosition(file->handle);
        return -1;
    }
    file->position = now.QuadPart;
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
    const bool cut =
        SetFilePointerEx(file->handle, target, nullptr, FILE_BEGIN) && SetEndOfFile(file->handle);
    SetFilePointerEx(file->handle, here, nullptr, FILE_BEGIN);
    return cut ? 1 : 0;
}

extern "C" uintptr_t PlatFileMultimediaHandle(PlatFile file) {
    return file == nullptr ? 0u : reinterpret_cast<uintptr_t>(file->mmio);
}

namespace {

bool FileIdentity(HANDLE handle, BY_HANDLE_FILE_INFORMATION* info) {
    return handle != INVALID_HANDLE_VALUE && handle != nullptr &&
           GetFileInformationByHandle(handle, info) != 0;
}

}  // namespace

extern "C" int PlatPathIsCallerFile(const char* path, uintptr_t callerHandle) {
    MMIOINFO info;
    ZeroMemory(&info, sizeof info);
    if (path == nullptr || callerHandle == 0 ||
        mmioGetInfo(reinterpret_cast<HMMIO>(callerHandle), &info, 0) != 0)
        return 0;
    BY_HANDLE_FILE_INFORMATION held;
    if (!FileIdentity(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(info.adwInfo[0])), &held))
        return 0;
    // The name itself: a reparse point (a link) is opened, not followed.
    HANDLE named = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION found;
    const bool known = FileIdentity(named, &found);
    if (named != INVALID_HANDLE_VALUE) CloseHandle(named);
    return known && found.dwVolumeSerialNumber == held.dwVolumeSerialNumber &&
                   found.nFileIndexHigh == held.nFileIndexHigh &&
                   found.nFileIndexLow == held.nFileIndexLow
               ? 1
               : 0;
}
