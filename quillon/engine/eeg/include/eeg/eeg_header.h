// The EEG output file's header: the index record, thirty-nine groups of
// recording, patient, event, amplifier and montage items, and the flow wave
// description that the frames follow; and the small event reference file
// written when a run ends.
#ifndef QUILLON_EEG_HEADER_H
#define QUILLON_EEG_HEADER_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"
#include "kavf32.h"

// WriteHeaderItem steps.
constexpr int32_t kItemOnly = 0;
constexpr int32_t kGroupStartThenItem = 1;
constexpr int32_t kItemThenGroupEnd = 2;

// WriteHeaderItem results.
constexpr int32_t kHeaderItemWritten = 0;
constexpr int32_t kHeaderGroupStartFailed = 2;
constexpr int32_t kHeaderUnknownItem = -20;
constexpr int32_t kHeaderGroupEndFailed = -22;

constexpr uint32_t kEegGroupCount = 40;
constexpr uint32_t kEegWaveGroup = 40;
constexpr uint32_t kEegMontageTraceMinimum = 32;

// The patient texts' elements in the EEG file, in words; an element keeps
// EegElementRoom bytes of its text, whole characters only. The file keeps no
// other patient text.
constexpr uint16_t kEegPatientIdWords = 8;
constexpr uint16_t kEegSexWords = 4;
constexpr uint16_t kEegNameWords = 12;  // the name and its kana
constexpr uint16_t kEegDepartmentWords = 12;
constexpr uint16_t kEegCommentWords = 12;

// Two words of an element are its length and terminator.
constexpr uint32_t EegElementRoom(uint16_t words) { return 2u * words - 4u; }

// Event codes of the frames and of the reference file.
constexpr uint16_t kEventFirst = 0x1001;
constexpr uint16_t kEventSecond = 0x4000;
constexpr uint16_t kEventThird = 0x10C1;
constexpr uint16_t kEventEnd = 0x1000;

extern "C" {

// Writes one item, starting or ending its group as step says. Item 0 writes
// nothing (it closes a group). The item writers' own results are not
// checked: a header goes on with whatever could be written.
int32_t WriteHeaderItem(KAVFHANDLE handle, AppRecord* record, int32_t step, uint32_t group,
                        uint32_t item);

// Creates path new (a name already taken, by a link too, is refused with
// OpenKavErrorCode 280 and left alone): the file written is the file created,
// through this handle, never one reopened by name. 0 on failure.
KAVFHANDLE ClaimEegFile(const char* path);

// Claims path (see ClaimEegFile), writes the whole header and leaves the wave
// group open at frame 0 (the run then prepares its steps). OutputPath
// receives path. 0 when it cannot be created.
KAVFHANDLE CreateEegOutput(AppRecord* record, const char* path);

// Writes the event reference file into a claimed, empty file: the end mark on
// frame FramesDone - 1. 1 when written.
int32_t WriteEegReference(AppRecord* record, KAVFHANDLE handle);

// Claims path and writes the reference file into it; the handle (the caller
// closes it), or 0.
KAVFHANDLE CreateEegReference(AppRecord* record, const char* path);

// The reference file's path beside a data file: the name's extension
// replaced by "REF", or ".REF" appended when the name has none or the result
// would name the data file itself. 0 when it does not fit size bytes.
int32_t MakeEegReferencePath(const char* dataPath, char* out, size_t size);

// Traces in the montage items: at least 32, else the channel count.
uint32_t EegMontageTraceCount(const AppRecord* record);

// The frames a wave can hold once its frame 0 sits at dataPosition: the
// file's 32-bit offsets and the library's signed frame numbers bound it.
uint32_t EegWaveFrameLimit(uint32_t dataPosition, uint32_t frameBytes);
}

#endif
