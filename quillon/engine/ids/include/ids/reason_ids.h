// The reasons the engine gives, as codes: one table for every program.
// quillon-cli words a code from the engine's English table, the window from
// its string table, where a code's text has the id IDS_REASON_BASE + code.
// Plain defines: the resource scripts include this header too.
#ifndef QUILLON_REASON_IDS_H
#define QUILLON_REASON_IDS_H

#define IDS_REASON_BASE 4000

#define REASON_NONE 0

// Whether the source can be converted: %1 the data line (from 0), %2 the
// values found on it, %3 the channels set, %4 the bytes read ahead.
#define REASON_SOURCE_USABLE 1
#define REASON_SOURCE_NOT_OPEN 2
#define REASON_SOURCE_EMPTY 3
#define REASON_SOURCE_UTF16 4
#define REASON_SOURCE_UTF32 5
#define REASON_SOURCE_BINARY 6
#define REASON_SOURCE_NO_DATA_LINE 7
#define REASON_SOURCE_LINE_BEYOND_HEAD 8
#define REASON_SOURCE_TOO_FEW_COLUMNS 9

// Why an EEG run did not start: %p the output (or its reference file), %e
// the system's reason.
#define REASON_EEG_STARTED 20
#define REASON_EEG_RUNNING 21
#define REASON_EEG_NOT_EEG_TYPE 22
#define REASON_EEG_BAD_LAYOUT 23
#define REASON_EEG_PATH_TOO_LONG 24
#define REASON_EEG_OUTPUT_EXISTS 25
#define REASON_EEG_REFERENCE_EXISTS 26
#define REASON_EEG_NO_MEMORY 27
#define REASON_EEG_CANNOT_CREATE 28
#define REASON_EEG_NO_VOLUME 29
#define REASON_EEG_SOURCE_UNUSABLE 30

// Why a PSG run did not start: %1 the value or channel, %2 its value or
// the limit.
#define REASON_PSG_STARTED 40
#define REASON_PSG_RUNNING 41
#define REASON_PSG_TARGET_EXISTS 42
#define REASON_PSG_NO_TARGET 43
#define REASON_PSG_NO_CHANNELS 44
#define REASON_PSG_NO_SOURCE 45
#define REASON_PSG_BAD_PATTERN 46
#define REASON_PSG_BAD_CHANNEL_COUNT 47
#define REASON_PSG_BAD_FIELD_MODE 48
#define REASON_PSG_BAD_VALUE_KIND 49
#define REASON_PSG_BAD_FRAME_TIME 50
#define REASON_PSG_BAD_SAMPLE_RATE 51
#define REASON_PSG_BAD_TIME_RESOLUTION_RATE 52
#define REASON_PSG_BAD_CHANNEL_RATE 53
#define REASON_PSG_ZERO_EU 54
#define REASON_PSG_ZERO_VU 55
#define REASON_PSG_BAD_PHYSICAL_RANGE 56
#define REASON_PSG_TOO_MANY_SAMPLES 57
#define REASON_PSG_NO_MEMORY 58
#define REASON_PSG_CANNOT_CREATE 59
#define REASON_PSG_NOT_READY 60
#define REASON_PSG_REFUSED 61
#define REASON_PSG_UNEVEN_CHANNEL_RATE 62
#define REASON_PSG_SOURCE_UNUSABLE 63

// A setting out of its range, by how the range is worded: %d "[SECTION]
// KEY", %1 the value, %2 the row, %3 and %4 the range's ends. The _ROW
// codes are those of a value of a row list.
#define REASON_SETTING_INTERVAL 70
#define REASON_SETTING_AT_LEAST 71
#define REASON_SETTING_FRAME_TIMES 72
#define REASON_SETTING_MAGNIFICATION 73
#define REASON_SETTING_RATE_DIVISOR 74
#define REASON_SETTING_PSG_MAGNIFICATION 75
#define REASON_SETTING_INTERVAL_ROW 76
#define REASON_SETTING_AT_LEAST_ROW 77
#define REASON_SETTING_FRAME_TIMES_ROW 78
#define REASON_SETTING_MAGNIFICATION_ROW 79
#define REASON_SETTING_RATE_DIVISOR_ROW 80
#define REASON_SETTING_PSG_MAGNIFICATION_ROW 81

// Why a finished file is not the whole source, the worst first, then what
// it holds. In the window %1 is the frames held, %2 the count the cause
// names, %.3 the seconds held (in tenths), %e the system's reason;
// quillon-cli fills the English with its own names (its run_end.cpp).
#define REASON_END_READ_FAILED 100
#define REASON_END_WRITE_FAILED 101
#define REASON_END_LAYOUT_CHANGED 102
#define REASON_END_INTERRUPTED 103
#define REASON_END_NO_DATA 104
#define REASON_END_NOT_CLOSED 105
#define REASON_END_WAVE_FULL 106
#define REASON_END_SOURCE_LEFT 107
#define REASON_END_NO_REFERENCE 108
#define REASON_END_NUMBER_NOT_SAVED 109
#define REASON_END_NOT_DATA_LINES 110
#define REASON_END_ODD_VALUES 111
#define REASON_HOLDS_FRAMES 112
#define REASON_HOLDS_REMOVED 113

// One past the highest code.
#define REASON_CODE_END 114

#endif
