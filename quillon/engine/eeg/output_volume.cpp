#include "eeg/output_volume.h"

#include <cstdio>
#include <cstring>

#include "eeg/eeg_header.h"
#include "platform.h"

namespace {

const char kVolumeFileName[] = "4710.VOL";
const char kVolumeModel[] = "4710";
const char kDataFolder[] = "DAT";

bool EndsWithSeparator(const char* path) {
    size_t length = std::strlen(path);
    return length > 0 && (path[length - 1] == PlatPathSeparator() || path[length - 1] == '/');
}

// root joined with one or two names; false when it does not fit.
bool JoinUnderRoot(char* out, size_t size, const char* root, const char* first,
                   const char* second = nullptr) {
    const char separator[2] = {PlatPathSeparator(), '\0'};
    const char* glue = EndsWithSeparator(root) ? "" : separator;
    int n = second == nullptr
                ? std::snprintf(out, size, "%s%s%s", root, glue, first)
                : std::snprintf(out, size, "%s%s%s%s%s", root, glue, first, separator, second);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        if (size > 0) out[0] = '\0';
        return false;
    }
    return true;
}

// At most kDiskIdTypedLimit bytes, never half of a double-byte character.
size_t TypedDiskIdLength(const char* typed) {
    size_t kept = 0;
    while (typed[kept] != '\0') {
        bool pair = PlatIsLeadByte932(static_cast<uint8_t>(typed[kept])) && typed[kept + 1] != '\0';
        size_t step = pair ? 2 : 1;
        if (kept + step > static_cast<size_t>(kDiskIdTypedLimit)) break;
        kept += step;
    }
    return kept;
}

// A single-byte character of code page 932: ASCII or half-width katakana.
bool SingleByte932(uint8_t byte) { return byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF); }

bool TrailByte932(uint8_t byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

constexpr size_t kWaveNameLength = 12;  // "88nnnnnn.DAT"
constexpr size_t kWaveNumberDigits = 6;
constexpr char kWaveNamePrefix[] = "88";
constexpr size_t kWavePrefixLength = sizeof kWaveNamePrefix - 1;

// "88" and the six digits of a number 1..99999; the folder scan has matched
// the extension.
bool IsVolumeWaveName(const char* name) {
    if (std::strlen(name) != kWaveNameLength ||
        std::strncmp(name, kWaveNamePrefix, kWavePrefixLength) != 0)
        return false;
    int32_t number = 0;
    const size_t end = kWavePrefixLength + kWaveNumberDigits;
    for (size_t i = kWavePrefixLength; i < end; ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
        number = number * 10 + (name[i] - '0');
    }
    return number >= 1 && number <= kFileNumberLast && name[end] == '.';
}

// Counts name and keeps it among the first names in order.
void KeepInOrder(EegLeftoverList* list, const char* name) {
    const int32_t listed = list->count < kEegLeftoversListed ? list->count : kEegLeftoversListed;
    ++list->count;
    int32_t at = listed;
    while (at > 0 && std::strcmp(list->names[at - 1], name) > 0) --at;
    if (at >= kEegLeftoversListed) return;
    for (int32_t i = listed < kEegLeftoversListed ? listed : kEegLeftoversListed - 1; i > at; --i)
        std::memcpy(list->names[i], list->names[i - 1], kEegFileNameBytes);
    std::snprintf(list->names[at], kEegFileNameBytes, "%s", name);
}

struct LeftoverScan {
    const char* root;
    EegLeftoverList* list;
};

int VisitWave(const char* name, void* context) {
    const LeftoverScan* scan = static_cast<const LeftoverScan*>(context);
    char path[kPathSize];
    if (IsVolumeWaveName(name) && JoinUnderRoot(path, sizeof path, scan->root, kDataFolder, name) &&
        !EegReferenceIsWritten(path))
        KeepInOrder(scan->list, name);
    return 1;
}

}  // namespace

extern "C" int32_t ListEegLeftovers(const char* root, EegLeftoverList* list) {
    if (list == nullptr) return 0;
    std::memset(list, 0, sizeof *list);
    char folder[kPathSize];
    if (root == nullptr || !JoinUnderRoot(folder, sizeof folder, root, kDataFolder)) return 0;
    LeftoverScan scan{root, list};
    PlatForEachWithExtension(folder, "DAT", VisitWave, &scan);
    return list->count;
}

extern "C" int32_t MakeVolumeFilePath(const char* root, const char* name, char* out, size_t size) {
    if (root == nullptr || name == nullptr || out == nullptr || size == 0) return 0;
    return JoinUnderRoot(out, size, root, kDataFolder, name) ? 1 : 0;
}

extern "C" int32_t CheckDiskId(const char* bytes, int32_t* badByte) {
    if (badByte != nullptr) *badByte = -1;
    if (bytes == nullptr || bytes[0] == '\0') return kDiskIdNothing;
    const size_t length = std::strlen(bytes);
    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = static_cast<uint8_t>(bytes[i]);
        if (SingleByte932(byte)) continue;
        if (PlatIsLeadByte932(byte) && i + 1 < length &&
            TrailByte932(static_cast<uint8_t>(bytes[i + 1]))) {
            ++i;
            continue;
        }
        if (badByte != nullptr) *badByte = static_cast<int32_t>(i);
        return kDiskIdNotCp932;
    }
    return length > static_cast<size_t>(kDiskIdTypedLimit) ? kDiskIdTooLong : kDiskIdUsable;
}

