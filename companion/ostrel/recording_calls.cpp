// Epochs and the end of a file. The header is written with the first epoch
// (its annotation signal is sized for it) with "-1" records; every epoch
// written and the end write the true count. Memory is one epoch buffer, whatever the length.
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "edf_text.h"

#include "ostrel.h"
#include "ostrel_file.h"

using ostrel::OstrelFile;
using ostrel::Phase;

namespace {

bool WriteAll(PlatFile file, const void* data, size_t size) {
    return size <= static_cast<size_t>(INT32_MAX) &&
           PlatFileWrite(file, data, static_cast<int32_t>(size)) == static_cast<int32_t>(size);
}

// Cuts the file back to the header and the whole records after it, so a
// failed write never leaves a piece of a record behind.
void CutBack(OstrelFile& file) {
    file.writeFailed = true;
    PlatFileSetSize(file.file, file.fileEnd);
    PlatFileSeek(file.file, file.fileEnd);
}

bool WriteHeader(OstrelFile& file, int64_t recordCount) {
    std::vector<uint8_t> header = ostrel::BuildHeader(file, recordCount);
    if (PlatFileSeek(file.file, 0) != 0 || !WriteAll(file.file, header.data(), header.size())) {
        CutBack(file);
        return false;
    }
    file.headerWritten = true;
    file.fileEnd = static_cast<int64_t>(header.size());
    return true;
}

// The header goes out with the first epoch, whose frame count sizes the
// annotation signal; false when that epoch cannot fill whole records.
bool EnsureHeader(OstrelFile& file, int32_t frameCount) {
    if (!file.layoutFixed && !ostrel::FixLayout(file, frameCount)) return false;
    return file.headerWritten || WriteHeader(file, -1);
}

// Starts filling an epoch of frameCount frames, or checks that the one
// being filled has that many.
bool BeginEpoch(OstrelFile& file, int32_t frameCount) {
    if (file.phase != Phase::Recording || file.writeFailed || frameCount < 1) return false;
    if (file.epochSeconds > 0) {
        int32_t limit = file.epochSeconds / file.frameSeconds;
        if (frameCount > (limit > 0 ? limit : 1)) return false;
    }
    if (frameCount > ostrel::kMaxEpochBytes / file.frameDataBytes) return false;
    if (!EnsureHeader(file, frameCount)) return false;

    int64_t records = ostrel::RecordsOfFrames(file, frameCount);
    int64_t bytes = records * file.layout.recordBytes;
    if (records < 1 || file.records + records > ostrel::kMaxRecords ||
        bytes > ostrel::kMaxEpochBytes)
        return false;
    if (file.epochFrames != 0) return file.epochFrames == frameCount;
    file.epoch.assign(static_cast<size_t>(bytes), 0);
    file.epochFrames = frameCount;
    return true;
}

int16_t LoadSample(const uint8_t* at) {
    int16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// count samples from samples[at] on, advance bytes apart, clamped to the
// digital range, as little-endian words into out; returns where the next
// sample is.
size_t CopyRecordSamples(uint8_t* out, const uint8_t* samples, size_t at, size_t advance,
                         int32_t count) {
    int32_t j = 0;
#if defined(__SSE2__)
    const __m128i floor = _mm_set1_epi16(static_cast<int16_t>(-ostrel::kDigitalMax));
    if (advance == sizeof(int16_t)) {
        // A channel's own samples, one after the other: eight at a time.
        for (; j + 8 <= count; j += 8, out += 16, at += 16) {
            const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + at));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_max_epi16(eight, floor));
        }
    }
    // A row-major buffer holds a channel's samples a row apart: eight are
    // gathered into one register, clamped and stored at once.
    for (; j + 8 <= count; j += 8, out += 16, at += 8 * advance) {
        const uint8_t* in = samples + at;
        __m128i eight = _mm_cvtsi32_si128(LoadSample(in));
        eight = _mm_insert_epi16(eight, LoadSample(in + advance), 1);
        eight = _mm_insert_epi16(eight, LoadSample(in + 2 * advance), 2);
        eight = _mm_insert_epi16(eight, LoadSample(in + 3 * advance), 3);
        eight = _mm_insert_epi16(eight, LoadSample(in + 4 * advance), 4);
        eight = _mm_insert_epi16(eight, LoadSample(in + 5 * advance), 5);
        eight = _mm_insert_epi16(eight, LoadSample(in + 6 * advance), 6);
        eight = _mm_insert_epi16(eight, LoadSample(in + 7 * advance), 7);
        // x86 stores its words little-endian, as the file holds them.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_max_epi16(eight, floor));
    }
#endif
    for (; j < count; ++j, at += advance, out += 2) {
        int16_t value = LoadSample(samples + at);
        if (value < -ostrel::kDigitalMax) value = -ostrel::kDigitalMax;
        const uint16_t bits = static_cast<uint16_t>(value);
        out[0] = static_cast<uint8_t>(bits & 0xFF);
        out[1] = static_cast<uint8_t>(bits >> 8);
    }
    return at;
}

