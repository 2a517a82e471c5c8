// The options of quillon-cli convert.
#ifndef QUILLON_CLI_CONVERT_OPTIONS_H
#define QUILLON_CLI_CONVERT_OPTIONS_H

#include <cstdint>
#include <cstdio>
#include <string>

struct ConvertOptions {
    bool help = false;
    const char* source = nullptr;
    const char* settingsFile = nullptr;  // null: COND/QUILLON.INI beside the program
    const char* outputFile = nullptr;    // -o
    const char* volumeRoot = nullptr;    // --volume
    const char* newDiskId = nullptr;     // --create-disk-id
    const char* patientFile = nullptr;   // --patient; null: PATIENT.INF beside the settings

    // Each -1 (0 for the pattern) when not given.
    int32_t fileType = -1;     // CopyFileType: 1 psg, 2 eeg32, 3 eeg24
    int32_t preset = -1;       // 1..32, 0 none
    int32_t pattern = 0;       // 1..4
    bool keepPattern = false;  // the pattern's labels and row switches stay as they are
    int32_t delimiter = -1;
    int32_t labelLine = -1;
    int32_t dataStartLine = -1;
    int32_t bias = -1;
    int32_t channels = -1;
    int32_t rate = -1;
    int32_t valueKind = -1;  // OrgCalDataType
    bool magGiven = false;
    int32_t mag = 1;
    int32_t notch = -1;
    bool startGiven = false;
    int32_t start[6] = {};  // year, month, day, hour, minute, second
    int32_t invert = -1;

    // PSG output only.
    int32_t frameTime = -1;         // seconds: 1, 2, 5 or 10
    const char* comment = nullptr;  // the record comment, code page 932
    int32_t timeResolution = -1;    // OrgTimeRes in milliseconds; switches OrgTimeResSw on

    // With --volume: write this file number and leave EEGFileNo alone (a
    // batch numbers its jobs itself); 0 when not given.
    int32_t fileNumber = 0;
};

constexpr int32_t kCommentLimit = 31;  // bytes RecordComment holds before its terminator

// Parses the arguments after "convert". Returns true, or false with a
// one-line reason in error.
bool ParseConvertOptions(int argc, char** argv, ConvertOptions* options, std::string* error);

// The same without the output checks, for the commands that read a source
// with convert's layout options (command names the command in the error).
bool ParseSourceOptions(int argc, char** argv, const char* command, ConvertOptions* options,
                        std::string* error);

void PrintConvertUsage(FILE* out);

// What arg is to ParseConvertOptions.
enum ConvertArgKind { kArgNotOption = 0, kArgFlag = 1, kArgTakesValue = 2 };
ConvertArgKind ConvertArgumentKind(const char* arg);

#endif
