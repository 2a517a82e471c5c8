#include "preview/preview_model.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "eeg/eeg_run.h"
#include "platform.h"
#include "psg/psg_run.h"
#include "source/field_reader.h"
#include "source/head_lines.h"
#include "source/source_lines.h"

namespace {

constexpr int32_t kEndScanBytes = kLineByteLimit + 2;  // a line and its CR LF
constexpr int32_t kDefaultColumns = 1000;
constexpr const char* kEegUnit = "counts";  // what the wave stores

bool IsPsg(const AppRecord* record) { return record->CopyFileType == kOutputPsg; }

// Where both runs start reading: the data start line (the head before the
// first data line then makes nothing).
int64_t RecordingStart(const AppRecord* record) {
    const int64_t line =
        HeadLineOffset(record->SourceText, record->SourceTextLength, record->DataStartLine);
    return record->SourceTextOffset + (line > 0 ? line : 0);
}

// At least 1, so an estimate never divides by zero.
double MeanLineBytes(const AppRecord* record) {
    const double mean =
        MeanHeadLineBytes(record->SourceText, record->SourceTextLength, record->DataStartLine);
    return mean > 0.0 ? mean : 1.0;
}

// The first line start at or after offset: after the first line end found
// from offset - 1, or offset itself when none is near.
int64_t NextLineStart(PlatFile file, int64_t offset) {
    char bytes[kEndScanBytes + 1];
    if (PlatFileSeek(file, offset - 1) != offset - 1) return offset;
    const int32_t got = PlatFileRead(file, bytes, kEndScanBytes);
    for (int32_t i = 0; i < got; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        const int32_t next =
            bytes[i] == '\r' && i + 1 < got && bytes[i + 1] == '\n' ? i + 2 : i + 1;
        return offset - 1 + next;
    }
    return offset;
}

// The byte offset of second fromSecond; *estimated tells it was estimated.
int64_t StretchStart(const AppRecord* record, double fromSecond, int32_t* estimated) {
    const int64_t start = RecordingStart(record);
    *estimated = 0;
    if (fromSecond <= 0.0) return start;
    const int64_t size = PlatFileSize(record->SourceFile);
    double guess = start + fromSecond * record->SampleRate * MeanLineBytes(record);
    if (size >= 0 && guess >= static_cast<double>(size)) guess = static_cast<double>(size);
    *estimated = 1;
    const int64_t offset = static_cast<int64_t>(guess);
    return offset <= start ? start : NextLineStart(record->SourceFile, offset);
}

// The rows of the output's pattern that are switched on.
void CollectTraces(const AppRecord* record, PreviewModel* model) {
    AppRecord* writable = const_cast<AppRecord*>(record);
    const MontagePattern* eeg = CurrentEegSlot(writable);
    const MontagePattern* psg = CurrentPsgSlot(writable);
    for (int32_t c = 0; c < model->channels && c < kPatternRowCount; ++c) {
        PreviewTrace& t = model->traces[model->traceCount];
        if (IsPsg(record)) {
            if (psg == nullptr || psg->PsgRows[c].ChEnable <= kChannelOff) continue;
            std::snprintf(t.label, sizeof t.label, "%s", psg->PsgRows[c].ChLabel);
            std::snprintf(t.unit, sizeof t.unit, "%s", psg->PsgRows[c].ChUnit);
            const PsgChannelRow& row = psg->PsgRows[c];
            t.unitsPerValue = row.EU > 0 && row.VU > 0 ? double(row.EU) / row.VU : 1.0;
        } else {
            if (eeg == nullptr || !IsWrittenKind(eeg->EegRows[c].SOURCE)) continue;
            std::snprintf(t.label, sizeof t.label, "%s", eeg->EegRows[c].label);
            std::snprintf(t.unit, sizeof t.unit, "%s", kEegUnit);
            t.unitsPerValue = 1.0;
        }
        t.channel = c;
        ++model->traceCount;
    }
}

// The values of up to wanted lines from work's SourceOffset, read by the
// run's own reader into model->samples; returns the lines read, -1 on a
// failed read.
int32_t ReadStretch(AppRecord* work, int32_t wanted, PreviewModel* model) {
    const size_t channels = static_cast<size_t>(model->channels);
    if (IsPsg(work)) {
        const size_t rowsBytes = static_cast<size_t>(wanted) * channels * sizeof(int16_t);
        work->SampleBlock = model->samples;
        const uint32_t lines =
            ReadPsgRows(work, static_cast<uint32_t>(wanted), model->samples, rowsBytes);
        work->SampleBlock = nullptr;
        return work->SourceReadFailed != 0 ? -1 : static_cast<int32_t>(lines);
    }
    const size_t frameWords = channels + 1;
    uint16_t* frames = static_cast<uint16_t*>(
        std::calloc(static_cast<size_t>(wanted) * frameWords, sizeof(uint16_t)));
    if (frames == nullptr) return -1;
    SetEegScaleValues(work);
    const uint32_t lines = ReadFrames(work, static_cast<uint32_t>(wanted), frames);
    for (uint32_t f = 0; f < lines; ++f)
        std::memcpy(model->samples + f * channels, frames + f * frameWords + 1,
                    channels * sizeof(int16_t));
    std::free(frames);
    return work->SourceReadFailed != 0 ? -1 : static_cast<int32_t>(lines);
}

// A data line by the readers' own count, the test both runs make.
bool IsDataLine(const AppRecord* work, const char* line) {
    if (work->OrgCalDataType == kCalibratedValues) {
        float values[kLineValueLimit];
        return ReadFloatFields(work, line, values) >= work->ChannelCount;
    }
    int16_t values[kLineValueLimit];
    return work->OrgCalDataType == kAdValues &&
           ReadIntegerFields(work, line, values) >= work->ChannelCount;
}

// Walks the same lines again to place the rows: from the first data line
// on, line by line, one row each (a line that is not data made a zero row,
// marked and left out of the reduction); the head before makes none.
void PlaceLines(AppRecord* work, int64_t start, bool atDataStart, PreviewModel* model) {
    work->SourceOffset = start;
    SourceLines source;
    OpenSourceLines(work, &source);
    SourceLine line;
    int32_t row = 0;
    bool inHead = atDataStart;
    for (int32_t i = 0;
         row < model->dataLines && NextSourceLine(&source, &line) == kSourceLineFound; ++i) {
        const bool data = !line.overLong && IsDataLine(work, line.text);
        if (inHead && !data) continue;
        inHead = false;
        model->dataLineIndex[row++] = data ? i : kPreviewNoLine;
        if (!data && model->markCount < kPreviewMarkLimit) model->marks[model->markCount++] = i;
    }
    while (row < model->dataLines) model->dataLineIndex[row++] = kPreviewNoLine;
}

void Reduce(PreviewModel* model) {
    const int32_t columns = model->columns;
    for (int32_t t = 0; t < model->traceCount; ++t) {
        PreviewTrace& trace = model->traces[t];
        int16_t* low = model->minimum + static_cast<size_t>(t) * columns;
        int16_t* high = model->maximum + static_cast<size_t>(t) * columns;
        for (int32_t c = 0; c < columns; ++c) low[c] = INT16_MAX, high[c] = INT16_MIN;
        trace.low = INT16_MAX;
        trace.high = INT16_MIN;
        for (int32_t d = 0; d < model->dataLines; ++d) {
            if (model->dataLineIndex[d] == kPreviewNoLine) continue;
            const int16_t v =
                model->samples[static_cast<size_t>(d) * model->channels + trace.channel];
            const int32_t c = PreviewColumnOfLine(model, model->dataLineIndex[d]);
            if (v < low[c]) low[c] = v;
            if (v > high[c]) high[c] = v;
            if (v < trace.low) trace.low = v;
            if (v > trace.high) trace.high = v;
        }
    }
}

int32_t Allocate(PreviewModel* model, int32_t wanted) {
    const size_t channels = static_cast<size_t>(model->channels);
    const size_t reduced = static_cast<size_t>(model->traceCount) * model->columns;
    model->samples = static_cast<int16_t*>(std::calloc(size_t(wanted) * channels, sizeof(int16_t)));
    model->dataLineIndex = static_cast<int32_t*>(std::calloc(size_t(wanted), sizeof(int32_t)));
    model->minimum = static_cast<int16_t*>(std::calloc(reduced, sizeof(int16_t)));
    model->maximum = static_cast<int16_t*>(std::calloc(reduced, sizeof(int16_t)));
    const bool made = model->samples != nullptr && model->dataLineIndex != nullptr &&
                      model->minimum != nullptr && model->maximum != nullptr;
    return made ? kPreviewMade : kPreviewOutOfMemory;
}

// A copy of the record the readers may move on, with its own read buffer.
AppRecord* WorkRecord(const AppRecord* record, int64_t start, bool atDataStart) {
    AppRecord* work = static_cast<AppRecord*>(std::malloc(sizeof(AppRecord)));
    if (work == nullptr) return nullptr;
    std::memcpy(work, record, sizeof(AppRecord));
    work->ReadBuffer = std::calloc(kSourceReadBufferBytes, 1);
    work->SampleBlock = nullptr;
    // A run may hold the output meanwhile: the preview notes nothing in it.
    work->OutputFile = 0;
    work->SourceOffset = start;
    // Past the data start no line is head: a line that is not data is a zero row.
    work->Lines = LinePlace{PlatFileSize(record->SourceFile), 0, atDataStart ? 0u : 1u, 0};
    work->Tally = ConversionTally{};
    work->SourceReadFailed = 0;
    work->FramesDone = 1;  // no start events: they are not samples
    if (work->ReadBuffer != nullptr) return work;
    std::free(work);
    return nullptr;
}

int32_t Fill(const AppRecord* record, int32_t wanted, int64_t start, PreviewModel* model) {
    int32_t outcome = Allocate(model, wanted);
    const bool atDataStart = start == RecordingStart(record);
    AppRecord* work = outcome == kPreviewMade ? WorkRecord(record, start, atDataStart) : nullptr;
    if (work == nullptr) return kPreviewOutOfMemory;
    const int32_t lines = ReadStretch(work, wanted, model);
    if (lines < 0) {
        outcome = kPreviewReadFailed;
    } else {
        model->lines = lines;
        model->dataLines = lines;
        PlaceLines(work, start, atDataStart, model);
        Reduce(model);
    }
    std::free(work->ReadBuffer);
    std::free(work);
    return outcome;
}

}  // namespace

