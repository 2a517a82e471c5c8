// What keeps the clinical entries from going without a word: the
// new-patient command asks before it clears the patient pages, and closing
// the window offers the montage edits not yet registered.
#ifndef QUILLON_RECORD_GUARD_H
#define QUILLON_RECORD_GUARD_H

#include <windows.h>

// "新規患者": clears the patient block, after asking when it holds entries.
void OnNewPatientCommand(HWND window);
// Before the window closes; false when the user cancels and it is to stay.
bool ConfirmCloseKeepsEntries(HWND window);

#endif
