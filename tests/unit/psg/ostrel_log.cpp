#include "ostrel_log.h"

#include <cstdint>

#include "ostrel.h"

namespace {

std::vector<std::string> g_log;
const void* g_base = nullptr;
std::function<void()> g_beforeEndChannels;
bool g_refusePrepare = false;

std::string Handle(uint32_t h) { return h == 0 ? " 0" : " h"; }
std::string N(int64_t value) { return " " + std::to_string(value); }
std::string Text(const char* text) {
    return text == nullptr ? " null" : " \"" + std::string(text) + "\"";
}

void Log(int ordinal, const std::string& arguments) {
    g_log.push_back(std::to_string(ordinal) + arguments);
}

}  // namespace

std::vector<std::string>& OstrelLog() { return g_log; }
void ClearOstrelLog() { g_log.clear(); }
void SetOstrelAddressBase(const void* base) { g_base = base; }
void BeforeOstrelEndChannels(std::function<void()> action) {
    g_beforeEndChannels = std::move(action);
}
void RefuseNextOstrelPrepare() { g_refusePrepare = true; }

extern "C" {

uint32_t __real_OstrelCreate(const char*, int32_t, int32_t);
void __real_OstrelSetting(uint32_t, int32_t, int32_t);
int32_t __real_OstrelPrepareHeader(uint32_t);
void __real_OstrelBeginHeader(uint32_t);
void __real_OstrelSetHeaderItem(uint32_t, int32_t, int32_t, int32_t);
void __real_OstrelSetHeaderText(uint32_t, int32_t, int32_t, const char*);
void __real_OstrelBeginPatient(uint32_t);
int32_t __real_OstrelPutPatientField(uint32_t, int32_t, int32_t, int32_t, int32_t, const char*);
void __real_OstrelEndPatient(uint32_t, int32_t, int32_t, int32_t);
void __real_OstrelSetBlockLayout(uint32_t, int32_t, int32_t, int32_t, int32_t);
void __real_OstrelBeginChannels(uint32_t);
void __real_OstrelSetChannelText(uint32_t, int32_t, int32_t, int32_t, const char*);
void __real_OstrelSetChannelItem(uint32_t, int32_t, int32_t, int32_t, int32_t);
void __real_OstrelEndChannels(uint32_t);
void __real_OstrelSetEpochLength(uint32_t, uint16_t);
int32_t __real_OstrelCount(uint32_t, int32_t, int32_t);
void __real_OstrelPutChannelSamples(uint32_t, int32_t, int32_t, int32_t, int32_t, const void*);
void __real_OstrelCommitFrames(uint32_t, int32_t);
void __real_OstrelFinishRecording(uint32_t, int32_t);
void __real_OstrelCloseContents(uint32_t);
uint32_t __real_OstrelRelease(uint32_t);

uint32_t __wrap_OstrelCreate(const char* path, int32_t mode, int32_t access) {
    Log(5, Text(path) + N(mode) + N(access));
    return __real_OstrelCreate(path, mode, access);
}
void __wrap_OstrelSetting(uint32_t h, int32_t setting, int32_t value) {
    Log(12, Handle(h) + N(setting) + N(value));
    __real_OstrelSetting(h, setting, value);
}
int32_t __wrap_OstrelPrepareHeader(uint32_t h) {
    Log(30, Handle(h));
    if (g_refusePrepare) {
        g_refusePrepare = false;
        return 0;
    }
    return __real_OstrelPrepareHeader(h);
}
void __wrap_OstrelBeginHeader(uint32_t h) {
    Log(31, Handle(h));
    __real_OstrelBeginHeader(h);
}
void __wrap_OstrelSetHeaderItem(uint32_t h, int32_t section, int32_t item, int32_t value) {
    Log(33, Handle(h) + N(section) + N(item) + N(value));
    __real_OstrelSetHeaderItem(h, section, item, value);
}
void __wrap_OstrelSetHeaderText(uint32_t h, int32_t section, int32_t item, const char* text) {
    Log(35, Handle(h) + N(section) + N(item) + Text(text));
    __real_OstrelSetHeaderText(h, section, item, text);
}
void __wrap_OstrelBeginPatient(uint32_t h) {
    Log(41, Handle(h));
    __real_OstrelBeginPatient(h);
}
int32_t __wrap_OstrelPutPatientField(uint32_t h, int32_t section, int32_t offset, int32_t width,
                                     int32_t field, const char* text) {
    Log(15, Handle(h) + N(section) + N(offset) + N(width) + N(field) + Text(text));
    return __real_OstrelPutPatientField(h, section, offset, width, field, text);
}
void __wrap_OstrelEndPatient(uint32_t h, int32_t section, int32_t item, int32_t offset) {
    Log(48, Handle(h) + N(section) + N(item) + N(offset));
    __real_OstrelEndPatient(h, section, item, offset);
}
void __wrap_OstrelSetBlockLayout(uint32_t h, int32_t section, int32_t a, int32_t b, int32_t c) {
    Log(60, Handle(h) + N(section) + N(a) + N(b) + N(c));
    __real_OstrelSetBlockLayout(h, section, a, b, c);
}
void __wrap_OstrelBeginChannels(uint32_t h) {
    Log(47, Handle(h));
    __real_OstrelBeginChannels(h);
}
void __wrap_OstrelSetChannelText(uint32_t h, int32_t section, int32_t kind, int32_t channel,
                                 const char* text) {
    Log(39, Handle(h) + N(section) + N(kind) + N(channel) + Text(text));
    __real_OstrelSetChannelText(h, section, kind, channel, text);
}
void __wrap_OstrelSetChannelItem(uint32_t h, int32_t section, int32_t item, int32_t channel,
                                 int32_t value) {
    Log(37, Handle(h) + N(section) + N(item) + N(channel) + N(value));
    __real_OstrelSetChannelItem(h, section, item, channel, value);
}
void __wrap_OstrelEndChannels(uint32_t h) {
    Log(42, Handle(h));
    if (g_beforeEndChannels) {
        std::function<void()> action = std::move(g_beforeEndChannels);
        g_beforeEndChannels = nullptr;
        action();
    }
    __real_OstrelEndChannels(h);
}
void __wrap_OstrelSetEpochLength(uint32_t h, uint16_t seconds) {
    Log(43, Handle(h) + N(seconds));
    __real_OstrelSetEpochLength(h, seconds);
}
int32_t __wrap_OstrelCount(uint32_t h, int32_t section, int32_t item) {
    Log(34, Handle(h) + N(section) + N(item));
    return __real_OstrelCount(h, section, item);
}
void __wrap_OstrelPutChannelSamples(uint32_t h, int32_t section, int32_t frames, int32_t channel,
                                    int32_t stride, const void* samples) {
    const int64_t at = static_cast<int64_t>(reinterpret_cast<uintptr_t>(samples) -
                                            reinterpret_cast<uintptr_t>(g_base));
    Log(44,
        Handle(h) + N(section) + N(frames) + N(channel) + N(stride) + " @" + std::to_string(at));
    __real_OstrelPutChannelSamples(h, section, frames, channel, stride, samples);
}
void __wrap_OstrelCommitFrames(uint32_t h, int32_t frames) {
    Log(46, Handle(h) + N(frames));
    __real_OstrelCommitFrames(h, frames);
}
void __wrap_OstrelFinishRecording(uint32_t h, int32_t section) {
    Log(72, Handle(h) + N(section));
    __real_OstrelFinishRecording(h, section);
}
void __wrap_OstrelCloseContents(uint32_t h) {
    Log(32, Handle(h));
    __real_OstrelCloseContents(h);
}
uint32_t __wrap_OstrelRelease(uint32_t h) {
    Log(6, Handle(h));
    return __real_OstrelRelease(h);
}

}  // extern "C"
