// From process start to the first shown main window, connected to the simulated instrument,
// against a bare window program of the same size: each iteration starts this program again as a
// child in one of two modes and waits for it to show its window and end (without tearing down). The instrument's own
// prescribed pauses are left out through a recording clock; everything else (the toolkit, the
// language files, connecting, identifying, the pages and their 23 surfaces) is the real start-up.
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

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

extern char** environ;

namespace {

std::string selfPath;

int runChild(const char* mode) {
    std::string arg = std::string("--child=") + mode;
    char* argv[] = {selfPath.data(), arg.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, selfPath.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_BareWindowProgram(benchmark::State& state) {
    for (auto _ : state) {
        if (runChild("bare") != 0) {
            state.SkipWithError("the bare window program failed");
            break;
        }
    }
}
BENCHMARK(BM_BareWindowProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MainWindowProgram(benchmark::State& state) {
    for (auto _ : state) {
        if (runChild("main") != 0) {
            state.SkipWithError("the program did not come up connected");
            break;
        }
    }
}
BENCHMARK(BM_MainWindowProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
