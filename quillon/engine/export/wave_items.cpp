// The header items an export carries over: the montage items' labels and
// scales, the recording and patient texts, the record start and the .REF
// beside the file.
#include <cmath>
#include <cstring>
#include <numeric>

#include "eeg/eeg_header.h"
#include "export_internal.h"
#include "montage/value_tables.h"

namespace wave_export {
namespace {

constexpr uint32_t kRecordGroup = 1;
constexpr uint32_t kStartGroup = 2;
constexpr uint16_t kRecordTextsId = 0x80;
constexpr uint16_t kRecordStartId = 0x86;
constexpr uint16_t kCalibrationId = 0x8B;
constexpr uint16_t kAmplifierId = 0x8D;
constexpr uint16_t kLabelsId = 0x8E;
constexpr uint16_t kReferenceCodesId = 0xD2;
constexpr uint16_t kReferenceFramesId = 0xD3;
constexpr uint32_t kReferenceEntries = 400;
constexpr uint32_t kCalibrationWords = 4;
constexpr uint32_t kAmplifierWords = 6;
constexpr uint16_t kAmplifierSignal = 1;  // amplifier entry kind of a signal row
constexpr uint16_t kFollowPattern = 20;   // a row's index that takes the pattern-wide one
constexpr int16_t kMicrovoltExponent = -6;
constexpr int16_t kMillivoltExponent = -3;
// A sensitivity of s uV gives s x 50 / 4096 uV per count; s is taken in
// thousandths so that table values like 3.333 stay whole.
constexpr int64_t kSensitivityFactor = 50;
constexpr int64_t kCountsPerSensitivity = 4096 * 1000;
constexpr int32_t kMaxTexts = 64;
constexpr size_t kRecordStartWords = 6;  // year, month from 0, day, hour, minute, second
constexpr size_t kPathSize = 4096;

std::vector<std::string> Texts(KAVFHANDLE h, uint32_t group, uint16_t id) {
    std::vector<KavfTextElement> elements(kMaxTexts);
    const uint32_t count = GetKavfTextInfo(h, elements.data(), group, id, kMaxTexts,
                                           kMaxTexts * sizeof(KavfTextElement));
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < count; ++i)
        texts.emplace_back(elements[i].text, strnlen(elements[i].text, sizeof elements[i].text));
    return texts;
}

std::vector<uint16_t> Words(KAVFHANDLE h, uint32_t group, uint16_t id) {
    const uint32_t count = GetKavfDataNumber(h, group, id);
    std::vector<uint16_t> words(count + 1);
    words.resize(ReadKavfWordData(h, words.data(), group, id, count));
    return words;
}

// The first group holding the montage's trace labels, 0 when none does.
uint32_t MontageGroup(KAVFHANDLE h) {
    for (uint32_t group = 1; group <= KAVF_MAX_GROUPS; ++group)
        if (FindKavfIndexPtr(h, group, kLabelsId) != 0) return group;
    return 0;
}

void SetScale(ChannelScale* scale, int64_t eu, int64_t vu, const char* unit) {
    const int64_t divisor = std::gcd(eu, vu);
    scale->eu = static_cast<int32_t>(eu / divisor);
    scale->vu = static_cast<int32_t>(vu / divisor);
    scale->unit = unit;
    scale->unscaled = false;
}

// A signal row's sensitivity gives the exact scale its calibration entry
// rounds; other rows take the entry itself: amount / sample value in the
// entry's unit.
void ScaleChannel(const uint16_t* calibration, const uint16_t* amplifier, uint16_t patternSens,
                  ChannelScale* scale) {
    const int16_t exponent = static_cast<int16_t>(calibration[3]);
    if (amplifier != nullptr && amplifier[0] == kAmplifierSignal &&
        exponent == kMicrovoltExponent) {
        const uint16_t index = amplifier[2] >= kFollowPattern ? patternSens : amplifier[2];
        const int64_t thousandths = std::llround(SensitivityValues(index) * 1000.0);
        if (thousandths > 0) {
            SetScale(scale, thousandths * kSensitivityFactor, kCountsPerSensitivity, "uV");
            return;
        }
    }
    const int16_t amount = static_cast<int16_t>(calibration[0]);
    const int16_t sample = static_cast<int16_t>(calibration[1]);
    if (amount == 0 || sample == 0) return;
    const int64_t sign = (amount < 0) != (sample < 0) ? -1 : 1;
    if (exponent == kMicrovoltExponent)
        SetScale(scale, sign * std::abs(amount), std::abs(sample), "uV");
    else if (exponent == kMillivoltExponent)
        SetScale(scale, sign * std::abs(amount), std::abs(sample), "mV");
}

void ReadChannels(KAVFHANDLE h, WaveSource* s) {
    s->channels.assign(s->info.channels, ChannelScale{});
    const uint32_t group = MontageGroup(h);
    if (group == 0) return;
    const std::vector<std::string> labels = Texts(h, group, kLabelsId);
    const std::vector<uint16_t> calibration = Words(h, group, kCalibrationId);
    const std::vector<uint16_t> amplifier = Words(h, group, kAmplifierId);
    const uint16_t patternSens =
        amplifier.size() >= kAmplifierWords ? amplifier[2] : kFollowPattern;
    for (size_t c = 0; c < s->channels.size(); ++c) {
        ChannelScale& scale = s->channels[c];
        if (c < labels.size()) scale.label = labels[c];
        const size_t at = kCalibrationWords * (c + 1);
        if (at + kCalibrationWords > calibration.size()) continue;
        const size_t amp = kAmplifierWords * (c + 1);
        ScaleChannel(&calibration[at],
                     amp + kAmplifierWords <= amplifier.size() ? &amplifier[amp] : nullptr,
                     patternSens, &scale);
    }
}

void ReadStart(KAVFHANDLE h, WaveSource* s) {
    const std::vector<uint16_t> start = Words(h, kStartGroup, kRecordStartId);
    if (start.size() < kRecordStartWords) return;
    s->hasStart = true;
    for (size_t i = 0; i < kRecordStartWords; ++i) s->start[i] = start[i];
    s->start[1] += 1;  // stored from 0
}

void ReadReference(const char* path, WaveSource* s) {
    char referencePath[kPathSize];
    if (!MakeEegReferencePath(path, referencePath, sizeof referencePath)) return;
    const KAVFHANDLE h = OpenKavfile(referencePath, KAVF_OPEN_READ, 0);
    if (h == 0) return;
    const uint32_t groups = CheckKavfile(h, "KAVT", nullptr);
    if (groups >= 1 && groups < KAVF_CHECK_WRONG_MAGIC) {
        std::vector<uint16_t> codes(kReferenceEntries);
        std::vector<uint32_t> frames(kReferenceEntries);
        const uint32_t n =
            ReadKavfWordData(h, codes.data(), 1, kReferenceCodesId, kReferenceEntries);
        const uint32_t m =
            ReadKavfLongData(h, frames.data(), 1, kReferenceFramesId, kReferenceEntries);
        for (uint32_t i = 0; i < n && i < m; ++i)
            if (codes[i] != 0) s->referenceEvents.push_back({frames[i], codes[i]});
    }
    CloseKavfile(h);
}

}  // namespace

void ReadWaveItems(const char* path, WaveSource* s) {
    ReadChannels(s->handle, s);
    s->recordTexts = Texts(s->handle, kRecordGroup, kRecordTextsId);
    ReadStart(s->handle, s);
    ReadReference(path, s);
}

}  // namespace wave_export
