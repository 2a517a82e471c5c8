#include "psg_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "field_reader.h"
#include "ostrel.h"
#include "platform.h"
#include "psg_internal.h"

namespace {

constexpr int32_t kSection = 0;

int32_t Report(PsgStartResult* result, int32_t outcome) {
    if (result != nullptr) *result = PsgStartResult{outcome, 0, 0};
    return outcome;
}

// CreatePsgFile's failure: no handle.
uint32_t Refuse(PsgStartResult* result, int32_t outcome) {
    Report(result, outcome);
    return 0;
}

void FreeRunBuffers(AppRecord* record) {
    std::free(record->ReadBuffer);
    record->ReadBuffer = nullptr;
    std::free(record->SampleBlock);
    record->SampleBlock = nullptr;
    record->SampleBlockBytes = 0;
}

// Both buffers for the epoch shape, had before anything is created.
bool ReserveRunBuffers(AppRecord* record, uint64_t blockBytes) {
    FreeRunBuffers(record);
    record->ReadBuffer = std::calloc(kPsgReadBufferBytes, 1);
    record->SampleBlock = std::calloc(static_cast<size_t>(blockBytes), 1);
    if (record->ReadBuffer == nullptr || record->SampleBlock == nullptr) {
        FreeRunBuffers(record);
        return false;
    }
    record->SampleBlockBytes = static_cast<uint32_t>(blockBytes);
    return true;
}

int32_t CountRowsOn(const AppRecord* record, const MontagePattern& pattern) {
    int32_t count = 0;
    const int32_t rows =
        record->ChannelCount < kPatternRowCount ? record->ChannelCount : kPatternRowCount;
    for (int32_t c = 0; c < rows; ++c)
        if (psg::RowOn(pattern.PsgRows[c])) ++count;
    return count;
}

// The epoch buffer was sized for the channel count at the start; a count
// changed on the source page since then must not make the rows outgrow it.
bool BlockFitsLayout(const AppRecord* record) {
    if (record->ChannelCount < 1 || record->ChannelCount > kPatternRowCount) return false;
    const uint64_t bytes =
        uint64_t{record->FramesPerStep} * static_cast<uint32_t>(record->ChannelCount) * 2u +
        kPsgBlockSlackBytes;
    return bytes == record->SampleBlockBytes;
}

}  // namespace

namespace psg {

int64_t FirstDataOffset(const AppRecord* record) {
    const char* text = record->SourceText;
    const int32_t length = record->SourceTextLength;
    int32_t at = 0;
    if (text != nullptr) {
        for (int32_t line = 0; line < record->DataStartLine && at < length; ++line) {
            const int32_t start = at;
            while (at < length && at - start < kLineByteLimit && text[at] != '\r' &&
                   text[at] != '\n')
                ++at;
            if (at < length && at - start < kLineByteLimit) {
                ++at;  // the line end
                if (at < length && static_cast<uint8_t>(text[at]) < 0x20) ++at;
            }
        }
    }
    return record->SourceTextOffset + at;
}

}  // namespace psg

extern "C" uint32_t CreatePsgFile(AppRecord* record, PsgStartResult* result) {
    if (record == nullptr) return Refuse(result, kPsgStartNoSource);
    record->StepCount = 0;
    if (record->ConvertState == 0) return Refuse(result, kPsgStartNoTarget);
    const MontagePattern* pattern = CurrentPsgSlot(record);
    if (pattern != nullptr) record->EnabledChannels = CountRowsOn(record, *pattern);
    if (CheckPsgLayout(record, result) != kPsgStarted) return 0;

    const psg::EpochShape shape = psg::ShapeOf(record);
    record->StepIncrement = shape.stepIncrement;
    record->FramesPerStep = shape.framesPerStep;
    record->FrameBytes = shape.frameBytes;
    if (!ReserveRunBuffers(record, shape.blockBytes)) return Refuse(result, kPsgStartNoMemory);

    int32_t outcome = kPsgStartCannotCreate;
    const uint32_t handle = psg::WriteDefinitions(record, *pattern, &outcome);
    if (handle == 0) {
        FreeRunBuffers(record);
        return Refuse(result, outcome);
    }
    record->SourceOffset = psg::FirstDataOffset(record);
    Report(result, kPsgStarted);
    return handle;
}

