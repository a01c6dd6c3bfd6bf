// The record pictures the pages render most, each against a pass in the same run that only reads
// the samples the picture shows: the band view (592 x 440 from 296 visible A-scans of 4095
// samples) and the C-, D- and B-scans of a 40 x 40 map at the maps page's sizes. After the runs
// one line per picture gives its cost in multiples of its baseline, the median over interleaved
// repetitions; the goal is at most 4.
#include "platform/gfx/Bitmap.h"
#include "records/BaseBandUnit.h"
#include "records/BaseMapUnit.h"
#include "records/MapViews.h"
#include "sim/SignalModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using platform::gfx::TBitmap;

constexpr std::uint16_t kSamples = 4095;
constexpr std::uint16_t kBandScans = 296;
constexpr int kBandWidth = 592;
constexpr int kBandHeight = 440;
constexpr std::uint16_t kMapSide = 40;
// The maps page: C-scan 590 x 229, D-scan 337 x 229, B-scan 590 x 245.
constexpr int kCScanWidth = 590;
constexpr int kCScanHeight = 229;
constexpr int kDScanWidth = 337;
constexpr int kBScanHeight = 245;

void copySamples(std::span<const std::int32_t> from, std::span<std::int32_t> to) {
    std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
}

// Pictures smoothed in the thermal palette: the dearer of the two ways a picture is drawn.
void thermal(TBaseBandCell& record) {
    record.PaletteKind = PaletteThermal;
    record.HueLow = 0;
    record.HueHigh = 300;
    record.BuildPalette(KeepPalette, KeepBound, KeepBound);
}

struct Records {
    std::unique_ptr<TBaseBandCell> band;
    std::unique_ptr<TBaseMapCell> map;
};

Records& records() {
    static Records r = [] {
        Records out;
        const sim::Recording bandData = sim::makeRecording(sim::bandScene(3, kSamples, kBandScans));
        out.band = std::make_unique<TBaseBandCell>();
        *out.band->Config = bandData.config;
        out.band->SetScanCount(kBandScans);
        for (std::uint16_t j = 0; j < kBandScans; ++j) {
            copySamples(bandData.scan(0, j), out.band->Scan(0, j));
        }
        out.band->ProcessReceived();
        thermal(*out.band);

        const sim::Recording mapData =
            sim::makeRecording(sim::mapScene(5, kSamples, kMapSide, kMapSide));
        out.map = std::make_unique<TBaseMapCell>();
        *out.map->Config = mapData.config;
        out.map->SetMapSize(kMapSide, kMapSide);
        for (std::uint16_t r = 0; r < kMapSide; ++r) {
            for (std::uint16_t c = 0; c < kMapSide; ++c) {
                copySamples(mapData.scan(r, c), out.map->Scan(r, c));
            }
        }
        out.map->ProcessReceived();
        thermal(*out.map);
        out.map->ComputeCellSize(kCScanWidth, kCScanHeight);
        return out;
    }();
    return r;
}

std::int64_t sum(std::span<const std::int32_t> samples) {
    std::int64_t s = 0;
    for (const std::int32_t v : samples) {
        s += v;
    }
    return s;
}

std::span<const std::int32_t> trace(const TBaseAScanCell& record, std::uint32_t row,
                                    std::uint32_t column) {
    return record.Scan(row, column).first(record.SampleCount());
}

// ---- The band view --------------------------------------------------------------------------

void Band_Picture(benchmark::State& state) {
    TBaseBandCell& band = *records().band;
    std::unique_ptr<TBitmap> picture;
    for (auto _ : state) {
        band.RenderImage(KeepPalette, KeepScheme, picture, kBandWidth, kBandHeight);
        benchmark::DoNotOptimize(picture->ScanLine(0));
    }
}

void Band_Baseline(benchmark::State& state) {
    const TBaseBandCell& band = *records().band;
    for (auto _ : state) {
        std::int64_t s = 0;
        for (std::uint32_t j = 0; j < kBandScans; ++j) {
            s += sum(trace(band, 0, j));
        }
        benchmark::DoNotOptimize(s);
    }
}

// ---- The map views --------------------------------------------------------------------------

void CScan_Picture(benchmark::State& state) {
    TBaseMapCell& map = *records().map;
    TBitmap picture;
    for (auto _ : state) {
        RenderCScan(map, picture, KeepPalette, KeepScheme, kCScanWidth, kCScanHeight);
        benchmark::DoNotOptimize(picture.ScanLine(0));
    }
}

