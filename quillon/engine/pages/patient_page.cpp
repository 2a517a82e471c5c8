#include "pages/patient_page.h"

#include <cstddef>
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

// The program's first-start values (the settings' fallbacks).
constexpr int32_t kNewHeight = 1600;
constexpr int32_t kNewWeight = 60000;
constexpr uint16_t kNewAgeYear = 25;
constexpr uint16_t kNewBirthYear = 1950;

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

struct PatientTextField {
    size_t offset;
    size_t size;
};

#define TEXT_FIELD(field) \
    { offsetof(PatientInfo, field), sizeof(PatientInfo::field) }

// The texts a new patient empties; the bytes behind a text's end do not count.
const PatientTextField kPatientTextFields[] = {
    TEXT_FIELD(PatientId),  TEXT_FIELD(Name1),     TEXT_FIELD(Name2),        TEXT_FIELD(Sex),
    TEXT_FIELD(Department), TEXT_FIELD(ReqDoctor), TEXT_FIELD(ReaderDoctor), TEXT_FIELD(Medication),
    TEXT_FIELD(Comment1),   TEXT_FIELD(Comment2),  TEXT_FIELD(Comment3),     TEXT_FIELD(Comment4),
    TEXT_FIELD(Comment5),
};

#undef TEXT_FIELD

const char* FieldText(const PatientInfo* patient, const PatientTextField& field) {
    return reinterpret_cast<const char*>(patient) + field.offset;
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

extern "C" void ClearPatientForNext(PatientInfo* patient) {
    if (patient == nullptr) return;
    PatientInfo next = {};
    std::memcpy(next.VolumeModel, patient->VolumeModel, sizeof next.VolumeModel);
    std::memcpy(next.DiskId, patient->DiskId, sizeof next.DiskId);
    std::memcpy(next.Hospital, patient->Hospital, sizeof next.Hospital);
    std::memcpy(next.Technician, patient->Technician, sizeof next.Technician);
    std::memcpy(next.Sex, kSexEntries[0], std::strlen(kSexEntries[0]) + 1);
    next.Height = kNewHeight;
    next.Weight = kNewWeight;
    next.AgeYear = kNewAgeYear;
    next.BirthYear = kNewBirthYear;
    next.BirthMonth = 1;
    next.BirthDay = 1;
    *patient = next;
}

extern "C" int32_t PatientHoldsEntries(const PatientInfo* patient) {
    if (patient == nullptr) return 0;
    PatientInfo cleared = *patient;
    ClearPatientForNext(&cleared);
    for (const PatientTextField& field : kPatientTextFields)
        if (std::strncmp(FieldText(&cleared, field), FieldText(patient, field), field.size) != 0)
            return 1;
    const bool sameNumbers =
        cleared.Height == patient->Height && cleared.Weight == patient->Weight &&
        cleared.AgeYear == patient->AgeYear && cleared.AgeMonth == patient->AgeMonth &&
        cleared.BirthYear == patient->BirthYear && cleared.BirthMonth == patient->BirthMonth &&
        cleared.BirthDay == patient->BirthDay;
    return sameNumbers ? 0 : 1;
}
