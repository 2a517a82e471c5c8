// Finishing an EEG wave data file whose run was killed (a crash, a power
// loss, SIGKILL): its wave is ended at the whole frames present and its
// reference file is written from them.
#ifndef QUILLON_EEG_REPAIR_H
#define QUILLON_EEG_REPAIR_H

#include <stdint.h>

#include "store/output_files.h"

extern "C" {

// Finishes path when it is an EEG wave without its reference file (none, or
// the empty one a run claims at its start): the frame count becomes the
// whole frames the file holds (a partial last frame is cut off) and the
// reference file names the last of them. A wave with its reference file is
// complete and left untouched; anything else is refused. Returns and stores
// the OutputRepair outcome.
int32_t RepairEegWave(const char* path, RepairReport* report);
}

#endif
