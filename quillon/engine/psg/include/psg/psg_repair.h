// Finishing an EDF+ recording whose run was killed: its record count from the
// whole data records on disk.
#ifndef QUILLON_PSG_REPAIR_H
#define QUILLON_PSG_REPAIR_H

#include <stdint.h>

#include "store/output_files.h"

extern "C" {

// Finishes path when it is an EDF file whose record count does not match its
// size: the count becomes the whole data records present and a partial last
// record is cut off. A file whose count and size agree is complete and left
// untouched; anything else is refused. Returns and stores the OutputRepair
// outcome.
int32_t RepairEdfFile(const char* path, RepairReport* report);

// 1 when path is an EDF file whose record count agrees with its size (a
// finished recording), else 0. Reads only.
int32_t EdfFileIsWhole(const char* path);
}

#endif
