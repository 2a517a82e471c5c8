// A wave data file's flow wave as an EDF+ file written through Ostrel: one
// signal per channel, physical values from the file's calibration and
// sensitivity items, the header groups' patient and recording texts, and
// the frames' event words and the .REF entries as annotations.
#ifndef QUILLON_EXPORT_WAVE_EXPORT_H
#define QUILLON_EXPORT_WAVE_EXPORT_H

#include <stddef.h>
#include <stdint.h>

// Why an export ended; the detail says more for some (see each).
enum ExportOutcome {
    kExportDone = 0,
    kExportCannotOpen = 1,    // detail: the library's open error
    kExportNotWaveFile = 2,   // not a KAVF file
    kExportNoFlowWave = 3,    // detail: the kind of wave description found, 0 none
    kExportDamaged = 4,       // detail: ExportDamage
    kExportLayout = 5,        // detail: ExportLayoutIssue
    kExportOutputExists = 6,  // never overwritten
    kExportCannotCreate = 7,
    kExportReadFailed = 8,  // detail: the first frame that could not be read
    kExportWriteFailed = 9,
    kExportNoMemory = 10,
};

enum ExportDamage {
    kDamageFramesBeyondFile = 1,  // the wave declares more frames than the file holds
    kDamageNoGroups = 2,          // the index names no group that can be read
};

// What EDF+ (through Ostrel) cannot hold.
enum ExportLayoutIssue {
    kLayoutNoChannels = 1,
    kLayoutTooManyChannels = 2,  // more than 256
    kLayoutNoInterval = 3,
    kLayoutRateNotWhole = 4,  // the interval gives no whole number of samples a second
    kLayoutRefusedByWriter = 5,
};

struct ExportSummary {
    int32_t outcome;
    int32_t detail;
    uint32_t frames;  // wave frames exported
    uint32_t channels;
    uint32_t sampleRate;        // Hz
    uint32_t events;            // annotations given for event words and .REF entries
    uint32_t eventsLeftOut;     // events the records had no room for
    uint32_t unscaledChannels;  // channels stored 1:1 in digital units
};

// What lies at an output path for a restartable run.
enum EdfFileState {
    kEdfAbsent = 0,
    kEdfComplete = 1,  // its record count matches its size
    kEdfPartial = 2,   // record count -1 or not matching its size: a killed run's
    kEdfForeign = 3,   // something that is not an EDF file
};

extern "C" {
// Exports wavePath into edfPath, which must not exist; nothing is left at
// edfPath unless the outcome is kExportDone. summary may not be null.
int32_t ExportWaveFile(const char* wavePath, const char* edfPath, ExportSummary* summary);
// wavePath with the extension of its name replaced by ".edf" (appended
// when it has none); 0 when out is too small.
int32_t MakeEdfPath(const char* wavePath, char* out, size_t size);
// EdfFileState of path.
int32_t ExportedEdfState(const char* path);
}

#endif
