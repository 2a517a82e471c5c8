#ifndef QUILLON_CLI_CONVERT_H
#define QUILLON_CLI_CONVERT_H

#include <memory>
#include <string>
#include <vector>

#include "convert_options.h"
#include "store/app_record.h"
#include "store/settings_store.h"

// quillon-cli convert SOURCE ...; returns the exit status.
int RunConvert(int argc, char** argv);

// Ends a run left open and closes the source.
struct ConvertRecordRelease {
    void operator()(AppRecord* record) const;
};
using ConvertRecord = std::unique_ptr<AppRecord, ConvertRecordRelease>;

constexpr bool kLayoutRefused = true;
constexpr bool kLayoutJudged = false;  // a layout the first data line refutes is no refusal

// What convert does before its run: finds and checks the settings and the
// patient file, opens the source and applies the preset and the layout
// options, with convert's refusals. Returns kExitConverted with the record,
// or the failure's status after printing it.
int PrepareConvertSource(const ConvertOptions& o, bool refuseLayout, SettingsPaths* paths,
                         std::vector<std::string>* notes, ConvertRecord* record);

// For a batch, which checks the settings and the volume once for its jobs:
// the settings file (and the patient file) a run of o reads, and the volume
// of o.volumeRoot ready (its Disk ID created with o.newDiskId). False with
// the reason in error.
bool FindConvertSettings(const ConvertOptions& o, SettingsPaths* paths, std::string* error);
bool PrepareConvertVolume(const ConvertOptions& o, AppRecord* record, std::string* error);

#endif
