// From process start to the first shown main window, connected to the simulated instrument,
// against a bare window program of the same size. Each iteration starts this program twice as a
// child, once in each mode, the order alternating, and times each child from its start until it
// has shown its window and ended (without tearing down); the iteration's ratio is the program's
// time over the bare window's. The instrument's own prescribed pauses are left out through a
// recording clock; everything else (the toolkit, the language files, connecting, identifying,
// the window and the page in front) is the real start-up.
//
// Counters of BM_StartupAgainstBareWindow: ratio (the median of the iterations' ratios; goal: at
// most 2), ratio_low and ratio_high (the lowest and highest of them), main_ms and bare_ms (the
// median times of the two sides) and pairs. A line after the runs repeats the ratio.
#include "app/Program.h"
#include "link/DOR4471IZOZudivarudaZira.h"
#include "platform/ui/Clock.h"
#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kPairs = 15;

std::string selfPath;

// The child's time from its start to its end in milliseconds; negative when it failed.
double timedChild(const char* mode) {
    std::string arg = std::string("--child=") + mode;
    char* argv[] = {selfPath.data(), arg.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, selfPath.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return -1.0;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count() : -1.0;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::vector<double> allRatios;

void BM_StartupAgainstBareWindow(benchmark::State& state) {
    std::vector<double> bare;
    std::vector<double> main;
    std::vector<double> ratios;
    bool bareFirst = true;
    for (auto _ : state) {
        double b = 0.0;
        double m = 0.0;
        if (bareFirst) {
            b = timedChild("bare");
            m = timedChild("main");
        } else {
            m = timedChild("main");
            b = timedChild("bare");
        }
        bareFirst = !bareFirst;
        if (b <= 0.0) {
            state.SkipWithError("the bare window program failed");
            break;
        }
        if (m <= 0.0) {
            state.SkipWithError("the program did not come up connected");
            break;
        }
        state.SetIterationTime(m / 1000.0);
        bare.push_back(b);
        main.push_back(m);
        ratios.push_back(m / b);
    }
    if (ratios.empty()) {
        return;
    }
    allRatios.insert(allRatios.end(), ratios.begin(), ratios.end());
    state.counters["ratio"] = median(ratios);
    state.counters["ratio_low"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters["ratio_high"] = *std::max_element(ratios.begin(), ratios.end());
    state.counters["main_ms"] = median(main);
    state.counters["bare_ms"] = median(bare);
    state.counters["pairs"] = static_cast<double>(ratios.size());
}
BENCHMARK(BM_StartupAgainstBareWindow)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(kPairs);

int bareWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(996, 716);
    window.show();
    QApplication::processEvents();
    // The window is up: that is the moment measured, so no tear-down is timed.
    std::_Exit(window.isVisible() ? 0 : 1);
}

int mainWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::ui::RecordingClock clock;
    platform::ui::ScopedClock clockScope(&clock);
    platform::ui::ScriptedMessageBoxes boxes;
    platform::ui::ScopedMessageBoxService boxScope(&boxes);
    app::TProgram program(std::string(TB_OUTPUT_DIR) + "/tollerbank3", nullptr);
    program.MainForm().show();
    QApplication::processEvents();
    const bool up = USBConnected == 1 && boxes.shown.empty() && program.MainForm().isVisible();
    DisconnectUSBDevice();
    std::_Exit(up ? 0 : 1);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    setenv("TOLLERBANK_DRIVER", (std::string(TB_OUTPUT_DIR) + "/libVIZUrav.so").c_str(), 1);
    if (argc > 1 && std::strcmp(argv[1], "--child=bare") == 0) {
        return bareWindow(argc, argv);
    }
    if (argc > 1 && std::strcmp(argv[1], "--child=main") == 0) {
        return mainWindow(argc, argv);
    }
    selfPath = std::string(TB_OUTPUT_DIR) + "/tb_bench_startup";
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (!allRatios.empty()) {
        std::printf("\nStart to the first shown main window in multiples of a bare window (goal: "
                    "at most 2): %.2f, median of %zu pairs [%.2f, %.2f]\n",
                    median(allRatios), allRatios.size(),
                    *std::min_element(allRatios.begin(), allRatios.end()),
                    *std::max_element(allRatios.begin(), allRatios.end()));
    }
    benchmark::Shutdown();
    return 0;
}
