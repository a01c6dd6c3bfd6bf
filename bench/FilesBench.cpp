// Loading and saving the largest map a file may hold (40 x 40 A-scans of 4095 samples, about
// 6.5 million sample lines) against baselines that only scan the same file's integers with
// from_chars and only write the same integers with to_chars. After the runs the program prints
// each ratio of speeds and the peak memory a load allocates beside the samples.
//
// Memory is counted by this program's own operator new: the live bytes and their high-water
// mark, so the peak of one load can be told from what the process held before it.
#include "config/LocalStringsUnit.h"
#include "records/MeasurementFiles.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <malloc.h>
#include <map>
#include <new>
#include <sys/resource.h>
#include <unistd.h>

// ---- Allocation accounting ------------------------------------------------------------------

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void* allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p) {
        throw std::bad_alloc();
    }
    const std::size_t now = liveBytes.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
    std::size_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void release(void* p) {
    if (p) {
        liveBytes.fetch_sub(malloc_usable_size(p));
        std::free(p);
    }
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}

namespace {

constexpr std::uint16_t kSide = 40;
constexpr std::uint16_t kSamples = 4095;
constexpr double kSampleBytes =
    static_cast<double>(kSide) * kSide * kSamples * sizeof(std::int32_t);
constexpr double kMiB = 1024.0 * 1024.0;

std::filesystem::path currentFile;
std::filesystem::path oldFormFile;
std::filesystem::path scratchFile;

// A map of noise and echoes over the whole sample range, the same every run.
std::unique_ptr<TBaseMapCell> largestMap() {
    auto map = std::make_unique<TBaseMapCell>();
    TBaseConfigCell& c = *map->Config;
    c.ResetAll(1);
    c.AScanRange = kSamples;
    c.MapVerticPoints = kSide;
    c.MapHorizPoints = kSide;
    map->SetMapSize(kSide, kSide);
    std::uint32_t state = 12345;
    for (std::uint32_t r = 0; r < kSide; ++r) {
        for (std::uint32_t col = 0; col < kSide; ++col) {
            for (std::int32_t& v : map->Scan(r, col)) {
                state = state * 1664525u + 1013904223u;
                v = static_cast<std::int32_t>(state >> 22) - 512;
            }
        }
    }
    map->Marked = 1;
    return map;
}

double peakDuring(std::size_t before) {
    return static_cast<double>(peakBytes.load() - before);
}

double maxRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0 / kMiB;
}

// ---- Baselines ------------------------------------------------------------------------------

// Reads the file in large blocks and parses every line that is an integer; nothing is kept.
void BM_BaselineScan(benchmark::State& state) {
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE* f = std::fopen(currentFile.c_str(), "rb");
        std::int64_t sum = 0;
        std::size_t carried = 0;
        for (;;) {
            const std::size_t n =
                std::fread(buffer.data() + carried, 1, buffer.size() - carried, f);
            const std::size_t end = carried + n;
            std::size_t begin = 0;
            for (;;) {
                const void* hit = std::memchr(buffer.data() + begin, '\n', end - begin);
                if (!hit) {
                    break;
                }
                const std::size_t eol = static_cast<const char*>(hit) - buffer.data();
                std::int32_t v = 0;
                const char* last = buffer.data() + eol - (eol > begin && buffer[eol - 1] == '\r');
                if (std::from_chars(buffer.data() + begin, last, v).ec == std::errc()) {
                    sum += v;
                }
                begin = eol + 1;
            }
            carried = end - begin;
            std::memmove(buffer.data(), buffer.data() + begin, carried);
            if (n == 0) {
                break;
            }
        }
        std::fclose(f);
        benchmark::DoNotOptimize(sum);
    }
}

// Formats every sample with to_chars into a large buffer and writes it out.
void BM_BaselineWrite(benchmark::State& state) {
    const auto map = largestMap();
    const auto samples = map->Cube().All();
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE* f = std::fopen(scratchFile.c_str(), "wb");
        std::size_t used = 0;
        for (std::int32_t v : samples) {
            if (used + 16 > buffer.size()) {
                std::fwrite(buffer.data(), 1, used, f);
                used = 0;
            }
            char* p = std::to_chars(buffer.data() + used, buffer.data() + buffer.size(), v).ptr;
            *p++ = '\r';
            *p++ = '\n';
            used = static_cast<std::size_t>(p - buffer.data());
        }
        std::fwrite(buffer.data(), 1, used, f);
        std::fclose(f);
    }
}

