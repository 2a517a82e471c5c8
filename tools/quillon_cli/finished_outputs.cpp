#include "finished_outputs.h"

#include <cstdint>
#include <string>

#include "eeg/eeg_header.h"
#include "eeg/output_volume.h"
#include "platform.h"
#include "psg/psg_repair.h"
#include "store/app_record.h"

OutputState EegOutputState(const char* dataPath) {
    char reference[kPathSize + 8];
    if (!MakeEegReferencePath(dataPath, reference, sizeof reference)) return kOutputPartial;
    const bool data = PlatFileExists(dataPath) != 0;
    const bool referenced = PlatFileExists(reference) != 0;
    if (!data && !referenced) return kOutputMissing;
    return data && EegReferenceIsWritten(dataPath) ? kOutputFinished : kOutputPartial;
}

OutputState EdfOutputState(const char* path) {
    if (!PlatFileExists(path)) return kOutputMissing;
    return EdfFileIsWhole(path) ? kOutputFinished : kOutputPartial;
}

bool RemovePartialOutput(const char* path, bool eeg) {
    if (PlatFileExists(path)) PlatDeleteFile(path);
    char reference[kPathSize + 8] = "";
    const bool named = eeg && MakeEegReferencePath(path, reference, sizeof reference);
    if (named && PlatFileExists(reference)) PlatDeleteFile(reference);
    return !PlatFileExists(path) && (!named || !PlatFileExists(reference));
}
