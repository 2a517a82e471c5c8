#include "pages/eeg_page.h"

#include "ids/convert_ids.h"

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
    view->createButton = view->driveList && !volumeFound;
    view->typeLists = !running;
    view->statusStringId = StatusString(record);
}
