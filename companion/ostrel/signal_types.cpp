// Ordinal 70: names of the signal type codes, also used as the prefix of the
// EDF+ signal labels ("EEG Fp1"), so they follow the EDF+ type words where
// one exists. Codes 4..8 are the program's defaults for the first eight rows.
#include <cstring>

#include "ostrel.h"
#include "ostrel_file.h"

namespace ostrel {
namespace {

const char* const kTypeNames[OSTREL_TYPE_COUNT] = {
    "Misc",      // 0 unspecified
    "Event",     // 1 marker or event input
    "DC",        // 2 DC input
    "AC",        // 3 AC input
    "EEG",       // 4
    "EOG",       // 5
    "EMG",       // 6
    "ECG",       // 7
    "Resp",      // 8 respiration
    "Flow",      // 9 airflow
    "Effort",    // 10 respiratory effort (thorax, abdomen)
    "SaO2",      // 11 oxygen saturation
    "Pleth",     // 12 plethysmogram
    "HR",        // 13 heart or pulse rate
    "Pos",       // 14 body position
    "Snore",     // 15
    "Sound",     // 16
    "Light",     // 17
    "Temp",      // 18 temperature
    "CO2",       // 19 capnography
    "Pressure",  // 20 airway pressure
};

}  // namespace

const char* TypeName(int32_t code) {
    return code >= 0 && code < OSTREL_TYPE_COUNT ? kTypeNames[code] : "";
}

}  // namespace ostrel

extern "C" void COMPANIONAPI OstrelSignalTypeName(int32_t code, char* name) {
    if (name == nullptr) return;
    const char* text = ostrel::TypeName(code);
    size_t n = std::strlen(text);
    if (n > OSTREL_TYPE_NAME_SIZE - 1) n = OSTREL_TYPE_NAME_SIZE - 1;
    std::memcpy(name, text, n);
    name[n] = '\0';
}
