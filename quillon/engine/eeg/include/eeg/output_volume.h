// The output volume of EEG runs: a root folder (a drive's root on Windows)
// that holds a volume file with the Disk ID and a "DAT" folder of files
// named from the running file number.
#ifndef QUILLON_OUTPUT_VOLUME_H
#define QUILLON_OUTPUT_VOLUME_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"
#include "store/settings_checks.h"

constexpr int32_t kDiskIdTypedLimit = 9;  // characters kept of a typed Disk ID
constexpr int32_t kVolumeFileBytes = 12;
constexpr int32_t kFileNumberLast = kEegFileNumberLast;

constexpr int32_t kEegLeftoversListed = 8;
constexpr size_t kEegFileNameBytes = 16;  // "88nnnnnn.DAT" and its end

// The waves killed runs left on a volume: count is all of them, names the
// first kEegLeftoversListed in name order, spelt as the folder spells them.
struct EegLeftoverList {
    int32_t count;
    char names[kEegLeftoversListed][kEegFileNameBytes];
};

// CheckOutputVolume results.
enum EegVolumeCheck {
    kVolumeReady = 1,        // volume file read: Disk ID and model set, ConvertState 1
    kVolumeNoDiskId = 2,     // volume file present but unreadable or short: ConvertState 0
    kVolumeMissing = 3,      // no volume file in the root
    kVolumeRootUnusable = 4  // the root is not an accessible folder
};

// CreateDiskId results.
enum EegDiskIdCreation {
    kDiskIdCreated = 1,
    kDiskIdEmpty = 2,             // nothing typed: nothing written
    kDiskIdVolumeFileFailed = 3,  // the volume file could not be written
    kDiskIdFolderFailed = 4       // the "DAT" folder could not be made
};

// CheckDiskId results: whether a Disk ID can be stored whole.
enum EegDiskIdCheck {
    kDiskIdUsable = 0,
    kDiskIdNothing = 1,  // empty
    kDiskIdTooLong = 2,  // more than kDiskIdTypedLimit bytes
    kDiskIdNotCp932 = 3  // a byte that starts no code page 932 character, or a lead byte
                         // without its trail byte
};

extern "C" {

// Checks Disk ID bytes before anything is written. *badByte (may be null)
// receives the offset of the first byte that is not code page 932.
int32_t CheckDiskId(const char* bytes, int32_t* badByte);

// Looks for a "*.VOL" file in root. ConvertState becomes 1 when its Disk ID
// could be read, else 0. volumeFile (may be null) receives the file's name.
int32_t CheckOutputVolume(AppRecord* record, const char* root, char* volumeFile,
                          size_t volumeFileSize);

// Writes root's "4710.VOL" with the first 9 characters of typedId and makes
// the "DAT" folder; ConvertState 1 on success.
int32_t CreateDiskId(AppRecord* record, const char* root, const char* typedId);

// "88%06i" with the file number.
void FormatEegFileName(int32_t fileNumber, char* out, size_t size);

// root + "DAT" + "88%06i.DAT", joined with the platform's separator. 0 when
// it does not fit size bytes.
int32_t MakeAutomaticOutputPath(const char* root, int32_t fileNumber, char* out, size_t size);

// The "88nnnnnn.DAT" files of root's "DAT" folder whose reference file is
// missing or empty: waves a killed run left, which RepairEegWave finishes.
// Returns list->count; 0 when the folder cannot be read.
int32_t ListEegLeftovers(const char* root, EegLeftoverList* list);

// 1 when the .REF beside the wave dataPath holds bytes: a run that ended
// wrote it; a killed run leaves it missing or empty.
int32_t EegReferenceIsWritten(const char* dataPath);

// root + "DAT" + name, as MakeAutomaticOutputPath joins them. 0 when it
// does not fit size bytes.
int32_t MakeVolumeFilePath(const char* root, const char* name, char* out, size_t size);

// The file number after fileNumber: 99999 (or anything outside 1..99999)
// is followed by 1.
int32_t NextEegFileNumber(int32_t fileNumber);
}

#endif
