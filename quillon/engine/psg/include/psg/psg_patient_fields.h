// The widths (bytes) with which the PSG file's definitions pass the patient
// texts on: Ostrel keeps at most so many bytes of each, whole characters only.
#ifndef QUILLON_PSG_PATIENT_FIELDS_H
#define QUILLON_PSG_PATIENT_FIELDS_H

#include <stdint.h>

constexpr int32_t kPsgPatientIdWidth = 20;
constexpr int32_t kPsgNameWidth = 32;  // the name and its kana
constexpr int32_t kPsgSexWidth = 4;
constexpr int32_t kPsgHospitalWidth = 80;
constexpr int32_t kPsgDepartmentWidth = 40;
constexpr int32_t kPsgDoctorWidth = 32;  // requesting, technician, reading
constexpr int32_t kPsgMedicationWidth = 80;
constexpr int32_t kPsgCommentWidth = 128;

#endif
