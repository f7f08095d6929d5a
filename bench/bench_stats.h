#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

// Timing helpers shared by the benchmarks: they print figures, they never judge them.
namespace bench {

struct Figures {
    double median_us;
    double p95_us;
};

// The setup runs before each repetition, outside the time measured.
inline Figures Measure(int repetitions, const std::function<void(int)>& operation,
                       const std::function<void(int)>& setup = nullptr) {
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        if (setup) setup(i);
        const auto start = std::chrono::steady_clock::now();
        operation(i);
        samples.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(samples.begin(), samples.end());
    return Figures{samples[samples.size() / 2], samples[std::min(samples.size() - 1, samples.size() * 95 / 100)]};
}

inline void PrintRow(const char* name, Figures ours, const char* referenceName, Figures reference) {
    std::printf("%-44s %10.1f %10.1f   %-34s %10.1f %10.1f   %6.2fx\n", name, ours.median_us, ours.p95_us, referenceName,
                reference.median_us, reference.p95_us, ours.median_us / reference.median_us);
}

inline void PrintHeader() {
    std::printf("%-44s %10s %10s   %-34s %10s %10s   %7s\n", "operation", "median us", "p95 us", "reference", "median us",
                "p95 us", "ratio");
}

}  // namespace bench
