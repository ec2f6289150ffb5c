#pragma once
// Every benchmark here compares one measure with a baseline run in the same process and prints
// the ratio, so results from different machines can be read side by side.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
};

// Runs the registered benchmarks, then prints `format` with measured / baseline in place of %.1f.
inline int runWithRatio(int argc, char** argv, const std::string& measured, const std::string& baseline,
                        const char* format) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto m = reporter.times.find(measured);
    const auto b = reporter.times.find(baseline);
    if (m == reporter.times.end() || b == reporter.times.end() || b->second <= 0)
        return 0;
    std::printf(format, m->second / b->second);
    std::printf("\n");
    return 0;
}

} // namespace bench
