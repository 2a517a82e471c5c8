// Every Ostrel call the engine makes, as a line of text, recorded on the
// way to the real library (the test links with the linker's --wrap).
#ifndef QUILLON_TESTS_OSTREL_LOG_H
#define QUILLON_TESTS_OSTREL_LOG_H

#include <functional>
#include <string>
#include <vector>

// "<ordinal> <arguments>": a handle as h (0 as 0), texts in quotes, the
// sample address of ordinal 44 as @<bytes from the address base>.
std::vector<std::string>& OstrelLog();
void ClearOstrelLog();
// Where ordinal 44's addresses are counted from (the epoch buffer).
void SetOstrelAddressBase(const void* base);
// Runs just before ordinal 42 reaches the library, once.
void BeforeOstrelEndChannels(std::function<void()> action);
// Makes the next ordinal 30 answer 0 without asking the library.
void RefuseNextOstrelPrepare();

#endif
