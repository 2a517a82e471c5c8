// Opening a wave data file for export: the index, the flow wave and the
// checks that decide, before anything is written, whether EDF+ can hold it.
#include <cstdlib>

#include "export_internal.h"
#include "platform.h"

namespace wave_export {
namespace {

constexpr uint32_t kReadBufferBytes = 1u << 20;
constexpr uint32_t kMicrosecondsPerSecond = 1000000;
constexpr uint32_t kMaxChannels = 256;
constexpr uint32_t kRateTextElement = 1;  // item 0x80: the sampling rate as text
constexpr uint16_t kRecordTextsId = 0x80;
constexpr uint32_t kRecordGroup = 1;

bool IsFlowWave(uint16_t kind) { return kind >= KAVF_WAVE_EVENT && kind <= KAVF_WAVE_EVENT16; }
bool IsWaveDescription(uint16_t kind) {
    return kind == KAVF_WAVE_EXTRA_0205 || kind == KAVF_WAVE_EXTRA_0206;
}

uint32_t FrameBytes(const KavfWaveInfo& info) {
    const uint32_t c = info.channels;
    const bool wide = info.bits > 8 || info.type == KAVF_WAVE_EVENT16;
    const uint32_t samples = wide ? 2 * c : (c + 1) & ~1u;
    return info.type == KAVF_WAVE_PLAIN ? samples : 2 + samples;
}

// The first flow wave of the file: its group and id; 0 when none. A wave
// description met on the way is remembered for the reason.
uint32_t FindWave(KAVFHANDLE h, uint32_t groups, uint16_t* id, uint16_t* description) {
    KavfUnitTable table;
    for (uint32_t group = 1; group <= groups; ++group) {
        const uint32_t items = GetKavfUnitInfo(h, group, &table, KAVF_MAX_GROUPS);
        for (uint32_t i = 0; i < items; ++i) {
            if (IsFlowWave(table.kind[i])) {
                *id = table.id[i];
                return group;
            }
            if (IsWaveDescription(table.kind[i])) *description = table.kind[i];
        }
    }
    return 0;
}

// The rate the header's text gives, when the wave's interval agrees with it
// (the interval is 1,000,000 / rate, cut to whole microseconds).
uint32_t RateFromText(KAVFHANDLE h, uint32_t interval) {
    KavfTextElement texts[kRateTextElement + 1];
    if (GetKavfTextInfo(h, texts, kRecordGroup, kRecordTextsId, kRateTextElement + 1,
                        sizeof texts) <= kRateTextElement)
        return 0;
    const long rate = std::strtol(texts[kRateTextElement].text, nullptr, 10);
    if (rate <= 0 || static_cast<unsigned long>(rate) > kMicrosecondsPerSecond) return 0;
    return kMicrosecondsPerSecond / static_cast<uint32_t>(rate) == interval
               ? static_cast<uint32_t>(rate)
               : 0;
}

int32_t CheckLayout(KAVFHANDLE h, WaveSource* s, int32_t* detail) {
    const KavfWaveInfo& info = s->info;
    if (info.channels == 0) return *detail = kLayoutNoChannels, kExportLayout;
    if (info.channels > kMaxChannels) return *detail = kLayoutTooManyChannels, kExportLayout;
    if (info.interval == 0) return *detail = kLayoutNoInterval, kExportLayout;
    s->rate = kMicrosecondsPerSecond % info.interval == 0 ? kMicrosecondsPerSecond / info.interval
                                                          : RateFromText(h, info.interval);
    if (s->rate == 0) return *detail = kLayoutRateNotWhole, kExportLayout;
    return kExportDone;
}

// The frames the wave declares must lie inside the file.
bool FramesInsideFile(const char* path, uint64_t dataPosition, uint64_t dataBytes) {
    uint32_t error = 0;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, &error);
    if (file == nullptr) return false;
    const int64_t size = PlatFileSize(file);
    PlatFileClose(file);
    return size >= 0 && dataPosition + dataBytes <= static_cast<uint64_t>(size);
}

int32_t Describe(const char* path, KAVFHANDLE h, WaveSource* s, int32_t* detail) {
    const uint32_t groups = CheckKavfile(h, "KAVF", nullptr);
    if (groups == KAVF_CHECK_WRONG_MAGIC) return kExportNotWaveFile;
    if (groups == KAVF_CHECK_NO_ACCESS || groups == 0)
        return *detail = kDamageNoGroups, kExportDamaged;
    uint16_t id = 0, description = 0;
    const uint32_t group = FindWave(h, groups, &id, &description);
    if (group == 0 || !IsFlowWave(static_cast<uint16_t>(ReadKavfWaveInfo(h, group, id, &s->info))))
        return *detail = description, kExportNoFlowWave;
    const int32_t layout = CheckLayout(h, s, detail);
    if (layout != kExportDone) return layout;
    s->frameBytes = FrameBytes(s->info);
    s->eventWord = s->info.type != KAVF_WAVE_PLAIN;
    s->wide = s->info.bits > 8 || s->info.type == KAVF_WAVE_EVENT16;
    const uint64_t dataBytes = uint64_t{s->frameBytes} * s->info.frames;
    if (!FramesInsideFile(path, GetKavfInfo(h, KAVF_INFO_DATA_POSITION), dataBytes))
        return *detail = kDamageFramesBeyondFile, kExportDamaged;
    return kExportDone;
}

}  // namespace

int32_t OpenWaveSource(const char* path, WaveSource* s, int32_t* detail) {
    *detail = 0;
    const KAVFHANDLE h = OpenKavfile(path, KAVF_OPEN_READ, kReadBufferBytes);
    if (h == 0) {
        *detail = static_cast<int32_t>(OpenKavErrorCode());
        return kExportCannotOpen;
    }
    const int32_t outcome = Describe(path, h, s, detail);
    if (outcome != kExportDone) {
        CloseKavfile(h);
        return outcome;
    }
    s->handle = h;
    return kExportDone;
}

}  // namespace wave_export
