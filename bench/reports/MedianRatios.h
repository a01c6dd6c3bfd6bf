// What the report benchmarks share: every benchmark runs in repetitions interleaved at random
// with the others (15 unless the command line says otherwise), and each ratio is printed as the
// median time of one benchmark over the median time of its baseline, both from the same run,
// with the spread of both sides.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench_ratios {

struct Ratio {
    const char* name;     // the benchmark measured
    const char* baseline; // the benchmark it is measured against
    double goal;          // the largest ratio wanted (0: none, shown for information)
};

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            if (run.run_type == Run::RT_Iteration) {
                times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
                units_[run.run_name.function_name] = benchmark::GetTimeUnitString(run.time_unit);
                if (run.repetitions <= 1) {
                    shown.push_back(run);
                }
            } else if (run.aggregate_name == "median" || run.aggregate_name == "cv") {
                shown.push_back(run);
            }
        }
        if (!shown.empty()) {
            ConsoleReporter::ReportRuns(shown);
        }
    }

    void PrintRatios(const char* title, const std::vector<Ratio>& ratios) const {
        std::printf("\n%s (medians of interleaved repetitions; spread: lowest..highest)\n", title);
        for (const Ratio& r : ratios) {
            const auto it = times_.find(r.name);
            const auto base = times_.find(r.baseline);
            if (it == times_.end() || base == times_.end()) {
                continue;
            }
            const Summary a = summary(it->second);
            const Summary b = summary(base->second);
            if (b.median <= 0) {
                continue;
            }
            const char* unit = units_.at(r.name);
            char goal[40] = "";
            if (r.goal > 0) {
                std::snprintf(goal, sizeof goal, " (goal: at most %.1f)", r.goal);
            }
            std::printf("  %s: %.2f%s\n    %s %s %s (%s..%s), %s %s %s (%s..%s), %zu repetitions\n",
                        r.name, a.median / b.median, goal, r.name, number(a.median).c_str(), unit,
                        number(a.low).c_str(), number(a.high).c_str(), r.baseline,
                        number(b.median).c_str(), unit, number(b.low).c_str(),
                        number(b.high).c_str(), it->second.size());
        }
    }

private:
    struct Summary {
        double median = 0, low = 0, high = 0;
    };
    // Three significant digits at least, without an exponent.
    static std::string number(double v) {
        char text[32];
        std::snprintf(text, sizeof text, v >= 100 ? "%.0f" : v >= 10 ? "%.1f" : "%.2f", v);
        return text;
    }
    static Summary summary(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return {n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.front(), v.back()};
    }
    std::map<std::string, std::vector<double>> times_;
    std::map<std::string, const char*> units_;
};

// Runs the registered benchmarks and prints the ratios; the defaults come before the command
// line's own flags, which therefore win.
inline int runWithRatios(int argc, char** argv, const char* title,
                         const std::vector<Ratio>& ratios) {
    std::vector<char*> args{argv[0]};
    std::string repetitions = "--benchmark_repetitions=15";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.push_back(repetitions.data());
    args.push_back(interleave.data());
    for (int i = 1; i < argc; ++i) {
        args.push_back(argv[i]);
    }
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(title, ratios);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench_ratios
