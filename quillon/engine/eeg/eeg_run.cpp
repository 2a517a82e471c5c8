#include "eeg/eeg_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "eeg/eeg_header.h"
#include "kavf32.h"
#include "store/output_files.h"
#include "eeg/output_volume.h"
#include "platform.h"
#include "store/profile_io.h"
#include "source/source_checks.h"
#include "source/source_lines.h"
#include "source/step_blocks.h"
#include "montage/value_tables.h"

namespace {

constexpr float kScaleNumerator = 409.6f;
constexpr uint32_t kBlockSlackBytes = 64;
constexpr uint32_t kBlockTailBytes = 256;

bool ChannelsUsable(int32_t channels) { return channels >= 1 && channels <= kEegMaxChannels; }
bool RateUsable(int32_t rate) { return rate >= 1 && rate <= kEegMaxSampleRate; }

// A step's frames to the library: the count on disk follows every step,
// so a run killed at any moment leaves a wave that opens with the steps
// written.
bool WriteStep(step_blocks::Output* step) {
    if (WriteKavfFlowWave(step->file, KAVF_FLOW_CONVERT, step->start,
                          static_cast<int32_t>(step->frames), step->block) < 0)
        return false;
    SetKavfWaveEnd(step->file);
    return true;
}

// Zero-filled step buffers for the layout, kept when they already fit.
bool ReserveStepBuffers(AppRecord* record) {
    if (record->ReadBuffer == nullptr)
        record->ReadBuffer = std::calloc(kReadBufferBytes, 1);
    else
        std::memset(record->ReadBuffer, 0, kReadBufferBytes);
    const bool blocks = step_blocks::Reserve(record, EegStepBlockBytes(record), WriteStep,
                                             step_blocks::kFramesDoneAsWritten, 0);
    return record->ReadBuffer != nullptr && blocks;
}

bool SourceLeftOver(const AppRecord* record) {
    int64_t size = record->SourceFile != nullptr ? PlatFileSize(record->SourceFile) : -1;
    return size < 0 || record->SourceOffset < size;
}

void FreeStepBlock(AppRecord* record) { step_blocks::Release(record); }

void ResetRunCounts(AppRecord* record) {
    record->FramesDone = 0;
    record->StepCount = 0;
    record->NextFrame = 0;
    record->WaveLimitReached = 0;
    ClearRunOutcome(record);
}

// Whether the name still leads to the file the run holds: a name taken
// over since the claim (a link put there) is never written through.
bool NamesHeldFile(const char* path, KAVFHANDLE handle) {
    return handle != 0 && PlatPathIsCallerFile(path, GetKavfileHandle(handle)) != 0;
}

// Closes a claimed file; removes it only while the name is still its own.
void GiveUpFile(uint32_t* handle, const char* path) {
    if (*handle == 0) return;
    const bool ours = NamesHeldFile(path, *handle);
    *handle = CloseKavfile(*handle);
    if (ours) PlatDeleteFile(path);
}

int32_t ClaimRefusal(AppRecord* record, int32_t taken) {
    KeepFailureReason(record->RunErrorText, sizeof record->RunErrorText);
    return OpenKavErrorCode() == PLAT_ERR_FILEEXISTS ? taken : kEegStartCannotCreate;
}

// The output (with its header) and its reference file, each created new and
// held for the run: the files written are the files created. On failure
// nothing of the run is left.
int32_t ClaimOutputs(AppRecord* record, const char* path, const char* referencePath) {
    record->OutputFile = CreateEegOutput(record, path);
    if (record->OutputFile == 0) return ClaimRefusal(record, kEegStartOutputExists);
    record->ReferenceFile = ClaimEegFile(referencePath);
    int32_t outcome = kEegStarted;
    if (record->ReferenceFile == 0)
        outcome = ClaimRefusal(record, kEegStartReferenceExists);
    else if (!NamesHeldFile(path, record->OutputFile))
        outcome = kEegStartOutputExists;
    else if (!NamesHeldFile(referencePath, record->ReferenceFile))
        outcome = kEegStartReferenceExists;
    if (outcome == kEegStarted) return outcome;
    GiveUpFile(&record->OutputFile, path);
    GiveUpFile(&record->ReferenceFile, referencePath);
    return outcome;
}

// The wave's end at the frames written, and the file cut back to it when a
// failed write left part of a step behind. A name taken over during the run
// fails it: what is there now is not this run's file.
uint32_t EndWave(AppRecord* record) {
    const bool ended = SetKavfWaveEnd(record->OutputFile) != 0;
    const bool named = NamesHeldFile(record->OutputPath, record->OutputFile);
    const bool closed = CloseKavfile(record->OutputFile) == 0;
    record->OutputFile = 0;
    if (!named) {
        record->WaveWriteFailed = 1;
        std::snprintf(record->RunErrorText, sizeof record->RunErrorText,
                      "its name now leads to another file");
        return 0;
    }
    bool whole = true;
    if (record->WaveWriteFailed)
        whole = CutFileTo(record->OutputPath, int64_t{record->WaveDataOffset} +
                                                  int64_t{record->FramesDone} * record->FrameBytes);
    return ended && closed && whole ? kEegFinishWaveClosed : 0;
}

// The reference file into the file claimed at the start; never left empty.
uint32_t WriteReference(AppRecord* record, const char* referencePath) {
    if (NamesHeldFile(referencePath, record->ReferenceFile) &&
        WriteEegReference(record, record->ReferenceFile) != 0) {
        record->ReferenceFile = CloseKavfile(record->ReferenceFile);
        if (record->ReferenceFile == 0) return kEegFinishReferenceWritten;
        KeepFailureReason(record->RunErrorText, sizeof record->RunErrorText);
    }
    GiveUpFile(&record->ReferenceFile, referencePath);
    return 0;
}

uint32_t AdvanceFileNumber(AppRecord* record, const char* settingsPath) {
    record->EEGFileNo = NextEegFileNumber(record->EEGFileNo);
    if (settingsPath == nullptr) return 0;
    profile_io::WriteInt("SYSTEM", "EEGFileNo", record->EEGFileNo, settingsPath);
    return profile_io::ReadInt("SYSTEM", "EEGFileNo", 0, settingsPath) == record->EEGFileNo
               ? kEegFinishFileNumberSaved
               : 0;
}

// A run that wrote no frame leaves nothing: a file of zero frames would
// open fine and hold nothing of the source.
void RemoveOutputs(AppRecord* record, const char* referencePath) {
    GiveUpFile(&record->OutputFile, record->OutputPath);
    GiveUpFile(&record->ReferenceFile, referencePath);
}

uint32_t RunStatusFlags(const AppRecord* record) {
    uint32_t flags = 0;
    if (record->WaveLimitReached) flags |= kEegFinishWaveFull;
    if (record->WaveWriteFailed) flags |= kEegFinishWriteFailed;
    if (record->SourceReadFailed) flags |= kEegFinishReadFailed;
    if (record->RunLayoutChanged) flags |= kEegFinishLayoutChanged;
    if (record->RunInterrupted) flags |= kEegFinishInterrupted;
    return flags;
}

}  // namespace

