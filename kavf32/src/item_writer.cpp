#include "item_writer.h"

#include <algorithm>
#include <cstring>

#include "file_io.h"

namespace kavf {
namespace {

bool PutBytes(KavfHandle& h, Target target, uint64_t offset, const uint8_t* bytes, size_t n) {
    ByteSink sink;
    if (!SinkOpen(sink, h, target, offset, n)) return false;
    SinkPut(sink, bytes, n);
    return SinkClose(sink);
}

void EmitTextBody(ByteSink& sink, const ItemPlan& plan) {
    for (uint32_t i = 0; i < plan.elementCount; ++i) {
        const KavfTextElement& e = plan.elements[i];
        uint32_t room = 2u * e.words - kTextElementHeaderBytes;
        SinkPutBe16(sink, e.words);
        SinkPutBe16(sink, std::min<uint32_t>(e.length, room));
        SinkPut(sink, e.text, room);
    }
    // The zero element that ends the list comes from the closing pad.
}

void EmitArrayBody(ByteSink& sink, const ItemPlan& plan, size_t width) {
    if (plan.values == nullptr || plan.mode > KAVF_MODE_NATIVE) return;
    SinkPutValues(sink, plan.values, plan.valueCount, static_cast<uint32_t>(width),
                  plan.mode == KAVF_MODE_NATIVE);
}

}  // namespace

uint16_t OpenGroup(const KavfHandle& h) {
    if (!h.groupOpen || h.currentGroup == 0 || h.currentGroup > kMaxGroups) return 0;
    return h.currentGroup;
}

bool PlanTextItem(uint32_t id, uint32_t count, const KavfTextElement* elements, ItemPlan& plan) {
    uint16_t n = Low16(count);
    if (n > 0 && elements == nullptr) return false;
    uint64_t elementWords = 0;
    for (uint16_t i = 0; i < n; ++i) {
        if (elements[i].words < KAVF_MIN_TEXT_WORDS || elements[i].words > KAVF_MAX_TEXT_WORDS)
            return false;
        elementWords += elements[i].words;
    }
    plan = ItemPlan{};
    plan.kind = KAVF_KIND_TEXT;
    plan.id = Low16(id);
    plan.countField = n;
    plan.words = TextListWords(elementWords);
    plan.body = ItemBody::Text;
    plan.elements = elements;
    plan.elementCount = n;
    return true;
}

void PlanWordItem(uint32_t mode, uint32_t id, uint32_t count, const uint16_t* values,
                  ItemPlan& plan) {
    plan = ItemPlan{};
    plan.kind = KAVF_KIND_WORDS;
    plan.id = Low16(id);
    plan.countField = Low16(count);
    plan.words = WordArrayWords(plan.countField);
    plan.body = ItemBody::Words;
    plan.values = values;
    plan.valueCount = plan.countField;
    plan.mode = mode;
}

void PlanLongItem(uint32_t mode, uint32_t id, uint32_t count, const uint32_t* values,
                  ItemPlan& plan) {
    plan = ItemPlan{};
    plan.kind = KAVF_KIND_LONGS;
    plan.id = Low16(id);
    plan.countField = count;
    plan.words = LongArrayWords(count);
    plan.body = ItemBody::Longs;
    plan.values = values;
    plan.valueCount = count;
    plan.mode = mode;
}

void PlanImageItem(uint32_t id, uint32_t byteCount, const void* data, ItemPlan& plan) {
    plan = ItemPlan{};
    plan.kind = KAVF_KIND_BLOCK;
    plan.id = Low16(id);
    plan.countField = byteCount;
    plan.words = ImageBlockWords(byteCount);
    plan.body = ItemBody::Image;
    plan.values = data;
    plan.valueCount = byteCount;
}

uint32_t WriteGroupStart(KavfHandle& h, Target target, uint32_t group, uint32_t offset) {
    uint16_t g = Low16(group);
    if (g == 0 || g > kMaxGroups) return 0;
    uint64_t at = offset != 0 ? offset : h.writeOffset;
    uint64_t next = uint64_t{h.writeOffset} + kGroupLengthBytes;
    if (!FitsOffset(next)) return 0;
    uint8_t field[4];
    PutBe32(field, 2);
    if (!PutBytes(h, target, at, field, 4)) return 0;
    h.groupLengths[g] = 2;
    h.groupOffsets[g] = static_cast<uint32_t>(at);
    h.currentGroup = g;
    h.groupOpen = true;
    h.writeOffset = static_cast<uint32_t>(next);
    return h.writeOffset;
}

uint32_t WriteGroupEnd(KavfHandle& h, Target target, uint32_t group) {
    uint16_t g = Low16(group);
    if (g == 0 || g != OpenGroup(h)) return 0;
    uint64_t next = uint64_t{h.writeOffset} + kGroupLengthBytes;
    uint64_t length = uint64_t{h.groupLengths[g]} + 2;
    if (!FitsOffset(next) || !FitsOffset(length)) return 0;
    uint8_t field[4] = {0, 0, 0, 0};
    if (!PutBytes(h, target, h.writeOffset, field, 4)) return 0;
    PutBe32(field, static_cast<uint32_t>(length));
    if (!PutBytes(h, target, h.groupOffsets[g], field, 4)) return 0;
    h.writeOffset = static_cast<uint32_t>(next);
    h.groupLengths[g] = static_cast<uint32_t>(length);
    h.groupCount = g;
    h.groupOpen = false;
    return h.writeOffset;
}

uint32_t WriteItem(KavfHandle& h, Target target, const ItemPlan& plan) {
    uint16_t g = OpenGroup(h);
    if (g == 0) return 0;
    uint64_t bytes = 2 * plan.words;
    uint64_t end = uint64_t{h.writeOffset} + bytes;
    if (!FitsOffset(end) || !FitsOffset(uint64_t{h.groupLengths[g]} + plan.words)) return 0;
    ByteSink sink;
    if (!SinkOpen(sink, h, target, h.writeOffset, bytes)) return 0;
    SinkPutBe32(sink, static_cast<uint32_t>(plan.words));
    SinkPutBe16(sink, plan.kind);
    SinkPutBe16(sink, plan.id);
    SinkPutBe32(sink, plan.countField);
    switch (plan.body) {
        case ItemBody::Text: EmitTextBody(sink, plan); break;
        case ItemBody::Words: EmitArrayBody(sink, plan, 2); break;
        case ItemBody::Longs: EmitArrayBody(sink, plan, 4); break;
        case ItemBody::Image:
            if (plan.values != nullptr) SinkPut(sink, plan.values, plan.valueCount);
            break;
    }
    if (!SinkClose(sink)) return 0;
    h.writeOffset = static_cast<uint32_t>(end);
    h.groupLengths[g] += static_cast<uint32_t>(plan.words);
    return h.writeOffset;
}

}  // namespace kavf
