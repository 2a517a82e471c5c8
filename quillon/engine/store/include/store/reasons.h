// A reason the engine gives, as a code (ids/reason_ids.h) with the values
// and names it is worded with, so each program words it in its own
// language: quillon-cli from the English table here, the window from its
// string table. Patterns name the record's parts:
//   %1..%4   values[0..3]
//   %+1..%+4 the value plus one: a line index as the head list counts it
//   %.1..%.4 the value in tenths, shown with one decimal
//   %p       path, %d detail, %e detail or the caller's text for none
// The English of the run ends names what quillon-cli fills in itself.
#ifndef QUILLON_REASONS_H
#define QUILLON_REASONS_H

#include <stddef.h>
#include <stdint.h>

#include "ids/reason_ids.h"
#include "store/app_record.h"

constexpr int32_t kReasonValueCount = 4;
constexpr int32_t kReasonDetailBytes = 160;

struct Reason {
    int32_t code;
    int64_t values[kReasonValueCount];
    char path[kPathSize + 8];         // a file the reason names (an output's reference file too)
    char detail[kReasonDetailBytes];  // the system's reason, or a setting's "[SECTION] KEY"
};

extern "C" {

// A reason of code with no values or names.
Reason MakeReason(int32_t code);

// The English pattern of code, or null for a code the table lacks.
const char* EnglishReasonPattern(int32_t code);

// The window's string id of code.
int32_t ReasonStringId(int32_t code);

// pattern filled from reason (see above); noDetail stands for an empty
// detail at %e (may be null). Returns the length written, cut to size.
int32_t ExpandReasonPattern(const char* pattern, const Reason* reason, const char* noDetail,
                            char* out, size_t size);

// The reason in English, as quillon-cli prints it. Returns the length
// written.
int32_t FormatReasonEnglish(const Reason* reason, char* out, size_t size);

// The reason in English, or "<what> <value>" when it has no code (an outcome
// or kind this build does not know). Returns the length written.
int32_t FormatReasonOrUnknown(const Reason* reason, const char* what, int32_t value, char* out,
                              size_t size);
}

#endif
