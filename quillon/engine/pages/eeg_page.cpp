#include "pages/eeg_page.h"

#include <cstdio>
#include <cstring>

#include "eeg/eeg_run.h"
#include "ids/convert_ids.h"
#include "store/output_files.h"

namespace {

constexpr int32_t kStringNoSource = IDS_NO_SOURCE;
constexpr int32_t kStringReady = IDS_CONVERT_READY;
constexpr int32_t kStringFinished = IDS_CONVERT_FINISHED;
constexpr int32_t kStringConverting = IDS_CONVERT_INFO;
constexpr int32_t kStringNoVolume = IDS_EEG_NO_VOLUME;

int32_t StatusString(const AppRecord* record) {
    if (record->SourceOpen == 0) return kStringNoSource;
    switch (record->ConvertState) {
        case kConvertReady: return kStringReady;
        case kConvertRunning: return kStringConverting;
        case kConvertFinished: return kStringFinished;
        default: return kStringNoVolume;
    }
}

// A volume a run on the automatic path can use: ready, or one a run has
// just ended on.
bool OnUsableVolume(const AppRecord* record) {
    return record->CopyPrivateFile == 0 &&
           (record->ConvertState == kConvertReady || record->ConvertState == kConvertFinished);
}

void Append(char* out, size_t size, size_t* length, const char* text, size_t count) {
    const size_t room = size - 1 - *length;
    const size_t n = count < room ? count : room;
    std::memcpy(out + *length, text, n);
    *length += n;
}

}  // namespace

extern "C" const char* DriveKindSuffix(int32_t kind) {
    switch (kind) {
        case kDriveHardDisk: return " HD";
        case kDriveRemote: return " Remote";
        case kDriveRamDisk: return " RamDisk";
        case kDriveMo5Inch: return " MO 5inch";
        case kDriveMo35Inch: return " MO 3.5inch";
        default: return nullptr;
    }
}

extern "C" void DescribeEegConvertPage(const AppRecord* record, bool volumeFound,
                                       EegPageView* view) {
    if (view == nullptr) return;
    *view = EegPageView{kStringNoSource, false, false, false, false, true, false};
    if (record == nullptr) return;
    const bool named = record->CopyPrivateFile != 0;
    const bool running = record->ConvertState == kConvertRunning;
    view->startButton = named || volumeFound;
    view->askForDiskId = !named && !volumeFound;
    if (record->SourceOpen == 0 || running) view->startButton = false;
    // Automatic naming needs the drive controls; a run must not lose its
    // output to another drive, Disk ID or output kind.
    view->driveList = !named && !running;
    view->diskIdField = view->driveList;
    // Whenever the output is automatic: a volume that has a Disk ID may get
    // a new one, after the user confirms.
    view->createButton = view->driveList;
    view->typeLists = !running;
    view->statusStringId = StatusString(record);
}

extern "C" int32_t EegRunFileNumber(const AppRecord* record, const char* root) {
    if (record == nullptr) return 0;
    if (root == nullptr || !OnUsableVolume(record)) return record->EEGFileNo;
    const int32_t number = FindFreeEegFileNumber(root, record->EEGFileNo);
    return number != 0 ? number : record->EEGFileNo;
}

extern "C" void DescribeEegLeftovers(const AppRecord* record, const EegLeftoverList* list,
                                     const char* offered, EegLeftoverView* view) {
    if (view == nullptr) return;
    *view = EegLeftoverView{};
    if (record == nullptr || list == nullptr || list->count <= 0 || !OnUsableVolume(record)) return;
    std::snprintf(view->file, sizeof view->file, "%s", list->names[0]);
    view->others = list->count - 1;
    view->noticeStringId = view->others > 0 ? IDS_EEG_LEFTOVERS : IDS_EEG_LEFTOVER;
    view->offerRepair = offered == nullptr || std::strcmp(offered, view->file) != 0;
}

extern "C" int32_t EegRepairStringId(int32_t outcome) {
    switch (outcome) {
        case kRepairDone: return IDS_REPAIR_DONE;
        case kRepairComplete: return IDS_REPAIR_COMPLETE;
        case kRepairNoWholeData: return IDS_REPAIR_NO_WHOLE_DATA;
        case kRepairNotThisKind:
        case kRepairDamaged: return IDS_REPAIR_NOT_EEG;
        default: return IDS_REPAIR_FAILED;
    }
}

extern "C" int32_t FormatLeftoverText(const char* pattern, const char* file, int64_t number,
                                      const char* reason, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    size_t length = 0;
    char digits[24];
    std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(number));
    for (const char* p = pattern != nullptr ? pattern : ""; *p != '\0'; ++p) {
        const char* value = nullptr;
        if (p[0] == '%' && p[1] == 'f') value = file;
        if (p[0] == '%' && p[1] == '1') value = digits;
        if (p[0] == '%' && p[1] == 'e') value = reason;
        if (p[0] == '%' && (p[1] == 'f' || p[1] == '1' || p[1] == 'e')) {
            if (value != nullptr) Append(out, size, &length, value, std::strlen(value));
            ++p;
        } else {
            Append(out, size, &length, p, 1);
        }
    }
    out[length] = '\0';
    return static_cast<int32_t>(length);
}

extern "C" int32_t DiskIdRefusalStringId(const char* typed) {
    switch (CheckDiskId(typed, nullptr)) {
        case kDiskIdTooLong: return IDS_DISK_ID_TOO_LONG;
        case kDiskIdNotCp932: return IDS_DISK_ID_NOT_CP932;
        default: return 0;
    }
}

extern "C" bool DiskIdRenewalAsks(const AppRecord* record, bool volumeFound) {
    return record != nullptr && record->CopyPrivateFile == 0 && volumeFound;
}
