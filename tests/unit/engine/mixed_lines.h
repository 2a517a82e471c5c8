// A source for comparing two ways of reading the same lines.
#ifndef QUILLON_TEST_MIXED_LINES_H
#define QUILLON_TEST_MIXED_LINES_H

#include <stdint.h>

#include <string>

// A source where every kind of line turns up often, in no pattern: data,
// blank, short, labels, a NUL, over-long, values beyond 16 bits, CR, LF and
// CR LF ends; a head before it and a tail after it.
inline std::string MixedLines(int32_t lines, int32_t channels) {
    std::string text = "T,a,b,c,d,e,f,g,h\r\n\r\n";
    uint32_t state = 12345;
    auto next = [&state](uint32_t range) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % range;
    };
    const char* const ends[] = {"\n", "\r\n", "\r"};
    for (int32_t n = 0; n < lines; ++n) {
        // The head (checked before a run starts) holds no NUL.
        const uint32_t kind = n < 200 ? 99 : next(100);
        if (kind == 0)
            text += "";
        else if (kind == 1)
            text += "1,2";
        else if (kind == 2)
            text += "a,b,c,d,e,f,g,h,i";
        else if (kind == 3)
            text += std::string("5,6,\0,7", 7);
        else if (kind == 4)
            text += std::string(4100, '9');
        else
            for (int32_t c = 0; c < channels; ++c)
                text += std::to_string(static_cast<int32_t>(next(90000)) - 45000) +
                        (next(50) == 0 ? ".5" : "") + ",";
        text += ends[next(3)];
    }
    return text + "\r\n \r\n";
}

#endif
