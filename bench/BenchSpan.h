#pragma once
// Wall-clock and processor time of one stretch of a benchmark. Renaming is
// work the kernel does for the process, so processor time (user + system)
// compares fairly even on a machine busy with other things; wall time is
// shown too. Each figure keeps the best of several rounds.
#include <time.h>

#include <algorithm>
#include <chrono>

namespace zvbench {

inline double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

inline double CpuSeconds() {
    struct timespec t;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Span {
    double wall = 1e9, cpu = 1e9;
};

template <typename F>
Span Measure(F&& f) {
    const auto w0 = std::chrono::steady_clock::now();
    const double c0 = CpuSeconds();
    f();
    return {Seconds(std::chrono::steady_clock::now() - w0), CpuSeconds() - c0};
}

inline void KeepBest(Span& best, const Span& s) {
    best.wall = std::min(best.wall, s.wall);
    best.cpu = std::min(best.cpu, s.cpu);
}

}  // namespace zvbench
