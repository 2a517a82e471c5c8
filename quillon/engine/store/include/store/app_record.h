// The application record: everything the program knows about the current
// job. A plain record: the Windows program keeps it in a zero-filled movable
// memory block, the command-line tool and the tests simply own one, so every
// field starts at zero and nothing here may need construction.
#ifndef QUILLON_APP_RECORD_H
#define QUILLON_APP_RECORD_H

#include <stdint.h>

#include "store/montage_pattern.h"
#include "platform.h"

constexpr int kPathSize = 260;
constexpr int kSourcePresetCount = 32;
constexpr int kPresetLabelSize = 30;
constexpr int kElectrodeTypeCount = 3;
constexpr int kElectrodeCount = 64;
constexpr int kElectrodeNameSize = 4;

// Window-system objects the engine only stores for the user interface: a
// window, a movable memory block, a window procedure. Pointer-sized, opaque.
typedef void* WindowHandle;
typedef void* MemoryHandle;
typedef void* WindowProcedure;

// Output kinds (CopyFileType).
enum OutputKind : uint16_t {
    kOutputNone = 0,
    kOutputPsg = 1,
    kOutputEegFiling32 = 2,
    kOutputEegFiling24 = 3,
};

// The main window's tabs, left to right (CurrentTab).
enum MainTab : int32_t { kSourceTab = 0, kPatientTab = 1, kMontageTab = 2, kConvertTab = 3 };
constexpr int32_t kTabCount = 4;
// The patient, montage and convert pages come one per output kind, so
// their tables are indexed by CopyFileType; kOutputEegFiling24 repeats
// kOutputEegFiling32.
constexpr int32_t kPageTypeCount = 4;

// AdBits: the A/D resolutions the PSG grid offers; 16 where nothing set it.
constexpr int32_t kAdBits12 = 12;
constexpr int32_t kAdBits16 = 16;
constexpr int32_t kDefaultAdBits = kAdBits16;

// NotchFreq: the mains frequency the recording was made at.
enum NotchKind : int32_t { kNotchNone = 0, kNotch50Hz = 1, kNotch60Hz = 2 };

// OrgCalDataType: what the source's values are.
enum SourceValueKind : uint16_t { kAdValues = 0, kCalibratedValues = 1 };

// ConvertState: where the convert page stands. For EEG output "ready" means
// an output volume is ready; for PSG output a target file is chosen.
enum ConvertStateValue : uint16_t {
    kConvertNotReady = 0,
    kConvertReady = 1,
    kConvertRunning = 2,
    kConvertFinished = 3,
};

// Which run owns OutputFile, so that it is always ended by its own kind's
// functions whatever the output kind shows by then.
enum RunKind : uint16_t {
    kRunNone = 0,
    kRunEeg = 1,
    kRunPsg = 2,
};

// What a run did with the source lines: every line is a data row or is
// counted by why it is not, and every value that was not stored as read is
// counted. Zeroed at each start.
struct ConversionTally {
    uint64_t DataRows;         // lines converted into a frame or row
    uint64_t BlankLines;       // empty, or only blanks
    uint64_t ShortLines;       // fewer values than channels
    uint64_t NoNumberLines;    // enough fields, but no channel's holds a number
    uint64_t NulLines;         // short because of a NUL byte
    uint64_t OverLongLines;    // kLineByteLimit bytes without a line end: dropped
    uint64_t SaturatedValues;  // beyond the 16-bit range: stored at the limit
    uint64_t NotNumbers;       // fields read as 0 or cut short: text, "nan", "1e3" as A/D
    uint64_t ClippedValues;    // PSG: scaled outside -32767..32767, the file's digital range
    uint64_t UnnotedRuns;      // PSG: runs of non-data lines the file had no room to annotate
};

// Where a run stands in the source's lines: every line from the data start
// on is one sampling instant (source/line_rows.h).
struct LinePlace {
    int64_t SizeAtStart;  // source bytes when the run started: it must not shrink
    uint64_t LineIndex;   // the line (from 0) at SourceOffset
    uint64_t RowsMade;    // frames or rows made since the data start
    uint32_t HeldRows;    // zero rows still owed before the data line at SourceOffset
};

