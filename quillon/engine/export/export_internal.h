// The export's picture of a wave data file: what the header groups say and
// where the frames lie. Read once before anything is written.
#ifndef QUILLON_EXPORT_INTERNAL_H
#define QUILLON_EXPORT_INTERNAL_H

#include <cstdint>
#include <string>
#include <vector>

#include "export/wave_export.h"
#include "kavf32.h"

namespace wave_export {

// physical = digital x eu / vu in unit; unscaled channels are 1:1 without unit.
struct ChannelScale {
    std::string label;  // cp932 as the file holds it
    std::string unit;
    int32_t eu = 1;
    int32_t vu = 1;
    bool unscaled = true;
};

struct WaveEvent {
    uint32_t frame;
    uint16_t code;
};

// Elements of the recording text list (group 1, item 0x80) the export uses.
enum RecordText {
    kTextVolumeModel = 3,
    kTextFileNumber = 5,
    kTextDiskId = 6,
    kTextPatientId = 7,
    kTextSex = 8,
    kTextName1 = 9,
    kTextName2 = 10,
    kTextDepartment = 13,
    kTextFirstComment = 15,
    kTextLastComment = 19,
};

struct WaveSource {
    KAVFHANDLE handle = 0;
    KavfWaveInfo info{};
    uint32_t frameBytes = 0;
    bool eventWord = false;
    bool wide = false;  // 16-bit samples
    uint32_t rate = 0;  // Hz
    std::vector<ChannelScale> channels;
    std::vector<std::string> recordTexts;  // empty when the file has none
    bool hasStart = false;
    int32_t start[6] = {};  // year, month (1..12), day, hour, minute, second
    std::vector<WaveEvent> referenceEvents;
};

// Opens and checks the file and finds its flow wave: kExportDone or why
// not (detail filled). The handle is left open on success only.
int32_t OpenWaveSource(const char* path, WaveSource* source, int32_t* detail);
// Labels, scales, texts, start and .REF entries; what is missing keeps its default.
void ReadWaveItems(const char* path, WaveSource* source);

// Writes the EDF+ file from an opened source: an ExportOutcome.
int32_t WriteEdf(WaveSource* source, const char* edfPath, ExportSummary* summary);

}  // namespace wave_export

#endif
