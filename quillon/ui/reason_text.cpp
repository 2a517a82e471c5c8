#include "reason_text.h"

#include <cwchar>
#include <string>

#include "ids/convert_ids.h"
#include "ui_text.h"

namespace {

// Room for a pattern: the longest of res/messages.rc with a margin.
constexpr int kPatternBytes = 512;

}  // namespace

int FormatReasonCp932(HINSTANCE instance, const Reason* reason, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (reason == nullptr) return 0;
    char pattern[kPatternBytes], noReason[kPatternBytes];
    if (LoadStringCp932(instance, static_cast<UINT>(ReasonStringId(reason->code)), pattern,
                        sizeof pattern) == 0)
        return 0;
    LoadStringCp932(instance, IDS_NO_SYSTEM_REASON, noReason, sizeof noReason);
    return ExpandReasonPattern(pattern, reason, noReason, out, size);
}

int FormatReasonText(HINSTANCE instance, const Reason* reason, wchar_t* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = L'\0';
    char text[kPatternBytes * 2];
    FormatReasonCp932(instance, reason, text, sizeof text);
    const std::wstring wide = WideFromCp932(text);
    const size_t n = wide.size() < size ? wide.size() : size - 1;
    std::wmemcpy(out, wide.c_str(), n);
    out[n] = L'\0';
    return static_cast<int>(n);
}
