// PASS/FAIL lines and the closing count of the Windows test programs that
// run under Wine; the exit status is what CTest sees.
#ifndef QUILLON_TESTS_WIN_CHECK_H
#define QUILLON_TESTS_WIN_CHECK_H

#include <cstdio>

inline int g_passes = 0;
inline int g_failures = 0;

inline void Check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    (ok ? g_passes : g_failures)++;
}

inline int CheckSummary() {
    std::printf("%d passed, %d failed\n", g_passes, g_failures);
    return g_failures == 0 ? 0 : 1;
}

#endif
