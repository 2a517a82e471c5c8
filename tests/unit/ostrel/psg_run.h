// Drives Ostrel the way the program's PSG run does: the same calls in the
// same order with the same kinds of values, so the tests see what a
// conversion produces.
#ifndef QUILLON_TESTS_PSG_RUN_H
#define QUILLON_TESTS_PSG_RUN_H

#include <cstdint>
#include <string>
#include <vector>

struct PsgChannel {
    int32_t source;  // 1-based source column
    std::string label;
    std::string unit;
    int32_t type;
    int32_t rate;  // Hz, as handed over (sample rate / divisor)
    int32_t eu;
    int32_t vu;
    int32_t lowFilter;   // 1/1000 Hz
    int32_t highFilter;  // Hz
    int32_t sensitivity;
};

struct PsgField {
    int32_t id;
    int32_t width;
    std::string text;
};

struct PsgRecording {
    int32_t frameSeconds = 1;
    int32_t sampleRate = 200;
    int32_t mainsHz = 50;
    int32_t start[6] = {2023, 4, 5, 6, 7, 8};
    std::string comment = "night 1";
    std::vector<PsgField> fields;
    std::vector<PsgChannel> channels;
    int32_t sourceColumns = 3;
};

// The program's patient fields with the program's formats: ID 000-0001,
// name "山田太郎" and kana "かな" (cp932), born 1950-01-02, male, 25 years,
// 1600 (0.1 cm), 60000 g, hospital "Sleep Center", technician "Sato",
// first comment "first night", the other texts empty.
std::vector<PsgField> ProgramFields();
// Fp1 (EEG, 200 Hz from column 1) and a cp932-labelled respiration channel
// (100 Hz from column 3, unit mu-V in cp932).
std::vector<PsgChannel> ProgramChannels();
PsgRecording ProgramRecording();

// Ordinals 5 .. 34 in the program's order; returns the handle (0 when
// creation failed or ordinal 30 refused, in which case the handle is
// already released) and the value ordinal 34 gave.
uint32_t DefinePsgFile(const std::string& path, const PsgRecording& recording,
                       int32_t* total = nullptr);
// The same from ordinal 12 on, for a handle ordinal 5 gave.
uint32_t DefineCreatedPsgFile(uint32_t handle, const PsgRecording& recording,
                              int32_t* total = nullptr);

// One epoch as the program hands it over: an interleaved buffer of rows
// with one 16-bit sample per source column, every enabled channel with
// ordinal 44, then ordinal 46.
void HandEpoch(uint32_t handle, const PsgRecording& recording, const std::vector<int16_t>& rows,
               int32_t frames);

// Ordinals 72, 32 and 6; returns ordinal 6's value.
uint32_t EndPsgFile(uint32_t handle);

#endif
