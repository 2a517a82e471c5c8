// The EDF+ header and the shape of a data record: the ordinary signals in
// channel order, then the "EDF Annotations" signal, which opens every
// record with its time-keeping TAL and carries the onset-0 texts in the
// first records.
#include <cstring>

#include "edf_text.h"
#include "ostrel_file.h"

namespace ostrel {
namespace {

// The longest time-keeping TAL a record can need: "+<onset>" 0x14 0x14 0x00.
int32_t TimekeepingBytes(int32_t recordSeconds) {
    return static_cast<int32_t>(std::to_string(kMaxRecords * recordSeconds).size()) + 4;
}

std::string TimekeepingTal(int64_t onset) {
    std::string tal = "+" + std::to_string(onset);
    tal += "\x14\x14";
    tal += '\0';
    return tal;
}

// Whether the TALs, kept in order and never split, fill at most records
// records of room bytes each.
bool TalsFit(const std::vector<std::string>& tals, int64_t records, size_t room) {
    int64_t used = 1;
    size_t left = room;
    for (const std::string& tal : tals) {
        if (tal.size() > room) return false;
        if (tal.size() > left) {
            if (++used > records) return false;
            left = room;
        }
        left -= tal.size();
    }
    return true;
}

// Annotation signal bytes per record: room for the time-keeping TAL plus
// the smallest share that spreads the onset-0 TALs over the first records.
int32_t AnnotationBytes(const std::vector<std::string>& tals, int64_t records,
                        int32_t timekeeping) {
    size_t total = 0, largest = 0;
    for (const std::string& tal : tals) {
        total += tal.size();
        if (tal.size() > largest) largest = tal.size();
    }
    // More room never needs more records, so search for the least room.
    size_t low = largest, high = total;
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (TalsFit(tals, records, middle))
            high = middle;
        else
            low = middle + 1;
    }
    size_t bytes = low + static_cast<size_t>(timekeeping);
    return static_cast<int32_t>(bytes + (bytes & 1));
}

void PutNumber(std::string& out, int64_t value, size_t width) {
    PutField(out, std::to_string(value), width);
}

// Record durations in ascending order: the divisors of the frame time, then
// the multiples of it that divide the program's epoch.
std::vector<int32_t> RecordDurations(const OstrelFile& file) {
    std::vector<int32_t> durations;
    for (int32_t seconds = 1; seconds <= file.frameSeconds; ++seconds)
        if (file.frameSeconds % seconds == 0) durations.push_back(seconds);
    int32_t epochFrames = kRunEpochSeconds / file.frameSeconds;
    for (int32_t frames = 2; frames <= epochFrames; ++frames)
        if (epochFrames % frames == 0) durations.push_back(frames * file.frameSeconds);
    return durations;
}

// Annotation bytes per record of the given duration when the first commit
// has frameCount frames (0: none).
int32_t AnnotationBytesFor(const OstrelFile& file, int32_t seconds, int32_t frameCount) {
    int64_t frames = frameCount > 0 ? frameCount : 1;
    int64_t records = frames * file.frameSeconds / seconds;
    int32_t bytes =
        AnnotationBytes(file.onsetTals, records > 0 ? records : 1, TimekeepingBytes(seconds));
    return bytes + file.timedRoom + (file.timedRoom & 1);
}

int64_t RecordBytes(const OstrelFile& file, int32_t seconds, int32_t frameCount) {
    int64_t bytes = AnnotationBytesFor(file, seconds, frameCount);
    for (const ChannelDefinition& channel : file.channels)
        bytes += 2 * (static_cast<int64_t>(file.sampleRate) * seconds / RowStep(file, channel));
    return bytes;
}

}  // namespace

int64_t RecordsOfFrames(const OstrelFile& file, int64_t frames) {
    int64_t seconds = frames * file.frameSeconds;
    return seconds % file.layout.recordSeconds == 0 ? seconds / file.layout.recordSeconds : -1;
}

