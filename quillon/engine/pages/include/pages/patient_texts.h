// How much of each patient text the record and the output files keep: the
// record's field bounds what a page takes (code page 932 bytes), the EEG and
// PSG files may keep less, and the page says so beside the field.
#ifndef QUILLON_PATIENT_TEXTS_H
#define QUILLON_PATIENT_TEXTS_H

#include <stddef.h>
#include <stdint.h>

enum PatientTextKind {
    kPatientIdText,
    kName1Text,
    kName2Text,
    kSexText,
    kDepartmentText,
    kReqDoctorText,
    kTechnicianText,
    kReaderText,
    kHospitalText,
    kMedicationText,
    kComment1Text,
    kComment2Text,
    kComment3Text,
    kComment4Text,
    kComment5Text,
    kPatientTextCount
};

// Which outputs keep less of a text than it holds.
enum PatientKeepWarning {
    kKeepWhole = 0,
    kKeepLessInEeg = 1,
    kKeepLessInPsg = 2,
    kKeepLessInBoth = kKeepLessInEeg | kKeepLessInPsg,
};

struct PatientTextKeep {
    int32_t warning;   // PatientKeepWarning
    int32_t eegChars;  // characters of the text the EEG file keeps
    int32_t psgChars;  // and the PSG file
};

extern "C" {

// The most bytes a page takes for a text: its record field less the
// terminator; 0 for an unknown kind.
int32_t PatientTextLimit(int32_t kind);

// The bytes each output keeps of a text of this kind; 0 when it writes none.
int32_t PatientTextEegBytes(int32_t kind);
int32_t PatientTextPsgBytes(int32_t kind);

// The characters of text (code page 932) within its first limit bytes,
// whole characters only.
int32_t Cp932CharsWithin(const char* text, int32_t limit);

// What the outputs keep of text as a page holds it. An output that writes no
// text of this kind is not warned about: it leaves all of it out by design.
PatientTextKeep PatientTextKeptBy(int32_t kind, const char* text);
}

#endif
