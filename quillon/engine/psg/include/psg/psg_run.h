// A PSG conversion run through Ostrel: the start, which checks the layout
// and writes the file's definitions, one 30-second epoch per step, and the
// finish. The user interface drives the steps from its timer and turns the
// outcomes into its beep, dialog and status texts; the command-line tool
// runs the same functions in a loop:
//
//     StartPsgConversion, then PsgTimerTick while it returns 1, then
//     FinishPsgConversion.
#ifndef QUILLON_PSG_RUN_H
#define QUILLON_PSG_RUN_H

#include <stddef.h>
#include <stdint.h>

#include "source/source_lines.h"
#include "store/app_record.h"

constexpr int32_t kPsgEpochSeconds = 30;
constexpr uint32_t kPsgReadBufferBytes = kSourceReadBufferBytes;
constexpr uint32_t kPsgBlockSlackBytes = 64 + 1024;
constexpr int32_t kPsgTracedLinesPerCall = 100;  // normal mode
constexpr int32_t kPsgMaxSampleRate = 1000000;
constexpr int32_t kPsgMaxFrameTime = kPsgEpochSeconds;  // longer frames give no epoch

// StartPsgConversion and CreatePsgFile outcomes. Nothing is created for any
// outcome but kPsgStarted.
enum PsgStartOutcome {
    kPsgStarted = 0,
    kPsgStartRunning = 1,       // an output file is still open
    kPsgStartTargetExists = 2,  // never overwritten
    kPsgStartNoTarget = 3,      // ConvertState 0: no target chosen yet
    kPsgStartNoChannels = 4,    // no source channel, or no row switched on
    kPsgStartNoSource = 5,
    kPsgStartBadPattern = 6,  // CurrentPsgPattern names no slot
    kPsgStartBadChannelCount = 7,
    kPsgStartBadFieldMode = 8,  // DelimitChar
    kPsgStartBadValueKind = 9,  // OrgCalDataType
    kPsgStartBadFrameTime = 10,
    kPsgStartBadSampleRate = 11,
    kPsgStartBadTimeResolutionRate = 12,  // does not divide 1000 Hz
    kPsgStartBadChannelRate = 13,         // a channel rate below 1 Hz
    kPsgStartZeroEu = 14,                 // calibrated values only
    kPsgStartZeroVu = 15,                 // calibrated values only
    kPsgStartBadPhysicalRange = 16,       // 32767 x EU / VU has no header text
    kPsgStartTooManySamples = 17,         // beyond the recording's frame or epoch size
    kPsgStartNoMemory = 18,
    kPsgStartCannotCreate = 19,       // Ostrel ordinal 5 gave no handle
    kPsgStartNotReady = 20,           // Ostrel ordinal 30 refused
    kPsgStartRefused = 21,            // Ostrel refused the definitions (ordinal 34 gave -1)
    kPsgStartUnevenChannelRate = 22,  // an epoch's rows give no whole samples
    kPsgStartSourceUnusable = 23,     // CheckSourceForConversion says why
};

struct PsgStartResult {
    int32_t outcome;
    int32_t sourceChannel;  // 1-based channel the outcome is about, 0 for none
    int32_t value;          // the offending setting, where one is
};

// What the convert page shows for the record's state.
struct PsgPageView {
    int32_t statusStringId;  // string table id of the status line, 0 to leave it
    int32_t startButton;     // 1 enabled, 0 disabled, -1 left as it is
    int32_t selectButton;    // the "File Select..." button: 1 enabled, 0 disabled
    int32_t fieldsEnabled;   // frame time, comment and polarity: locked while a run writes
};

// FinishPsgConversion result bits.
enum PsgFinishFlags {
    kPsgFinishClosed = 1,          // a PSG file was finished and closed
    kPsgFinishSourceLeft = 2,      // the source was not read to its end
    kPsgFinishWriteFailed = 4,     // an epoch could not be written: the file ends before it
    kPsgFinishRemoved = 8,         // no frame was written (no data row, or the first write
                                   // failed): the file is removed
    kPsgFinishLayoutChanged = 16,  // channels changed under the run, which ended there
    kPsgFinishInterrupted = 32,    // ended on request before the source was used up
    kPsgFinishReadFailed = 64,     // the source could not be read: the file ends before the
                                   // epoch (RunErrorText says why)
};

extern "C" {

// The target the user chose: into CopyFile and PsgTargetPath, ConvertState
// 1. Returns 0 and changes nothing for an empty path, one that does not
// fit, or while an output file is open.
int32_t SetPsgTarget(AppRecord* record, const char* path);

// The page's status line and buttons for the record's state.
void DescribePsgConvertPage(const AppRecord* record, PsgPageView* view);

// Checks everything the run needs before anything is created: the pattern,
// channels, field mode, value kind, frame time, sampling rate and every
// enabled channel's rate, EU and VU (for calibrated values) and physical
// range, and the sizes of a frame and an epoch. Returns the outcome (also
// in result, may be null).
int32_t CheckPsgLayout(const AppRecord* record, PsgStartResult* result);

// The start command: refuses while an output is open and when the target
// exists, then CreatePsgFile. On kPsgStarted OutputFile holds the handle,
// ConvertState is 2 and the caller starts its step timer.
int32_t StartPsgConversion(AppRecord* record, PsgStartResult* result);

// StepCount 0, the checks, the file's definitions through Ostrel, the
// run's buffers and the first data line. Returns the Ostrel handle, 0 on
// failure (result says why; may be null).
uint32_t CreatePsgFile(AppRecord* record, PsgStartResult* result);

// One timer tick: 1 while the run goes on; 0 when it is to be finished now
// (the output kind is no longer PSG, or the source is used up).
int32_t PsgTimerTick(AppRecord* record);

// Reads and hands over one epoch: 1 when one was written, else 0. StepCount
// grows by StepIncrement either way.
int32_t ConvertPsgEpoch(AppRecord* record);

// Reads up to wanted source lines from SourceOffset into rows (rowsBytes
// bytes) as 16-bit samples, one row of ChannelCount per data line; rows
// not written are zero when any line was read. Returns the lines counted,
// 0 when a read failed (SourceReadFailed: nothing of the epoch is counted).
// The first reads one line per sample row, the second is the
// time-resolution mode's (one line per millisecond); they differ in their
// diagnostic trace.
uint32_t ReadPsgRows(AppRecord* record, uint32_t wanted, void* rows, size_t rowsBytes);
uint32_t ReadPsgRowsTimeResolution(AppRecord* record, uint32_t wanted, void* rows,
                                   size_t rowsBytes);

// Ends the run: frees its buffers, finishes and closes the PSG file (its
// record count then matches the records in it), ConvertState 3. A run
// without a single data row removes the file. Returns PsgFinishFlags.
uint32_t FinishPsgConversion(AppRecord* record);

// Ends a run in progress early (an interrupt, the program's exit) exactly as
// FinishPsgConversion does, with kPsgFinishInterrupted.
uint32_t InterruptPsgConversion(AppRecord* record);

// At exit: interrupts a run still in progress (see above) and frees the
// run's buffers.
void ReleasePsgRun(AppRecord* record);

// "%i / %i" of StepCount and StepTotal: the frame counter's text.
void FormatPsgFrameCounter(const AppRecord* record, char* out, size_t size);
}

#endif
