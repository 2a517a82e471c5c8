// Ostrel: the PSG recording file library, bound by ordinal. The ordinal of
// each call stands beside it; the names are ours. Ostrel writes EDF+
// continuous files (see companion/ostrel/README.md for the mapping).
//
// Calls that take a handle ignore 0, stale and forged values. A call made
// out of turn (items after the header is written, samples before it, ...)
// is ignored and returns its failure value.
#ifndef QUILLON_OSTREL_H
#define QUILLON_OSTREL_H

#include <stdint.h>

#include "companion_api.h"

#ifdef __cplusplus
extern "C" {
#endif

// Size of the buffer ordinal 70 writes into, terminator included.
#define OSTREL_TYPE_NAME_SIZE 16
// Signal type codes ordinal 70 names: 0 .. OSTREL_TYPE_COUNT - 1.
#define OSTREL_TYPE_COUNT 21

// 5: a new recording at path, which must not exist yet (an existing file is
// never touched) and whose folder must exist. The file itself is created at
// ordinal 42, once the definitions are valid. The two mode values are
// accepted as given. Returns the handle, 0 on failure.
uint32_t COMPANIONAPI OstrelCreate(const char* path, int32_t mode, int32_t access);
// 12: creation setting 1..6 before ordinal 30; kept, changes nothing in the file.
void COMPANIONAPI OstrelSetting(uint32_t handle, int32_t setting, int32_t value);
// 30: prepares the header; non-zero when the file is ready for its items.
int32_t COMPANIONAPI OstrelPrepareHeader(uint32_t handle);
// 31: opens the header items.
void COMPANIONAPI OstrelBeginHeader(uint32_t handle);
// 33: one numeric header item of section 0: 2 channel count, 3 frame time
// (seconds), 21 sample rate (Hz), 22 mains frequency (Hz, 0 = none),
// 10..15 record start year, month, day, hour, minute, second, 23 bytes of
// room every data record keeps for the annotations of ordinal 80 (0 by
// default; at most 4096). Items 1 and 20 and unknown items are accepted and
// ignored.
void COMPANIONAPI OstrelSetHeaderItem(uint32_t handle, int32_t section, int32_t item,
                                      int32_t value);
// 35: header text of section 0; item 1 is the record comment (cp932, up to
// 32 bytes are kept).
void COMPANIONAPI OstrelSetHeaderText(uint32_t handle, int32_t section, int32_t item,
                                      const char* text);
// 41: opens the patient block.
void COMPANIONAPI OstrelBeginPatient(uint32_t handle);
// 15: one patient text field (cp932) of width bytes at offset; at most width
// bytes of text are kept. Returns offset + width, the offset of the next
// field; 0 when the call is refused.
int32_t COMPANIONAPI OstrelPutPatientField(uint32_t handle, int32_t section, int32_t offset,
                                           int32_t width, int32_t field, const char* text);
// 48: closes the patient block (block item and final offset are not needed).
void COMPANIONAPI OstrelEndPatient(uint32_t handle, int32_t section, int32_t item,
                                   int32_t finalOffset);
// 60: block layout values; accepted between the header items and ignored.
void COMPANIONAPI OstrelSetBlockLayout(uint32_t handle, int32_t section, int32_t first,
                                       int32_t second, int32_t third);
// 47: opens the channel definitions.
void COMPANIONAPI OstrelBeginChannels(uint32_t handle);
// 39: channel text of section 0: kind 1 label, kind 2 unit (cp932).
// Channels are numbered 0 .. channel count - 1.
void COMPANIONAPI OstrelSetChannelText(uint32_t handle, int32_t section, int32_t kind,
                                       int32_t channel, const char* text);
// 37: one numeric channel item of section 0: 2 source channel, 3 signal
// type, 4 rate (Hz), 6 EU, 7 VU (physical = digital x EU / VU), 12 low
// filter (1/1000 Hz), 13 high filter (Hz), 14 sensitivity x 1000. Items 8
// and 9 and unknown items are accepted and ignored.
void COMPANIONAPI OstrelSetChannelItem(uint32_t handle, int32_t section, int32_t item,
                                       int32_t channel, int32_t value);
// 42: closes the channel definitions, checks them and creates the file. A
// definition that cannot make a valid file, or a file that cannot be
// created, refuses every later data call and leaves nothing on disk;
// ordinal 34 then gives -1.
void COMPANIONAPI OstrelEndChannels(uint32_t handle);
// 43: epoch length in seconds; one epoch then holds at most epoch length /
// frame time frames.
void COMPANIONAPI OstrelSetEpochLength(uint32_t handle, uint16_t seconds);
// 34: a count of the file: section 0, item 4 gives the frames committed so
// far, item 5 the annotations of ordinal 80 not written (waiting for room,
// or dropped); -1 for either when ordinal 42 refused the recording; anything else 0.
int32_t COMPANIONAPI OstrelCount(uint32_t handle, int32_t section, int32_t item);
// 44: hands over channel's samples for the coming commit of frameCount
// frames: sample i is the 16-bit value at samples + i x R x stride, where R
// is the sample rate divided by the channel's rate.
void COMPANIONAPI OstrelPutChannelSamples(uint32_t handle, int32_t section, int32_t frameCount,
                                          int32_t channel, int32_t stride, const void* samples);
// 46: appends frameCount frames (channels not handed over are zero).
void COMPANIONAPI OstrelCommitFrames(uint32_t handle, int32_t frameCount);
// 72: writes the final number of data records.
void COMPANIONAPI OstrelFinishRecording(uint32_t handle, int32_t section);
// 32: finishes the recording if needed and closes the file.
void COMPANIONAPI OstrelCloseContents(uint32_t handle);
// 6: releases a file handle (finishing and closing its file when still
// open); returns the handle value to keep (0).
uint32_t COMPANIONAPI OstrelRelease(uint32_t handle);
// 80: an annotation (cp932 text) at onset seconds + microseconds from the
// record start, written into the coming data records' annotation room (what
// header item 23 reserves and what the signal has left), in the order given;
// one that does not fit a record waits for the next. Accepted from ordinal
// 42 until the recording is finished; 1 when taken, 0 otherwise (also when
// the records are laid out and none could hold it). One taken before the
// first epoch that no record can hold is dropped and counted by ordinal 34.
int32_t COMPANIONAPI OstrelAddAnnotation(uint32_t handle, int32_t seconds, int32_t microseconds,
                                         const char* text);
// 70: writes the name of signal type code (0 .. OSTREL_TYPE_COUNT - 1) into a
// buffer of OSTREL_TYPE_NAME_SIZE bytes; an unknown code gives "".
void COMPANIONAPI OstrelSignalTypeName(int32_t code, char* name);

#ifdef __cplusplus
}
#endif

#endif
