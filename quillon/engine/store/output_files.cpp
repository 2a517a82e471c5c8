#include "store/output_files.h"

#include "platform.h"

void KeepFailureReason(char* reason, size_t reasonSize) {
    if (reason != nullptr && reasonSize > 0) PlatLastErrorText(reason, reasonSize);
}

uint32_t ClaimNewFile(const char* path, char* reason, size_t reasonSize) {
    uint32_t error = PLAT_ERR_NONE;
    PlatFile file =
        PlatFileOpen(path, PLAT_OPEN_CREATE | PLAT_OPEN_CREATE_NEW | PLAT_OPEN_WRITE, &error);
    if (file == nullptr) {
        KeepFailureReason(reason, reasonSize);
        return error != PLAT_ERR_NONE ? error : uint32_t{PLAT_ERR_CANNOTOPEN};
    }
    PlatFileClose(file);
    return PLAT_ERR_NONE;
}

bool CutFileTo(const char* path, int64_t size) {
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READWRITE, nullptr);
    if (file == nullptr) return false;
    const bool cut = PlatFileSetSize(file, size) != 0;
    PlatFileClose(file);
    return cut;
}

int32_t SetRepairOutcome(RepairReport* report, int32_t outcome) {
    report->outcome = outcome;
    // The first failure's reason is kept: later calls may change the system's.
    if ((outcome == kRepairCannotOpen || outcome == kRepairWriteFailed) && report->reason[0] == 0)
        KeepFailureReason(report->reason, sizeof report->reason);
    return outcome;
}

int64_t RepairFileSize(const char* path, RepairReport* report) {
    // Read-write without create: a FIFO opens without waiting for a writer
    // and shows size 0, a folder is refused.
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READWRITE, nullptr);
    if (file == nullptr) {
        SetRepairOutcome(report, kRepairCannotOpen);
        return -1;
    }
    const int64_t size = PlatFileSize(file);
    PlatFileClose(file);
    return size;
}