extern "C" int32_t CheckOutputVolume(AppRecord* record, const char* root, char* volumeFile,
                                     size_t volumeFileSize) {
    if (volumeFile != nullptr && volumeFileSize > 0) volumeFile[0] = '\0';
    if (record == nullptr) return kVolumeRootUnusable;
    record->ConvertState = kConvertNotReady;
    if (root == nullptr || !PlatIsDirectory(root)) return kVolumeRootUnusable;
    char name[kPathSize];
    if (!PlatFindFirstWithExtension(root, "VOL", name, sizeof name)) return kVolumeMissing;
    if (volumeFile != nullptr && volumeFileSize > 0)
        std::snprintf(volumeFile, volumeFileSize, "%s", name);
    PatientInfo& info = record->PatientInfo;
    std::memset(info.VolumeModel, 0, sizeof info.VolumeModel);
    std::memcpy(info.VolumeModel, name, std::strlen(name) < 4 ? std::strlen(name) : 4);

    char path[kPathSize * 2];
    if (!JoinUnderRoot(path, sizeof path, root, name)) return kVolumeNoDiskId;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, nullptr);
    if (file == nullptr) return kVolumeNoDiskId;
    char bytes[kVolumeFileBytes];
    int32_t got = 0;
    while (got < kVolumeFileBytes) {
        int32_t n = PlatFileRead(file, bytes + got, kVolumeFileBytes - got);
        if (n <= 0) break;
        got += n;
    }
    PlatFileClose(file);
    if (got != kVolumeFileBytes) return kVolumeNoDiskId;
    std::memset(info.DiskId, 0, sizeof info.DiskId);
    std::memcpy(info.DiskId, bytes, sizeof info.DiskId - 1);
    record->ConvertState = kConvertReady;
    return kVolumeReady;
}

extern "C" int32_t CreateDiskId(AppRecord* record, const char* root, const char* typedId) {
    if (record == nullptr || root == nullptr) return kDiskIdVolumeFileFailed;
    const size_t length = typedId != nullptr ? TypedDiskIdLength(typedId) : 0;
    if (length == 0) return kDiskIdEmpty;
    char bytes[kVolumeFileBytes] = {};
    std::memcpy(bytes, typedId, length);

    char path[kPathSize * 2];
    if (!JoinUnderRoot(path, sizeof path, root, kVolumeFileName)) return kDiskIdVolumeFileFailed;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_CREATE | PLAT_OPEN_READWRITE, nullptr);
    if (file == nullptr) return kDiskIdVolumeFileFailed;
    bool written = PlatFileWrite(file, bytes, kVolumeFileBytes) == kVolumeFileBytes;
    PlatFileClose(file);
    if (!written) return kDiskIdVolumeFileFailed;

    PatientInfo& info = record->PatientInfo;
    std::memset(info.DiskId, 0, sizeof info.DiskId);
    std::memcpy(info.DiskId, bytes, length);
    std::memset(info.VolumeModel, 0, sizeof info.VolumeModel);
    std::memcpy(info.VolumeModel, kVolumeModel, sizeof kVolumeModel - 1);

    if (!JoinUnderRoot(path, sizeof path, root, kDataFolder) || !PlatCreateDirectory(path))
        return kDiskIdFolderFailed;
    record->ConvertState = kConvertReady;
    return kDiskIdCreated;
}

extern "C" void FormatEegFileName(int32_t fileNumber, char* out, size_t size) {
    if (out == nullptr || size == 0) return;
    std::snprintf(out, size, "88%06i", static_cast<int>(fileNumber));
}

extern "C" int32_t MakeAutomaticOutputPath(const char* root, int32_t fileNumber, char* out,
                                           size_t size) {
    if (root == nullptr || out == nullptr || size == 0) return 0;
    char name[32];
    FormatEegFileName(fileNumber, name, sizeof name);
    std::strcat(name, ".DAT");
    return JoinUnderRoot(out, size, root, kDataFolder, name) ? 1 : 0;
}

extern "C" int32_t NextEegFileNumber(int32_t fileNumber) {
    return fileNumber >= 1 && fileNumber < kFileNumberLast ? fileNumber + 1 : 1;
}

extern "C" int32_t EegReferenceIsWritten(const char* dataPath) {
    char reference[kPathSize + 8];
    if (dataPath == nullptr || !MakeEegReferencePath(dataPath, reference, sizeof reference))
        return 0;
    if (PlatIsDirectory(reference)) return 0;
    PlatFile file = PlatFileOpen(reference, PLAT_OPEN_READ, nullptr);
    if (file == nullptr) return 0;
    const int64_t size = PlatFileSize(file);
    PlatFileClose(file);
    return size > 0 ? 1 : 0;
}