bool FixLayout(OstrelFile& file, int32_t frameCount) {
    // The longest record within the size older readers expect that divides
    // the frame; else the shortest record there is (it may span frames).
    int32_t chosen = 0;
    int32_t shortest = 0;
    for (int32_t seconds : RecordDurations(file)) {
        if (seconds % file.recordStep != 0) continue;
        if (frameCount > 0 && static_cast<int64_t>(frameCount) * file.frameSeconds % seconds != 0)
            continue;
        if (shortest == 0) shortest = seconds;
        if (seconds <= file.frameSeconds &&
            RecordBytes(file, seconds, frameCount) <= kRecommendedRecordBytes)
            chosen = seconds;
    }
    if (chosen == 0) chosen = shortest;
    if (chosen == 0) return false;

    RecordLayout& layout = file.layout;
    layout.recordSeconds = chosen;
    layout.annotationBytes = AnnotationBytesFor(file, chosen, frameCount);
    layout.signals.clear();
    int32_t offset = 0;
    for (const ChannelDefinition& channel : file.channels) {
        SignalPlacement placement;
        placement.decimation = RowStep(file, channel);
        placement.samplesPerRecord = static_cast<int32_t>(static_cast<int64_t>(file.sampleRate) *
                                                          chosen / placement.decimation);
        placement.offset = offset;
        layout.signals.push_back(placement);
        offset += 2 * placement.samplesPerRecord;
    }
    layout.annotationOffset = offset;
    layout.recordBytes = offset + layout.annotationBytes;
    file.layoutFixed = true;
    return true;
}

std::vector<uint8_t> BuildHeader(const OstrelFile& file, int64_t recordCount) {
    const RecordLayout& layout = file.layout;
    size_t signals = file.signalTexts.size() + 1;
    std::string h;
    h.reserve(256 * (signals + 1));
    PutField(h, "0", 8);
    PutField(h, file.patientIdentification, 80);
    PutField(h, file.recordingIdentification, 80);
    PutField(h, file.startDate, 8);
    PutField(h, file.startTime, 8);
    PutNumber(h, static_cast<int64_t>(256 * (signals + 1)), 8);
    PutField(h, "EDF+C", 44);
    PutNumber(h, recordCount, 8);
    PutNumber(h, layout.recordSeconds, 8);
    PutNumber(h, static_cast<int64_t>(signals), 4);

    for (const SignalText& s : file.signalTexts) PutField(h, s.label, 16);
    PutField(h, "EDF Annotations", 16);
    for (const SignalText& s : file.signalTexts) PutField(h, s.transducer, 80);
    PutField(h, "", 80);
    for (const SignalText& s : file.signalTexts) PutField(h, s.dimension, 8);
    PutField(h, "", 8);
    for (const SignalText& s : file.signalTexts) PutField(h, s.physicalMin, 8);
    PutField(h, "-1", 8);
    for (const SignalText& s : file.signalTexts) PutField(h, s.physicalMax, 8);
    PutField(h, "1", 8);
    for (size_t k = 0; k < file.signalTexts.size(); ++k) PutNumber(h, -kDigitalMax, 8);
    PutNumber(h, -32768, 8);
    for (size_t k = 0; k < file.signalTexts.size(); ++k) PutNumber(h, kDigitalMax, 8);
    PutNumber(h, 32767, 8);
    for (const SignalText& s : file.signalTexts) PutField(h, s.prefiltering, 80);
    PutField(h, "", 80);
    for (const SignalPlacement& p : layout.signals) PutNumber(h, p.samplesPerRecord, 8);
    PutNumber(h, layout.annotationBytes / 2, 8);
    for (size_t k = 0; k < signals; ++k) PutField(h, "", 32);
    return std::vector<uint8_t>(h.begin(), h.end());
}

void FillAnnotations(OstrelFile& file, uint8_t* epoch, int32_t recordCount, int64_t first) {
    const RecordLayout& layout = file.layout;
    for (int32_t r = 0; r < recordCount; ++r) {
        uint8_t* area = epoch + static_cast<size_t>(r) * static_cast<size_t>(layout.recordBytes) +
                        static_cast<size_t>(layout.annotationOffset);
        size_t room = static_cast<size_t>(layout.annotationBytes);
        std::memset(area, 0, room);
        std::string tal = TimekeepingTal((first + r) * layout.recordSeconds);
        std::memcpy(area, tal.data(), tal.size());
        size_t used = tal.size();
        while (file.talsWritten < file.onsetTals.size()) {
            const std::string& next = file.onsetTals[file.talsWritten];
            if (next.size() > room - used) break;
            std::memcpy(area + used, next.data(), next.size());
            used += next.size();
            ++file.talsWritten;
        }
        const size_t free = room - tal.size();
        while (file.timedWritten < file.timedTals.size()) {
            const std::string& next = file.timedTals[file.timedWritten];
            if (next.size() > free) {  // no record holds it: it would hold up the rest
                ++file.timedDropped;
                ++file.timedWritten;
                continue;
            }
            if (next.size() > room - used) break;
            std::memcpy(area + used, next.data(), next.size());
            used += next.size();
            ++file.timedWritten;
        }
    }
}

}  // namespace ostrel
