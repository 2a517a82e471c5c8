// Internal: the per-trace items of the EEG header's montage groups and the
// values derived from the pattern in use. The header writer calls in here
// and decides how many traces a group holds; nothing here calls back.
#ifndef QUILLON_EEG_MONTAGE_ITEMS_H
#define QUILLON_EEG_MONTAGE_ITEMS_H

#include <stdint.h>

#include "store/app_record.h"
#include "kavf32.h"

// The EEG pattern in use; an all-zero pattern when the slot index is out of
// range.
const MontagePattern& EegPatternOf(const AppRecord* record);

// Items 0x8B (calibration), 0x8D (amplifier), 0xB0 (electrodes), 0x8E
// (trace labels) and 0x8F (empty texts) for the pattern's first traces rows
// (at most all of them).
void WriteMontageItem(KAVFHANDLE handle, const MontagePattern& pattern, uint32_t traces,
                      uint32_t item);

// The calibration entry's second word: the sample value of a calibration of
// calibration microvolts at sensitivity microvolts per millimetre, 16 bits;
// 0 when there is no sensitivity to divide by.
int16_t CalibrationSampleValue(float calibration, float sensitivity);

#endif