// Every R-th row of the caller's buffer, clamped to the digital range, into
// the channel's place in each record of the epoch.
void CopySamples(OstrelFile& file, int32_t channel, int32_t stride, const uint8_t* samples) {
    const ostrel::RecordLayout& layout = file.layout;
    const ostrel::SignalPlacement& placement = layout.signals[static_cast<size_t>(channel)];
    int64_t records = ostrel::RecordsOfFrames(file, file.epochFrames);
    uint64_t step = static_cast<uint64_t>(placement.decimation) * static_cast<uint64_t>(stride);
    uint64_t count =
        static_cast<uint64_t>(records) * static_cast<uint64_t>(placement.samplesPerRecord);
    // The caller's buffer must be addressable to its last sample.
    if (step != 0 && count - 1 > static_cast<uint64_t>(PTRDIFF_MAX) / step) return;
    uint64_t last = (count - 1) * step;
    if (reinterpret_cast<uintptr_t>(samples) > UINTPTR_MAX - last) return;

    size_t at = 0;
    const size_t advance = static_cast<size_t>(step);
    uint8_t* record = file.epoch.data() + placement.offset;
    for (int64_t r = 0; r < records; ++r, record += layout.recordBytes)
        at = CopyRecordSamples(record, samples, at, advance, placement.samplesPerRecord);
}

void PatchRecordCount(OstrelFile& file) {
    std::string count = std::to_string(file.records);
    count.resize(8, ' ');
    if (PlatFileSeek(file.file, ostrel::kRecordCountOffset) == ostrel::kRecordCountOffset)
        WriteAll(file.file, count.data(), count.size());
    PlatFileSeek(file.file, file.fileEnd);
}

// Writes the number of whole records in the file; a header that did not
// get out whole is tried once more. An epoch handed over but not committed
// is dropped.
void Finish(OstrelFile& file) {
    if (file.phase != Phase::Recording) return;
    if (EnsureHeader(file, 0)) PatchRecordCount(file);
    file.phase = Phase::Finished;
    file.epochFrames = 0;
    std::vector<uint8_t>().swap(file.epoch);
}

void CloseFile(OstrelFile& file) {
    if (file.file == nullptr) return;
    PlatFileClose(file.file);
    file.file = nullptr;
    // Without a whole header there is nothing a reader could open.
    if (!file.headerWritten) PlatDeleteFile(file.path.c_str());
}

}  // namespace

extern "C" void COMPANIONAPI OstrelSetEpochLength(uint32_t handle, uint16_t seconds) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (file.phase == Phase::Recording) file.epochSeconds = seconds;
        return 0;
    });
}

extern "C" int32_t COMPANIONAPI OstrelCount(uint32_t handle, int32_t section, int32_t item) {
    return ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (section != 0 || (item != 4 && item != 5)) return 0;
        // A refused recording has no count: -1 tells it from one without epochs.
        if (file.phase == Phase::Refused) return -1;
        if (item == 5)
            return static_cast<int32_t>(file.timedTals.size() - file.timedWritten +
                                        file.timedDropped);
        return file.frames > INT32_MAX ? INT32_MAX : static_cast<int32_t>(file.frames);
    });
}

extern "C" void COMPANIONAPI OstrelPutChannelSamples(uint32_t handle, int32_t section,
                                                     int32_t frameCount, int32_t channel,
                                                     int32_t stride, const void* samples) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (section != 0 || samples == nullptr || stride <= 0 || channel < 0 ||
            channel >= file.channelCount || !BeginEpoch(file, frameCount))
            return 0;
        CopySamples(file, channel, stride, static_cast<const uint8_t*>(samples));
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelCommitFrames(uint32_t handle, int32_t frameCount) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (!BeginEpoch(file, frameCount)) return 0;
        int32_t records = static_cast<int32_t>(ostrel::RecordsOfFrames(file, frameCount));
        ostrel::FillAnnotations(file, file.epoch.data(), records, file.records);
        file.epochFrames = 0;
        if (!WriteAll(file.file, file.epoch.data(), file.epoch.size())) {
            // The count stays at the records known to be whole: the caller
            // sees the commit failed by the count not moving.
            CutBack(file);
            return 0;
        }
        file.records += records;
        file.frames += frameCount;
        file.fileEnd += static_cast<int64_t>(file.epoch.size());
        // The header counts every epoch on disk, so a recording killed at
        // any moment still opens with the records it holds.
        PatchRecordCount(file);
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelFinishRecording(uint32_t handle, int32_t section) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (section == 0) Finish(file);
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelCloseContents(uint32_t handle) {
    ostrel::WithFile(handle, 0, [](OstrelFile& file) {
        Finish(file);
        if (file.phase != Phase::Finished) return 0;
        CloseFile(file);
        file.phase = Phase::Closed;
        return 0;
    });
}

extern "C" uint32_t COMPANIONAPI OstrelRelease(uint32_t handle) {
    OstrelFile* file = ostrel::RemoveFile(handle);
    if (file == nullptr) return 0;
    try {
        Finish(*file);
    } catch (...) {
        // The file still closes; only the final count may be missing.
    }
    CloseFile(*file);
    delete file;
    return 0;
}
