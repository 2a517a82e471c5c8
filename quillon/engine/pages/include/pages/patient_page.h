// What the patient pages decide: the typed height and weight, the list
// indexes of the dates and sex, and the staff name lists of the patient file.
#ifndef QUILLON_PATIENT_PAGE_H
#define QUILLON_PATIENT_PAGE_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"
#include "store/field_text.h"

constexpr int32_t kBirthYearFirst = 1900;
constexpr int32_t kBirthYearCount = 130;  // 1900..2029
constexpr int32_t kAgeYearCount = 101;    // 0..100
constexpr int32_t kAgeMonthCount = 12;    // 0..11
constexpr int32_t kSexEntryCount = 3;
constexpr int32_t kNameListMax = 20;
constexpr int32_t kNameSize = 128;        // 127 characters and the terminator
constexpr int32_t kMeasureTextSize = 16;  // "%3.1f" of any stored value fits

extern const char* const kSexEntries[kSexEntryCount];

// Sections of the patient file holding the names each list offers.
extern const char kDepartmentListSection[];
extern const char kReqDoctorListSection[];
extern const char kTechnicianListSection[];
extern const char kReaderListSection[];

struct NameList {
    int32_t count;
    char names[kNameListMax][kNameSize];
};

extern "C" {

// The typed height (cm) and weight (kg): 1 taken into the record (0.1 cm,
// grams), 0 refused with a beep. Either way the edit shows the stored value
// again through FormatHeight / FormatWeight.
int32_t TakeTypedHeight(PatientInfo* patient, const char* text);
int32_t TakeTypedWeight(PatientInfo* patient, const char* text);
void FormatHeight(const PatientInfo* patient, char* out, int32_t outSize);
void FormatWeight(const PatientInfo* patient, char* out, int32_t outSize);

// The list index showing value in a list of count entries starting at
// first, or -1 when the value is outside the list.
int32_t ListIndexOfValue(int32_t value, int32_t first, int32_t count);
// The entry of kSexEntries equal to sex, or -1.
int32_t SexEntryIndex(const char* sex);

// Keys "0".."19" of section in turn until the first empty value.
void ReadNameList(const char* patientPath, const char* section, NameList* list);

// A new patient: the texts that describe the patient and the request
// emptied, the numbers at the program's first-start values. The hospital,
// the technician and the output volume stay.
void ClearPatientForNext(PatientInfo* patient);
// Whether the pages hold anything a new patient would lose: 1 when patient
// differs from a cleared one.
int32_t PatientHoldsEntries(const PatientInfo* patient);
}

#endif