// ---- The measurement files ------------------------------------------------------------------

void loadBenchmark(benchmark::State& state, const std::filesystem::path& path) {
    double peak = 0.0;
    for (auto _ : state) {
        PMapsSet list;
        std::uint16_t count = 0;
        const std::size_t before = liveBytes.load();
        peakBytes.store(before);
        if (LoadMapsFromFile(path, list, count) != 0 || count != 1) {
            state.SkipWithError("the map file did not load");
            break;
        }
        peak = std::max(peak, peakDuring(before));
        state.PauseTiming();
        list.clear();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peak / kMiB;
    state.counters["peak_per_sample_bytes"] = peak / kSampleBytes;
    state.counters["max_rss_MiB"] = maxRssMiB();
    state.counters["samples_per_s"] =
        benchmark::Counter(static_cast<double>(kSide) * kSide * kSamples,
                           benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LoadMap(benchmark::State& state) {
    loadBenchmark(state, currentFile);
}

void BM_LoadMapOldForm(benchmark::State& state) {
    loadBenchmark(state, oldFormFile);
}

void BM_SaveMap(benchmark::State& state) {
    PMapsSet list;
    list.push_back(largestMap());
    double peak = 0.0;
    for (auto _ : state) {
        const std::size_t before = liveBytes.load();
        peakBytes.store(before);
        if (SaveMapsToFile(scratchFile, list, 1) != 0) {
            state.SkipWithError("the map file was not written");
            break;
        }
        peak = std::max(peak, peakDuring(before));
    }
    state.counters["peak_MiB"] = peak / kMiB;
    state.counters["samples_per_s"] =
        benchmark::Counter(static_cast<double>(kSide) * kSide * kSamples,
                           benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_BaselineScan)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadMap)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadMapOldForm)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BaselineWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveMap)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's time per iteration and its counters for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
                counters_[run.run_name.function_name] = run.counters;
            }
        }
    }

    void printSummary() const {
        auto ratio = [this](const char* measured, const char* baseline) {
            const auto m = times_.find(measured);
            const auto b = times_.find(baseline);
            if (m == times_.end() || b == times_.end() || m->second <= 0.0) {
                return;
            }
            std::cout << measured << ": speed " << b->second / m->second << " of " << baseline
                      << " (goal >= 0.5)\n";
        };
        std::cout << "\nSummary (samples: " << kSampleBytes / kMiB << " MiB as int32)\n";
        ratio("BM_LoadMap", "BM_BaselineScan");
        ratio("BM_LoadMapOldForm", "BM_BaselineScan");
        ratio("BM_SaveMap", "BM_BaselineWrite");
        for (const char* name : {"BM_LoadMap", "BM_LoadMapOldForm", "BM_SaveMap"}) {
            const auto c = counters_.find(name);
            if (c == counters_.end()) {
                continue;
            }
            const auto peak = c->second.find("peak_MiB");
            if (peak != c->second.end()) {
                std::cout << name << ": peak allocation " << peak->second.value << " MiB, "
                          << peak->second.value * kMiB / kSampleBytes
                          << " x the samples (goal for loading <= 1.5)\n";
            }
        }
        std::cout << "process max RSS " << maxRssMiB() << " MiB\n";
    }

private:
    std::map<std::string, double> times_;
    std::map<std::string, benchmark::UserCounters> counters_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // The file header's labels come from the language files beside the program.
    if (!LoadLanguageFiles(std::filesystem::read_symlink("/proc/self/exe"))) {
        std::cerr << "The language files beside the program could not be read.\n";
        return 1;
    }
    const auto folder =
        std::filesystem::temp_directory_path() / ("tb-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    currentFile = folder / "largest.mtf";
    oldFormFile = folder / "largest-old.mtf";
    scratchFile = folder / "scratch.mtf";
    {
        PMapsSet list;
        list.push_back(largestMap());
        if (SaveMapsToFile(currentFile, list, 1) != 0 || SaveMapsToOldFile(oldFormFile, list, 1)) {
            std::cerr << "The map files could not be written in " << folder << "\n";
            return 1;
        }
    }
    std::cout << "map file: " << std::filesystem::file_size(currentFile) / kMiB << " MiB\n";

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