// The C-scan reads one sample per cell at cursor 1's depth, and each cell's trace up to its first
// positive sample for the plus marks.
void CScan_Baseline(benchmark::State& state) {
    const TBaseMapCell& map = *records().map;
    const std::uint32_t depth = map.CScanDepth();
    for (auto _ : state) {
        std::int64_t s = 0;
        for (std::uint32_t r = 0; r < kMapSide; ++r) {
            for (std::uint32_t c = 0; c < kMapSide; ++c) {
                const auto t = trace(map, r, c);
                s += t[depth];
                s += std::find_if(t.begin(), t.end() - 1, [](std::int32_t v) { return v > 0; }) -
                     t.begin();
            }
        }
        benchmark::DoNotOptimize(s);
    }
}

// The same against reading every sample of the map, which the plus marks depend on.
void CScan_WholeMapBaseline(benchmark::State& state) {
    const TBaseMapCell& map = *records().map;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sum(map.Cube().All()));
    }
}

void DScan_Picture(benchmark::State& state) {
    TBaseMapCell& map = *records().map;
    TBitmap picture;
    for (auto _ : state) {
        RenderDScan(map, picture, KeepPalette, KeepScheme, kDScanWidth, kCScanHeight);
        benchmark::DoNotOptimize(picture.ScanLine(0));
    }
}

void DScan_Baseline(benchmark::State& state) {
    const TBaseMapCell& map = *records().map;
    const std::uint32_t column = map.Config->MapCursorHorizontal;
    for (auto _ : state) {
        std::int64_t s = 0;
        for (std::uint32_t r = 0; r < kMapSide; ++r) {
            s += sum(trace(map, r, column));
        }
        benchmark::DoNotOptimize(s);
    }
}

void BScan_Picture(benchmark::State& state) {
    TBaseMapCell& map = *records().map;
    std::unique_ptr<TBitmap> picture;
    for (auto _ : state) {
        map.RenderImage(KeepPalette, KeepScheme, picture, kCScanWidth, kBScanHeight);
        benchmark::DoNotOptimize(picture->ScanLine(0));
    }
}

void BScan_Baseline(benchmark::State& state) {
    const TBaseMapCell& map = *records().map;
    const std::uint32_t row = map.Config->MapCursorVertical;
    for (auto _ : state) {
        std::int64_t s = 0;
        for (std::uint32_t c = 0; c < kMapSide; ++c) {
            s += sum(trace(map, row, c));
        }
        benchmark::DoNotOptimize(s);
    }
}

BENCHMARK(Band_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(Band_Picture)->Unit(benchmark::kMicrosecond);
BENCHMARK(CScan_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(CScan_WholeMapBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(CScan_Picture)->Unit(benchmark::kMicrosecond);
BENCHMARK(DScan_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(DScan_Picture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BScan_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BScan_Picture)->Unit(benchmark::kMicrosecond);

// The console report, then each picture's time over its baselines'. Repetitions run interleaved
// (each picture's run next to its baselines' on a machine whose load changes), and the ratio is
// the median over repetitions of the picture's time over the baseline's in the same repetition,
// with the lowest and highest of them as its spread.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
            }
        }
    }

    void PrintRatios() const {
        std::printf("\nPicture cost in multiples of its baseline (goal: at most 4): median over "
                    "repetitions [lowest, highest]\n");
        for (const auto& [name, pictures] : times_) {
            const auto cut = name.find("_Picture");
            if (cut == std::string::npos) {
                continue;
            }
            const std::string view = name.substr(0, cut);
            for (const auto& [other, bases] : times_) {
                if (other.rfind(view + "_", 0) != 0 ||
                    other.find("Baseline") == std::string::npos) {
                    continue;
                }
                std::vector<double> ratios;
                for (std::size_t i = 0; i < std::min(pictures.size(), bases.size()); ++i) {
                    if (bases[i] > 0.0) {
                        ratios.push_back(pictures[i] / bases[i]);
                    }
                }
                if (ratios.empty()) {
                    continue;
                }
                std::sort(ratios.begin(), ratios.end());
                const std::size_t n = ratios.size();
                const double median =
                    n % 2 == 1 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2.0;
                std::printf("  %-6s over %-22s %8.2f  [%.2f, %.2f]  (%zu repetitions)\n",
                            view.c_str(), other.substr(view.size() + 1).c_str(), median,
                            ratios.front(), ratios.back(), n);
            }
        }
    }

private:
    std::map<std::string, std::vector<double>> times_;
};

} // namespace

int main(int argc, char** argv) {
    // Interleaved repetitions unless the command line asks otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    const auto given = [&](const char* flag) {
        return std::any_of(args.begin(), args.end(),
                           [&](const char* a) { return std::string(a).rfind(flag, 0) == 0; });
    };
    if (!given("--benchmark_repetitions")) {
        args.push_back(repetitions.data());
    }
    if (!given("--benchmark_enable_random_interleaving")) {
        args.push_back(interleaving.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