extern "C" int32_t StartPsgConversion(AppRecord* record, PsgStartResult* result) {
    if (record == nullptr) return Report(result, kPsgStartNoSource);
    if (record->OutputFile != 0 || record->ConvertState == 2)
        return Report(result, kPsgStartRunning);
    const char* target = record->PsgTargetPath;
    // A path that fills the field without its terminator was cut.
    if (std::memchr(target, '\0', sizeof record->PsgTargetPath) == nullptr)
        return Report(result, kPsgStartCannotCreate);
    if (target[0] != '\0' && PlatFileExists(target)) return Report(result, kPsgStartTargetExists);
    PsgStartResult created;
    const uint32_t handle = CreatePsgFile(record, &created);
    if (result != nullptr) *result = created;
    if (handle == 0) return created.outcome;
    record->OutputFile = handle;
    record->ConvertState = 2;
    return kPsgStarted;
}

extern "C" int32_t PsgTimerTick(AppRecord* record) {
    if (record == nullptr || record->CopyFileType != 1) return 0;
    return ConvertPsgEpoch(record);
}

extern "C" int32_t ConvertPsgEpoch(AppRecord* record) {
    if (record == nullptr || record->ConvertState == 0 || record->OutputFile == 0 ||
        record->SampleBlock == nullptr)
        return 0;
    const MontagePattern* pattern = CurrentPsgSlot(record);
    if (pattern == nullptr || !BlockFitsLayout(record)) return 0;
    const uint32_t counted =
        record->OrgTimeResSw != 0
            ? ReadPsgRowsTimeResolution(record, record->FramesPerStep, record->SampleBlock,
                                        record->SampleBlockBytes)
            : ReadPsgRows(record, record->FramesPerStep, record->SampleBlock,
                          record->SampleBlockBytes);
    int32_t written = 0;
    if (counted > 0) {
        const int16_t* firstRow = static_cast<const int16_t*>(record->SampleBlock);
        const int32_t frames = static_cast<int32_t>(record->StepIncrement);
        const int32_t stride = static_cast<int32_t>(record->FrameBytes);
        int32_t k = 0;
        // Rows switched on since the start have no channel in the file.
        for (int32_t ch = 1; ch <= record->ChannelCount && k < record->EnabledChannels; ++ch) {
            if (!psg::RowOn(pattern->PsgRows[ch - 1])) continue;
            OstrelPutChannelSamples(record->OutputFile, kSection, frames, k, stride,
                                    firstRow + (ch - 1));
            ++k;
        }
        OstrelCommitFrames(record->OutputFile, frames);
        written = 1;
    }
    record->StepCount += record->StepIncrement;
    return written;
}

extern "C" uint32_t FinishPsgConversion(AppRecord* record) {
    if (record == nullptr) return 0;
    uint32_t flags = 0;
    const int64_t size = record->SourceFile != nullptr ? PlatFileSize(record->SourceFile) : -1;
    if (size >= 0 && record->SourceOffset < size) flags |= kPsgFinishSourceLeft;
    FreeRunBuffers(record);
    if (record->OutputFile != 0) {
        OstrelFinishRecording(record->OutputFile, kSection);
        OstrelCloseContents(record->OutputFile);
        record->OutputFile = OstrelRelease(record->OutputFile);
        flags |= kPsgFinishClosed;
    }
    record->ConvertState = 3;
    return flags;
}

extern "C" void ReleasePsgRun(AppRecord* record) {
    if (record == nullptr) return;
    if (record->OutputFile != 0) record->OutputFile = OstrelRelease(record->OutputFile);
    FreeRunBuffers(record);
}

extern "C" void FormatPsgFrameCounter(const AppRecord* record, char* out, size_t size) {
    if (out == nullptr || size == 0) return;
    if (record == nullptr) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, size, "%i / %i", static_cast<int32_t>(record->StepCount),
                  static_cast<int32_t>(record->StepTotal));
}
