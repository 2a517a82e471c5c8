// The sources opened last, newest first, as the File menu lists them and the
// settings file keeps them.
#ifndef QUILLON_RECENT_FILES_H
#define QUILLON_RECENT_FILES_H

#include <stdint.h>

#include "store/app_record.h"

constexpr int32_t kRecentFileCount = 4;

struct RecentFiles {
    int32_t count;
    char paths[kRecentFileCount][kPathSize];
};

extern "C" {

// Puts a path first; an entry naming the same file (letters in either case,
// either separator) moves up instead of showing twice, and the oldest goes
// when the list is full. 0 for an empty or over-long path, which changes
// nothing.
int32_t AddRecentFile(RecentFiles* list, const char* path);
// Entries of the settings file's section, skipping empty and repeated ones.
void LoadRecentFileList(RecentFiles* list, const char* settingsPath);
void SaveRecentFileList(const RecentFiles* list, const char* settingsPath);
}

#endif
