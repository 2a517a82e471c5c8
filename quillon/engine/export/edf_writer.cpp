// The EDF+ file through Ostrel, as the PSG run drives it: header items,
// patient block, one channel per wave channel, then the frames streamed in
// epochs of whole seconds, each epoch's events given before its commit.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "export_internal.h"
#include "ostrel.h"
#include "platform.h"

namespace wave_export {
namespace {

constexpr int32_t kSection = 0;
constexpr int32_t kCreateMode = 4;    // the mode values the PSG run passes; Ostrel keeps them
constexpr int32_t kFrameSeconds = 1;  // an Ostrel frame: one second of rows
constexpr int32_t kFramesItem = 4;
constexpr int32_t kWaitingAnnotationsItem = 5;
constexpr int32_t kPatientBlockItem = 130;
constexpr uint32_t kMaxEpochSeconds = 30;
constexpr uint64_t kEpochBudgetBytes = 8u << 20;
constexpr uint64_t kMaxAnnotationRoom = 4096;  // the most Ostrel keeps
constexpr int32_t kTextLabel = 1;
constexpr int32_t kTextUnit = 2;
constexpr const char* kEndText = "End of the wave: zeros fill the rest of the data record";

enum HeaderItem {
    kItemChannelCount = 2,
    kItemFrameSeconds = 3,
    kItemYear = 10,  // then month, day, hour, minute, second
    kItemSampleRate = 21,
    kItemAnnotationRoom = 23,
};
constexpr int32_t kStartItems = 6;
enum ChannelItem { kChannelSource = 2, kChannelRate = 4, kChannelEu = 6, kChannelVu = 7 };

struct PatientField {
    int32_t id;
    int32_t width;
    int32_t text;  // RecordText element
};
const PatientField kPatientFields[] = {
    {11, 20, kTextPatientId},
    {13, 32, kTextName1},
    {14, 32, kTextName2},
    {21, 4, kTextSex},
    {104, 40, kTextDepartment},
    {301, 128, kTextFirstComment},
    {302, 128, kTextFirstComment + 1},
    {303, 128, kTextFirstComment + 2},
    {304, 128, kTextFirstComment + 3},
    {305, 128, kTextLastComment},
};

const char* RecordTextOf(const WaveSource& s, int32_t element) {
    return static_cast<size_t>(element) < s.recordTexts.size()
               ? s.recordTexts[static_cast<size_t>(element)].c_str()
               : "";
}

// Onset-0 notes: texts of the header no EDF+ field holds, and the channels
// stored in digital units.
std::vector<std::string> Notes(const WaveSource& s) {
    std::vector<std::string> notes;
    const struct {
        const char* caption;
        int32_t element;
    } texts[] = {{"Disk ID", kTextDiskId},
                 {"File number", kTextFileNumber},
                 {"Volume model", kTextVolumeModel}};
    for (const auto& t : texts) {
        std::string text = RecordTextOf(s, t.element);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        if (!text.empty()) notes.push_back(std::string(t.caption) + ": " + text);
    }
    for (size_t c = 0; c < s.channels.size(); ++c)
        if (s.channels[c].unscaled)
            notes.push_back("Signal " + std::to_string(c + 1) +
                            (s.channels[c].label.empty() ? "" : " (" + s.channels[c].label + ")") +
                            ": digital units; the file holds no calibration for it");
    return notes;
}

// Seconds of frames per epoch: at most 30, within the memory budget.
uint32_t EpochSeconds(const WaveSource& s) {
    const uint64_t secondBytes = uint64_t{s.rate} * (s.frameBytes + 2u * s.info.channels);
    return static_cast<uint32_t>(
        std::clamp<uint64_t>(kEpochBudgetBytes / secondBytes, 1, kMaxEpochSeconds));
}

// Annotation room per record. The notes and the .REF events are given
// before the first epoch and must fit its records; every record also keeps
// room for two events of its own and the end note.
int32_t AnnotationRoom(const WaveSource& s, const std::vector<std::string>& notes) {
    const size_t onset = std::to_string(s.info.frames / s.rate + 1).size() + 8;  // "+s.uuuuuu"
    const size_t tal = onset + 3;  // separators and end
    const size_t event = tal + std::strlen("Event 0xFFFF");
    size_t upfront = s.referenceEvents.size() * event, longest = event;
    for (const std::string& note : notes) {
        const size_t bytes = tal + note.size() * 3 / 2;  // cp932 grows to at most 3/2 as UTF-8
        upfront += bytes;
        longest = std::max(longest, bytes);
    }
    const uint64_t seconds = (uint64_t{s.info.frames} + s.rate - 1) / s.rate;
    const uint64_t records = std::clamp<uint64_t>(seconds, 1, EpochSeconds(s));
    const uint64_t room =
        2 * event + tal + std::strlen(kEndText) + longest + (upfront + records - 1) / records;
    return static_cast<int32_t>(std::min<uint64_t>(room, kMaxAnnotationRoom));
}

void PutHeader(uint32_t h, const WaveSource& s, int32_t room) {
    OstrelBeginHeader(h);
    OstrelSetHeaderItem(h, kSection, kItemChannelCount, static_cast<int32_t>(s.info.channels));
    OstrelSetHeaderItem(h, kSection, kItemFrameSeconds, kFrameSeconds);
    OstrelSetHeaderItem(h, kSection, kItemSampleRate, static_cast<int32_t>(s.rate));
    OstrelSetHeaderItem(h, kSection, kItemAnnotationRoom, room);
    for (int32_t i = 0; i < kStartItems; ++i)
        OstrelSetHeaderItem(h, kSection, kItemYear + i, s.hasStart ? s.start[i] : 0);
    OstrelBeginPatient(h);
    int32_t offset = 0;
    for (const PatientField& f : kPatientFields)
        offset =
            OstrelPutPatientField(h, kSection, offset, f.width, f.id, RecordTextOf(s, f.text)) &
            0xFFFF;
    OstrelEndPatient(h, kSection, kPatientBlockItem, offset);
    OstrelBeginChannels(h);
    for (size_t c = 0; c < s.channels.size(); ++c) {
        const ChannelScale& scale = s.channels[c];
        const int32_t k = static_cast<int32_t>(c);
        OstrelSetChannelText(h, kSection, kTextLabel, k, scale.label.c_str());
        OstrelSetChannelText(h, kSection, kTextUnit, k, scale.unit.c_str());
        OstrelSetChannelItem(h, kSection, kChannelSource, k, k + 1);
        OstrelSetChannelItem(h, kSection, kChannelRate, k, static_cast<int32_t>(s.rate));
        OstrelSetChannelItem(h, kSection, kChannelEu, k, scale.eu);
        OstrelSetChannelItem(h, kSection, kChannelVu, k, scale.vu);
    }
    OstrelEndChannels(h);
}

bool IsReferenceEvent(const WaveSource& s, uint32_t frame, uint16_t code) {
    for (const WaveEvent& e : s.referenceEvents)
        if (e.frame == frame && e.code == code) return true;
    return false;
}

// Gives the event at its frame's time; false when Ostrel refused it.
bool AddEvent(uint32_t h, uint32_t rate, uint32_t frame, uint16_t code) {
    char text[32];
    std::snprintf(text, sizeof text, "Event 0x%04X", static_cast<unsigned>(code));
    const uint64_t micro = uint64_t{frame % rate} * 1000000u / rate;
    return OstrelAddAnnotation(h, static_cast<int32_t>(frame / rate), static_cast<int32_t>(micro),
                               text) != 0;
}

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

struct Epochs {
    uint32_t seconds;              // per full epoch
    std::vector<uint8_t> raw;      // frames as the file holds them
    std::vector<int16_t> samples;  // rows x channels, native
};

// Decodes rows frames starting at first into samples; gives their events.
void Decode(const WaveSource& s, Epochs& e, uint32_t first, uint32_t rows, uint32_t h,
            ExportSummary* summary) {
    const uint32_t c = s.info.channels;
    for (uint32_t r = 0; r < rows; ++r) {
        const uint8_t* p = e.raw.data() + size_t{r} * s.frameBytes;
        if (s.eventWord) {
            const uint16_t code = Be16(p);
            p += 2;
            if (code != 0 && !IsReferenceEvent(s, first + r, code)) {
                if (AddEvent(h, s.rate, first + r, code))
                    ++summary->events;
                else
                    ++summary->eventsLeftOut;
            }
        }
        int16_t* out = e.samples.data() + size_t{r} * c;
        if (s.wide)
            for (uint32_t k = 0; k < c; ++k) out[k] = static_cast<int16_t>(Be16(p + 2 * k));
        else
            for (uint32_t k = 0; k < c; ++k) out[k] = static_cast<int8_t>(p[k]);
    }
}

// Reads, hands over and commits every frame of the wave.
int32_t StreamFrames(uint32_t h, WaveSource* s, Epochs& e, ExportSummary* summary) {
    const uint32_t total = s->info.frames, c = s->info.channels;
    int32_t committed = 0;
    for (uint32_t first = 0; first < total;) {
        const uint32_t rows = std::min<uint64_t>(total - first, uint64_t{e.seconds} * s->rate);
        const uint32_t seconds = (rows + s->rate - 1) / s->rate;
        const int32_t read = ReadKavfFlowWave(s->handle, 0, static_cast<int32_t>(first),
                                              static_cast<int32_t>(rows), e.raw.data());
        if (read != static_cast<int32_t>(first + rows)) {
            summary->detail = static_cast<int32_t>(first);
            return kExportReadFailed;
        }
        if (rows % s->rate != 0) std::fill(e.samples.begin(), e.samples.end(), 0);
        Decode(*s, e, first, rows, h, summary);
        // EDF+ records are whole seconds: say where the zeros after the wave begin.
        if (first + rows == total && total % s->rate != 0)
            OstrelAddAnnotation(
                h, static_cast<int32_t>(total / s->rate),
                static_cast<int32_t>(uint64_t{total % s->rate} * 1000000u / s->rate), kEndText);
        for (uint32_t k = 0; k < c; ++k)
            OstrelPutChannelSamples(h, kSection, static_cast<int32_t>(seconds),
                                    static_cast<int32_t>(k), static_cast<int32_t>(2 * c),
                                    e.samples.data() + k);
        OstrelCommitFrames(h, static_cast<int32_t>(seconds));
        committed += static_cast<int32_t>(seconds);
        if (OstrelCount(h, kSection, kFramesItem) != committed) return kExportWriteFailed;
        first += rows;
    }
    return kExportDone;
}

int32_t Record(uint32_t h, WaveSource* s, const std::vector<std::string>& notes,
               ExportSummary* summary) {
    for (const std::string& note : notes) OstrelAddAnnotation(h, 0, 0, note.c_str());
    for (const WaveEvent& event : s->referenceEvents) {
        if (AddEvent(h, s->rate, event.frame, event.code))
            ++summary->events;
        else
            ++summary->eventsLeftOut;
    }
    Epochs e;
    e.seconds = EpochSeconds(*s);
    OstrelSetEpochLength(h, static_cast<uint16_t>(e.seconds));
    const size_t rows = size_t{e.seconds} * s->rate;
    e.raw.resize(rows * s->frameBytes);
    e.samples.resize(rows * s->info.channels);
    const int32_t outcome = StreamFrames(h, s, e, summary);
    if (outcome != kExportDone) return outcome;
    OstrelFinishRecording(h, kSection);
    summary->eventsLeftOut +=
        static_cast<uint32_t>(std::max(0, OstrelCount(h, kSection, kWaitingAnnotationsItem)));
    return kExportDone;
}

}  // namespace

int32_t WriteEdf(WaveSource* s, const char* edfPath, ExportSummary* summary) {
    const std::vector<std::string> notes = Notes(*s);
    const uint32_t h = OstrelCreate(edfPath, kCreateMode, kCreateMode);
    if (h == 0) return PlatFileExists(edfPath) ? kExportOutputExists : kExportCannotCreate;
    if (OstrelPrepareHeader(h) == 0) {
        OstrelRelease(h);
        return kExportCannotCreate;
    }
    PutHeader(h, *s, AnnotationRoom(*s, notes));
    if (OstrelCount(h, kSection, kFramesItem) < 0) {
        OstrelRelease(h);
        summary->detail = kLayoutRefusedByWriter;
        return PlatFileExists(edfPath) ? kExportOutputExists : kExportLayout;
    }
    int32_t outcome = kExportNoMemory;
    try {
        outcome = Record(h, s, notes, summary);
    } catch (const std::bad_alloc&) {
    }
    OstrelRelease(h);
    if (outcome != kExportDone) PlatDeleteFile(edfPath);
    return outcome;
}

}  // namespace wave_export
