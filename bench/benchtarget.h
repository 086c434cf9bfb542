#pragma once
// How every benchmark reports a target: one line starting with "TARGET",
// the measured median with its min-max, the limit, and MET or MISSED.
// ./tagwright bench collects these lines and fails when one is MISSED, so
// a benchmark's main returns tw::bench::exitCode().

#include <cstdio>

namespace tw::bench {

inline int g_missedTargets = 0;

// value, lo and hi in the unit named (e.g. "x lftp", "ms", "MB"); the target
// is met when value <= limit.
inline bool target(const char* what, double value, double lo, double hi, double limit, const char* unit)
{
    const bool met = value <= limit;
    if (!met)
        ++g_missedTargets;
    std::printf("TARGET %s: %.2f %s (min %.2f, max %.2f), target <= %.2f %s: %s\n", what, value, unit, lo, hi, limit,
                unit, met ? "MET" : "MISSED");
    std::fflush(stdout);
    return met;
}

// A target that could not be measured (a reference tool missing) counts as
// missed, so a bench run never passes by measuring nothing.
inline void unmeasured(const char* what, const char* why)
{
    ++g_missedTargets;
    std::printf("TARGET %s: not measured (%s): MISSED\n", what, why);
    std::fflush(stdout);
}

inline int exitCode() { return g_missedTargets == 0 ? 0 : 1; }

}  // namespace tw::bench