extern "C" int32_t MakePreviewModel(const AppRecord* record, double fromSecond, double seconds,
                                    int32_t columns, PreviewModel* model) {
    if (model == nullptr) return kPreviewNoSource;
    *model = PreviewModel{};
    if (record == nullptr || record->SourceOpen == 0 || record->SourceFile == nullptr)
        return kPreviewNoSource;
    if (record->ChannelCount < 1 || record->ChannelCount > kPatternRowCount ||
        record->SampleRate < 1)
        return kPreviewBadLayout;
    if (!(seconds > 0.0)) seconds = kPreviewDefaultSeconds;
    if (seconds > kPreviewSecondsLimit) seconds = kPreviewSecondsLimit;
    const double lines = std::ceil(seconds * record->SampleRate);
    const int32_t wanted = lines > kPreviewLineLimit ? kPreviewLineLimit : int32_t(lines);
    model->seconds = seconds;
    model->sampleRate = record->SampleRate;
    model->channels = record->ChannelCount;
    model->columns = columns < 1                     ? kDefaultColumns
                     : columns > kPreviewColumnLimit ? kPreviewColumnLimit
                                                     : columns;
    CollectTraces(record, model);
    if (model->traceCount == 0) return kPreviewNoTrace;
    const int64_t start = StretchStart(record, fromSecond, &model->estimated);
    model->fromSecond = fromSecond > 0.0 ? fromSecond : 0.0;
    const int32_t outcome = Fill(record, wanted, start, model);
    if (outcome != kPreviewMade) FreePreviewModel(model);
    return outcome;
}

