#include "finished_outputs.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "eeg/eeg_header.h"
#include "platform.h"
#include "store/app_record.h"

namespace {

// The EDF header's fixed part and the fields read from it.
constexpr int32_t kEdfFixedBytes = 256;
constexpr int32_t kEdfHeaderBytesAt = 184;
constexpr int32_t kEdfRecordCountAt = 236;
constexpr int32_t kEdfSignalCountAt = 252;
constexpr int32_t kEdfNumberWidth = 8;
constexpr int32_t kEdfSignalCountWidth = 4;
constexpr int32_t kEdfSignalFieldBytes = 256;  // per signal, all its fields
constexpr int32_t kEdfSamplesFieldAt = 216;    // per signal: the fields before "samples"
constexpr int32_t kEdfSampleBytes = 2;
constexpr int64_t kEdfRecordsUnknown = -1;

int64_t SizeOf(const char* path) {
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, nullptr);
    if (file == nullptr) return -1;
    const int64_t size = PlatFileSize(file);
    PlatFileClose(file);
    return size;
}

bool ReadAt(PlatFile file, int64_t at, char* out, int32_t count) {
    if (PlatFileSeek(file, at) != at) return false;
    int32_t got = 0;
    while (got < count) {
        const int32_t n = PlatFileRead(file, out + got, count - got);
        if (n <= 0) return false;
        got += n;
    }
    return true;
}

// An ASCII number field, blanks after it.
bool FieldNumber(const char* field, int32_t width, int64_t* value) {
    int32_t end = width;
    while (end > 0 && field[end - 1] == ' ') --end;
    const auto result = std::from_chars(field, field + end, *value);
    return end > 0 && result.ec == std::errc() && result.ptr == field + end;
}

// The bytes of one data record: every signal's samples.
bool RecordBytes(PlatFile file, int64_t signals, int64_t* bytes) {
    std::vector<char> fields(static_cast<size_t>(signals * kEdfNumberWidth));
    if (!ReadAt(file, kEdfFixedBytes + signals * kEdfSamplesFieldAt, fields.data(),
                static_cast<int32_t>(fields.size())))
        return false;
    *bytes = 0;
    for (int64_t i = 0; i < signals; ++i) {
        int64_t samples;
        if (!FieldNumber(&fields[i * kEdfNumberWidth], kEdfNumberWidth, &samples) || samples < 0)
            return false;
        *bytes += samples * kEdfSampleBytes;
    }
    return true;
}

bool EdfWhole(PlatFile file) {
    char fixed[kEdfFixedBytes];
    int64_t headerBytes, records, signals, recordBytes;
    if (!ReadAt(file, 0, fixed, kEdfFixedBytes) ||
        !FieldNumber(fixed + kEdfHeaderBytesAt, kEdfNumberWidth, &headerBytes) ||
        !FieldNumber(fixed + kEdfRecordCountAt, kEdfNumberWidth, &records) ||
        !FieldNumber(fixed + kEdfSignalCountAt, kEdfSignalCountWidth, &signals))
        return false;
    if (records == kEdfRecordsUnknown || records < 0 || signals < 1 ||
        headerBytes != kEdfFixedBytes + signals * kEdfSignalFieldBytes ||
        !RecordBytes(file, signals, &recordBytes))
        return false;
    return PlatFileSize(file) == headerBytes + records * recordBytes;
}

}  // namespace

OutputState EegOutputState(const char* dataPath) {
    char reference[kPathSize + 8];
    if (!MakeEegReferencePath(dataPath, reference, sizeof reference)) return kOutputPartial;
    const bool data = PlatFileExists(dataPath) != 0;
    const bool referenced = PlatFileExists(reference) != 0;
    if (!data && !referenced) return kOutputMissing;
    return data && SizeOf(reference) > 0 ? kOutputFinished : kOutputPartial;
}

OutputState EdfOutputState(const char* path) {
    if (!PlatFileExists(path)) return kOutputMissing;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, nullptr);
    if (file == nullptr) return kOutputPartial;
    const bool whole = EdfWhole(file);
    PlatFileClose(file);
    return whole ? kOutputFinished : kOutputPartial;
}

bool RemovePartialOutput(const char* path, bool eeg) {
    if (PlatFileExists(path)) PlatDeleteFile(path);
    char reference[kPathSize + 8] = "";
    const bool named = eeg && MakeEegReferencePath(path, reference, sizeof reference);
    if (named && PlatFileExists(reference)) PlatDeleteFile(reference);
    return !PlatFileExists(path) && (!named || !PlatFileExists(reference));
}
