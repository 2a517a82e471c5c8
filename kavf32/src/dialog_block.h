// The parts of the file dialog block that do not depend on the platform.
#ifndef KAVF32_DIALOG_BLOCK_H
#define KAVF32_DIALOG_BLOCK_H

#include <cstdint>

namespace kavf {

constexpr uint32_t kDialogFileChars = 260;
constexpr uint32_t kDialogFileTitleChars = 512;
constexpr uint32_t kOpenDialogFlags = 0x000C;  // hide read-only box, keep directory
constexpr uint32_t kSaveDialogFlags = 0x000A;  // prompt before overwrite, keep directory
extern const char kDefaultExtension[];

// Turns "text|pattern|...|" into the zero-separated list the dialogs take.
// A | that is the trail byte of a double-byte character stays.
void ConvertFilterInPlace(char* filter);

}  // namespace kavf

#endif
