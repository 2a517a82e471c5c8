// Written recordings as preview pictures: our EEG wave data file through
// KAVF32's readers, and an EDF+ file.
#ifndef QUILLON_CLI_PREVIEW_RECORDING_H
#define QUILLON_CLI_PREVIEW_RECORDING_H

#include <string>

#include "preview_svg.h"

enum RecordingKind { kRecordingNone, kRecordingWave, kRecordingEdf };

RecordingKind RecordingKindOf(const char* path);

// Fills the traces of picture (its start, seconds and columns set) from the
// recording. false with the reason in error.
bool DrawRecording(RecordingKind kind, const char* path, Picture* picture, std::string* error);

#endif
