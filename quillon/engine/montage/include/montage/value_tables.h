// The fixed choice tables of the montage patterns. Every entry is 8 bytes
// and shown exactly as stored, blanks included; an entry beginning with '-'
// is a place holder that lists skip or stop at.
#ifndef QUILLON_VALUE_TABLES_H
#define QUILLON_VALUE_TABLES_H

#include <stdint.h>

constexpr int kTableEntrySize = 8;

extern const char ReferenceNames[12][kTableEntrySize];
extern const char SignalKindNames[16][kTableEntrySize];
extern const char SensitivityNames[21][kTableEntrySize];
extern const char CalibrationNames[21][kTableEntrySize];
extern const char LowFilterNames[21][kTableEntrySize];
extern const char HighFilterNames[21][kTableEntrySize];

extern "C" {
// Microvolts per table index; 0.0 for an index of 20 or more.
float SensitivityValues(uint32_t index);
// Microvolts per table index; 0.0 for an index above 14.
float CalibrationValues(uint32_t index);
}

#endif
