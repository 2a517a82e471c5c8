// A record set up as the program holds it when the user presses the start
// button of the PSG convert page, and the run driven like the page's timer
// drives it.
#ifndef QUILLON_TESTS_PSG_HARNESS_H
#define QUILLON_TESTS_PSG_HARNESS_H

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "psg/psg_run.h"
#include "scratch_files.h"

// After start-up: the built-in PSG row defaults (Rate 1, EU 50, VU 409,
// Sens 50000, LFF 500, HFF 100, MAG 0 as a fresh pattern has it), rows 1..8
// on as "Ch1".."Ch8" of type EEG with unit "uV", the patient defaults with
// a hospital and a first comment, 50 Hz notch, comment "night 1", output
// kind PSG, frame time 1 s.
void SetUpPsgRecord(AppRecord* record);

// Opens path, holding bytes, as the source; comma fields, no leading
// fields, data from line 0, the given channels, rate and value kind
// (0 A/D, 1 calibrated), recorded from 2023-04-05 06:07:08. False when it
// cannot be opened.
bool OpenPsgSource(AppRecord* record, const std::string& path, const std::string& bytes,
                   int32_t channels, int32_t sampleRate, int32_t valueKind);

// The PSG row of a 1-based source channel in the pattern in use.
PsgChannelRow& Row(AppRecord* record, int32_t channel);
// Switches the listed 1-based channels on and every other row off.
void SwitchOn(AppRecord* record, std::initializer_list<int32_t> channels);

struct PsgRunResult {
    PsgStartResult start{};
    std::vector<std::string> counters;  // the frame counter after each tick
    uint32_t finish = 0;
};

// Chooses target, starts, ticks until the run ends (at most maxTicks) and
// finishes, as the convert page does.
PsgRunResult RunPsgConversion(AppRecord* record, const std::string& target,
                              int32_t maxTicks = 10000);

#endif
