#include "montage/value_tables.h"

const char ReferenceNames[12][kTableEntrySize] = {
    " STD  ", "A1->A2", "A2->A1", "A1+A2 ", "A1<>A2", "  Cz  ",
    "  AV  ", " BNE  ", " SD1  ", " SD2  ", "------", "------",
};

const char SignalKindNames[16][kTableEntrySize] = {
    " OFF ", " EEG ", " EMG ", " EOG ", " ECG ", " RESP", "PULSE", "RECIN",
    "-----", "-----", "-----", "-----", "-----", "-----", "MARK1", "MARK2",
};

const char SensitivityNames[21][kTableEntrySize] = {
    "1.0u", "2.0u", "3.0u", "3.3u", "5.0u", "7.0u", " 10u", " 14u", " 20u", " 30u", " 40u",
    " 50u", " 70u", "100u", "200u", "300u", "500u", "  1m", "  2m", "  5m", " ACC",
};

// Entry 14 is 50 mV: its value is 50000 and the table steps 1, 2, 5 as the
// sensitivities do, so the name follows the value.
const char CalibrationNames[21][kTableEntrySize] = {
    " OFF", "  2u", "  5u", " 10u", " 20u", " 50u", "100u", "200u", "500u", "  1m", "  2m",
    "  5m", " 10m", " 20m", " 50m", "----", "----", "----", "----", "----", " ACC",
};

const char LowFilterNames[21][kTableEntrySize] = {
    " DC ", "0.03", "0.05", "0.15", " 0.5", " 1.0", " 1.5", " 2.0", " 5.0", "20.0", "----",
    "----", "----", "----", "----", "----", "----", "----", "----", "----", " ACC",
};

const char HighFilterNames[21][kTableEntrySize] = {
    " 15 ", " 30 ", " 60 ", "100 ", "----", "----", "----", "----", "----", "----", "----",
    "----", "----", "----", "----", "----", "----", "----", "----", "----", " ACC",
};

namespace {

const float kSensitivities[20] = {1.0f,   2.0f,   3.0f,   3.333f,  5.0f,    7.0f,   10.0f,
                                  14.0f,  20.0f,  30.0f,  40.0f,   50.0f,   70.0f,  100.0f,
                                  200.0f, 300.0f, 500.0f, 1000.0f, 2000.0f, 5000.0f};

const float kCalibrations[15] = {0.0f,    2.0f,    5.0f,     10.0f,    20.0f,
                                 50.0f,   100.0f,  200.0f,   500.0f,   1000.0f,
                                 2000.0f, 5000.0f, 10000.0f, 20000.0f, 50000.0f};

}  // namespace

extern "C" float SensitivityValues(uint32_t index) {
    return index < 20 ? kSensitivities[index] : 0.0f;
}

extern "C" float CalibrationValues(uint32_t index) {
    return index < 15 ? kCalibrations[index] : 0.0f;
}