inline bool IsEegOutput(uint16_t copyFileType) {
    return copyFileType == kOutputEegFiling32 || copyFileType == kOutputEegFiling24;
}

// A stored source layout, selectable by number 1..32.
struct SourcePreset {
    uint16_t Enable;          // non-zero: offered and applied
    uint16_t DelimitChar;     // field mode
    uint16_t OrgCalDataType;  // SourceValueKind
    int32_t DataLineBias;     // leading non-data fields of each line
    int32_t ChStartLine;      // line of the channel labels, from 0
    int32_t DataStartLine;    // first data line, from 0
    char Label[kPresetLabelSize];
};

// Who was recorded and by whom. Texts are code page 932.
struct PatientInfo {
    int32_t Height;  // 0.1 cm
    int32_t Weight;  // grams
    // The output volume of EEG runs, kept here because the header writes
    // both blocks together.
    char VolumeModel[8];
    char DiskId[12];
    char PatientId[20];
    char Name1[32];
    char Name2[32];  // kana
    char Sex[4];     // "0", "M" or "F"
    uint16_t AgeYear;
    uint16_t AgeMonth;
    uint16_t BirthYear;
    uint16_t BirthMonth;
    uint16_t BirthDay;
    char Department[40];
    char ReqDoctor[32];
    char Technician[32];
    char ReaderDoctor[32];
    char Hospital[80];
    char Medication[80];  // never stored
    char Comment1[128];   // Comment1..Comment5: never stored
    char Comment2[128];
    char Comment3[128];
    char Comment4[128];
    char Comment5[128];
};

// Three lists of 64 electrode names of up to 3 characters; a name that
// begins with '-' is an empty place.
struct ElectrodeNameTable {
    char Names[kElectrodeTypeCount][kElectrodeCount][kElectrodeNameSize];
};

struct AppRecord {
    WindowHandle MainWindow;
    MemoryHandle SelfHandle;
    uint16_t MaxCh;            // rows the montage grids lay out
    uint16_t SourceOpen;       // 0 closed, else the preset number + 1
    uint16_t RecheckChannels;  // the source page checks the column count once
    uint16_t ElectrodeType;    // which ElectrodeNames list the EEG grid offers
    int32_t NotchFreq;         // NotchKind
    int32_t EEGFileNo;         // running number of the next EEG file
    int32_t ToolbarHeight;
    int32_t RowHeight;

    // Source text and its layout.
    PlatFile SourceFile;      // open read-only while SourceOpen is non-zero
    char* SourceText;         // the head: kSourceTextBlockSize bytes, zero after the text
    uint16_t OrgFileType;     // preset 1..32 applied on open, 0 none
    uint16_t OrgCalDataType;  // SourceValueKind
    uint16_t DelimitChar;     // field mode: kFieldModeComma, Blank or Tab
    uint16_t OrgTimeResSw;
    int32_t OrgTimeRes;        // milliseconds
    int32_t SourceTextLength;  // bytes of text in SourceText
    int32_t HeaderLines;
    int32_t SelectedLine;
    int32_t ChStartLine;
    int32_t DataStartLine;
    int32_t DataLineBias;
    int32_t SampleRate;    // hertz
    int32_t ChannelCount;  // 0..256
    int32_t OrgDataMag;    // > 0 multiplies calibrated values, -m divides by m
    int32_t RecordYear;
    int32_t RecordMonth;
    int32_t RecordDay;
    int32_t RecordHour;
    int32_t RecordMinute;
    int32_t RecordSecond;
    // Byte offset of the text in the source file: 3 after a UTF-8 byte order
    // mark, else 0. Conversions start reading here.
    int64_t SourceTextOffset;

    // Conversion runs. Source offsets are 64-bit: sources may exceed 4 GiB.
    uint32_t ConversionTimer;
    int64_t SourceOffset;
    uint32_t NextFrame;
    uint32_t FramesPerStep;
    uint32_t StepIncrement;
    uint32_t StepCount;
    int32_t StepTotal;
    uint32_t FramesDone;  // frames the output holds: EEG as written, PSG counted at its finish
    uint32_t FrameBytes;
    // EEG run bounds: the frames the wave's 32-bit lengths can hold (set when
    // the output is created), and why a run ended early.
    uint32_t WaveFrameLimit;
    uint16_t WaveLimitReached;  // frames were left unconverted at the limit
    uint16_t WaveWriteFailed;   // the library refused a frame write
    uint32_t SampleBlockBytes;  // size of SampleBlock
    int32_t EnabledChannels;
    uint16_t AdBits;  // A/D resolution offered by the PSG grid: kAdBits12 or kAdBits16
    char RecordComment[32];
    char PsgTargetPath[kPathSize];

