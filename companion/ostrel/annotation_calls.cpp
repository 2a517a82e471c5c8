// Annotations at their times, given while the recording grows: each waits
// for room in the records still to come: the room header item 23 reserves,
// and what a record's annotation signal has left.
#include <cstdio>

#include "edf_text.h"
#include "ostrel.h"
#include "ostrel_file.h"

using ostrel::OstrelFile;
using ostrel::Phase;

namespace {

constexpr int32_t kMaxAnnotationBytes = 256;
constexpr int32_t kMicrosecondsPerSecond = 1000000;

// "+12.5": the onset without trailing zeros in its fraction.
std::string Onset(int32_t seconds, int32_t microseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "+%d", static_cast<int>(seconds));
    std::string onset = text;
    if (microseconds == 0) return onset;
    std::snprintf(text, sizeof text, ".%06d", static_cast<int>(microseconds));
    std::string fraction = text;
    while (fraction.back() == '0') fraction.pop_back();
    return onset + fraction;
}

}  // namespace

extern "C" int32_t COMPANIONAPI OstrelAddAnnotation(uint32_t handle, int32_t seconds,
                                                    int32_t microseconds, const char* text) {
    return ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (file.phase != Phase::Recording || seconds < 0 || microseconds < 0 ||
            microseconds >= kMicrosecondsPerSecond)
            return 0;
        std::string tal = Onset(seconds, microseconds) + "\x14" +
                          ostrel::AnnotationText(ostrel::TakeCp932(text, kMaxAnnotationBytes)) +
                          "\x14";
        tal += '\0';
        // Once the records are laid out, one that no record could hold beside
        // its time-keeping TAL (a digit more allowed for later records) is
        // refused rather than holding back every later one; given earlier, it
        // is dropped when the records are filled, and counted (ordinal 34).
        const size_t keeping = std::to_string(file.records * file.layout.recordSeconds).size() + 5;
        if (file.layoutFixed &&
            tal.size() + keeping > static_cast<size_t>(file.layout.annotationBytes))
            return 0;
        file.timedTals.push_back(std::move(tal));
        return 1;
    });
}
