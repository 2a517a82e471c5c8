// Opening a source from a path the user named (dialog, drop, command line):
// the open source stays when the new one cannot be opened, and a message box
// gives the reason.
#ifndef QUILLON_SOURCE_FILE_UI_H
#define QUILLON_SOURCE_FILE_UI_H

#include <windows.h>

#include <stdint.h>

#include "store/app_record.h"

// The new SourceOpen value, or 0 after the reason was shown.
uint16_t OpenSourceChecked(HWND window, AppRecord* record, const char* path);

#endif
