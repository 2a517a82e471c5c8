#include "psg/psg_repair.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform.h"

namespace {

constexpr int64_t kFixedHeaderBytes = 256;
constexpr int64_t kHeaderBytesOffset = 184;
constexpr int64_t kRecordCountOffset = 236;
constexpr int64_t kSignalCountOffset = 252;
constexpr int64_t kFieldBytes = 8;
constexpr int64_t kSignalCountBytes = 4;
// Per signal, the fields before the samples per record: label 16,
// transducer 80, dimension 8, physical and digital ranges 4 x 8,
// prefiltering 80.
constexpr int64_t kFieldsBeforeSamples = 216;
constexpr int64_t kMaxSignals = 4096;
constexpr char kVersion[] = "0       ";

// An EDF number field: blanks around an optional minus and digits. False for
// anything else.
bool ReadNumber(const uint8_t* field, int64_t width, int64_t* value) {
    int64_t at = 0;
    while (at < width && field[at] == ' ') ++at;
    const bool negative = at < width && field[at] == '-';
    if (negative) ++at;
    int64_t number = 0;
    int64_t digits = 0;
    for (; at < width && field[at] >= '0' && field[at] <= '9'; ++at, ++digits)
        number = number * 10 + (field[at] - '0');
    while (at < width && field[at] == ' ') ++at;
    if (digits == 0 || at != width) return false;
    *value = negative ? -number : number;
    return true;
}

struct EdfLayout {
    int64_t headerBytes;
    int64_t recordBytes;
    int64_t declared;
};

bool ReadAt(PlatFile file, int64_t offset, void* out, int64_t count) {
    return PlatFileSeek(file, offset) == offset &&
           PlatFileRead(file, out, static_cast<int32_t>(count)) == count;
}

// Header size, record size and declared count of an EDF file; false when it
// is not one (outcome kRepairNotThisKind) or its header is inconsistent
// (kRepairDamaged).
bool ReadLayout(PlatFile file, int64_t size, EdfLayout* layout, int32_t* outcome) {
    uint8_t fixed[kFixedHeaderBytes];
    *outcome = kRepairNotThisKind;
    if (size < kFixedHeaderBytes || !ReadAt(file, 0, fixed, kFixedHeaderBytes) ||
        std::memcmp(fixed, kVersion, kFieldBytes) != 0)
        return false;
    *outcome = kRepairDamaged;
    int64_t signals = 0;
    if (!ReadNumber(fixed + kHeaderBytesOffset, kFieldBytes, &layout->headerBytes) ||
        !ReadNumber(fixed + kRecordCountOffset, kFieldBytes, &layout->declared) ||
        !ReadNumber(fixed + kSignalCountOffset, kSignalCountBytes, &signals) || signals < 1 ||
        signals > kMaxSignals || layout->headerBytes != kFixedHeaderBytes * (signals + 1) ||
        size < layout->headerBytes)
        return false;
    std::vector<uint8_t> counts(static_cast<size_t>(signals * kFieldBytes));
    if (!ReadAt(file, kFixedHeaderBytes + signals * kFieldsBeforeSamples, counts.data(),
                signals * kFieldBytes))
        return false;
    layout->recordBytes = 0;
    for (int64_t s = 0; s < signals; ++s) {
        int64_t samples = 0;
        if (!ReadNumber(counts.data() + s * kFieldBytes, kFieldBytes, &samples) || samples < 1)
            return false;
        layout->recordBytes += 2 * samples;
    }
    return true;
}

// The count of whole records written into the header, the rest cut off.
int32_t WriteCount(PlatFile file, const EdfLayout& layout, int64_t size, RepairReport* report) {
    char field[kFieldBytes + 1];
    std::memset(field, ' ', kFieldBytes);
    const std::string digits = std::to_string(report->kept);
    std::memcpy(field, digits.data(), digits.size());
    if (PlatFileSeek(file, kRecordCountOffset) != kRecordCountOffset ||
        PlatFileWrite(file, field, kFieldBytes) != kFieldBytes)
        return SetRepairOutcome(report, kRepairWriteFailed);
    const int64_t end = layout.headerBytes + report->kept * layout.recordBytes;
    report->cutBytes = size - end;
    if (report->cutBytes > 0 && PlatFileSetSize(file, end) != 1)
        return SetRepairOutcome(report, kRepairWriteFailed);
    return kRepairDone;
}

}  // namespace

extern "C" int32_t RepairEdfFile(const char* path, RepairReport* report) {
    if (path == nullptr || report == nullptr) return kRepairCannotOpen;
    std::memset(report, 0, sizeof *report);
    report->declared = -1;
    if (RepairFileSize(path, report) < 0) return report->outcome;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READWRITE, nullptr);
    if (file == nullptr) return SetRepairOutcome(report, kRepairCannotOpen);
    const int64_t size = PlatFileSize(file);
    EdfLayout layout{};
    int32_t outcome = kRepairDone;
    if (ReadLayout(file, size, &layout, &outcome)) {
        report->declared = layout.declared;
        report->kept = (size - layout.headerBytes) / layout.recordBytes;
        const bool exact = layout.headerBytes + report->kept * layout.recordBytes == size;
        if (exact && layout.declared == report->kept)
            outcome = kRepairComplete;
        else if (report->kept == 0)
            outcome = kRepairNoWholeData;
        else
            outcome = WriteCount(file, layout, size, report);
    }
    PlatFileClose(file);
    return SetRepairOutcome(report, outcome);
}

extern "C" int32_t EdfFileIsWhole(const char* path) {
    if (path == nullptr) return 0;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, nullptr);
    if (file == nullptr) return 0;
    const int64_t size = PlatFileSize(file);
    EdfLayout layout{};
    int32_t outcome = kRepairDone;
    const bool whole = ReadLayout(file, size, &layout, &outcome) && layout.declared >= 0 &&
                       layout.headerBytes + layout.declared * layout.recordBytes == size;
    PlatFileClose(file);
    return whole ? 1 : 0;
}
