#pragma once
// A small timing harness: each operation runs in batches; the figure is the median time
// per call over the batches, so a noisy machine moves it little.

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// Median nanoseconds per call of op, over `batches` batches of `perBatch` calls.
inline double medianNs(const std::function<void()>& op, int perBatch, int batches = 21) {
    using clock = std::chrono::steady_clock;
    for (int i = 0; i < perBatch; ++i) // warm caches and lazy set-up
        op();
    std::vector<double> samples;
    samples.reserve(size_t(batches));
    for (int b = 0; b < batches; ++b) {
        const auto start = clock::now();
        for (int i = 0; i < perBatch; ++i)
            op();
        const auto ns = std::chrono::duration<double, std::nano>(clock::now() - start).count();
        samples.push_back(ns / perBatch);
    }
    std::nth_element(samples.begin(), samples.begin() + batches / 2, samples.end());
    return samples[size_t(batches / 2)];
}

// Keeps the compiler from dropping work whose result is otherwise unused.
inline void escape(const void* p) {
    asm volatile("" : : "g"(p) : "memory");
}

struct Verdicts {
    int failures = 0;
    // Prints one figure as a ratio to its reference, with PASS/FAIL against the target
    // (a target of 0 means "reported only").
    void ratio(const QString& name, double ns, double referenceNs, double target) {
        const double r = ns / referenceNs;
        const char* verdict = target <= 0 ? "" : (r <= target ? "PASS" : "FAIL");
        if (target > 0 && r > target)
            ++failures;
        std::printf("  %-34s %10.2f us  %7.3fx", qPrintable(name), ns / 1000.0, r);
        if (target > 0)
            std::printf("  (target <= %.2fx)  %s", target, verdict);
        std::printf("\n");
    }
    void check(const QString& name, bool ok, const QString& detail) {
        if (!ok)
            ++failures;
        std::printf("  %-34s %s  %s\n", qPrintable(name), qPrintable(detail), ok ? "PASS" : "FAIL");
    }
};

} // namespace bench
