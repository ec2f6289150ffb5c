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
    std::string baseline; // empty: the measured counter is the ratio itself
    const char* format;   // measured / baseline in place of %.1f (or %.2f)
    std::string counter = {}; // empty: the times; "cpu": the processor times; else that counter
    // The figure the program is held to; a run worse than twice this fails. 0: shown, not held.
    double target = 0;
};

// Runs the registered benchmarks, then prints each ratio that both of its runs produced, with its
// share of the target. Returns 1 when a held figure is worse than twice its target or was not
// measured, so that CI stops on a slide back.
inline int runWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    int result = 0;
    for (const Ratio& ratio : ratios) {
        double m = 0;
        double b = ratio.baseline.empty() ? 1 : 0;
        if (ratio.counter.empty() || ratio.counter == "cpu") {
            auto& times = ratio.counter.empty() ? reporter.times : reporter.cpuTimes;
            if (times.count(ratio.measured) && times.count(ratio.baseline)) {
                m = times[ratio.measured];
                b = times[ratio.baseline];
            }
        } else if (reporter.counters.count(ratio.measured) &&
                   (ratio.baseline.empty() || reporter.counters.count(ratio.baseline))) {
            m = reporter.counters[ratio.measured][ratio.counter];
            if (!ratio.baseline.empty())
                b = reporter.counters[ratio.baseline][ratio.counter];
        }
        if (b <= 0 || m <= 0) {
            if (ratio.target > 0) {
                std::printf("NOT MEASURED: %s / %s\n", ratio.measured.c_str(), ratio.baseline.c_str());
                result = 1;
            }
            continue;
        }
        const double value = m / b;
        std::printf(ratio.format, value);
        if (ratio.target > 0) {
            std::printf("   [target %g: %.2f of it%s]", ratio.target, value / ratio.target,
                        value > 2 * ratio.target ? ", MORE THAN TWICE THE TARGET" : "");
            if (value > 2 * ratio.target)
                result = 1;
        }
        std::printf("\n");
    }
    return result;
}

inline int runWithRatio(int argc, char** argv, const std::string& measured, const std::string& baseline,
                        const char* format, double target = 0) {
    return runWithRatios(argc, argv, {{measured, baseline, format, {}, target}});
}

} // namespace bench
