// quillon-cli convert --type psg: the PSG run of the desktop program.
#ifndef QUILLON_CLI_CONVERT_PSG_H
#define QUILLON_CLI_CONVERT_PSG_H

#include <string>
#include <vector>

#include "store/app_record.h"
#include "convert_options.h"

// Converts the open source of record, with the settings and the layout
// already applied, into the PSG file o.outputFile; notes are the warnings
// of a run that goes ahead. Returns the exit status.
int ConvertToPsg(AppRecord* record, const ConvertOptions& o, const std::vector<std::string>& notes);

#endif
