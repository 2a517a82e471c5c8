// The export's entry points: one file, its default output name, and what a
// restartable run finds at an output path.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "export_internal.h"
#include "platform.h"

namespace {

constexpr size_t kEdfMainHeaderBytes = 256;
constexpr size_t kEdfSignalHeaderBytes = 256;
constexpr size_t kHeaderBytesAt = 184;
constexpr size_t kRecordCountAt = 236;
constexpr size_t kSignalCountAt = 252;
constexpr size_t kSamplesFieldOffset = 216;  // per signal: 16+80+8+8+8+8+8+80 bytes before
constexpr int64_t kMaxSignals = 4096;

// A blank-padded number field; false when it holds no number.
bool Number(const std::string& header, size_t at, size_t width, int64_t* value) {
    const std::string field = header.substr(at, width);
    char* end = nullptr;
    *value = std::strtoll(field.c_str(), &end, 10);
    if (end == field.c_str()) return false;
    while (*end == ' ') ++end;
    return *end == '\0';
}

bool ReadAt(PlatFile file, int64_t offset, std::string* out, size_t count) {
    out->assign(count, '\0');
    return PlatFileSeek(file, offset) == offset &&
           PlatFileRead(file, &(*out)[0], static_cast<int32_t>(count)) ==
               static_cast<int32_t>(count);
}

// Bytes of one data record from the signal headers; 0 when unreadable.
int64_t RecordBytes(PlatFile file, int64_t signals) {
    std::string field;
    int64_t bytes = 0;
    for (int64_t s = 0; s < signals; ++s) {
        const int64_t at = static_cast<int64_t>(kEdfMainHeaderBytes) +
                           signals * static_cast<int64_t>(kSamplesFieldOffset) + 8 * s;
        int64_t samples = 0;
        if (!ReadAt(file, at, &field, 8) || !Number(field, 0, 8, &samples) || samples < 0) return 0;
        bytes += 2 * samples;
    }
    return bytes;
}

int32_t StateOf(PlatFile file) {
    std::string header;
    int64_t headerBytes = 0, records = 0, signals = 0;
    if (!ReadAt(file, 0, &header, kEdfMainHeaderBytes) || header.compare(0, 8, "0       ") != 0 ||
        !Number(header, kHeaderBytesAt, 8, &headerBytes) ||
        !Number(header, kRecordCountAt, 8, &records) ||
        !Number(header, kSignalCountAt, 4, &signals) || signals < 1 || signals > kMaxSignals ||
        headerBytes != static_cast<int64_t>(kEdfSignalHeaderBytes) * (signals + 1))
        return kEdfForeign;
    const int64_t recordBytes = RecordBytes(file, signals);
    if (recordBytes <= 0) return kEdfForeign;
    if (records < 0) return kEdfPartial;
    return PlatFileSize(file) == headerBytes + records * recordBytes ? kEdfComplete : kEdfPartial;
}

}  // namespace

extern "C" int32_t ExportWaveFile(const char* wavePath, const char* edfPath,
                                  ExportSummary* summary) {
    std::memset(summary, 0, sizeof *summary);
    if (PlatFileExists(edfPath)) return summary->outcome = kExportOutputExists;
    try {
        wave_export::WaveSource source;
        summary->outcome = wave_export::OpenWaveSource(wavePath, &source, &summary->detail);
        if (summary->outcome != kExportDone) return summary->outcome;
        wave_export::ReadWaveItems(wavePath, &source);
        summary->channels = source.info.channels;
        summary->sampleRate = source.rate;
        for (const wave_export::ChannelScale& c : source.channels)
            summary->unscaledChannels += c.unscaled ? 1 : 0;
        summary->outcome = wave_export::WriteEdf(&source, edfPath, summary);
        if (summary->outcome == kExportDone) summary->frames = source.info.frames;
        CloseKavfile(source.handle);
    } catch (const std::bad_alloc&) {
        summary->outcome = kExportNoMemory;
    }
    return summary->outcome;
}

extern "C" int32_t MakeEdfPath(const char* wavePath, char* out, size_t size) {
    if (wavePath == nullptr || out == nullptr || size == 0) return 0;
    const size_t length = std::strlen(wavePath);
    size_t nameStart = 0;
    for (size_t i = 0; i < length; ++i)
        if (wavePath[i] == '/' || wavePath[i] == PlatPathSeparator()) nameStart = i + 1;
    size_t stem = length;
    for (size_t i = length; i > nameStart + 1; --i)
        if (wavePath[i - 1] == '.') {
            stem = i - 1;
            break;
        }
    const int n = std::snprintf(out, size, "%.*s.edf", static_cast<int>(stem), wavePath);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

extern "C" int32_t ExportedEdfState(const char* path) {
    if (!PlatFileExists(path)) return kEdfAbsent;
    uint32_t error = 0;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, &error);
    if (file == nullptr) return kEdfForeign;
    const int32_t state = StateOf(file);
    PlatFileClose(file);
    return state;
}
