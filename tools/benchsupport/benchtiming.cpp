#include "benchtiming.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace kavro::bench {

Timing Summarise(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return { times.front(), times[times.size() / 2], times.back() };
}

Timing Measure(const std::function<void()> &step, const std::function<void()> &prepare, int repeats)
{
    std::vector<double> times;
    for (int run = 0; run < repeats; ++run) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return Summarise(std::move(times));
}

void PrintTimingHeading()
{
    std::printf("%-54s %8s %8s %8s\n", "ms", "best", "median", "worst");
}

void PrintTiming(const char *what, Timing timing)
{
    std::printf("  %-52s %8.1f %8.1f %8.1f\n", what, timing.best, timing.median, timing.worst);
}

} // namespace kavro::bench
