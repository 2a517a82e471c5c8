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

extern "C" int32_t FormatPsgStartReason(const PsgStartResult* result, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (result == nullptr) return 0;
    const int32_t channel = result->sourceChannel;
    const int32_t value = result->value;
    int n = 0;
    switch (result->outcome) {
        case kPsgStarted: n = std::snprintf(out, size, "the conversion started"); break;
        case kPsgStartRunning: n = std::snprintf(out, size, "a conversion is still running"); break;
        case kPsgStartTargetExists:
            n = std::snprintf(out, size, "the target file exists; it is never overwritten");
            break;
        case kPsgStartNoTarget: n = std::snprintf(out, size, "no target file was chosen"); break;
        case kPsgStartNoChannels:
            n = std::snprintf(out, size, "no source channel is switched on");
            break;
        case kPsgStartNoSource: n = std::snprintf(out, size, "no source file is open"); break;
        case kPsgStartBadPattern:
            n = std::snprintf(out, size, "PSG pattern %d does not exist", value + 1);
            break;
        case kPsgStartBadChannelCount:
            n = std::snprintf(out, size, "%d source channels: at most %d can be converted", value,
                              kPatternRowCount);
            break;
        case kPsgStartBadFieldMode:
            n = std::snprintf(out, size, "field delimiter %d is none of comma, blank and tab",
                              value);
            break;
        case kPsgStartBadValueKind:
            n = std::snprintf(out, size, "data type %d is neither A/D nor calibrated values",
                              value);
            break;
        case kPsgStartBadFrameTime:
            n = std::snprintf(out, size, "frame time %d s: it must be 1 to %d seconds", value,
                              kPsgMaxFrameTime);
            break;
        case kPsgStartBadSampleRate:
            n = std::snprintf(out, size, "sampling rate %d Hz: it must be 1 to %d Hz", value,
                              kPsgMaxSampleRate);
            break;
        case kPsgStartBadTimeResolutionRate:
            n = std::snprintf(out, size,
                              "sampling rate %d Hz: with the original time resolution (one line a "
                              "millisecond) it must divide 1000 Hz",
                              value);
            break;
        case kPsgStartBadChannelRate:
            n = std::snprintf(out, size, "channel %d: rate divisor %d gives a rate below 1 Hz",
                              channel, value);
            break;
        case kPsgStartUnevenChannelRate:
            n = std::snprintf(out, size,
                              "channel %d: rate divisor %d does not give a whole number of samples "
                              "per epoch",
                              channel, value);
            break;
        case kPsgStartZeroEu:
            n = std::snprintf(out, size,
                              "channel %d: CAL (EU) is 0, so calibrated values cannot be scaled",
                              channel);
            break;
        case kPsgStartZeroVu:
            n = std::snprintf(out, size,
                              "channel %d: AD (VU) is 0, so calibrated values would all be 0",
                              channel);
            break;
        case kPsgStartBadPhysicalRange:
            n = std::snprintf(out, size,
                              "channel %d: the physical range 32767 x CAL / AD is too large or too "
                              "fine for the file's header",
                              channel);
            break;
        case kPsgStartTooManySamples:
            n = std::snprintf(out, size, "the channels give more samples than one epoch can hold");
            break;
        case kPsgStartNoMemory:
            n = std::snprintf(out, size, "not enough memory for the conversion's buffers");
            break;
        case kPsgStartCannotCreate:
            n = std::snprintf(out, size, "the target file cannot be created");
            break;
        case kPsgStartNotReady:
            n = std::snprintf(out, size, "the PSG library could not prepare the file's header");
            break;
        case kPsgStartRefused:
            n = std::snprintf(out, size, "the PSG library refused the channel definitions");
            break;
        case kPsgStartSourceUnusable:
            n = std::snprintf(out, size, "the source cannot be converted");
            break;
        default: n = std::snprintf(out, size, "start outcome %d", result->outcome); break;
    }
    if (n < 0) return 0;
    return static_cast<size_t>(n) < size ? n : static_cast<int32_t>(size - 1);
}
