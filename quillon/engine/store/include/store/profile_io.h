// Internal: settings-file access in the shapes the stores need. Integers are
// decimal text; a number read for a narrower field is cut to that field's
// low bits; a text field written is never read beyond its width.
#ifndef QUILLON_PROFILE_IO_H
#define QUILLON_PROFILE_IO_H

#include <stddef.h>
#include <stdint.h>

namespace profile_io {

int32_t ReadInt(const char* section, const char* key, int32_t fallback, const char* path);
uint16_t ReadWord(const char* section, const char* key, int32_t fallback, const char* path);
// Reads at most size - 1 bytes; returns the bytes read.
uint32_t ReadText(const char* section, const char* key, const char* fallback, char* out,
                  uint32_t size, const char* path);

void WriteInt(const char* section, const char* key, int32_t value, const char* path);
void WriteUnsigned(const char* section, const char* key, uint32_t value, const char* path);
void WriteText(const char* section, const char* key, const char* text, size_t width,
               const char* path);

// For a load or save of many keys: the file is read once and, if changed,
// written once when the hold ends.
struct ProfileHold {
    explicit ProfileHold(const char* path);
    ~ProfileHold();
    ProfileHold(const ProfileHold&) = delete;
    ProfileHold& operator=(const ProfileHold&) = delete;
    const char* heldPath;
};

}  // namespace profile_io

#endif
