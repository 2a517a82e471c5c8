// Why a conversion did not start: the one place for both output kinds'
// start outcomes, as reasons (store/reasons.h) and in English for the
// command-line tool's messages and logs.
#ifndef QUILLON_START_REASONS_H
#define QUILLON_START_REASONS_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"
#include "eeg/eeg_run.h"
#include "psg/psg_run.h"
#include "store/reasons.h"
#include "store/settings_checks.h"

extern "C" {

// The reason of an EEG start outcome: the output at path (its reference
// file for kEegStartReferenceExists) and the system's reason (RunErrorText).
Reason EegStartReason(const AppRecord* record, int32_t outcome, const char* path);

// The reason of a PSG start outcome with the channel and value it names.
Reason PsgStartReason(const PsgStartResult* result);

// A setting out of its range: "[SECTION] KEY", value, row, range ends.
Reason SettingProblemReason(const SettingProblem* problem);

// The reason of an EEG start outcome for the output at path, with the
// system's reason (RunErrorText) where the file could not be created.
// Returns the length written.
int32_t FormatEegStartReason(const AppRecord* record, int32_t outcome, const char* path, char* out,
                             size_t size);

// The reason of a PSG start outcome, with the channel and value it names.
// Returns the length written.
int32_t FormatPsgStartReason(const PsgStartResult* result, char* out, size_t size);

// "[SECTION] KEY is VALUE (row R); it must be RANGE". Returns the length
// written.
int32_t FormatSettingProblem(const SettingProblem* problem, char* out, size_t size);
}

#endif
