// Internal: what the parts of the PSG run share.
#ifndef QUILLON_PSG_INTERNAL_H
#define QUILLON_PSG_INTERNAL_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"
#include "psg/psg_run.h"

namespace psg {

// The size of one epoch for a layout that passed CheckPsgLayout.
struct EpochShape {
    uint32_t stepIncrement;  // frames per epoch
    uint32_t framesPerStep;  // sample rows per epoch
    uint32_t frameBytes;     // distance between two samples of a channel, for Ostrel
    uint64_t blockBytes;     // size of the epoch buffer
};

inline bool RowOn(const PsgChannelRow& row) { return row.ChEnable > kChannelOff; }

// A rate divisor of 0 counts as 1.
inline int32_t RateDivisor(const PsgChannelRow& row) { return row.Rate == 0 ? 1 : row.Rate; }

// The channel's rate in hertz as Ostrel is told it.
inline int32_t ChannelRate(int32_t sampleRate, const PsgChannelRow& row) {
    return sampleRate / RateDivisor(row);
}

// A magnification of 0 (a fresh pattern's) counts as 1, as the pattern
// store reads it.
inline int32_t Magnification(const PsgChannelRow& row) { return row.MAG == 0 ? 1 : row.MAG; }

EpochShape ShapeOf(const AppRecord* record);

constexpr size_t kEightChannels = 8;

// Samples 0 to 7 of rows rows, rowWords apart from firstRow on, into eight
// columns of rows samples each, one after the other from columns on.
void EightColumns(const int16_t* firstRow, size_t rowWords, uint32_t rows, int16_t* columns);

// Ostrel ordinals 5 to 34 in the run's order. Returns the handle, or 0 with
// the outcome in *outcome (ordinal 5 or 30 refused, or ordinal 34 said the
// definitions were refused; the handle is then released).
uint32_t WriteDefinitions(AppRecord* record, const MontagePattern& pattern, int32_t* outcome);

}  // namespace psg

#endif
