// Opening, closing, validating and classifying files; single handle fields.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "api.h"
#include "file_io.h"
#include "handle.h"
#include "item_lookup.h"
#include "system_services.h"

namespace kavf {
namespace {

std::atomic<uint32_t> lastOpenError{0};

struct FileTypeName {
    const char* name;
    uint32_t code;
};
const FileTypeName kFileTypes[] = {
    {"SLEEP DATA", KAVF_FILE_SLEEP},          {"HOLTER RECORDER", KAVF_FILE_HOLTER},
    {"EEG FILING24", KAVF_FILE_EEG24},        {"EEG FILING32", KAVF_FILE_EEG32},
    {"EEG FILINGMONO", KAVF_FILE_EEGMONO},    {"MERON DATA O21", KAVF_FILE_MERON_O21},
    {"MERON DATA S21", KAVF_FILE_MERON_S21},  {"MERON DATA C21", KAVF_FILE_MERON_C21},
    {"MULTI REPORT", KAVF_FILE_MULTI_REPORT},
};

void FreeRecord(KavfHandle* h) {
    if (h->file != nullptr) PlatFileClose(h->file);
    delete h;
}

void ResetGroupTable(KavfHandle& h) {
    h.groupCount = 0;
    h.indexItemCount = 0;
    std::memset(h.groupOffsets, 0, sizeof h.groupOffsets);
    std::memset(h.groupLengths, 0, sizeof h.groupLengths);
}

// Copies the file-type name of the first name sub-item among the bytes read.
void ScanIndexName(KavfHandle& h, size_t bytesRead) {
    const uint8_t* buf = h.work.data();
    size_t at = 12;
    for (uint32_t n = 0; n < h.indexItemCount; ++n) {
        if (at + 8 > bytesRead) return;
        uint32_t words = GetBe16(buf + at);
        if (words == 0) return;
        if (GetBe16(buf + at + 2) == KAVF_KIND_NAME) {
            size_t declared = GetBe16(buf + at + 6);
            size_t available = bytesRead - (at + 8);
            size_t limit = std::min({declared, available, kTypeNameCapacity});
            size_t k = 0;
            while (k < limit && buf[at + 8 + k] != 0) {
                h.typeName[k] = static_cast<char>(buf[at + 8 + k]);
                ++k;
            }
            h.typeName[k] = '\0';
            return;
        }
        at += 2 * size_t{words};
    }
}

// Walks the groups from the first; a zero or missing length ends the walk.
uint32_t WalkGroups(KavfHandle& h, uint64_t firstGroup, uint32_t declared) {
    uint64_t offset = firstGroup;
    uint32_t found = 0;
    for (uint32_t g = 1; g <= declared; ++g) {
        if (!FitsOffset(offset)) break;
        uint8_t lengthField[4];
        if (ReadZeroFilled(h, offset, lengthField, 4) < 0) break;
        uint32_t words = GetBe32(lengthField);
        if (words == 0) break;
        h.groupOffsets[g] = static_cast<uint32_t>(offset);
        found = g;
        offset += 2 * uint64_t{words};
    }
    return found;
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI OpenKavErrorCode(void) { return lastOpenError.load(); }

KAVF_EXPORT KAVFHANDLE KAVFAPI OpenKavfile(const char* name, uint32_t mode, uint32_t bufferSize) {
    uint32_t workSize = std::clamp(bufferSize, kMinWorkBuffer, kMaxWorkBuffer);
    KavfHandle* h = new (std::nothrow) KavfHandle();
    if (h == nullptr || !TryResize(h->work, workSize)) {
        delete h;
        lastOpenError = PLAT_ERR_OUTOFMEMORY;
        return 0;
    }
    SuppressCriticalErrorBoxes();
    uint32_t error = PLAT_ERR_NONE;
    h->file = PlatFileOpen(name, mode, &error);
    if (h->file == nullptr) {
        lastOpenError = error != PLAT_ERR_NONE ? error : uint32_t{PLAT_ERR_CANNOTOPEN};
        delete h;
        return 0;
    }
    try {
        h->fileName = name;
    } catch (const std::bad_alloc&) {
        FreeRecord(h);
        lastOpenError = PLAT_ERR_OUTOFMEMORY;
        return 0;
    }
    h->attributes = PlatFileAttributes(name);
    KAVFHANDLE value = AddHandle(h);
    if (value == 0) {
        FreeRecord(h);
        lastOpenError = PLAT_ERR_TOOMANYOPENFILES;
    }
    return value;
}

KAVF_EXPORT KAVFHANDLE KAVFAPI CloseKavfile(KAVFHANDLE handle) {
    if (handle == 0) return 0;
    KavfHandle* h = RemoveHandle(handle);
    if (h == nullptr) return handle;
    SuppressCriticalErrorBoxes();
    FreeRecord(h);
    return 0;
}

KAVF_EXPORT uintptr_t KAVFAPI GetKavfileHandle(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    return h == nullptr || h->file == nullptr ? 0 : CallerFileHandle(h->file);
}

KAVF_EXPORT uint32_t KAVFAPI CheckKavfile(KAVFHANDLE handle, const char* magic, char* typeName) {
    if (typeName != nullptr) typeName[0] = '\0';
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || h->work.empty()) return KAVF_CHECK_NO_ACCESS;
    ResetGroupTable(*h);
    h->typeName[0] = '\0';
    h->position = 0;
    std::fill(h->work.begin(), h->work.end(), uint8_t{0});
    int64_t got = ReadAt(*h, 0, h->work.data(), h->work.size());
    size_t bytesRead = got > 0 ? static_cast<size_t>(got) : 0;

    std::memcpy(h->magic, h->work.data(), 4);
    h->magic[4] = '\0';
    if (magic == nullptr || std::strncmp(h->magic, magic, 5) != 0) return KAVF_CHECK_WRONG_MAGIC;

    uint64_t firstGroup = 4 + 2 * uint64_t{GetBe32(h->work.data() + 4)};
    uint32_t declared = std::min<uint32_t>(GetBe16(h->work.data() + 8), kMaxGroups);
    h->indexItemCount = GetBe16(h->work.data() + 10);
    ScanIndexName(*h, bytesRead);
    if (typeName != nullptr) std::strcpy(typeName, h->typeName);

    // Readers address only the groups found, not declared ones past them.
    h->groupCount = static_cast<uint16_t>(WalkGroups(*h, firstGroup, declared));
    return h->groupCount;
}

KAVF_EXPORT uint32_t KAVFAPI GetKavfileType(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    for (const FileTypeName& t : kFileTypes)
        if (std::strcmp(h->typeName, t.name) == 0) return t.code;
    return KAVF_FILE_OTHER;
}

KAVF_EXPORT uint32_t KAVFAPI UpdateKavfDirectory(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    if (h->file != nullptr) PlatFileClose(h->file);
    h->file = PlatFileOpen(h->fileName.c_str(), PLAT_OPEN_READWRITE, nullptr);
    return h->file != nullptr ? 1 : 0;
}

KAVF_EXPORT uint32_t KAVFAPI FindKavfIndexPtr(KAVFHANDLE handle, uint32_t group, uint32_t id) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || !FindItem(*h, group, id, item)) return 0;
    return item.offset;
}

