#include "pages/patient_page.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform.h"

const char* const kSexEntries[kSexEntryCount] = {"0", "M", "F"};
const char kDepartmentListSection[] = "DEPARMENT";
const char kReqDoctorListSection[] = "REQDOCTOR";
const char kTechnicianListSection[] = "TECHNICIAN";
const char kReaderListSection[] = "READER";

namespace {

// The edits hold six characters, all of which are read.
constexpr size_t kMeasureCharsRead = 6;

struct MeasureRule {
    float low;
    float high;
    float scale;  // stored units per displayed unit
};

const MeasureRule kHeightRule = {50.0f, 220.0f, 10.0f};
const MeasureRule kWeightRule = {5.0f, 300.0f, 1000.0f};

// Rounds as the stored values always have: up from .51 of a unit.
constexpr float kRoundingBias = 0.49f;

int32_t TakeMeasure(int32_t* stored, const MeasureRule& rule, const char* text) {
    if (stored == nullptr || text == nullptr) return 0;
    char head[kMeasureCharsRead + 1] = {};
    std::strncpy(head, text, kMeasureCharsRead);
    const float number = std::strtof(head, nullptr);
    if (!(number >= rule.low && number <= rule.high)) return 0;
    *stored = static_cast<int32_t>(number * rule.scale + kRoundingBias);
    return 1;
}

void FormatMeasure(int32_t stored, double unit, char* out, int32_t outSize) {
    if (out == nullptr || outSize <= 0) return;
    std::snprintf(out, static_cast<size_t>(outSize), "%3.1f", stored * unit);
}

}  // namespace

extern "C" int32_t TakeTypedHeight(PatientInfo* patient, const char* text) {
    return patient ? TakeMeasure(&patient->Height, kHeightRule, text) : 0;
}

extern "C" int32_t TakeTypedWeight(PatientInfo* patient, const char* text) {
    return patient ? TakeMeasure(&patient->Weight, kWeightRule, text) : 0;
}

extern "C" void FormatHeight(const PatientInfo* patient, char* out, int32_t outSize) {
    if (patient != nullptr) FormatMeasure(patient->Height, 0.1, out, outSize);
}

extern "C" void FormatWeight(const PatientInfo* patient, char* out, int32_t outSize) {
    if (patient != nullptr) FormatMeasure(patient->Weight, 0.001, out, outSize);
}

extern "C" int32_t ListIndexOfValue(int32_t value, int32_t first, int32_t count) {
    const int64_t index = static_cast<int64_t>(value) - first;
    return index >= 0 && index < count ? static_cast<int32_t>(index) : -1;
}

extern "C" int32_t SexEntryIndex(const char* sex) {
    for (int32_t i = 0; sex != nullptr && i < kSexEntryCount; ++i)
        if (std::strcmp(sex, kSexEntries[i]) == 0) return i;
    return -1;
}

extern "C" void ReadNameList(const char* patientPath, const char* section, NameList* list) {
    if (list == nullptr) return;
    list->count = 0;
    if (patientPath == nullptr || section == nullptr) return;
    for (int32_t key = 0; key < kNameListMax; ++key) {
        char keyText[8];
        std::snprintf(keyText, sizeof keyText, "%u", static_cast<unsigned>(key));
        char* name = list->names[list->count];
        PlatProfileString(section, keyText, "", name, kNameSize, patientPath);
        if (name[0] == '\0') return;
        ++list->count;
    }
}
