#include "eeg_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "eeg_header.h"
#include "kavf32.h"
#include "output_volume.h"
#include "platform.h"
#include "profile_io.h"
#include "value_tables.h"

namespace {

constexpr float kScaleNumerator = 409.6f;
constexpr uint32_t kBlockSlackBytes = 64;
constexpr uint32_t kBlockTailBytes = 256;

bool ChannelsUsable(int32_t channels) { return channels >= 1 && channels <= kEegMaxChannels; }
bool RateUsable(int32_t rate) { return rate >= 1 && rate <= kEegMaxSampleRate; }

void SetScaleValues(AppRecord* record) {
    MontagePattern* pattern = CurrentEegSlot(record);
    if (pattern == nullptr) return;
    int32_t rows = record->ChannelCount < 0 ? 0 : record->ChannelCount;
    if (rows > kPatternRowCount) rows = kPatternRowCount;
    for (int32_t row = 0; row < rows; ++row) {
        EegMontageRow& trace = pattern->EegRows[row];
        uint32_t sensitivity = trace.SENS == AccIndex ? pattern->ACCSens : trace.SENS;
        trace.ScaleNumerator = kScaleNumerator;
        trace.ScaleDenominator = SensitivityValues(sensitivity) * 5.0f;
    }
}

// Zero-filled step buffers for the layout, kept when they already fit.
bool ReserveStepBuffers(AppRecord* record) {
    if (record->ReadBuffer == nullptr) record->ReadBuffer = std::calloc(kReadBufferBytes, 1);
    else std::memset(record->ReadBuffer, 0, kReadBufferBytes);
    const uint64_t bytes = EegStepBlockBytes(record);
    if (record->SampleBlock != nullptr && record->SampleBlockBytes == bytes && bytes != 0) {
        std::memset(record->SampleBlock, 0, static_cast<size_t>(bytes));
    } else {
        std::free(record->SampleBlock);
        record->SampleBlock = bytes != 0 ? std::calloc(static_cast<size_t>(bytes), 1) : nullptr;
        record->SampleBlockBytes = record->SampleBlock != nullptr ? static_cast<uint32_t>(bytes) : 0;
    }
    return record->ReadBuffer != nullptr && record->SampleBlock != nullptr;
}

bool SourceLeftOver(const AppRecord* record) {
    int64_t size = record->SourceFile != nullptr ? PlatFileSize(record->SourceFile) : -1;
    return size < 0 || record->SourceOffset < size;
}

}  // namespace

extern "C" uint64_t EegStepBlockBytes(const AppRecord* record) {
    if (record == nullptr || !ChannelsUsable(record->ChannelCount) ||
        !RateUsable(record->SampleRate))
        return 0;
    const uint64_t frames = uint64_t{static_cast<uint32_t>(record->SampleRate)} * kStepSeconds;
    const uint64_t bytes = (uint64_t{static_cast<uint32_t>(record->ChannelCount)} + 1) * frames * 2 +
                           kBlockSlackBytes + kBlockTailBytes;
    return bytes <= kEegMaxStepBlockBytes ? bytes : 0;
}

extern "C" int32_t StartEegConversion(AppRecord* record, const char* path) {
    if (record == nullptr || path == nullptr) return kEegStartCannotCreate;
    if (record->ConvertState == 2 || record->OutputFile != 0) return kEegStartRunning;
    if (record->CopyFileType != 2 && record->CopyFileType != 3) return kEegStartNotEegType;
    if (EegStepBlockBytes(record) == 0 || CurrentEegSlot(record) == nullptr)
        return kEegStartBadLayout;
    char referencePath[kPathSize + 8];
    if (path[0] == '\0' || std::strlen(path) >= sizeof record->OutputPath ||
        !MakeEegReferencePath(path, referencePath, sizeof referencePath))
        return kEegStartPathTooLong;
    if (PlatFileExists(path)) return kEegStartOutputExists;
    if (PlatFileExists(referencePath)) return kEegStartReferenceExists;
    // Had before the file exists, so a refusal leaves nothing behind.
    if (record->SourceOpen != 0 && !ReserveStepBuffers(record)) return kEegStartNoMemory;

    record->FramesDone = 0;
    record->StepCount = 0;
    record->NextFrame = 0;
    record->WaveLimitReached = 0;
    record->WaveWriteFailed = 0;
    record->OutputFile = CreateEegOutput(record, path);
    if (record->OutputFile == 0) return kEegStartCannotCreate;
    record->ConvertState = 2;
    return kEegStarted;
}

extern "C" int32_t StartEegConversionOnVolume(AppRecord* record, const char* root, char* path,
                                              size_t pathSize) {
    if (path != nullptr && pathSize > 0) path[0] = '\0';
    if (record == nullptr || root == nullptr) return kEegStartNoVolume;
    if (record->ConvertState == 2 || record->OutputFile != 0) return kEegStartRunning;
    if (record->ConvertState == 0) return kEegStartNoVolume;
    char automatic[kPathSize];
    if (!MakeAutomaticOutputPath(root, record->EEGFileNo, automatic, sizeof automatic))
        return kEegStartPathTooLong;
    if (path != nullptr && pathSize > 0) std::snprintf(path, pathSize, "%s", automatic);
    return StartEegConversion(record, automatic);
}

