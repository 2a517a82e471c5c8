// The PSG file's definitions through Ostrel, in the order and with the
// values the library is driven with: creation settings, header items, the
// record comment, the patient block and one definition per enabled row.
#include <cstdio>
#include <cstring>

#include "ostrel.h"
#include "psg/psg_patient_fields.h"
#include "psg_internal.h"

namespace {

constexpr int32_t kSection = 0;
constexpr int32_t kEpochCountItem = 4;
constexpr int32_t kPatientBlockItem = 130;

// A text field of the record as a zero-terminated text, whether or not the
// field holds its own terminator.
template <size_t N>
struct FieldText {
    char text[N + 1];
    explicit FieldText(const char (&field)[N]) {
        std::memcpy(text, field, N);
        text[N] = '\0';
    }
};

template <size_t N>
FieldText<N> TextOf(const char (&field)[N]) {
    return FieldText<N>(field);
}

int32_t MainsFrequency(int32_t notch) {
    if (notch == kNotch50Hz) return 50;
    if (notch == kNotch60Hz) return 60;
    return 0;
}

void PutHeaderItems(uint32_t h, const AppRecord* r) {
    const int32_t items[12][2] = {
        {1, 1},
        {2, r->EnabledChannels},
        {3, r->FrameTime},
        {20, 0},
        {21, r->SampleRate},
        {22, MainsFrequency(r->NotchFreq)},
        {10, r->RecordYear},
        {11, r->RecordMonth},
        {12, r->RecordDay},
        {13, r->RecordHour},
        {14, r->RecordMinute},
        {15, r->RecordSecond},
    };
    for (const auto& item : items) OstrelSetHeaderItem(h, kSection, item[0], item[1]);
}

// Each field at the offset the previous one returned; the last offset
// closes the block.
void PutPatientBlock(uint32_t h, const PatientInfo& p) {
    char birth[32];
    std::snprintf(birth, sizeof birth, "%04u.%02u.%02u  ", unsigned{p.BirthYear},
                  unsigned{p.BirthMonth}, unsigned{p.BirthDay});
    char age[32];
    std::snprintf(age, sizeof age, "%uY%02uM   ", unsigned{p.AgeYear}, unsigned{p.AgeMonth});
    char height[32];
    std::snprintf(height, sizeof height, "%i     ", static_cast<int>(p.Height));
    char weight[32];
    std::snprintf(weight, sizeof weight, "%i     ", static_cast<int>(p.Weight));
    const auto id = TextOf(p.PatientId);
    const auto name = TextOf(p.Name1);
    const auto kana = TextOf(p.Name2);
    const auto sex = TextOf(p.Sex);
    const auto hospital = TextOf(p.Hospital);
    const auto department = TextOf(p.Department);
    const auto requesting = TextOf(p.ReqDoctor);
    const auto technician = TextOf(p.Technician);
    const auto reading = TextOf(p.ReaderDoctor);
    const auto medication = TextOf(p.Medication);
    const auto comment1 = TextOf(p.Comment1);
    const auto comment2 = TextOf(p.Comment2);
    const auto comment3 = TextOf(p.Comment3);
    const auto comment4 = TextOf(p.Comment4);
    const auto comment5 = TextOf(p.Comment5);
    const struct {
        int32_t id;
        int32_t width;
        const char* text;
    } fields[] = {
        {11, kPsgPatientIdWidth, id.text},
        {13, kPsgNameWidth, name.text},
        {14, kPsgNameWidth, kana.text},
        {22, 10, birth},
        {21, kPsgSexWidth, sex.text},
        {23, 8, age},
        {24, 6, height},
        {25, 8, weight},
        {101, kPsgHospitalWidth, hospital.text},
        {104, kPsgDepartmentWidth, department.text},
        {105, kPsgDoctorWidth, requesting.text},
        {106, kPsgDoctorWidth, technician.text},
        {107, kPsgDoctorWidth, reading.text},
        {201, kPsgMedicationWidth, medication.text},
        {301, kPsgCommentWidth, comment1.text},
        {302, kPsgCommentWidth, comment2.text},
        {303, kPsgCommentWidth, comment3.text},
        {304, kPsgCommentWidth, comment4.text},
        {305, kPsgCommentWidth, comment5.text},
    };
    OstrelBeginPatient(h);
    int32_t offset = 0;
    for (const auto& field : fields)
        offset =
            OstrelPutPatientField(h, kSection, offset, field.width, field.id, field.text) & 0xFFFF;
    OstrelEndPatient(h, kSection, kPatientBlockItem, offset);
}

// Channels are numbered among the rows that are on; item 2 names the row.
void PutChannels(uint32_t h, const AppRecord* r, const MontagePattern& pattern) {
    int32_t k = 0;
    for (int32_t ch = 1; ch <= r->ChannelCount; ++ch) {
        const PsgChannelRow& row = pattern.PsgRows[ch - 1];
        if (!psg::RowOn(row)) continue;
        OstrelSetChannelText(h, kSection, 1, k, TextOf(row.ChLabel).text);
        OstrelSetChannelText(h, kSection, 2, k, TextOf(row.ChUnit).text);
        const int32_t items[10][2] = {
            {2, ch},
            {3, row.Signal},
            {4, psg::ChannelRate(r->SampleRate, row)},
            {6, row.EU},
            {7, row.VU},
            {9, row.Reserved9},
            {8, row.Reserved8},
            {12, row.LFF},
            {13, row.HFF},
            {14, row.Sens},
        };
        for (const auto& item : items) OstrelSetChannelItem(h, kSection, item[0], k, item[1]);
        ++k;
    }
}

}  // namespace

namespace psg {

uint32_t WriteDefinitions(AppRecord* r, const MontagePattern& pattern, int32_t* outcome) {
    const auto target = TextOf(r->PsgTargetPath);
    const uint32_t h = OstrelCreate(target.text, 4, 4);
    if (h == 0) {
        *outcome = kPsgStartCannotCreate;
        return 0;
    }
    const int32_t settings[6] = {1, 100, 0, 0, 0, 0};
    for (int32_t s = 1; s <= 6; ++s) OstrelSetting(h, s, settings[s - 1]);
    if (OstrelPrepareHeader(h) == 0) {
        OstrelRelease(h);
        *outcome = kPsgStartNotReady;
        return 0;
    }
    OstrelBeginHeader(h);
    PutHeaderItems(h, r);
    OstrelSetHeaderText(h, kSection, 1, TextOf(r->RecordComment).text);
    PutPatientBlock(h, r->PatientInfo);
    OstrelSetBlockLayout(h, kSection, 1, 20, 32);
    OstrelBeginChannels(h);
    PutChannels(h, r, pattern);
    OstrelEndChannels(h);
    OstrelSetEpochLength(
        h, static_cast<uint16_t>(r->StepIncrement * static_cast<uint32_t>(r->FrameTime)));
    r->StepTotal = OstrelCount(h, kSection, kEpochCountItem);
    if (r->StepTotal < 0) {
        // Nothing was created; the reasons were checked before, so this is
        // a library that knows a limit the checks do not.
        OstrelRelease(h);
        r->StepTotal = 0;
        *outcome = kPsgStartRefused;
        return 0;
    }
    *outcome = kPsgStarted;
    return h;
}

}  // namespace psg
