// Opening a source without losing the one that is open: the new path is
// checked and opened first, and a path that cannot be opened leaves the old
// source as it was, with the reason for the user.
#ifndef QUILLON_SOURCE_OPEN_H
#define QUILLON_SOURCE_OPEN_H

#include <stdint.h>

#include "store/app_record.h"

enum SourceOpenProblem {
    kSourceOpened = 0,
    kSourcePathEmpty,
    kSourcePathTooLong,  // longer than the record keeps a path
    kSourceIsFolder,
    kSourceNotFound,
    kSourceLocked,  // another program holds it
    kSourceDenied,
    kSourceUnreadable,
    kSourceOpenProblemCount
};

extern "C" {

// Why path cannot be opened as a source, or kSourceOpened; the file is
// opened for reading to see, and closed again.
int32_t SourceOpenProblemOf(const char* path);

// Opens path as the source when SourceOpenProblemOf finds nothing against
// it: *opened receives OpenSourceFromPath's value. Otherwise the open source
// is left alone and *opened is 0. Should the open still fail, the previous
// source is opened again from its path. Returns the problem.
int32_t OpenSourceKeepingOld(AppRecord* record, const char* path, uint16_t* opened);
}

#endif
