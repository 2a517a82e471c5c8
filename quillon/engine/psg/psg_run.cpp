#include "psg/psg_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "source/field_reader.h"
#include "source/source_lines.h"
#include "source/step_blocks.h"
#include "ostrel.h"
#include "store/output_files.h"
#include "platform.h"
#include "psg_internal.h"
#include "source/source_checks.h"

namespace {

constexpr int32_t kSection = 0;
constexpr int32_t kFramesItem = 4;          // ordinal 34: frames committed so far
constexpr int32_t kUnwrittenNotesItem = 5;  // ordinal 34: annotations no record took

int32_t Report(PsgStartResult* result, int32_t outcome) {
    if (result != nullptr) *result = PsgStartResult{outcome, 0, 0};
    return outcome;
}

// CreatePsgFile's failure: no handle.
uint32_t Refuse(PsgStartResult* result, int32_t outcome) {
    Report(result, outcome);
    return 0;
}

// Eight channels' columns take at most this much beside the epoch's rows.
constexpr uint64_t kMaxEightColumnBytes = uint64_t{2} << 20;

// The channels of an epoch as the file has them: the row's column of each.
struct EpochChannels {
    int32_t frameBytes;
    int32_t count;
    int32_t columns[kPatternRowCount];
    int16_t* eightColumns;  // room for psg::EightColumns of a whole epoch, or null
    uint32_t epochRows;     // an epoch's rows, frameBytes apart
};

EpochChannels& ChannelsOf(const AppRecord* record) {
    return *static_cast<EpochChannels*>(step_blocks::OutputExtra(step_blocks::OutputOf(record)));
}

// Channels k to k + 7 side by side in the rows, and room to turn them.
bool EightSideBySide(const EpochChannels& channels, int32_t k) {
    if (channels.eightColumns == nullptr || k + int32_t{psg::kEightChannels} > channels.count)
        return false;
    for (int32_t j = 1; j < int32_t{psg::kEightChannels}; ++j)
        if (channels.columns[k + j] != channels.columns[k] + j) return false;
    return true;
}

// Channels k to k + 7 to Ostrel from columns of their own: the same
// samples, read one after the other.
void PutEightChannels(const step_blocks::Output& epoch, const EpochChannels& channels, int32_t k) {
    const int16_t* firstRow = static_cast<const int16_t*>(epoch.block);
    psg::EightColumns(firstRow + channels.columns[k], static_cast<size_t>(channels.frameBytes) / 2,
                      channels.epochRows, channels.eightColumns);
    for (size_t j = 0; j < psg::kEightChannels; ++j)
        OstrelPutChannelSamples(epoch.file, kSection, static_cast<int32_t>(epoch.frames),
                                k + static_cast<int32_t>(j), sizeof(int16_t),
                                channels.eightColumns + j * channels.epochRows);
}

// An epoch's rows to Ostrel, a channel at a time, and committed. Ostrel's
// count moves only when the epoch reached the file.
bool CommitEpoch(step_blocks::Output* epoch) {
    const EpochChannels& channels =
        *static_cast<const EpochChannels*>(step_blocks::OutputExtra(epoch));
    const int16_t* firstRow = static_cast<const int16_t*>(epoch->block);
    const int32_t frames = static_cast<int32_t>(epoch->frames);
    for (int32_t k = 0; k < channels.count;) {
        if (EightSideBySide(channels, k)) {
            PutEightChannels(*epoch, channels, k);
            k += int32_t{psg::kEightChannels};
            continue;
        }
        OstrelPutChannelSamples(epoch->file, kSection, frames, k, channels.frameBytes,
                                firstRow + channels.columns[k]);
        ++k;
    }
    const int32_t before = OstrelCount(epoch->file, kSection, kFramesItem);
    OstrelCommitFrames(epoch->file, frames);
    return OstrelCount(epoch->file, kSection, kFramesItem) - before == frames;
}

// Rows switched on since the start have no channel in the file.
void TakeEpochChannels(AppRecord* record, const MontagePattern& pattern) {
    EpochChannels& channels = ChannelsOf(record);
    channels.frameBytes = static_cast<int32_t>(record->FrameBytes);
    channels.count = 0;
    for (int32_t ch = 1; ch <= record->ChannelCount && channels.count < record->EnabledChannels;
         ++ch)
        if (psg::RowOn(pattern.PsgRows[ch - 1])) channels.columns[channels.count++] = ch - 1;
}

void FreeRunBuffers(AppRecord* record) {
    std::free(record->ReadBuffer);
    record->ReadBuffer = nullptr;
    step_blocks::Release(record);
}

// An epoch's rows, frameBytes apart.
uint32_t EpochRows(const AppRecord* record, const psg::EpochShape& shape) {
    const uint64_t rowBytes = uint64_t{static_cast<uint32_t>(record->ChannelCount)} * 2u;
    return static_cast<uint32_t>(shape.framesPerStep * rowBytes / shape.frameBytes);
}

// Room for eight columns of an epoch, when the layout has eight channels
// and they are small enough; without it every channel goes from the rows.
uint32_t EightColumnBytes(const AppRecord* record, const psg::EpochShape& shape) {
    const uint64_t bytes = uint64_t{EpochRows(record, shape)} * psg::kEightChannels * 2u;
    if (record->ChannelCount < int32_t{psg::kEightChannels} || bytes > kMaxEightColumnBytes)
        return 0;
    return static_cast<uint32_t>(bytes);
}

constexpr uint32_t kColumnsOffset = (sizeof(EpochChannels) + 15u) / 16u * 16u;

// Both buffers for the epoch shape, had before anything is created; the
// columns beside the epoch's channels.
bool ReserveRunBuffers(AppRecord* record, const psg::EpochShape& shape) {
    FreeRunBuffers(record);
    record->ReadBuffer = std::calloc(kPsgReadBufferBytes, 1);
    const uint32_t columnBytes = EightColumnBytes(record, shape);
    const bool blocks =
        step_blocks::Reserve(record, shape.blockBytes, CommitEpoch,
                             step_blocks::kFramesDoneAtFinish, kColumnsOffset + columnBytes);
    if (record->ReadBuffer == nullptr || !blocks) {
        FreeRunBuffers(record);
        return false;
    }
    EpochChannels& channels = ChannelsOf(record);
    channels.epochRows = EpochRows(record, shape);
    channels.eightColumns =
        columnBytes == 0
            ? nullptr
            : reinterpret_cast<int16_t*>(reinterpret_cast<char*>(&channels) + kColumnsOffset);
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

uint32_t RunStatusFlags(const AppRecord* record) {
    uint32_t flags = 0;
    if (record->WaveWriteFailed) flags |= kPsgFinishWriteFailed;
    if (record->SourceReadFailed) flags |= kPsgFinishReadFailed;
    if (record->RunLayoutChanged) flags |= kPsgFinishLayoutChanged;
    if (record->RunInterrupted) flags |= kPsgFinishInterrupted;
    return flags;
}

// Ostrel says only that it could not make the file. A name taken since the
// existence check was another run's; otherwise creating the file here shows
// whether the system refuses it, and why (kept in RunErrorText).
int32_t ExplainCreateFailure(AppRecord* record, int32_t outcome) {
    if (outcome != kPsgStartRefused && outcome != kPsgStartCannotCreate) return outcome;
    const char* target = record->PsgTargetPath;
    if (target[0] == '\0') return outcome;
    if (PlatFileExists(target)) return kPsgStartTargetExists;
    const uint32_t error = ClaimNewFile(target, record->RunErrorText, sizeof record->RunErrorText);
    if (error == PLAT_ERR_FILEEXISTS) return kPsgStartTargetExists;
    if (error != PLAT_ERR_NONE) return kPsgStartCannotCreate;
    PlatDeleteFile(target);
    return outcome;
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

extern "C" uint32_t CreatePsgFile(AppRecord* record, PsgStartResult* result) {
    if (record == nullptr) return Refuse(result, kPsgStartNoSource);
    record->StepCount = 0;
    if (record->ConvertState == kConvertNotReady) return Refuse(result, kPsgStartNoTarget);
    const MontagePattern* pattern = CurrentPsgSlot(record);
    if (pattern != nullptr) record->EnabledChannels = CountRowsOn(record, *pattern);
    if (CheckPsgLayout(record, result) != kPsgStarted) return 0;
    if (CheckSourceForConversion(record, nullptr) != kSourceUsable)
        return Refuse(result, kPsgStartSourceUnusable);

    const psg::EpochShape shape = psg::ShapeOf(record);
    record->StepIncrement = shape.stepIncrement;
    record->FramesPerStep = shape.framesPerStep;
    record->FrameBytes = shape.frameBytes;
    if (!ReserveRunBuffers(record, shape)) return Refuse(result, kPsgStartNoMemory);

    int32_t outcome = kPsgStartCannotCreate;
    const uint32_t handle = psg::WriteDefinitions(record, *pattern, &outcome);
    if (handle == 0) {
        FreeRunBuffers(record);
        return Refuse(result, outcome);
    }
    StartSourceLines(record);
    Report(result, kPsgStarted);
    return handle;
}

extern "C" int32_t StartPsgConversion(AppRecord* record, PsgStartResult* result) {
    if (record == nullptr) return Report(result, kPsgStartNoSource);
    if (record->OutputFile != 0 || record->ConvertState == kConvertRunning)
        return Report(result, kPsgStartRunning);
    const char* target = record->PsgTargetPath;
    // A path that fills the field without its terminator was cut.
    if (std::memchr(target, '\0', sizeof record->PsgTargetPath) == nullptr)
        return Report(result, kPsgStartCannotCreate);
    if (target[0] != '\0' && PlatFileExists(target)) return Report(result, kPsgStartTargetExists);
    ClearRunOutcome(record);
    PsgStartResult created;
    const uint32_t handle = CreatePsgFile(record, &created);
    if (handle == 0) created.outcome = ExplainCreateFailure(record, created.outcome);
    if (result != nullptr) *result = created;
    if (handle == 0) return created.outcome;
    record->OutputFile = handle;
    record->ConvertState = kConvertRunning;
    record->RunOwner = kRunPsg;
    return kPsgStarted;
}

extern "C" int32_t PsgTimerTick(AppRecord* record) {
    if (record == nullptr || record->CopyFileType != kOutputPsg) return 0;
    return ConvertPsgEpoch(record);
}

extern "C" int32_t ConvertPsgEpoch(AppRecord* record) {
    if (record == nullptr || record->ConvertState == kConvertNotReady || record->OutputFile == 0 ||
        record->SampleBlock == nullptr)
        return 0;
    const MontagePattern* pattern = CurrentPsgSlot(record);
    if (pattern == nullptr || !BlockFitsLayout(record)) {
        record->RunLayoutChanged = 1;
        return 0;
    }
    void* const block = step_blocks::NextBlock(record);
    const uint32_t counted =
        record->OrgTimeResSw != 0
            ? ReadPsgRowsTimeResolution(record, record->FramesPerStep, block,
                                        record->SampleBlockBytes)
            : ReadPsgRows(record, record->FramesPerStep, block, record->SampleBlockBytes);
    int32_t written = 0;
    // The last epoch went to Ostrel while these rows were read. Its failure
    // ends the run: these rows are not committed.
    if (step_blocks::Await(record) && counted > 0) {
        TakeEpochChannels(record, *pattern);
        step_blocks::Post(record, 0, record->StepIncrement);
        written = 1;
    }
    record->StepCount += record->StepIncrement;
    return written;
}

extern "C" uint32_t FinishPsgConversion(AppRecord* record) {
    if (record == nullptr) return 0;
    step_blocks::Await(record);
    uint32_t flags = RunStatusFlags(record);
    const int64_t size = record->SourceFile != nullptr ? PlatFileSize(record->SourceFile) : -1;
    if (size >= 0 && record->SourceOffset < size) flags |= kPsgFinishSourceLeft;
    FreeRunBuffers(record);
    if (record->OutputFile != 0) {
        const int32_t frames = OstrelCount(record->OutputFile, kSection, kFramesItem);
        record->FramesDone = frames > 0 ? static_cast<uint32_t>(frames) : 0;
        OstrelFinishRecording(record->OutputFile, kSection);
        // Notes of non-data lines that no record had room for are said, not lost.
        const int32_t unwritten = OstrelCount(record->OutputFile, kSection, kUnwrittenNotesItem);
        if (unwritten > 0) record->Tally.UnnotedRuns += static_cast<uint64_t>(unwritten);
        OstrelCloseContents(record->OutputFile);
        record->OutputFile = OstrelRelease(record->OutputFile);
        flags |= kPsgFinishClosed;
        // A recording without a frame holds nothing of the source, and EDF
        // readers refuse one without data records.
        if (record->Tally.DataRows == 0 || frames <= 0) {
            PlatDeleteFile(record->PsgTargetPath);
            flags = (flags & ~uint32_t{kPsgFinishClosed}) | kPsgFinishRemoved;
        }
    }
    record->ConvertState = kConvertFinished;
    record->RunOwner = kRunNone;
    return flags;
}

extern "C" uint32_t InterruptPsgConversion(AppRecord* record) {
    if (record == nullptr || record->OutputFile == 0) return 0;
    record->RunInterrupted = 1;
    return FinishPsgConversion(record);
}

extern "C" void ReleasePsgRun(AppRecord* record) {
    if (record == nullptr) return;
    InterruptPsgConversion(record);
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
