// One PSG conversion in a scratch folder, for the tests.
#ifndef QUILLON_TESTS_PSG_FIXTURE_H
#define QUILLON_TESTS_PSG_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "edf_view.h"
#include "ostrel_log.h"
#include "psg_harness.h"

struct Psg {
    ScratchFolder dir;
    RecordPtr record = ZeroRecord();
    AppRecord& r;

    Psg() : r(*record) {
        SetUpPsgRecord(&r);
        ClearOstrelLog();
    }
    ~Psg() { ReleasePsgRun(&r); }

    void Source(const std::string& bytes, int32_t channels, int32_t sampleRate, int32_t kind) {
        ASSERT_TRUE(OpenPsgSource(&r, dir.File("source.csv"), bytes, channels, sampleRate, kind));
    }
    std::string Target() const { return dir.File("out.edf"); }
    PsgRunResult Run() { return RunPsgConversion(&r, Target()); }
    EdfView Output() const { return EdfView(ReadBytes(Target())); }
};

// count lines "<line(i)>\n".
inline std::string Lines(int32_t count, const std::function<std::string(int32_t)>& line) {
    std::string text;
    for (int32_t i = 0; i < count; ++i) text += line(i) + "\n";
    return text;
}

#endif