extern "C" void SetEegScaleValues(AppRecord* record) {
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

extern "C" uint64_t EegStepBlockBytes(const AppRecord* record) {
    if (record == nullptr || !ChannelsUsable(record->ChannelCount) ||
        !RateUsable(record->SampleRate))
        return 0;
    const uint64_t frames = uint64_t{static_cast<uint32_t>(record->SampleRate)} * kStepSeconds;
    const uint64_t bytes =
        (uint64_t{static_cast<uint32_t>(record->ChannelCount)} + 1) * frames * 2 +
        kBlockSlackBytes + kBlockTailBytes;
    return bytes <= kEegMaxStepBlockBytes ? bytes : 0;
}

extern "C" int32_t StartEegConversion(AppRecord* record, const char* path) {
    if (record == nullptr || path == nullptr) return kEegStartCannotCreate;
    if (record->ConvertState == kConvertRunning || record->OutputFile != 0) return kEegStartRunning;
    if (!IsEegOutput(record->CopyFileType)) return kEegStartNotEegType;
    if (EegStepBlockBytes(record) == 0 || CurrentEegSlot(record) == nullptr)
        return kEegStartBadLayout;
    char referencePath[kPathSize + 8];
    if (path[0] == '\0' || std::strlen(path) >= sizeof record->OutputPath ||
        !MakeEegReferencePath(path, referencePath, sizeof referencePath))
        return kEegStartPathTooLong;
    if (CheckSourceForConversion(record, nullptr) != kSourceUsable) return kEegStartSourceUnusable;
    if (PlatFileExists(path)) return kEegStartOutputExists;
    if (PlatFileExists(referencePath)) return kEegStartReferenceExists;
    // Had before the file exists, so a refusal leaves nothing behind.
    if (!ReserveStepBuffers(record)) return kEegStartNoMemory;

    ResetRunCounts(record);
    const int32_t claimed = ClaimOutputs(record, path, referencePath);
    if (claimed != kEegStarted) return claimed;
    PrepareEegConversion(record);
    record->WaveDataOffset = GetKavfInfo(record->OutputFile, KAVF_INFO_DATA_POSITION);
    record->ConvertState = kConvertRunning;
    record->RunOwner = kRunEeg;
    return kEegStarted;
}

extern "C" int32_t StartEegConversionOnVolume(AppRecord* record, const char* root, char* path,
                                              size_t pathSize) {
    if (path != nullptr && pathSize > 0) path[0] = '\0';
    if (record == nullptr || root == nullptr) return kEegStartNoVolume;
    if (record->ConvertState == kConvertRunning || record->OutputFile != 0) return kEegStartRunning;
    if (record->ConvertState == kConvertNotReady) return kEegStartNoVolume;
    char automatic[kPathSize];
    if (!MakeAutomaticOutputPath(root, record->EEGFileNo, automatic, sizeof automatic))
        return kEegStartPathTooLong;
    const int32_t number = FindFreeEegFileNumber(root, record->EEGFileNo);
    if (number == 0) return kEegStartOutputExists;
    record->EEGFileNo = number;
    MakeAutomaticOutputPath(root, number, automatic, sizeof automatic);
    if (path != nullptr && pathSize > 0) std::snprintf(path, pathSize, "%s", automatic);
    return StartEegConversion(record, automatic);
}

extern "C" int32_t FindFreeEegFileNumber(const char* root, int32_t from) {
    if (root == nullptr) return 0;
    int32_t number = from >= 1 && from <= kFileNumberLast ? from : NextEegFileNumber(from);
    char path[kPathSize];
    char reference[kPathSize + 8];
    for (int32_t tried = 0; tried < kFileNumberLast; ++tried) {
        if (!MakeAutomaticOutputPath(root, number, path, sizeof path) ||
            !MakeEegReferencePath(path, reference, sizeof reference))
            return 0;
        if (!PlatFileExists(path) && !PlatFileExists(reference)) return number;
        number = NextEegFileNumber(number);
    }
    return 0;
}

extern "C" int32_t PrepareEegConversion(AppRecord* record) {
    if (record == nullptr) return 0;
    record->StepIncrement = 1;
    SetEegScaleValues(record);
    bool ready = true;
    if (record->SourceOpen != 0) {
        record->FramesPerStep =
            static_cast<uint32_t>(record->SampleRate) * record->StepIncrement * kStepSeconds;
        ready = ReserveStepBuffers(record);
    } else {
        FreeStepBlock(record);
        if (record->ReadBuffer == nullptr) record->ReadBuffer = std::calloc(kReadBufferBytes, 1);
        ready = record->ReadBuffer != nullptr;
    }
    StartSourceLines(record);
    record->FrameBytes = static_cast<uint32_t>(record->ChannelCount) * 2u + 2u;
    return ready ? 1 : 0;
}

extern "C" int32_t EegTimerTick(AppRecord* record) {
    if (record == nullptr) return 0;
    if (!IsEegOutput(record->CopyFileType)) return 0;
    return ConvertStep(record);
}

extern "C" int32_t ConvertStep(AppRecord* record) {
    if (record == nullptr || record->ConvertState == kConvertNotReady || record->OutputFile == 0 ||
        record->SampleBlock == nullptr)
        return 0;
    // The block was made for the channels and rate of the start: a change on
    // the source page since then ends the run instead of outgrowing it.
    if (EegStepBlockBytes(record) != record->SampleBlockBytes ||
        record->FramesPerStep != static_cast<uint32_t>(record->SampleRate) * kStepSeconds) {
        record->RunLayoutChanged = 1;
        return 0;
    }
    uint32_t wanted = record->FramesPerStep;
    const uint32_t room =
        record->NextFrame < record->WaveFrameLimit ? record->WaveFrameLimit - record->NextFrame : 0;
    const bool cut = room < wanted;
    if (cut) wanted = room;
    void* const block = step_blocks::NextBlock(record);
    const uint32_t lines = wanted > 0 ? ReadFrames(record, wanted, block) : 0;
    int32_t result = 0;
    // The last step's write ran while these lines were read. Its failure
    // ends the run: the wave stops before its frames, and these are not written.
    if (!step_blocks::Await(record)) {
        record->FramesDone -= lines;
    } else if (lines > 0) {
        step_blocks::Post(record, static_cast<int32_t>(record->NextFrame), lines);
        result = 1;
    }
    if (cut && lines == wanted && SourceLeftOver(record)) record->WaveLimitReached = 1;
    record->NextFrame += record->FramesPerStep;
    record->StepCount += record->StepIncrement;
    return result;
}

extern "C" int32_t AwaitEegStepWrite(AppRecord* record) {
    return record != nullptr && step_blocks::Await(record) ? 1 : 0;
}

extern "C" uint32_t FinishEegConversion(AppRecord* record, const char* settingsPath) {
    if (record == nullptr) return 0;
    step_blocks::Await(record);
    uint32_t flags = RunStatusFlags(record);
    char referencePath[kPathSize + 8] = "";
    const bool named =
        MakeEegReferencePath(record->OutputPath, referencePath, sizeof referencePath);
    FreeStepBlock(record);
    if (record->OutputFile == 0) {
        // No run holds an output: there is nothing to end or remove.
    } else if (record->Tally.DataRows == 0 || record->FramesDone == 0) {
        RemoveOutputs(record, referencePath);
        flags |= kEegFinishRemoved;
    } else {
        flags |= EndWave(record);
        if (record->WaveWriteFailed) flags |= kEegFinishWriteFailed;
        if (named) flags |= WriteReference(record, referencePath);
        flags |= AdvanceFileNumber(record, settingsPath);
    }
    if (record->ReferenceFile != 0) record->ReferenceFile = CloseKavfile(record->ReferenceFile);
    record->ConvertState = kConvertFinished;
    record->RunOwner = kRunNone;
    return flags;
}

extern "C" uint32_t InterruptEegConversion(AppRecord* record, const char* settingsPath) {
    if (record == nullptr || record->OutputFile == 0) return 0;
    record->RunInterrupted = 1;
    return FinishEegConversion(record, settingsPath);
}

extern "C" void ReleaseEegRun(AppRecord* record, const char* settingsPath) {
    if (record == nullptr) return;
    InterruptEegConversion(record, settingsPath);
    FreeStepBlock(record);
    std::free(record->ReadBuffer);
    record->ReadBuffer = nullptr;
}
