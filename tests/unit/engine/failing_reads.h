// Reads of one file that fail, through the linker's --wrap=PlatFileRead
// and --wrap=PlatFileReadAt:
// a disk error in the middle of a conversion run.
#ifndef QUILLON_TESTS_FAILING_READS_H
#define QUILLON_TESTS_FAILING_READS_H

#include <cstdint>

#include "platform.h"

// From now on reads of file give bytesFirst more bytes, then fail with EIO;
// other files read as usual. A null file ends the failures.
void FailReadsOf(PlatFile file, int64_t bytesFirst);

#endif
