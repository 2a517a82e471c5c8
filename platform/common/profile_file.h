// The whole-file reads and atomic replacements the profile functions are
// built on; each system implements the two, the profile rules are shared.
#ifndef QUILLON_PROFILE_FILE_H
#define QUILLON_PROFILE_FILE_H

#include <string>

namespace profile_file {

// The file's bytes; false when it cannot be read.
bool ReadWholeFile(const char* path, std::string* text);
// Writes a sibling temporary file and renames it over the target, so readers
// and a crash see either the old or the new settings, never half of them.
bool ReplaceWholeFile(const char* path, const std::string& text);

}  // namespace profile_file

#endif
