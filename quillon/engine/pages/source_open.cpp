#include "pages/source_open.h"

#include <cstring>

#include "platform.h"
#include "source/source_reader.h"

namespace {

int32_t ProblemOfOpenError(uint32_t error) {
    switch (error) {
        case PLAT_ERR_FILENOTFOUND: return kSourceNotFound;
        case PLAT_ERR_SHARINGVIOLATION: return kSourceLocked;
        case PLAT_ERR_ACCESSDENIED: return kSourceDenied;
        default: return kSourceUnreadable;
    }
}

}  // namespace

extern "C" int32_t SourceOpenProblemOf(const char* path) {
    if (path == nullptr || path[0] == '\0') return kSourcePathEmpty;
    if (std::strlen(path) >= sizeof(AppRecord::OrgFile)) return kSourcePathTooLong;
    if (PlatIsDirectory(path)) return kSourceIsFolder;
    uint32_t error = PLAT_ERR_NONE;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, &error);
    if (file == nullptr) return ProblemOfOpenError(error);
    PlatFileClose(file);
    return kSourceOpened;
}

extern "C" int32_t OpenSourceKeepingOld(AppRecord* record, const char* path, uint16_t* opened) {
    if (opened != nullptr) *opened = 0;
    if (record == nullptr) return kSourceUnreadable;
    const int32_t problem = SourceOpenProblemOf(path);
    if (problem != kSourceOpened) return problem;
    char previous[sizeof record->OrgFile];
    std::memcpy(previous, record->OrgFile, sizeof previous);
    previous[sizeof previous - 1] = '\0';
    const bool hadSource = record->SourceOpen != 0;
    const uint16_t result = OpenSourceFromPath(record, path);
    if (opened != nullptr) *opened = result;
    if (result != 0) return kSourceOpened;
    if (hadSource) OpenSourceFromPath(record, previous);
    return kSourceUnreadable;
}
