#include "psg_harness.h"

#include <cstdio>
#include <cstring>

#include "store/pattern_store.h"

namespace {

template <size_t N>
void Put(char (&field)[N], const char* text) {
    std::snprintf(field, N, "%s", text);
}

}  // namespace

void SetUpPsgRecord(AppRecord* r) {
    SetPsgRowDefaults(r);
    for (int32_t ch = 1; ch <= 8; ++ch) {
        PsgChannelRow& row = Row(r, ch);
        row.ChEnable = 1;
        row.Signal = 4;
        std::snprintf(row.ChLabel, sizeof row.ChLabel, "Ch%d", static_cast<int>(ch));
        Put(row.ChUnit, "uV");
    }
    PatientInfo& p = r->PatientInfo;
    Put(p.PatientId, "000-0001");
    Put(p.Name1, "Taro");
    Put(p.Sex, "M");
    p.BirthYear = 1950;
    p.BirthMonth = 1;
    p.BirthDay = 2;
    p.AgeYear = 25;
    p.Height = 1600;
    p.Weight = 60000;
    Put(p.Hospital, "Sleep Center");
    Put(p.Technician, "Sato");
    Put(p.Comment1, "first night");
    r->NotchFreq = 1;
    Put(r->RecordComment, "night 1");
    r->CopyFileType = 1;
    r->FrameTime = 1;
    r->OrgDataMag = 1;
}

bool OpenPsgSource(AppRecord* r, const std::string& path, const std::string& bytes,
                   int32_t channels, int32_t sampleRate, int32_t valueKind) {
    WriteBytes(path, bytes);
    if (OpenSourceFromPath(r, path.c_str()) == 0) return false;
    r->ConvertState = 0;  // as opening a source does
    r->DelimitChar = 0;
    r->DataLineBias = 0;
    r->DataStartLine = 0;
    r->ChannelCount = channels;
    r->SampleRate = sampleRate;
    r->OrgCalDataType = static_cast<uint16_t>(valueKind);
    r->RecordYear = 2023;
    r->RecordMonth = 4;
    r->RecordDay = 5;
    r->RecordHour = 6;
    r->RecordMinute = 7;
    r->RecordSecond = 8;
    return true;
}

PsgChannelRow& Row(AppRecord* r, int32_t channel) {
    return r->PatternSlots[r->CurrentPsgPattern].PsgRows[channel - 1];
}

void SwitchOn(AppRecord* r, std::initializer_list<int32_t> channels) {
    for (int32_t ch = 1; ch <= kPatternRowCount; ++ch) Row(r, ch).ChEnable = 0;
    for (int32_t ch : channels) Row(r, ch).ChEnable = 1;
}

PsgRunResult RunPsgConversion(AppRecord* r, const std::string& target, int32_t maxTicks) {
    PsgRunResult run;
    if (SetPsgTarget(r, target.c_str()) == 0) {
        run.start.outcome = kPsgStartNoTarget;
        return run;
    }
    if (StartPsgConversion(r, &run.start) != kPsgStarted) return run;
    for (int32_t tick = 0; tick < maxTicks; ++tick) {
        const int32_t goesOn = PsgTimerTick(r);
        char counter[32];
        FormatPsgFrameCounter(r, counter, sizeof counter);
        run.counters.push_back(counter);
        if (goesOn == 0) break;
    }
    run.finish = FinishPsgConversion(r);
    return run;
}
