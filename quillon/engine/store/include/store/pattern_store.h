// The montage pattern store: the four pattern slots and their sections
// "EEGPattern1".."EEGPattern4" and "PSGPattern1".."PSGPattern4" of the
// settings file. An index of 0..3 names one slot, a negative index all four
// in order; any other index does nothing.
#ifndef QUILLON_PATTERN_STORE_H
#define QUILLON_PATTERN_STORE_H

#include <stdint.h>

#include "store/app_record.h"

constexpr int32_t kListTextLimit = 2000;  // characters read of one row list

extern "C" {

void LoadEegPattern(AppRecord* record, const char* settingsPath, int32_t index);
void SaveEegPattern(const AppRecord* record, const char* settingsPath, int32_t index);
void LoadPsgPattern(AppRecord* record, const char* settingsPath, int32_t index);
void SavePsgPattern(const AppRecord* record, const char* settingsPath, int32_t index);

// The PSG rows of all four slots before any pattern is loaded: rate divisor
// 1, 50 units per 409 counts, sensitivity 50.0, filters 0.5 Hz and 100 Hz.
void SetPsgRowDefaults(AppRecord* record);

// Parses a row list ("10,20,30,") into at most maxCount values and returns
// how many it stored: every field a comma closes is a value (an empty one
// reads 0), the text after the last comma only when it is not blank. The
// format is the companion library's number list, read in 32 bits rather
// than its 16: the PSG grid offers sensitivities and A/D counts beyond 65535
// that would not survive a save and reload otherwise.
int32_t ParseRowList(const char* text, int32_t length, int32_t* values, int32_t maxCount);

// The values of a row list of the settings file as a load reads them
// (kPatternRowCount at most): 0 when the key is missing or too short to
// change any row.
int32_t ReadPatternList(const char* section, const char* key, int32_t* values,
                        const char* settingsPath);
}

#endif
