// The summary line block of the convert pages.
#ifndef QUILLON_CONVERT_SUMMARY_BLOCK_H
#define QUILLON_CONVERT_SUMMARY_BLOCK_H

#include <windows.h>

// Shows on page (a convert page) what a start would write now.
void ShowConvertSummary(HWND page);

#endif
