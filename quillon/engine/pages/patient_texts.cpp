#include "pages/patient_texts.h"

#include "eeg/eeg_header.h"
#include "platform.h"
#include "psg/psg_patient_fields.h"
#include "store/app_record.h"

namespace {

struct TextLimits {
    int32_t recordBytes;  // the field, terminator included
    int32_t eegBytes;
    int32_t psgBytes;
};

constexpr int32_t Room(uint16_t words) { return static_cast<int32_t>(EegElementRoom(words)); }

#define FIELD_SIZE(field) static_cast<int32_t>(sizeof(PatientInfo::field))

const TextLimits kLimits[kPatientTextCount] = {
    {FIELD_SIZE(PatientId), Room(kEegPatientIdWords), kPsgPatientIdWidth},
    {FIELD_SIZE(Name1), Room(kEegNameWords), kPsgNameWidth},
    {FIELD_SIZE(Name2), Room(kEegNameWords), kPsgNameWidth},
    {FIELD_SIZE(Sex), Room(kEegSexWords), kPsgSexWidth},
    {FIELD_SIZE(Department), Room(kEegDepartmentWords), kPsgDepartmentWidth},
    {FIELD_SIZE(ReqDoctor), 0, kPsgDoctorWidth},
    {FIELD_SIZE(Technician), 0, kPsgDoctorWidth},
    {FIELD_SIZE(ReaderDoctor), 0, kPsgDoctorWidth},
    {FIELD_SIZE(Hospital), 0, kPsgHospitalWidth},
    {FIELD_SIZE(Medication), 0, kPsgMedicationWidth},
    {FIELD_SIZE(Comment1), Room(kEegCommentWords), kPsgCommentWidth},
    {FIELD_SIZE(Comment2), Room(kEegCommentWords), kPsgCommentWidth},
    {FIELD_SIZE(Comment3), Room(kEegCommentWords), kPsgCommentWidth},
    {FIELD_SIZE(Comment4), Room(kEegCommentWords), kPsgCommentWidth},
    {FIELD_SIZE(Comment5), Room(kEegCommentWords), kPsgCommentWidth},
};

#undef FIELD_SIZE

bool Known(int32_t kind) { return kind >= 0 && kind < kPatientTextCount; }

// Characters and bytes of the longest whole-character prefix within limit.
int32_t WholePrefix(const char* text, int32_t limit, int32_t* chars) {
    int32_t at = 0;
    *chars = 0;
    while (text != nullptr && text[at] != '\0') {
        const bool pair = PlatIsLeadByte932(static_cast<uint8_t>(text[at])) && text[at + 1] != '\0';
        const int32_t step = pair ? 2 : 1;
        if (at + step > limit) break;
        at += step;
        ++*chars;
    }
    return at;
}

}  // namespace

extern "C" int32_t PatientTextLimit(int32_t kind) {
    return Known(kind) ? kLimits[kind].recordBytes - 1 : 0;
}

extern "C" int32_t PatientTextEegBytes(int32_t kind) {
    return Known(kind) ? kLimits[kind].eegBytes : 0;
}

extern "C" int32_t PatientTextPsgBytes(int32_t kind) {
    return Known(kind) ? kLimits[kind].psgBytes : 0;
}

extern "C" int32_t Cp932CharsWithin(const char* text, int32_t limit) {
    int32_t chars = 0;
    WholePrefix(text, limit, &chars);
    return chars;
}

extern "C" PatientTextKeep PatientTextKeptBy(int32_t kind, const char* text) {
    PatientTextKeep keep = {kKeepWhole, 0, 0};
    if (!Known(kind) || text == nullptr) return keep;
    const int32_t held = PatientTextLimit(kind);
    int32_t heldChars = 0;
    const int32_t heldBytes = WholePrefix(text, held, &heldChars);
    const int32_t eeg = kLimits[kind].eegBytes;
    const int32_t psg = kLimits[kind].psgBytes;
    keep.eegChars = eeg > 0 ? Cp932CharsWithin(text, eeg < heldBytes ? eeg : heldBytes) : 0;
    keep.psgChars = psg > 0 ? Cp932CharsWithin(text, psg < heldBytes ? psg : heldBytes) : 0;
    if (eeg > 0 && keep.eegChars < heldChars) keep.warning |= kKeepLessInEeg;
    if (psg > 0 && keep.psgChars < heldChars) keep.warning |= kKeepLessInPsg;
    return keep;
}
