// The record behind every Ostrel handle: what the caller has declared so
// far, and once the definitions are closed, the EDF+ layout being written.
#ifndef OSTREL_FILE_H
#define OSTREL_FILE_H

#include <cstdint>
#include <string>
#include <vector>

#include "platform.h"

namespace ostrel {

constexpr int32_t kMaxChannels = 256;
constexpr int32_t kMaxPatientFields = 64;
constexpr int32_t kMaxFieldWidth = 1024;
constexpr int32_t kCommentBytes = 32;
constexpr int32_t kLabelBytes = 32;
constexpr int32_t kUnitBytes = 8;
constexpr int32_t kMaxFrameSeconds = 3600;
constexpr int32_t kMaxSampleRate = 1000000;
// The per-epoch buffer never grows beyond this, whatever the caller asks.
constexpr int64_t kMaxEpochBytes = 64 << 20;
// The header's record count has 8 digits.
constexpr int64_t kMaxRecords = 99999999;
// Records above this size are legal EDF but trouble some older readers.
constexpr int64_t kRecommendedRecordBytes = 61440;
constexpr int32_t kDigitalMax = 32767;
// Where the header keeps the number of data records.
constexpr int64_t kRecordCountOffset = 236;
// The program commits epochs of this many seconds' whole frames; a data
// record must divide them.
constexpr int32_t kRunEpochSeconds = 30;
// Room per record a caller may ask for annotations given during the recording.
constexpr int32_t kMaxTimedRoom = 4096;

// The order the program drives a file through. Refused: the definitions
// could not make a valid file, or the file could not be created; only
// release remains.
enum class Phase {
    Created,
    Prepared,
    Header,
    Patient,
    Channels,
    Recording,
    Finished,
    Closed,
    Refused,
};

struct ChannelDefinition {
    std::string label;  // cp932 as given
    std::string unit;   // cp932 as given
    int32_t sourceChannel = 0;
    int32_t signalType = -1;
    int32_t rate = 0;
    int32_t eu = 0;
    int32_t vu = 0;
    int32_t lowFilter = 0;    // 1/1000 Hz
    int32_t highFilter = 0;   // Hz
    int32_t sensitivity = 0;  // x 1000
};

struct PatientField {
    int32_t id;
    std::string text;  // cp932, cut to the field width
};

struct RecordStart {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The header texts of one ordinary signal, fixed when the definitions close.
struct SignalText {
    std::string label;
    std::string transducer;
    std::string dimension;
    std::string physicalMin;
    std::string physicalMax;
    std::string prefiltering;
};

// Where one channel's samples sit in a data record.
struct SignalPlacement {
    int32_t samplesPerRecord;
    int32_t offset;      // bytes from the record's start
    int32_t decimation;  // source rows per sample
};

struct RecordLayout {
    int32_t recordSeconds = 0;
    int32_t annotationBytes = 0;
    int32_t annotationOffset = 0;
    int32_t recordBytes = 0;
    std::vector<SignalPlacement> signals;
};

struct OstrelFile {
    // The file is created only when the definitions close valid, so a
    // refused recording leaves nothing on disk.
    std::string path;
    PlatFile file = nullptr;
    Phase phase = Phase::Created;
    int32_t settings[7] = {};

    // Declared by the header items.
    int32_t channelCount = 0;
    int32_t frameSeconds = 0;
    int32_t sampleRate = 0;
    int32_t mainsHz = 0;
    RecordStart start;
    std::string comment;
    std::vector<PatientField> patient;
    std::vector<ChannelDefinition> channels;

    // Fixed when the definitions close.
    std::vector<SignalText> signalTexts;
    std::string patientIdentification;
    std::string recordingIdentification;
    std::string startDate;
    std::string startTime;
    std::vector<std::string> onsetTals;  // annotations at onset 0, as TALs
    // Annotations at their times, given during the recording; they share the
    // room reserved in every record (header item 23), in the order given.
    int32_t timedRoom = 0;
    std::vector<std::string> timedTals;
    size_t timedWritten = 0;
    size_t timedDropped = 0;     // given before the records were laid out, longer than their room
    int64_t frameDataBytes = 0;  // samples of all channels in one frame
    // Record durations that give every channel whole samples are multiples
    // of this many seconds.
    int32_t recordStep = 1;

    // Fixed by the first epoch (or at the end when there was none).
    bool layoutFixed = false;
    RecordLayout layout;
    size_t talsWritten = 0;

    uint16_t epochSeconds = 0;
    std::vector<uint8_t> epoch;
    int32_t epochFrames = 0;  // 0 while no epoch is being filled
    int64_t records = 0;
    int64_t frames = 0;
    int64_t fileEnd = 0;  // the end of the header and the whole records after it
    bool headerWritten = false;
    bool writeFailed = false;
};

// Handle table: 0, stale and forged values give null.
uint32_t AddFile(OstrelFile* file);
OstrelFile* AccessFile(uint32_t handle);
OstrelFile* RemoveFile(uint32_t handle);

// Runs body on the record of a live handle; failure for any other value and
// when memory runs out, so nothing is thrown to the caller.
template <typename Result, typename Body>
Result WithFile(uint32_t handle, Result failure, Body body) {
    OstrelFile* file = AccessFile(handle);
    if (file == nullptr) return failure;
    try {
        return body(*file);
    } catch (...) {
        return failure;
    }
}

// Source rows between two samples of a channel whose rate passed the checks.
inline int32_t RowStep(const OstrelFile& file, const ChannelDefinition& channel) {
    return file.sampleRate / channel.rate;
}

// Short name of a signal type code, "" for an unknown code.
const char* TypeName(int32_t code);

// Closes the definitions: checks them and fixes every header text. False
// when they cannot make a valid file.
bool CloseDefinitions(OstrelFile& file);
// Chooses the record layout for a first commit of frameCount frames (0 when
// the file ends without one); false when that commit cannot fill whole records.
bool FixLayout(OstrelFile& file, int32_t frameCount);
// The data records that frames frames fill; -1 when they end inside one.
int64_t RecordsOfFrames(const OstrelFile& file, int64_t frames);
// The complete header with the record count given.
std::vector<uint8_t> BuildHeader(const OstrelFile& file, int64_t recordCount);
// Fills the annotation signal of the epoch's records, numbered from first.
void FillAnnotations(OstrelFile& file, uint8_t* epoch, int32_t recordCount, int64_t first);

}  // namespace ostrel

#endif
