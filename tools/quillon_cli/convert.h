#ifndef QUILLON_CLI_CONVERT_H
#define QUILLON_CLI_CONVERT_H

#include <memory>
#include <string>
#include <vector>

#include "store/app_record.h"
#include "store/settings_store.h"
#include "convert_options.h"

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

#endif
