// The application record: everything the program knows about the current job.
#ifndef QUILLON_APP_RECORD_H
#define QUILLON_APP_RECORD_H

#include <stdint.h>

struct AppRecord {
    uint16_t CopyFileType;  // output type: 0 none, 1 PSG, 2 and 3 EEG
    uint32_t OutputFile;    // wave data file or PSG file of the running conversion
};

#endif
