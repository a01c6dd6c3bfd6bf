// Receiving the largest map (40 x 40 A-scans of 4095 samples) from the simulated instrument with
// the instrument's pauses left out, against copying and decoding the same bytes. The instrument's
// own pacing (30 ms a block) costs 48 s for such a map; the link should add well under 1 % of that.
#include "link/DOR4471IZOZudivarudaZira.h"
#include "platform/ui/Clock.h"
#include "records/BaseMapUnit.h"
#include "sim/RecordSource.h"
#include "sim/SimControl.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr unsigned kSeed = 11;
constexpr unsigned kSide = 40;
constexpr unsigned kSamples = 4095;
constexpr double kPacingSeconds = kSide * kSide * 0.030;

// Pauses and paint runs recorded, never waited for.
struct NoWaitClock : platform::ui::RecordingClock {};

bool connectSimulator() {
    const std::string path = std::string(TB_OUTPUT_DIR) + "/libVIZUrav.so";
    setenv("TOLLERBANK_DRIVER", path.c_str(), 1);
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        return false;
    }
    auto setShape = reinterpret_cast<decltype(&tbsim_set_map_shape)>(
        dlsym(handle, "tbsim_set_map_shape"));
    if (!setShape || setShape(kSeed, kSide, kSide, kSamples) != 0) {
        return false;
    }
    return ConnectUSBDevice() == 0;
}

// The same bytes the instrument sends, made once.
std::vector<std::vector<std::uint8_t>> rawBlocks() {
    sim::ModelRecordSource source(kSeed);
    source.setMapShape(kSide, kSide, kSamples);
    const std::size_t length = SampleBlockLength(kSamples);
    std::vector<std::vector<std::uint8_t>> blocks(kSide * kSide,
                                                  std::vector<std::uint8_t>(length, 0));
    for (unsigned k = 0; k < blocks.size(); ++k) {
        source.samples(sim::RecordKind::Map, 0, k, blocks[k]);
    }
    return blocks;
}

void BM_ReceiveLargestMapAgainstCopyAndDecode(benchmark::State& state) {
    NoWaitClock clock;
    platform::ui::ScopedClock scope(&clock);
    if (!connectSimulator()) {
        state.SkipWithError("the simulated instrument could not be loaded");
        return;
    }
    const auto blocks = rawBlocks();
    const std::size_t length = blocks.front().size();

    std::unique_ptr<TBaseMapCell> received;
    ReceiveMap(received, 0, nullptr, 0, 0); // the header configuration for the baseline
    TBaseMapCell decoded;
    *decoded.Config = *received->Config;
    decoded.SetMapSize(kSide, kSide);
    std::vector<std::uint8_t> buffer(length + 1);

    double linkSeconds = 0;
    double baselineSeconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        std::unique_ptr<TBaseMapCell> map;
        if (ReceiveMap(map, 0, nullptr, 0, 0) != LinkResult::Done) {
            state.SkipWithError("the map did not arrive");
            return;
        }
        const auto t1 = std::chrono::steady_clock::now();
        for (unsigned r = 0; r < kSide; ++r) {
            for (unsigned c = 0; c < kSide; ++c) {
                std::memcpy(buffer.data(), blocks[r * kSide + c].data(), length);
                decoded.SetCurrentRow(static_cast<std::uint16_t>(r));
                decoded.SetCurrentScan(static_cast<std::uint16_t>(c));
                decoded.DecodeRawBuffer(std::span<const std::uint8_t>(buffer.data(), length));
            }
        }
        benchmark::DoNotOptimize(decoded.Scan(kSide - 1, kSide - 1).data());
        const auto t2 = std::chrono::steady_clock::now();
        linkSeconds += std::chrono::duration<double>(t1 - t0).count();
        baselineSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["link_ms"] = linkSeconds / n * 1000.0;
    state.counters["copy_decode_ms"] = baselineSeconds / n * 1000.0;
    state.counters["added_ms"] = (linkSeconds - baselineSeconds) / n * 1000.0;
    state.counters["added_pct_of_pacing"] =
        (linkSeconds - baselineSeconds) / n / kPacingSeconds * 100.0;
    DisconnectUSBDevice();
}

} // namespace

BENCHMARK(BM_ReceiveLargestMapAgainstCopyAndDecode)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