extern "C" void FreePreviewModel(PreviewModel* model) {
    if (model == nullptr) return;
    std::free(model->minimum);
    std::free(model->maximum);
    std::free(model->samples);
    std::free(model->dataLineIndex);
    model->minimum = model->maximum = model->samples = nullptr;
    model->dataLineIndex = nullptr;
}

extern "C" int32_t PreviewColumnOfLine(const PreviewModel* model, int32_t line) {
    const double perLine = model->columns / (model->seconds * model->sampleRate);
    const int32_t column = static_cast<int32_t>(line * perLine);
    return column < 0 ? 0 : column >= model->columns ? model->columns - 1 : column;
}

namespace {

constexpr uint32_t kDigestSeed = 2166136261u;  // FNV-1a
constexpr uint32_t kDigestPrime = 16777619u;

template <typename T>
void AddToDigest(uint32_t* digest, const T& value) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&value);
    for (size_t i = 0; i < sizeof value; ++i) *digest = (*digest ^ bytes[i]) * kDigestPrime;
}

}  // namespace

extern "C" uint32_t PreviewRecordDigest(const AppRecord* record) {
    uint32_t digest = kDigestSeed;
    const AppRecord& r = *record;
    AddToDigest(&digest, r.OrgFile);
    for (int32_t value :
         {int32_t(r.SourceOpen), r.SourceTextLength, int32_t(r.DelimitChar), r.DataLineBias,
          r.ChStartLine, r.DataStartLine, r.ChannelCount, r.SampleRate, int32_t(r.OrgCalDataType),
          r.OrgDataMag, int32_t(r.CopyFileType), int32_t(r.PolarityCopy)})
        AddToDigest(&digest, value);
    AppRecord* writable = const_cast<AppRecord*>(record);
    const MontagePattern* pattern =
        IsPsg(record) ? CurrentPsgSlot(writable) : CurrentEegSlot(writable);
    if (pattern != nullptr) AddToDigest(&digest, *pattern);
    return digest;
}
