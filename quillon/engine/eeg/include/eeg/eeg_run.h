// An EEG conversion run: start, the steps that turn source lines into
// frames, and the finish. The user interface drives the steps from its
// timer and turns the outcomes below into its dialogs, beeps and status
// texts; the command-line tool runs the same steps in a loop. Nothing here
// waits: the pauses the interface keeps between header items and before
// closing the wave are its own pacing.
#ifndef QUILLON_EEG_RUN_H
#define QUILLON_EEG_RUN_H

#include <stddef.h>
#include <stdint.h>

#include "source/source_lines.h"
#include "store/app_record.h"

constexpr uint32_t kReadBufferBytes = kSourceReadBufferBytes;
constexpr uint32_t kStepSeconds = 10;
constexpr int32_t kEegMaxChannels = 256;
constexpr int32_t kEegMaxSampleRate = 1000000;  // the interval is whole microseconds
constexpr uint64_t kEegMaxStepBlockBytes = 256u << 20;

// StartEegConversion results.
enum EegStartOutcome {
    kEegStarted = 0,
    kEegStartRunning = 1,     // a run is in progress: no second file
    kEegStartNotEegType = 2,  // CopyFileType is neither 2 nor 3
    kEegStartBadLayout = 3,   // channel count, sampling rate or pattern slot unusable
    kEegStartPathTooLong = 4,
    kEegStartOutputExists = 5,     // never overwritten
    kEegStartReferenceExists = 6,  // the reference file's name is taken
    kEegStartNoMemory = 7,
    kEegStartCannotCreate = 8,
    kEegStartNoVolume = 9,        // automatic naming without a ready volume
    kEegStartSourceUnusable = 10  // CheckSourceForConversion says why
};

// FinishEegConversion result bits.
enum EegFinishFlags {
    kEegFinishReferenceWritten = 1,
    kEegFinishWaveClosed = 2,
    kEegFinishFileNumberSaved = 4,
    kEegFinishWaveFull = 8,        // the wave reached the format's size: source lines were left
    kEegFinishWriteFailed = 16,    // frames could not be written: the wave ends before them
    kEegFinishRemoved = 32,        // no frame was written (no data row, or the first write
                                   // failed): the output and its reference are removed
    kEegFinishLayoutChanged = 64,  // channels or rate changed under the run, which ended there
    kEegFinishInterrupted = 128,   // ended on request before the source was used up
    kEegFinishReadFailed = 256     // the source could not be read: the wave ends before the
                                   // step (RunErrorText says why)
};

extern "C" {

// Checks the source, claims the output and its reference file by creating
// them new, writes the header and prepares the steps; on kEegStarted
// ConvertState is 2 and the caller starts its step timer. Nothing is left
// on disk for any other outcome.
int32_t StartEegConversion(AppRecord* record, const char* path);

// The same on the automatic path of a ready volume below root (ConvertState
// 1); path (may be null) receives the output path. A number whose file or
// reference file is left over (a killed run's) is passed by: the run takes
// the next free one, which EEGFileNo becomes.
int32_t StartEegConversionOnVolume(AppRecord* record, const char* root, char* path,
                                   size_t pathSize);

// The first file number from `from` on (after 99999 comes 1) whose data and
// reference files on the volume below root are both free; 0 when none is.
int32_t FindFreeEegFileNumber(const char* root, int32_t from);

// Scale values, counters, buffers and the start offset of a run. 0 when a
// buffer could not be had.
int32_t PrepareEegConversion(AppRecord* record);

// One timer tick: 1 when a step's frames went to be written (the counter
// shows StepCount), 0 when the run is to be finished now.
int32_t EegTimerTick(AppRecord* record);

// Reads one step and hands its frames to be written while the next step
// is read: 1 when it handed frames, else 0. A failed write ends the run at
// the step after it (WaveWriteFailed).
int32_t ConvertStep(AppRecord* record);

// Waits until the last step's frames are written: 0 when the run's write
// failed. The finish waits for them too.
int32_t AwaitEegStepWrite(AppRecord* record);

// Reads up to wanted source lines into frames of block; returns the lines
// consumed, 0 when a read failed (SourceReadFailed: nothing of the step is
// counted).
uint32_t ReadFrames(AppRecord* record, uint32_t wanted, void* block);

// The scale of calibrated values of every row of the EEG pattern in use, as
// a run sets it before its first frame.
void SetEegScaleValues(AppRecord* record);

// Ends the run: the wave's end at the frames written (the file cut back
// after a failed write), the reference file naming its last frame, the next
// file number (written to settingsPath's "SYSTEM" section unless
// settingsPath is null). A run without a single data row removes both files
// and keeps the number. Returns EegFinishFlags.
uint32_t FinishEegConversion(AppRecord* record, const char* settingsPath);

// Ends a run in progress early (an interrupt, the program's exit) exactly as
// FinishEegConversion does, with kEegFinishInterrupted: what was converted
// stays a complete file and the number moves on past it.
uint32_t InterruptEegConversion(AppRecord* record, const char* settingsPath);

// At exit: interrupts a run still in progress (see above) and frees the
// run's buffers.
void ReleaseEegRun(AppRecord* record, const char* settingsPath);

// Bytes of the step block for the record's layout; 0 when it is unusable.
uint64_t EegStepBlockBytes(const AppRecord* record);
}

#endif
