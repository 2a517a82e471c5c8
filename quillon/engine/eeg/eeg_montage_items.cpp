#include "eeg/eeg_montage_items.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "platform.h"
#include "montage/value_tables.h"

namespace {

constexpr int16_t kMicrovoltExponent = -6;

// Truncated toward zero, then the low 16 bits.
int16_t Low16(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.0e18) return 0;
    return static_cast<int16_t>(
        static_cast<uint16_t>(static_cast<uint64_t>(static_cast<int64_t>(value))));
}

void PutCalibrationEntry(uint16_t* entry, int16_t amount, int16_t sample, int16_t exponent) {
    entry[0] = static_cast<uint16_t>(amount);
    entry[1] = static_cast<uint16_t>(sample);
    entry[2] = 0;
    entry[3] = static_cast<uint16_t>(exponent);
}

void WriteCalibrationTable(KAVFHANDLE handle, const MontagePattern& pattern, uint32_t traces) {
    std::vector<uint16_t> words(4u * (1u + traces), 0);
    const float accCal = CalibrationValues(pattern.ACCCal);
    const float accSens = SensitivityValues(pattern.ACCSens);
    PutCalibrationEntry(&words[0], Low16(accCal), CalibrationSampleValue(accCal, accSens),
                        kMicrovoltExponent);
    for (uint32_t row = 0; row < traces; ++row) {
        const EegMontageRow& trace = pattern.EegRows[row];
        uint16_t* entry = &words[4u * (1u + row)];
        if (IsSignalKind(trace.SOURCE)) {
            float sensitivity = SensitivityValues(trace.SENS);
            if (sensitivity == 0.0f) sensitivity = accSens;
            float calibration = CalibrationValues(trace.CAL);
            if (calibration == 0.0f) calibration = accCal;
            PutCalibrationEntry(entry, Low16(calibration),
                                CalibrationSampleValue(calibration, sensitivity),
                                kMicrovoltExponent);
        } else if (IsRecordingInput(trace.SOURCE)) {
            PutCalibrationEntry(entry, 100, 409, kMicrovoltExponent);
        } else {
            PutCalibrationEntry(entry, 1, 1, 0);
        }
    }
    CreateKavfWordInfo(handle, KAVF_MODE_NATIVE, 0x8B, static_cast<uint32_t>(words.size()),
                       words.data());
}

void WriteAmplifierTable(KAVFHANDLE handle, const MontagePattern& pattern, uint32_t traces) {
    std::vector<uint16_t> words(6u * (1u + traces), 0);
    const uint16_t first[6] = {
        0, pattern.ACCCal, pattern.ACCSens, pattern.ACCLff, pattern.ACCHff, pattern.Notch};
    std::memcpy(words.data(), first, sizeof first);
    for (uint32_t row = 0; row < traces; ++row) {
        const EegMontageRow& trace = pattern.EegRows[row];
        uint16_t kind = 0;
        if (IsSignalKind(trace.SOURCE) || IsMarkKind(trace.SOURCE))
            kind = 1;
        else if (IsRecordingInput(trace.SOURCE))
            kind = 2;
        const uint16_t entry[6] = {kind, trace.CAL, trace.SENS, trace.LFF, trace.HFF, 0};
        std::memcpy(&words[6u * (1u + row)], entry, sizeof entry);
    }
    CreateKavfWordInfo(handle, KAVF_MODE_NATIVE, 0x8D, static_cast<uint32_t>(words.size()),
                       words.data());
}

void WriteElectrodeTable(KAVFHANDLE handle, const MontagePattern& pattern, uint32_t traces) {
    std::vector<uint16_t> words(8u * traces, 0);
    for (uint32_t row = 0; row < traces; ++row) {
        const EegMontageRow& trace = pattern.EegRows[row];
        const uint16_t entry[8] = {trace.SOURCE, trace.G1,    trace.G2,    trace.RECIN,
                                   trace.SHOW,   trace.COLOR, trace.WIDTH, 0};
        std::memcpy(&words[8u * row], entry, sizeof entry);
    }
    CreateKavfWordInfo(handle, KAVF_MODE_NATIVE, 0xB0, static_cast<uint32_t>(words.size()),
                       words.data());
}

// Trace labels keep whole characters: 8 bytes reach the file.
void WriteTraceTexts(KAVFHANDLE handle, const MontagePattern& pattern, uint32_t traces,
                     uint32_t item) {
    std::vector<KavfTextElement> list(traces);
    for (uint32_t row = 0; row < traces; ++row) {
        KavfTextElement& element = list[row];
        std::memset(&element, 0, sizeof element);
        if (item == 0x8F) {
            element.words = 4;
            element.length = 4;
            continue;
        }
        element.words = 6;
        element.length = 8;
        const char* label = pattern.EegRows[row].label;
        size_t kept = 0;
        while (kept < 8 && kept < sizeof pattern.EegRows[row].label && label[kept] != '\0') {
            bool pair =
                PlatIsLeadByte932(static_cast<uint8_t>(label[kept])) && label[kept + 1] != '\0';
            size_t step = pair ? 2 : 1;
            if (kept + step > 8) break;
            kept += step;
        }
        std::memcpy(element.text, label, kept);
    }
    CreateKavfTextInfo(handle, item, traces, list.data());
}

}  // namespace

const MontagePattern& EegPatternOf(const AppRecord* record) {
    static const MontagePattern kNoPattern{};
    const MontagePattern* slot = CurrentEegSlot(const_cast<AppRecord*>(record));
    return slot != nullptr ? *slot : kNoPattern;
}

int16_t CalibrationSampleValue(float calibration, float sensitivity) {
    if (sensitivity == 0.0f) return 0;
    return Low16(static_cast<double>(calibration) * 4096.0 /
                 (static_cast<double>(sensitivity) * 50.0));
}

void WriteMontageItem(KAVFHANDLE handle, const MontagePattern& pattern, uint32_t traces,
                      uint32_t item) {
    if (traces > static_cast<uint32_t>(kPatternRowCount)) traces = kPatternRowCount;
    switch (item) {
        case 0x8B: WriteCalibrationTable(handle, pattern, traces); break;
        case 0x8D: WriteAmplifierTable(handle, pattern, traces); break;
        case 0xB0: WriteElectrodeTable(handle, pattern, traces); break;
        default: WriteTraceTexts(handle, pattern, traces, item); break;
    }
}
