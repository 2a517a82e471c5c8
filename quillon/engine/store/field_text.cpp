#include "store/field_text.h"

#include <cstdint>
#include <cstring>

#include "platform.h"

extern "C" void CopyFieldText(char* field, size_t width, const char* text) {
    if (field == nullptr || width == 0) return;
    size_t kept = 0;
    while (text != nullptr && text[kept] != '\0' && kept + 1 < width) {
        const bool lead = PlatIsLeadByte932(static_cast<uint8_t>(text[kept])) != 0;
        if (lead && text[kept + 1] == '\0') break;
        const size_t step = lead ? 2 : 1;
        if (kept + step >= width) break;
        kept += step;
    }
    if (kept > 0) std::memmove(field, text, kept);
    field[kept] = '\0';
}
