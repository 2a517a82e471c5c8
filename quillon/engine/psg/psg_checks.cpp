// Everything a PSG run is checked for before anything is created: a layout
// that would divide by zero, write nothing but zeros, or be refused by
// Ostrel when the definitions close is turned away with its reason instead.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "psg_internal.h"
#include "source/field_limits.h"

namespace {

constexpr int32_t kDigitalMax = 32767;
// Ostrel's limits: one frame of samples, one epoch with its annotations
// (they take well under the 4 MiB kept free for them here).
constexpr uint64_t kMaxFrameSampleBytes = 32u << 20;
constexpr uint64_t kMaxEpochSampleBytes = (64u << 20) - (4u << 20);
constexpr uint64_t kMaxBlockBytes = 256u << 20;
constexpr int32_t kMillisecondsPerSecond = 1000;

int32_t Report(PsgStartResult* result, int32_t outcome, int32_t channel = 0, int32_t value = 0) {
    if (result != nullptr) *result = PsgStartResult{outcome, channel, value};
    return outcome;
}

// The header shows 32767 x EU / VU in at most 7 characters: any magnitude
// of 1 up to 9999999 fits; below 1 five decimals must hold it to 0.1 %.
bool PhysicalRangeWritable(int32_t eu, int32_t vu) {
    const double magnitude = std::fabs(static_cast<double>(eu) / vu) * kDigitalMax;
    if (!(magnitude > 0.0) || magnitude >= 9999999.5) return false;
    if (magnitude >= 1.0) return true;
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", magnitude);
    return std::fabs(std::strtod(text, nullptr) - magnitude) <= magnitude * 1e-3;
}

// Ostrel takes every (sampling rate / channel rate)-th row and stores whole
// samples per data record, records that divide the epoch: the epoch's rows
// must split into whole steps (250 Hz with rate divisor 4 does, with 7 not).
int32_t CheckChannel(const PsgChannelRow& row, const AppRecord* record, uint32_t stepIncrement,
                     int32_t channel, PsgStartResult* result) {
    const int32_t sampleRate = record->SampleRate;
    const int32_t rate = psg::ChannelRate(sampleRate, row);
    if (rate < 1) return Report(result, kPsgStartBadChannelRate, channel, row.Rate);
    const int64_t epochRows = int64_t{sampleRate} * stepIncrement * record->FrameTime;
    if (epochRows % (sampleRate / rate) != 0)
        return Report(result, kPsgStartUnevenChannelRate, channel, row.Rate);
    // A/D counts are stored as they are, so they need no CAL or AD; Ostrel
    // then keeps them 1:1. Calibrated values are divided by CAL and scaled
    // by AD: 0 in either has no sound result.
    if (record->OrgCalDataType == kCalibratedValues) {
        if (row.EU == 0) return Report(result, kPsgStartZeroEu, channel);
        if (row.VU == 0) return Report(result, kPsgStartZeroVu, channel);
    }
    if (row.EU != 0 && row.VU != 0 && !PhysicalRangeWritable(row.EU, row.VU))
        return Report(result, kPsgStartBadPhysicalRange, channel);
    return kPsgStarted;
}

// The channel's samples in one frame, a part of one counted whole.
uint64_t FrameSamples(const PsgChannelRow& row, int32_t sampleRate, int32_t frameTime) {
    const uint64_t rows =
        uint64_t{static_cast<uint32_t>(sampleRate)} * static_cast<uint32_t>(frameTime);
    const uint64_t step = static_cast<uint32_t>(sampleRate / psg::ChannelRate(sampleRate, row));
    return (rows + step - 1) / step;
}

}  // namespace

namespace psg {

EpochShape ShapeOf(const AppRecord* record) {
    EpochShape shape;
    const uint32_t frameTime = static_cast<uint32_t>(record->FrameTime);
    const uint32_t channels = static_cast<uint32_t>(record->ChannelCount);
    const uint32_t sampleRate = static_cast<uint32_t>(record->SampleRate);
    shape.stepIncrement = kPsgEpochSeconds / frameTime;
    if (record->OrgTimeResSw != 0) {
        // One source line per millisecond; Ostrel takes every (1000 / rate)-th.
        shape.framesPerStep = shape.stepIncrement * frameTime * kMillisecondsPerSecond;
        shape.frameBytes = channels * 2u * (kMillisecondsPerSecond / sampleRate);
    } else {
        shape.framesPerStep = sampleRate * shape.stepIncrement * frameTime;
        shape.frameBytes = channels * 2u;
    }
    shape.blockBytes = uint64_t{shape.framesPerStep} * channels * 2u + kPsgBlockSlackBytes;
    return shape;
}

}  // namespace psg

extern "C" int32_t CheckPsgLayout(const AppRecord* record, PsgStartResult* result) {
    if (record == nullptr) return Report(result, kPsgStartNoSource);
    const MontagePattern* pattern = CurrentPsgSlot(const_cast<AppRecord*>(record));
    if (pattern == nullptr)
        return Report(result, kPsgStartBadPattern, 0, record->CurrentPsgPattern);
    if (record->ChannelCount > kPatternRowCount)
        return Report(result, kPsgStartBadChannelCount, 0, record->ChannelCount);
    int32_t enabled = 0;
    for (int32_t c = 0; c < record->ChannelCount; ++c)
        if (psg::RowOn(pattern->PsgRows[c])) ++enabled;
    if (enabled == 0) return Report(result, kPsgStartNoChannels);
    if (record->SourceOpen == 0 || record->SourceFile == nullptr)
        return Report(result, kPsgStartNoSource);
    if (record->DelimitChar > kFieldModeTab)
        return Report(result, kPsgStartBadFieldMode, 0, record->DelimitChar);
    if (record->OrgCalDataType > kCalibratedValues)
        return Report(result, kPsgStartBadValueKind, 0, record->OrgCalDataType);
    if (record->FrameTime < 1 || record->FrameTime > kPsgMaxFrameTime)
        return Report(result, kPsgStartBadFrameTime, 0, record->FrameTime);
    const int32_t sampleRate = record->SampleRate;
    if (sampleRate < 1 || sampleRate > kPsgMaxSampleRate)
        return Report(result, kPsgStartBadSampleRate, 0, sampleRate);
    if (record->OrgTimeResSw != 0 &&
        (sampleRate > kMillisecondsPerSecond || kMillisecondsPerSecond % sampleRate != 0))
        return Report(result, kPsgStartBadTimeResolutionRate, 0, sampleRate);

    const psg::EpochShape shape = psg::ShapeOf(record);
    uint64_t frameSamples = 0;
    for (int32_t c = 0; c < record->ChannelCount; ++c) {
        const PsgChannelRow& row = pattern->PsgRows[c];
        if (!psg::RowOn(row)) continue;
        int32_t outcome = CheckChannel(row, record, shape.stepIncrement, c + 1, result);
        if (outcome != kPsgStarted) return outcome;
        frameSamples += FrameSamples(row, sampleRate, record->FrameTime);
    }
    const uint64_t frameBytes = frameSamples * 2u;
    if (frameBytes > kMaxFrameSampleBytes ||
        frameBytes * shape.stepIncrement > kMaxEpochSampleBytes ||
        shape.blockBytes > kMaxBlockBytes)
        return Report(result, kPsgStartTooManySamples);
    return Report(result, kPsgStarted);
}
