#include "eeg/eeg_repair.h"

#include <cstdlib>
#include <cstring>

#include "eeg/eeg_header.h"
#include "kavf32.h"
#include "platform.h"

namespace {

constexpr uint32_t kRepairBufferBytes = 0x2000;
constexpr uint32_t kWaveItem = 0xA0;
constexpr int64_t kIndexBytes = 12;

struct WaveFacts {
    int64_t declared;
    uint32_t frameBytes;
    uint32_t dataPosition;
};

// The wave of an EEG file: false with the outcome when it is not one.
bool ReadWaveFacts(KAVFHANDLE handle, WaveFacts* facts, int32_t* outcome) {
    char typeName[40] = "";
    const uint32_t groups = CheckKavfile(handle, "KAVF", typeName);
    const uint32_t type = GetKavfileType(handle);
    if (groups == KAVF_CHECK_NO_ACCESS || groups == KAVF_CHECK_WRONG_MAGIC ||
        (type != KAVF_FILE_EEG32 && type != KAVF_FILE_EEG24)) {
        *outcome = kRepairNotThisKind;
        return false;
    }
    KavfWaveInfo info;
    if (ReadKavfWaveInfo(handle, kEegWaveGroup, kWaveItem, &info) == 0 ||
        GetKavfInfo(handle, KAVF_INFO_FRAME_SIZE) == 0) {
        *outcome = kRepairDamaged;
        return false;
    }
    facts->declared = info.frames;
    facts->frameBytes = GetKavfInfo(handle, KAVF_INFO_FRAME_SIZE);
    facts->dataPosition = GetKavfInfo(handle, KAVF_INFO_DATA_POSITION);
    return true;
}

// Size of the reference file: -1 when there is none.
int64_t ReferenceSize(const char* referencePath) {
    if (!PlatFileExists(referencePath)) return -1;
    PlatFile file = PlatFileOpen(referencePath, PLAT_OPEN_READ, nullptr);
    const int64_t size = file != nullptr ? PlatFileSize(file) : 0;
    PlatFileClose(file);
    return size;
}

// The reference file of a wave of frames frames: written into the empty one
// the run claimed, or created new when there is none.
bool WriteReferenceFor(const char* referencePath, int64_t frames) {
    AppRecord* record = static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord)));
    if (record == nullptr) return false;
    record->FramesDone = static_cast<uint32_t>(frames);
    KAVFHANDLE handle = 0;
    if (PlatFileExists(referencePath)) {
        handle = OpenKavfile(referencePath, KAVF_OPEN_READWRITE, kRepairBufferBytes);
        if (handle != 0 && WriteEegReference(record, handle) == 0) handle = CloseKavfile(handle);
    } else {
        handle = CreateEegReference(record, referencePath);
    }
    std::free(record);
    return handle != 0 && CloseKavfile(handle) == 0;
}

// Ends the wave at the whole frames present and cuts a partial one off.
int32_t EndWaveAt(KAVFHANDLE handle, const char* path, const WaveFacts& facts, int64_t size,
                  RepairReport* report) {
    const int64_t frames = (size - facts.dataPosition) / facts.frameBytes;
    const int64_t limit = EegWaveFrameLimit(facts.dataPosition, facts.frameBytes);
    report->kept = frames < limit ? frames : limit;
    if (report->kept == 0) return SetRepairOutcome(report, kRepairNoWholeData);
    SetKavfInfo(handle, KAVF_INFO_FRAMES, static_cast<uint32_t>(report->kept));
    if (SetKavfWaveEnd(handle) == 0) return SetRepairOutcome(report, kRepairWriteFailed);
    const int64_t end = facts.dataPosition + report->kept * facts.frameBytes;
    report->cutBytes = size - end;
    if (report->cutBytes > 0 && !CutFileTo(path, end))
        return SetRepairOutcome(report, kRepairWriteFailed);
    return kRepairDone;
}

}  // namespace

extern "C" int32_t RepairEegWave(const char* path, RepairReport* report) {
    if (path == nullptr || report == nullptr) return kRepairCannotOpen;
    std::memset(report, 0, sizeof *report);
    report->declared = -1;
    const int64_t size = RepairFileSize(path, report);
    if (size < 0) return report->outcome;
    if (size < kIndexBytes) return SetRepairOutcome(report, kRepairNotThisKind);
    char referencePath[kPathSize + 8];
    if (!MakeEegReferencePath(path, referencePath, sizeof referencePath))
        return SetRepairOutcome(report, kRepairCannotOpen);
    KAVFHANDLE handle = OpenKavfile(path, KAVF_OPEN_READWRITE, kRepairBufferBytes);
    if (handle == 0) return SetRepairOutcome(report, kRepairCannotOpen);
    WaveFacts facts{};
    int32_t outcome = kRepairDone;
    if (ReadWaveFacts(handle, &facts, &outcome)) {
        report->declared = facts.declared;
        report->kept = facts.declared;
        // The reference file is written last: with it the run ended.
        if (ReferenceSize(referencePath) > 0)
            outcome = kRepairComplete;
        else if (size < int64_t{facts.dataPosition})
            outcome = kRepairNoWholeData;
        else
            outcome = EndWaveAt(handle, path, facts, size, report);
    }
    CloseKavfile(handle);
    if (outcome == kRepairDone && !WriteReferenceFor(referencePath, report->kept))
        outcome = kRepairWriteFailed;
    return SetRepairOutcome(report, outcome);
}
