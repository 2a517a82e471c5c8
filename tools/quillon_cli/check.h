#ifndef QUILLON_CLI_CHECK_H
#define QUILLON_CLI_CHECK_H

#include <string>

#include "source/layout_check.h"

constexpr int kExitLayoutWrong = 4;

// quillon-cli check SOURCE [layout options]; returns the exit status.
int RunCheck(int argc, char** argv);

// A finding in English, one line without a final period.
std::string LayoutFindingText(const LayoutFinding& finding);

// The suggested layout as convert options a user can paste.
std::string SuggestedOptions(const SourceLayout& layout);

#endif