extern "C" int32_t PrepareEegConversion(AppRecord* record) {
    if (record == nullptr) return 0;
    record->StepIncrement = 1;
    SetScaleValues(record);
    bool ready = true;
    if (record->SourceOpen != 0) {
        record->FramesPerStep = static_cast<uint32_t>(record->SampleRate) * record->StepIncrement *
                                kStepSeconds;
        ready = ReserveStepBuffers(record);
    } else {
        std::free(record->SampleBlock);
        record->SampleBlock = nullptr;
        record->SampleBlockBytes = 0;
        if (record->ReadBuffer == nullptr) record->ReadBuffer = std::calloc(kReadBufferBytes, 1);
        ready = record->ReadBuffer != nullptr;
    }
    // Past a UTF-8 byte order mark.
    record->SourceOffset = record->SourceTextOffset;
    record->FrameBytes = static_cast<uint32_t>(record->ChannelCount) * 2u + 2u;
    return ready ? 1 : 0;
}

extern "C" int32_t EegTimerTick(AppRecord* record) {
    if (record == nullptr) return 0;
    if (record->CopyFileType != 2 && record->CopyFileType != 3) return 0;
    return ConvertStep(record);
}

extern "C" int32_t ConvertStep(AppRecord* record) {
    if (record == nullptr || record->ConvertState == 0 || record->OutputFile == 0 ||
        record->SampleBlock == nullptr)
        return 0;
    uint32_t wanted = record->FramesPerStep;
    const uint32_t room =
        record->NextFrame < record->WaveFrameLimit ? record->WaveFrameLimit - record->NextFrame : 0;
    const bool cut = room < wanted;
    if (cut) wanted = room;
    const uint32_t lines = wanted > 0 ? ReadFrames(record, wanted, record->SampleBlock) : 0;
    int32_t result = 0;
    if (lines > 0) {
        int32_t written = WriteKavfFlowWave(record->OutputFile, KAVF_FLOW_CONVERT,
                                            static_cast<int32_t>(record->NextFrame),
                                            static_cast<int32_t>(lines), record->SampleBlock);
        if (written < 0)
            record->WaveWriteFailed = 1;  // ends the run: the wave stops before these frames
        else
            result = 1;
    }
    if (cut && lines == wanted && SourceLeftOver(record)) record->WaveLimitReached = 1;
    record->NextFrame += record->FramesPerStep;
    record->StepCount += record->StepIncrement;
    return result;
}

extern "C" uint32_t FinishEegConversion(AppRecord* record, const char* settingsPath) {
    if (record == nullptr) return 0;
    uint32_t flags = 0;
    char referencePath[kPathSize + 8];
    if (MakeEegReferencePath(record->OutputPath, referencePath, sizeof referencePath)) {
        KAVFHANDLE reference = CreateEegReference(record, referencePath);
        if (reference != 0 && CloseKavfile(reference) == 0) flags |= kEegFinishReferenceWritten;
    }
    std::free(record->SampleBlock);
    record->SampleBlock = nullptr;
    record->SampleBlockBytes = 0;
    if (record->OutputFile != 0) {
        bool ended = SetKavfWaveEnd(record->OutputFile) != 0;
        bool closed = CloseKavfile(record->OutputFile) == 0;
        if (ended && closed) flags |= kEegFinishWaveClosed;
        record->OutputFile = 0;
    }
    record->ConvertState = 3;
    record->EEGFileNo = NextEegFileNumber(record->EEGFileNo);
    if (settingsPath != nullptr) {
        profile_io::WriteInt("SYSTEM", "EEGFileNo", record->EEGFileNo, settingsPath);
        if (profile_io::ReadInt("SYSTEM", "EEGFileNo", 0, settingsPath) == record->EEGFileNo)
            flags |= kEegFinishFileNumberSaved;
    }
    if (record->WaveLimitReached) flags |= kEegFinishWaveFull;
    if (record->WaveWriteFailed) flags |= kEegFinishWriteFailed;
    return flags;
}

extern "C" void ReleaseEegRun(AppRecord* record) {
    if (record == nullptr) return;
    // An unfinished run keeps the frames it wrote readable; it gets no
    // reference file and no new file number.
    if (record->OutputFile != 0) {
        SetKavfWaveEnd(record->OutputFile);
        CloseKavfile(record->OutputFile);
    }
    record->OutputFile = 0;
    std::free(record->SampleBlock);
    record->SampleBlock = nullptr;
    record->SampleBlockBytes = 0;
    std::free(record->ReadBuffer);
    record->ReadBuffer = nullptr;
}
