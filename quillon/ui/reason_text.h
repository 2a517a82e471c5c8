// The engine's reasons in the window's words: the string table's pattern of
// the reason's code (res/messages.rc) filled with its values and names.
#ifndef QUILLON_REASON_TEXT_H
#define QUILLON_REASON_TEXT_H

#include <windows.h>

#include <stddef.h>

#include "store/reasons.h"

// The reason in code page 932 bytes, as the record and the *Cp932 helpers
// hold texts. Returns the length written (0 and an empty text for a code
// the table lacks).
int FormatReasonCp932(HINSTANCE instance, const Reason* reason, char* out, size_t size);

// The same for a control or message box. Returns the characters written.
int FormatReasonText(HINSTANCE instance, const Reason* reason, wchar_t* out, size_t size);

#endif
