#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

// Timing helpers shared by the benchmarks: they print figures, they never judge them. Every figure
// goes out as one tab-separated line, which tools/bench gathers into one table:
//   figure <TAB> name <TAB> median µs <TAB> p95 µs <TAB> reference <TAB> median µs <TAB> p95 µs
//   value <TAB> name <TAB> value <TAB> note
namespace bench {

struct Figures {
    double median_us = 0;
    double p95_us = 0;
};

inline Figures Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return Figures{samples[samples.size() / 2], samples[std::min(samples.size() - 1, samples.size() * 95 / 100)]};
}

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
    return Summarise(std::move(samples));
}

inline void PrintRow(const char* name, Figures ours, const char* referenceName, Figures reference) {
    std::printf("figure\t%s\t%.1f\t%.1f\t%s\t%.1f\t%.1f\n", name, ours.median_us, ours.p95_us, referenceName,
                reference.median_us, reference.p95_us);
    std::fflush(stdout);
}

inline void PrintValue(const char* name, const char* value, const char* note = "") {
    std::printf("value\t%s\t%s\t%s\n", name, value, note);
    std::fflush(stdout);
}

}  // namespace bench
