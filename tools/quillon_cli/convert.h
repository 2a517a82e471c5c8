#ifndef QUILLON_CLI_CONVERT_H
#define QUILLON_CLI_CONVERT_H

#include <string>

#include "convert_options.h"
#include "store/app_record.h"
#include "store/settings_store.h"

// quillon-cli convert SOURCE ...; returns the exit status.
int RunConvert(int argc, char** argv);

// For a batch, which checks the settings and the volume once for its jobs:
// the settings file (and the patient file) a run of o reads, and the volume
// of o.volumeRoot ready (its Disk ID created with o.newDiskId). False with
// the reason in error.
bool FindConvertSettings(const ConvertOptions& o, SettingsPaths* paths, std::string* error);
bool PrepareConvertVolume(const ConvertOptions& o, AppRecord* record, std::string* error);

#endif
