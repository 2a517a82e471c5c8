// The work behind the PSG convert page's target choice and refresh; the
// page itself shows the dialog, strings and buttons.
#include <cstring>

#include "ids/convert_ids.h"
#include "psg/psg_run.h"

namespace {

constexpr int32_t kStringNoSource = IDS_NO_SOURCE;
constexpr int32_t kStringNoTarget = IDS_PSG_NO_TARGET;
constexpr int32_t kStringReady = IDS_CONVERT_READY;
constexpr int32_t kStringFinished = IDS_CONVERT_FINISHED;
constexpr int32_t kStringConverting = IDS_CONVERT_INFO;

}  // namespace

extern "C" int32_t SetPsgTarget(AppRecord* record, const char* path) {
    if (record == nullptr || path == nullptr || path[0] == '\0' || record->OutputFile != 0)
        return 0;
    const size_t length = std::strlen(path);
    if (length >= sizeof record->PsgTargetPath || length >= sizeof record->CopyFile) return 0;
    std::memcpy(record->CopyFile, path, length + 1);
    std::memcpy(record->PsgTargetPath, path, length + 1);
    record->ConvertState = kConvertReady;
    return 1;
}

extern "C" void DescribePsgConvertPage(const AppRecord* record, PsgPageView* view) {
    if (view == nullptr) return;
    *view = PsgPageView{0, -1, 1, 1};
    if (record == nullptr) return;
    if (record->SourceOpen == 0) {
        view->statusStringId = kStringNoSource;
        view->startButton = 0;
        return;
    }
    switch (record->ConvertState) {
        case kConvertNotReady: view->statusStringId = kStringNoTarget; break;
        case kConvertReady:
            view->statusStringId = kStringReady;
            view->startButton = 1;
            break;
        case kConvertRunning:
            view->statusStringId = kStringConverting;
            view->startButton = 0;
            view->selectButton = 0;
            view->fieldsEnabled = 0;
            break;
        case kConvertFinished:
            view->statusStringId = kStringFinished;
            view->startButton = 1;
            break;
        default: break;
    }
}
