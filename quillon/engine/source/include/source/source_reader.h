// The source text: opening it, its head, the stored layout presets, and
// taking the channel labels into the montage patterns in use.
#ifndef QUILLON_SOURCE_READER_H
#define QUILLON_SOURCE_READER_H

#include <stdint.h>

#include "store/app_record.h"
#include "source/field_reader.h"

constexpr int32_t kSourceHeadSize = 8192;        // bytes of the file kept as the head
constexpr int32_t kSourceTextBlockSize = 32768;  // size of the zero-filled head block

extern "C" {

// Closes a previous source, opens path read-only and loads its head (a UTF-8
// byte order mark is skipped), then applies the selected preset and takes
// the labels of its label line. Returns the new SourceOpen value (1 or
// more), or 0 when the file cannot be opened; the previous source is then
// closed and OrgFile holds the path (unless the path does not fit OrgFile).
uint16_t OpenSourceFromPath(AppRecord* record, const char* path);

// Closes the source and restores the layout defaults (200 Hz, 12 channels,
// 2000-01-01 00:00:00). Always 0.
int32_t CloseSourceFile(AppRecord* record);

// Applies the selected preset to the open source again and takes the labels
// of its label line. Always 0.
int32_t ReapplySourcePreset(AppRecord* record);

// Line lineIndex of a head as the label line: printable ASCII only, a TAB
// as a blank, at most kLineByteLimit bytes examined. out holds
// kLineByteLimit + 1 bytes. Returns the length, or -1 (and an empty text)
// when the head has no such line.
int32_t CollectLabelLine(const char* head, int32_t headLength, int32_t lineIndex, char* out);

// The same for field mode mode: in the tab mode a TAB stays, since it ends
// a label there.
int32_t CollectLabelLineInMode(const char* head, int32_t headLength, int32_t lineIndex,
                               int32_t mode, char* out);

// Takes the non-empty fields of a label line from DataLineBias on as the
// labels of the rows of the EEG and PSG patterns in use, sets ChannelCount
// and switches the rows on and off. A line of 2 bytes or fewer changes
// nothing.
void SetChannelLabels(AppRecord* record, const char* line);

// Switches rows 0..count-1 of both patterns in use on (EEG SOURCE 1, PSG
// ChEnable 1) and the rows after them off.
void SwitchChannelRows(AppRecord* record, int32_t count);

// The number of non-empty data fields of a line, at most kLineValueLimit,
// for comparing with ChannelCount; -1 when the line has 2 bytes or fewer and
// there is nothing to check.
int32_t CountDataColumns(const AppRecord* record, const char* line);
}

#endif
