#pragma once

#include <functional>
#include <vector>

namespace kavro::bench {

// The fastest, the middle and the slowest of repeated timings. Other
// processes on a shared machine only ever make a timing longer; the worst is
// mostly the first run, before caches have filled.
struct Timing
{
    double best = 0;
    double median = 0;
    double worst = 0;
};

// Sums up timings (at least one).
Timing Summarise(std::vector<double> times);

// Times step in milliseconds, `repeats` times, each run after prepare (not
// timed) when there is one.
Timing Measure(
    const std::function<void()> &step, const std::function<void()> &prepare = {}, int repeats = 5);

// The heading over PrintTiming's lines, and one line: what was timed and
// its best, median and worst milliseconds.
void PrintTimingHeading();
void PrintTiming(const char *what, Timing timing);

} // namespace kavro::bench
