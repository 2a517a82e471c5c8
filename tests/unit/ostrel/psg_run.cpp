#include "psg_run.h"

#include <cstdio>

#include "ostrel.h"

std::vector<PsgField> ProgramFields() {
    return {
        {11, 20, "000-0001"},
        {13, 32, "\x8e\x52\x93\x63\x91\xbe\x98\x59"},  // 山田太郎
        {14, 32, "\x82\xa9\x82\xc8"},                  // かな
        {22, 10, "1950.01.02  "},
        {21, 4, "M"},
        {23, 8, "25Y00M   "},
        {24, 6, "1600     "},
        {25, 8, "60000     "},
        {101, 80, "Sleep Center"},
        {104, 40, ""},
        {105, 32, ""},
        {106, 32, "Sato"},
        {107, 32, ""},
        {201, 80, ""},
        {301, 128, "first night"},
        {302, 128, ""},
        {303, 128, ""},
        {304, 128, ""},
        {305, 128, ""},
    };
}

std::vector<PsgChannel> ProgramChannels() {
    return {
        {1, "Fp1", "uV", 4, 200, 50, 409, 300, 120, 50000},
        {3, "\x8c\xc4\x8b\x7a", "\x83\xca\x56", 8, 100, 100, 1000, 0, 0, 10000},  // 呼吸, μV
    };
}

PsgRecording ProgramRecording() {
    PsgRecording recording;
    recording.fields = ProgramFields();
    recording.channels = ProgramChannels();
    return recording;
}

uint32_t DefinePsgFile(const std::string& path, const PsgRecording& r, int32_t* total) {
    return DefineCreatedPsgFile(OstrelCreate(path.c_str(), 4, 4), r, total);
}

uint32_t DefineCreatedPsgFile(uint32_t h, const PsgRecording& r, int32_t* total) {
    if (h == 0) return 0;
    const int32_t settings[6] = {1, 100, 0, 0, 0, 0};
    for (int32_t s = 1; s <= 6; ++s) OstrelSetting(h, s, settings[s - 1]);
    if (OstrelPrepareHeader(h) == 0) return OstrelRelease(h);
    OstrelBeginHeader(h);
    const int32_t items[12][2] = {
        {1, 1},
        {2, static_cast<int32_t>(r.channels.size())},
        {3, r.frameSeconds},
        {20, 0},
        {21, r.sampleRate},
        {22, r.mainsHz},
        {10, r.start[0]},
        {11, r.start[1]},
        {12, r.start[2]},
        {13, r.start[3]},
        {14, r.start[4]},
        {15, r.start[5]},
    };
    for (const auto& item : items) OstrelSetHeaderItem(h, 0, item[0], item[1]);
    OstrelSetHeaderText(h, 0, 1, r.comment.c_str());
    OstrelBeginPatient(h);
    int32_t offset = 0;
    for (const PsgField& field : r.fields)
        offset =
            OstrelPutPatientField(h, 0, offset, field.width, field.id, field.text.c_str()) & 0xFFFF;
    OstrelEndPatient(h, 0, 130, offset);
    OstrelSetBlockLayout(h, 0, 1, 20, 32);
    OstrelBeginChannels(h);
    for (size_t k = 0; k < r.channels.size(); ++k) {
        const PsgChannel& c = r.channels[k];
        int32_t n = static_cast<int32_t>(k);
        OstrelSetChannelText(h, 0, 1, n, c.label.c_str());
        OstrelSetChannelText(h, 0, 2, n, c.unit.c_str());
        const int32_t values[10][2] = {
            {2, c.source}, {3, c.type}, {4, c.rate},       {6, c.eu},          {7, c.vu},
            {9, 0},        {8, 0},      {12, c.lowFilter}, {13, c.highFilter}, {14, c.sensitivity}};
        for (const auto& value : values) OstrelSetChannelItem(h, 0, value[0], n, value[1]);
    }
    OstrelEndChannels(h);
    int32_t frames = r.frameSeconds > 0 ? 30 / r.frameSeconds : 0;
    OstrelSetEpochLength(h, static_cast<uint16_t>(frames * r.frameSeconds));
    int32_t count = OstrelCount(h, 0, 4);
    if (total != nullptr) *total = count;
    return h;
}

void HandEpoch(uint32_t handle, const PsgRecording& r, const std::vector<int16_t>& rows,
               int32_t frames) {
    int32_t frameBytes = r.sourceColumns * 2;
    for (size_t k = 0; k < r.channels.size(); ++k)
        OstrelPutChannelSamples(handle, 0, frames, static_cast<int32_t>(k), frameBytes,
                                rows.data() + (r.channels[k].source - 1));
    OstrelCommitFrames(handle, frames);
}

uint32_t EndPsgFile(uint32_t handle) {
    OstrelFinishRecording(handle, 0);
    OstrelCloseContents(handle);
    return OstrelRelease(handle);
}