    uint16_t CopyFileType;  // OutputKind
    uint16_t ConvertState;  // ConvertStateValue
    uint16_t CopyPrivateFile;
    uint16_t PolarityCopy;
    uint16_t CopyDrive;          // 0 = A:
    int32_t FrameTime;           // PSG frame length, seconds
    uint32_t OutputFile;         // wave data file or PSG file of the running conversion
    void* SampleBlock;           // frames of one step
    void* ReadBuffer;            // one read of the source
    uint16_t CurrentPsgPattern;  // slot 0..3
    uint16_t CurrentEegPattern;  // slot 0..3
    struct SourcePreset SourcePreset[kSourcePresetCount];
    uint16_t SaveEnable;  // write the patient block back at exit
    struct PatientInfo PatientInfo;
    MontagePattern PatternSlots[kPatternSlotCount];

    // The main window's page set.
    WindowHandle ToolbarWindow;
    WindowHandle NoSourcePage;
    WindowHandle PatientPages[kPageTypeCount];
    WindowHandle MontagePages[kPageTypeCount];
    WindowHandle ConvertPages[kPageTypeCount];
    WindowHandle ShownPage;
    uint16_t TabCount;
    uint16_t CurrentTab;  // MainTab
    WindowHandle TabControl;
    WindowHandle TabPages[kTabCount];

    // View state of the EEG montage grid.
    uint16_t EegGridDragging;
    uint32_t EegGridRowPixels;
    uint32_t EegGridColumn;
    uint32_t EegGridVisibleRows;
    uint32_t EegGridTopRow;
    uint32_t EegGridSelStart;
    uint32_t EegGridSelEnd;
    WindowHandle EegGridEdit;
    WindowProcedure EegGridEditProc;

    // View state of the PSG montage grid.
    int32_t PsgRowHeight;
    int32_t PsgVisibleRows;
    int32_t PsgTopRow;
    int32_t PsgSelColumn;
    int32_t PsgSelStart;
    int32_t PsgSelEnd;
    uint16_t PsgDragging;
    WindowHandle PsgEditWindow;
    WindowProcedure PsgEditProc;

    // The run in progress or last ended: its owner and its counts.
    uint16_t RunOwner;          // RunKind
    uint16_t RunLayoutChanged;  // the layout changed under a run, which then ended
    uint16_t RunInterrupted;    // ended before the source was used up
    uint16_t SourceReadFailed;  // a source read failed: the run ended before that step
    struct ConversionTally Tally;
    struct LinePlace Lines;
    uint32_t WaveDataOffset;  // file offset of frame 0 of the EEG wave
    uint32_t ReferenceFile;   // the EEG run's reference file, claimed at its start
    char RunErrorText[128];   // the system's reason for a failed create, read or write

    char OrgFile[kPathSize];     // last source file
    char CopyFile[kPathSize];    // last output file
    char OutputPath[kPathSize];  // EEG output file being written
};

// A new run starts with no outcome of the last one.
inline void ClearRunOutcome(AppRecord* record) {
    record->WaveWriteFailed = 0;
    record->RunLayoutChanged = 0;
    record->RunInterrupted = 0;
    record->SourceReadFailed = 0;
    record->Tally = ConversionTally{};
    record->RunErrorText[0] = '\0';
}

// The pattern slots in use, or null when the index stored is out of range.
inline MontagePattern* CurrentEegSlot(AppRecord* record) {
    return record->CurrentEegPattern < kPatternSlotCount
               ? &record->PatternSlots[record->CurrentEegPattern]
               : nullptr;
}
inline MontagePattern* CurrentPsgSlot(AppRecord* record) {
    return record->CurrentPsgPattern < kPatternSlotCount
               ? &record->PatternSlots[record->CurrentPsgPattern]
               : nullptr;
}

#endif
