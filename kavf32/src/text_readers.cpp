// Text lists read back as element records or as one |-separated string.
// The list is read into the work buffer once; every element is checked
// against the bytes actually read before any of its bytes is used.
#include <algorithm>
#include <cstring>

#include "api.h"
#include "file_io.h"
#include "item_lookup.h"

namespace kavf {
namespace {

constexpr size_t kTextReadSlack = 128;
constexpr size_t kLookupHeaderSlack = 16;
constexpr size_t kElementTextChars = sizeof(KavfTextElement{}.text) - 1;  // and a zero

struct TextList {
    const uint8_t* bytes;
    size_t bytesRead;
    uint32_t elements;  // low 16 bits of the count
};

struct ElementView {
    uint16_t words;
    uint16_t length;  // as stored
    const uint8_t* text;
    size_t room;
};

bool LoadTextList(KavfHandle& h, uint32_t group, uint32_t id, TextList& list) {
    FoundItem item;
    if (!FindItem(h, group, id, item)) return false;
    uint64_t want = std::min<uint64_t>(ItemBytes(item) + kTextReadSlack, h.work.size());
    int64_t got = ReadZeroFilled(h, item.offset, h.work.data(), want);
    list.bytes = h.work.data();
    list.bytesRead = got > 0 ? static_cast<size_t>(got) : 0;
    list.elements = Low16(item.count);
    return true;
}

// Steps over one element at `at`; false at the end of the list or at an
// element that does not lie wholly inside the bytes read.
bool NextElement(const TextList& list, size_t& at, ElementView& view) {
    if (at + kTextElementHeaderBytes > list.bytesRead) return false;
    view.words = GetBe16(list.bytes + at);
    if (view.words * size_t{2} < kTextElementHeaderBytes) return false;
    if (view.words * size_t{2} > list.bytesRead - at) return false;
    view.length = GetBe16(list.bytes + at + 2);
    view.text = list.bytes + at + kTextElementHeaderBytes;
    view.room = view.words * size_t{2} - kTextElementHeaderBytes;
    at += view.words * size_t{2};
    return true;
}

// The lookup reads budget + 16 bytes per header into the work buffer, so a
// larger budget than the buffer allows is clipped.
uint32_t ClipBudget(const KavfHandle& h, uint32_t budget) {
    return static_cast<uint32_t>(std::min<size_t>(budget, h.work.size() - kLookupHeaderSlack));
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI GetKavfTextInfo(KAVFHANDLE handle, KavfTextElement* elements,
                                             uint32_t group, uint32_t id, uint32_t maxCount,
                                             uint32_t budget) {
    KavfHandle* h = AccessHandle(handle);
    TextList list;
    if (h == nullptr || elements == nullptr || !LoadTextList(*h, group, id, list)) return 0;
    uint32_t wanted = Low16(maxCount) != 0 ? Low16(maxCount) : list.elements;
    uint32_t clipped = ClipBudget(*h, budget);
    size_t remaining = clipped >= 2 ? clipped - 2 : 0;
    size_t at = kItemHeaderBytes;
    uint32_t filled = 0;
    ElementView view;
    while (filled < wanted && NextElement(list, at, view)) {
        KavfTextElement& e = elements[filled++];
        e.words = view.words;
        bool exhausted = false;
        size_t k = 0;
        if (view.length != 0) {
            size_t stored = std::min<size_t>({view.length, view.room, sizeof e.text});
            e.length = static_cast<uint16_t>(stored);
            size_t limit = std::min(stored, kElementTextChars);
            for (; k < limit && view.text[k] != 0; ++k) {
                if (remaining == 0) {
                    exhausted = true;
                    break;
                }
                e.text[k] = static_cast<char>(view.text[k]);
                --remaining;
            }
        }
        e.text[k] = '\0';
        if (exhausted) break;
    }
    return filled;
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfTextData(KAVFHANDLE handle, char* text, uint32_t group,
                                              uint32_t id, uint32_t maxCount, uint32_t budget) {
    KavfHandle* h = AccessHandle(handle);
    // budget is the capacity of text, its zero included. Any object text
    // points to has room for the zero, so the output is a string whatever
    // happens, also for budget 0.
    if (h == nullptr || text == nullptr) return 0;
    text[0] = '\0';
    if (budget == 0) return 0;
    TextList list;
    if (!LoadTextList(*h, group, id, list)) return 0;
    uint32_t wanted = Low16(maxCount) != 0 ? Low16(maxCount) : list.elements;
    // Every copied character keeps room for the closing | and the zero.
    size_t capacity = ClipBudget(*h, budget);
    size_t out = 0;
    uint32_t texts = 0;
    size_t at = kItemHeaderBytes;
    ElementView view;
    for (uint32_t n = 0; n < wanted && NextElement(list, at, view); ++n) {
        if (view.length == 0) continue;
        if (out + 3 > capacity) break;
        size_t limit = std::min<size_t>(view.length, view.room);
        size_t k = 0;
        while (k < limit && view.text[k] != 0 && out + 3 <= capacity)
            text[out++] = static_cast<char>(view.text[k++]);
        bool cut = k < limit && view.text[k] != 0;
        text[out++] = '|';
        ++texts;
        if (cut) break;
    }
    text[out] = '\0';
    return texts;
}
