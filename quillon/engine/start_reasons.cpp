#include "start_reasons.h"

#include <cstdio>

#include "eeg_header.h"

namespace {

int32_t Written(int n, size_t size) {
    if (n < 0) return 0;
    return static_cast<size_t>(n) < size ? n : static_cast<int32_t>(size - 1);
}

}  // namespace

extern "C" int32_t FormatEegStartReason(const AppRecord* record, int32_t outcome, const char* path,
                                        char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (record == nullptr || path == nullptr) return 0;
    char reference[kPathSize + 8] = "";
    MakeEegReferencePath(path, reference, sizeof reference);
    const char* reason = record->RunErrorText[0] != '\0' ? record->RunErrorText : "unknown reason";
    int n = 0;
    switch (outcome) {
        case kEegStarted: n = std::snprintf(out, size, "the conversion started"); break;
        case kEegStartRunning: n = std::snprintf(out, size, "a conversion is still running"); break;
        case kEegStartNotEegType:
            n = std::snprintf(out, size, "the output type is not an EEG file");
            break;
        case kEegStartBadLayout:
            n = std::snprintf(out, size, "the source layout cannot be converted");
            break;
        case kEegStartPathTooLong:
            n = std::snprintf(out, size, "the output path \"%s\" is too long", path);
            break;
        case kEegStartOutputExists:
            n = std::snprintf(out, size, "the output file \"%s\" exists; it is never overwritten",
                              path);
            break;
        case kEegStartReferenceExists:
            n = std::snprintf(out, size, "the reference file \"%s\" of the output exists",
                              reference);
            break;
        case kEegStartNoMemory:
            n = std::snprintf(out, size, "not enough memory for a conversion step");
            break;
        case kEegStartCannotCreate:
            n = std::snprintf(out, size, "cannot create the output file \"%s\": %s", path, reason);
            break;
        case kEegStartNoVolume: n = std::snprintf(out, size, "the output volume is not ready"); break;
        case kEegStartSourceUnusable:
            n = std::snprintf(out, size, "the source cannot be converted");
            break;
        default: n = std::snprintf(out, size, "start outcome %d", outcome); break;
    }
    return Written(n, size);
}
