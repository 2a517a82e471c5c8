// Typed texts into fixed-size fields of the record, code page 932.
#ifndef QUILLON_FIELD_TEXT_H
#define QUILLON_FIELD_TEXT_H

#include <stddef.h>

extern "C" {

// Copies text into a field of width bytes: at most width - 1 bytes and a
// terminating zero, never half a double-byte character (a lead byte without
// its second byte is dropped).
void CopyFieldText(char* field, size_t width, const char* text);
}

#endif