KAVF_EXPORT uint32_t KAVFAPI GetKavfDataNumber(KAVFHANDLE handle, uint32_t group, uint32_t id) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || !FindItem(*h, group, id, item)) return 0;
    return item.count;
}

KAVF_EXPORT uint32_t KAVFAPI GetKavfInfo(KAVFHANDLE handle, uint32_t selector) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    switch (Low16(selector)) {
        case KAVF_INFO_TYPE: return h->recordType;
        case KAVF_INFO_INTERVAL: return h->interval;
        case KAVF_INFO_FRAMES: return h->frameCount;
        case KAVF_INFO_CHANNELS: return h->channels;
        case KAVF_INFO_BITS: return h->bits;
        case KAVF_INFO_FRAME_SIZE: return h->frameSize;
        case KAVF_INFO_POSITION: return h->position;
        case KAVF_INFO_DATA_POSITION: return h->dataPosition;
        default: return 0;
    }
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfInfo(KAVFHANDLE handle, uint32_t selector, uint32_t value) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    switch (Low16(selector)) {
        case KAVF_INFO_TYPE: h->recordType = Low16(value); return 1;
        case KAVF_INFO_INTERVAL: h->interval = value; return 1;
        case KAVF_INFO_FRAMES: h->frameCount = value; return 1;
        case KAVF_INFO_CHANNELS: h->channels = Low16(value); return 1;
        case KAVF_INFO_BITS: h->bits = Low16(value); return 1;
        case KAVF_INFO_FRAME_SIZE: h->frameSize = value; return 1;
        case KAVF_INFO_POSITION: h->position = value; return 1;
        case KAVF_INFO_DATA_POSITION: h->dataPosition = value; return 1;
        default: return 0;
    }
}
