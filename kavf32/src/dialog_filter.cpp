#include "dialog_block.h"

#include "platform.h"

namespace kavf {

const char kDefaultExtension[] = "dat";

void ConvertFilterInPlace(char* filter) {
    if (filter == nullptr) return;
    for (char* p = filter; *p != '\0'; ++p) {
        if (PlatIsLeadByte932(static_cast<uint8_t>(*p))) {
            if (p[1] == '\0') return;
            ++p;
        } else if (*p == '|') {
            *p = '\0';
        }
    }
}

}  // namespace kavf
