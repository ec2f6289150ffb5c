#pragma once
// Every benchmark here compares one measure with a baseline run in the same process and prints
// the ratio, so results from different machines can be read side by side. With repetitions
// (--benchmark_repetitions=N --benchmark_enable_random_interleaving=true) the medians are compared.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // By benchmark name and arguments ("BM_Listing/1000"): the time, and each counter by name.
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes;
    std::map<std::string, std::map<std::string, double>> counters;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median))
                continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += "/" + run.run_name.args;
            if (median || !medians_.count(name)) { // a median, once there, wins over single runs
                times[name] = run.GetAdjustedRealTime();
                cpuTimes[name] = run.GetAdjustedCPUTime();
                for (const auto& [counter, value] : run.counters)
                    counters[name][counter] = value.value;
            }
            if (median)
                medians_.insert(name);
        }
    }

private:
    std::set<std::string> medians_;
};

struct Ratio {
    std::string measured;
    std::string baseline;
    const char* format; // measured / baseline in place of %.1f (or %.2f)
    std::string counter = {}; // empty: the times; "cpu": the processor times; else that counter
};

// Runs the registered benchmarks, then prints each ratio that both of its runs produced.
inline int runWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const Ratio& ratio : ratios) {
        double m = 0;
        double b = 0;
        if (ratio.counter.empty() || ratio.counter == "cpu") {
            auto& times = ratio.counter.empty() ? reporter.times : reporter.cpuTimes;
            if (!times.count(ratio.measured) || !times.count(ratio.baseline))
                continue;
            m = times[ratio.measured];
            b = times[ratio.baseline];
        } else {
            m = reporter.counters[ratio.measured][ratio.counter];
            b = reporter.counters[ratio.baseline][ratio.counter];
        }
        if (b <= 0)
            continue;
        std::printf(ratio.format, m / b);
        std::printf("\n");
    }
    return 0;
}

inline int runWithRatio(int argc, char** argv, const std::string& measured, const std::string& baseline,
                        const char* format) {
    return runWithRatios(argc, argv, {{measured, baseline, format}});
}

} // namespace bench
