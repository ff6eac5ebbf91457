// Tick intervals of the multimedia timer at the game's two frame periods (5 and 10 ms): the median
// and the 99th percentile of the time between OnTimer calls, next to the period asked for.
#include "base/util/TXeTimer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int kTicks = 400;

void TickIntervals(benchmark::State& state)
{
    const auto period = static_cast<unsigned>(state.range(0));
    std::vector<double> intervals;
    int dropped = 0;
    for (auto _ : state) {
        using Clock = std::chrono::steady_clock;
        std::vector<Clock::time_point> stamps;
        stamps.reserve(kTicks + 1);
        std::atomic<bool> done{false};
        std::atomic<int> calls{0};
        TXeTimer timer(nullptr);
        timer.SetOnTimer([&](TObject*) {
            ++calls;
            if (stamps.size() <= kTicks)
                stamps.push_back(Clock::now());
            else
                done = true;
        });
        timer.SetInterval(period);
        timer.SetEnabled(true);
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        timer.SetEnabled(false);
        dropped = timer.Count - calls;
        for (std::size_t i = 1; i < stamps.size(); ++i)
            intervals.push_back(std::chrono::duration<double, std::milli>(stamps[i] - stamps[i - 1]).count());
    }
    std::sort(intervals.begin(), intervals.end());
    auto percentile = [&](double p) { return intervals[static_cast<std::size_t>(p * (intervals.size() - 1))]; };
    state.counters["period_ms"] = period;
    state.counters["p50_ms"] = percentile(0.50);
    state.counters["p99_ms"] = percentile(0.99);
    state.counters["max_ms"] = intervals.back();
    state.counters["dropped"] = dropped;
    // The mean interval against the period: a timer that drifts shows it here.
    double total = 0;
    for (double v : intervals)
        total += v;
    state.counters["mean_ms"] = total / static_cast<double>(intervals.size());
}

BENCHMARK(TickIntervals)->Arg(5)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
