// Arbitrary bytes as a wave data file: validation, then every reader, line
// reader and the group listing, with caller buffers exactly as large as the
// capacities passed. Sanitizers report any access outside them.
#include <cstddef>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "kavf32.h"

namespace {

const std::string& ScratchPath() {
    static const std::string path = "/dev/shm/quillon-fuzz-" + std::to_string(getpid()) + ".DAT";
    return path;
}

bool WriteInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(ScratchPath().c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

constexpr uint32_t kWords = 300;
constexpr uint32_t kTextBudget = 200;

void ReadItem(KAVFHANDLE h, uint32_t group, uint32_t id) {
    FindKavfIndexPtr(h, group, id);
    GetKavfDataNumber(h, group, id);

    std::vector<KavfTextElement> elements(8);
    GetKavfTextInfo(h, elements.data(), group, id, 8, kTextBudget);
    // A string budget of B characters yields at most B - 1 characters, one
    // separator per text and the terminator.
    std::vector<char> text(kTextBudget + kTextBudget + 2);
    ReadKavfTextData(h, text.data(), group, id, 0, kTextBudget);

    std::vector<uint16_t> words(kWords);
    ReadKavfWordData(h, words.data(), group, id, kWords);
    std::vector<uint32_t> longs(kWords);
    ReadKavfLongData(h, longs.data(), group, id, kWords);
    ReadKavfLongDataEx(h, longs.data(), group, id, kWords);
    std::vector<uint8_t> image(kWords);
    ReadKavfImageData(h, image.data(), group, id, kWords);

    KavfWaveInfo info;
    if (ReadKavfWaveInfo(h, group, id, &info) != 0) {
        // Frames of the described size; keep the buffers bounded for huge claims.
        uint32_t frameSize = GetKavfInfo(h, KAVF_INFO_FRAME_SIZE);
        if (frameSize > 0 && frameSize <= 4096) {
            std::vector<uint8_t> frames(size_t{frameSize} * 4);
            ReadKavfFlowWave(h, KAVF_FLOW_CONVERT, 0, 4, frames.data());
            int64_t nearEnd = int64_t{info.frames} - 2;
            if (nearEnd > INT32_MAX) nearEnd = INT32_MAX;
            ReadKavfFlowWave(h, 0, static_cast<int32_t>(nearEnd), 4, frames.data());
        }
        if (info.channels <= 4096) {
            std::vector<int16_t> samples(info.channels ? info.channels : 1);
            uint16_t event;
            ReadKavfWaveData(h, group, id, 0, &event, samples.data());
            ReadKavfWaveData(h, group, id, info.frames ? info.frames - 1 : 0, &event,
                             samples.data());
        }
    }

    KavfSpectrumInfo spectrum;
    if (ReadKavfSpectrumInfo(h, group, id, &spectrum) != 0 && spectrum.records <= 64 &&
        spectrum.points <= 4096) {
        std::vector<uint8_t> line(KAVF_SPECTRUM_LINE_BYTES(spectrum.records));
        ReadKavfSpectrumLine(h, 0, reinterpret_cast<KavfSpectrumLine*>(line.data()));
        std::vector<uint32_t> values(spectrum.points ? spectrum.points : 1);
        ReadKavfSpectrumData(h, 0, 0, values.data());
    }
    KavfTrendInfo trend;
    if (ReadKavfTrendInfo(h, group, id, &trend) != 0 && trend.points <= 256) {
        KavfTrendLineHeader header;
        std::vector<KavfTrendChannel> channels(trend.points ? trend.points : 1);
        ReadKavfTrendLine(h, 0, &header, channels.data());
        std::vector<KavfTrendRecord> records(trend.points ? trend.points : 1);
        ReadKavfTrendData(h, 0, records.data());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteInput(data, size)) return 0;
    KAVFHANDLE h = OpenKavfile(ScratchPath().c_str(), KAVF_OPEN_READ, 1024);
    if (h == 0) return 0;
    char typeName[68];
    const char* magic = size >= 4 && data[3] == 'T' ? "KAVT" : "KAVF";
    uint32_t groups = CheckKavfile(h, magic, typeName);
    if (std::strlen(typeName) > KAVF_MAX_TYPE_NAME) std::abort();
    GetKavfileType(h);
    if (groups < KAVF_CHECK_WRONG_MAGIC) {
        for (uint32_t group = 0; group <= groups + 1 && group <= KAVF_MAX_GROUPS + 1; ++group) {
            KavfUnitTable table;
            uint32_t listed = GetKavfUnitInfo(h, group, &table, 64);
            if (listed > 64) std::abort();
            for (uint32_t i = 0; i < listed; ++i) ReadItem(h, group, table.id[i]);
            ReadItem(h, group, 0x80);
            ReadItem(h, group, 0xA0);
        }
        uint16_t header[16];
        std::vector<uint8_t> samples(4 * 4096 + 64);
        if (GetKavfInfo(h, KAVF_INFO_FRAMES) <= 4096) ReadKavfSweepWave(h, header, samples.data());
    }
    CloseKavfile(h);
    return 0;
}
