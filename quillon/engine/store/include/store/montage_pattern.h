// Montage patterns: for EEG output the traces to write, for PSG output one
// row per source channel. Four patterns live in the application record.
#ifndef QUILLON_MONTAGE_PATTERN_H
#define QUILLON_MONTAGE_PATTERN_H

#include <stdint.h>

constexpr int kPatternRowCount = 256;
constexpr int kPatternSlotCount = 4;
constexpr int kPatternLabelCount = 20;
constexpr int kPatternUnitCount = 8;
constexpr int kPatternTextSize = 32;  // names, labels, row labels
constexpr int kPatternUnitSize = 8;

// A table index of 20 in SENS, LFF, HFF or CAL: follow the pattern-wide value.
constexpr uint16_t AccIndex = 20;

// EegMontageRow.SOURCE, the SignalKindNames index: what a trace carries.
// Signal kinds take two electrodes and every amplifier setting, a
// recording input takes the electrodes only, marks neither.
constexpr uint16_t kTraceUnused = 0;
constexpr uint16_t kFirstSignalKind = 1;
constexpr uint16_t kLastSignalKind = 6;
constexpr uint16_t kRecordingInputKind = 7;
constexpr uint16_t kFirstMarkKind = 14;
constexpr uint16_t kLastMarkKind = 15;

inline bool IsSignalKind(uint16_t source) {
    return source >= kFirstSignalKind && source <= kLastSignalKind;
}
inline bool IsRecordingInput(uint16_t source) { return source == kRecordingInputKind; }
inline bool IsMarkKind(uint16_t source) {
    return source >= kFirstMarkKind && source <= kLastMarkKind;
}
// The kinds an EEG output writes; the others leave the trace empty.
inline bool IsWrittenKind(uint16_t source) {
    return IsSignalKind(source) || IsRecordingInput(source) || IsMarkKind(source);
}

// EegMontageRow.SHOW and COLOR.
constexpr uint16_t kTraceHidden = 0;
constexpr uint16_t kTraceShown = 1;
constexpr uint16_t kColourOff = 0;  // else a colour number 1..kColourCount
constexpr uint16_t kColourCount = 16;

// PsgChannelRow.ChEnable; any value above kChannelOff counts as on.
constexpr int32_t kChannelOff = 0;
constexpr int32_t kChannelOn = 1;

// One source channel of PSG output.
struct PsgChannelRow {
    int32_t ChEnable;   // kChannelOn or kChannelOff; above off counts as on
    int32_t Signal;     // signal type code 0..20
    int32_t Rate;       // divisor of the source rate: 1, 2, 4, 5, 10, 20, 50
    int32_t EU;         // physical value that corresponds to VU
    int32_t VU;         // A/D counts that correspond to EU
    int32_t Reserved9;  // always 0: channel item 9
    int32_t Reserved8;  // always 0: channel item 8
    int32_t Sens;       // sensitivity x 1000
    int32_t LFF;        // low filter, thousandths of a hertz, 0 = off
    int32_t HFF;        // high filter, hertz, 0 = off
    int32_t MAG;        // multiplier of the source values: 1, 10, ... 10000
    char ChLabel[kPatternTextSize];
    char ChUnit[kPatternUnitSize];
};

// One output trace of EEG output.
struct EegMontageRow {
    uint16_t SOURCE;  // index into SignalKindNames; 0 = trace not used
    uint16_t G1;      // electrode indexes 0..63 into ElectrodeNames
    uint16_t G2;
    uint16_t RECIN;  // recording input 0..15
    uint16_t SENS;   // SensitivityNames index or AccIndex
    uint16_t LFF;    // LowFilterNames index or AccIndex
    uint16_t HFF;    // HighFilterNames index or AccIndex
    uint16_t CAL;    // CalibrationNames index or AccIndex
    uint16_t SHOW;   // kTraceShown or kTraceHidden
    uint16_t COLOR;  // kColourOff or a colour number 1..kColourCount
    uint16_t WIDTH;  // 10..120 in steps of 5
    // Set by the EEG header construction just before a run; never stored.
    float ScaleNumerator;
    float ScaleDenominator;
    char label[kPatternTextSize];
};

// The name, labels and units are shared by both parts: whichever section
// was loaded last into the slot decides them.
struct MontagePattern {
    uint16_t Ref;  // ReferenceNames index
    uint16_t ACCSens;
    uint16_t ACCLff;
    uint16_t ACCHff;
    uint16_t ACCCal;
    uint16_t Notch;
    uint16_t Rapid;
    char name[kPatternTextSize];
    char labels[kPatternLabelCount][kPatternTextSize];
    char units[kPatternUnitCount][kPatternUnitSize];
    PsgChannelRow PsgRows[kPatternRowCount];
    EegMontageRow EegRows[kPatternRowCount];
};

#endif
