// A cursor drag across the C-scan of the largest map (40 x 40 A-scans of 4095 samples) in the
// real maps page: each step moves row and column at once, so the page draws the A-scan, renders
// the B- and D-scans anew and shows the C-scan again with fresh cursor lines. The baseline, in
// the same run, presents the same four pictures from ready bitmaps on the same surfaces. After
// the runs one line gives the drag's cost in multiples of the baseline; the goal is at most 3.
#include "app/MainFormUnit.h"
#include "app/Program.h"
#include "app/pages/MapsPage.h"
#include "platform/gfx/PresentTarget.h"
#include "platform/ui/Clock.h"
#include "platform/ui/MessageBox.h"
#include "records/BaseMapUnit.h"
#include "sim/SignalModel.h"
#include "surfaces/SurfaceTarget.h"
#include "surfaces/SurfaceViews.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint16_t kSamples = 4095;
constexpr std::uint16_t kMapSide = 40;

std::unique_ptr<TBaseMapCell> largestMap() {
    const sim::Recording data = sim::makeRecording(sim::mapScene(5, kSamples, kMapSide, kMapSide));
    auto map = std::make_unique<TBaseMapCell>();
    *map->Config = data.config;
    map->SetMapSize(kMapSide, kMapSide);
    for (std::uint16_t r = 0; r < kMapSide; ++r) {
        for (std::uint16_t c = 0; c < kMapSide; ++c) {
            const auto from = data.scan(r, c);
            auto to = map->Scan(r, c);
            std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
        }
    }
    map->ProcessReceived();
    // Smoothed thermal pictures: the dearer of the two ways a picture is drawn.
    map->PaletteKind = PaletteThermal;
    map->HueLow = 0;
    map->HueHigh = 300;
    map->BuildPalette(KeepPalette, KeepBound, KeepBound);
    return map;
}

// The program's main window with the map shown on the maps page.
struct Window {
    platform::ui::RecordingClock clock;
    platform::ui::ScopedClock clockScope{&clock};
    platform::ui::ScriptedMessageBoxes boxes;
    platform::ui::ScopedMessageBoxService boxScope{&boxes};
    app::TProgram program{std::string(TB_OUTPUT_DIR) + "/tollerbank3", nullptr};

    Window() {
        app::TGarnetwickMainForm& form = program.MainForm();
        form.show();
        QApplication::processEvents();
        std::vector<std::unique_ptr<TBaseMapCell>> maps;
        maps.push_back(largestMap());
        form.Maps.replaceRecords(std::move(maps), 1);
        form.Maps.Origin = app::OriginKind::File;
        form.SetActivePage(3);
        form.MapsPage()->RefreshMapList();
        form.UpdateActionStates();
    }
    app::TMapsPage& page() { return *program.MainForm().MapsPage(); }
};

// Made on first use, gone before the application object.
std::unique_ptr<Window> shownWindow;

Window& window() {
    if (!shownWindow) {
        shownWindow = std::make_unique<Window>();
    }
    return *shownWindow;
}

void send(TSurfaceView* view, QEvent::Type type, int x, int y) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(x, y), view->mapToGlobal(QPointF(x, y)), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(view, &e);
}

void MapDrag_Baseline(benchmark::State& state) {
    app::TMapsPage& page = window().page();
    auto& u = page.ui;
    TSurfaceView* views[] = {u.MapsAScanSurfaceView, u.MapsBScanSurfaceView, u.MapsDScanSurfaceView,
                             u.MapsCScanSurfaceView};
    std::vector<platform::gfx::TBitmap> ready;
    for (TSurfaceView* v : views) {
        ready.push_back(v->PresentedImage());
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < std::size(views); ++i) {
            TSurfaceViewTarget target(*views[i]);
            platform::gfx::Present(target, ready[i]);
        }
        benchmark::ClobberMemory();
    }
}

void MapDrag_Page(benchmark::State& state) {
    app::TMapsPage& page = window().page();
    TSurfaceView* cScan = page.ui.MapsCScanSurfaceView;
    const TBaseMapCell& map = *window().program.MainForm().Maps.current();
    const int cell = std::max<int>(map.CellSize, 1);
    send(cScan, QEvent::MouseButtonPress, 1, 1);
    int k = 1;
    for (auto _ : state) {
        // Along the diagonal: a new row and a new column at every step.
        const int at = (k % kMapSide) * cell + cell / 2;
        send(cScan, QEvent::MouseMove, at, at);
        k = k + 1 == kMapSide ? 1 : k + 1;
        benchmark::ClobberMemory();
    }
    send(cScan, QEvent::MouseButtonRelease, 1, 1);
    if (map.Config->MapCursorVertical == 0 && map.Config->MapCursorHorizontal == 0) {
        state.SkipWithError("the drag moved no cursor");
    }
}

BENCHMARK(MapDrag_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(MapDrag_Page)->Unit(benchmark::kMillisecond);

// Repetitions of the two sides run shuffled among each other, so a busy moment of the shared
// machine falls on either side alike; the ratio is the one of the two sides' medians.
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
    void PrintRatio() {
        const auto base = times_.find("MapDrag_Baseline");
        const auto page = times_.find("MapDrag_Page");
        if (base == times_.end() || page == times_.end() || base->second.empty() ||
            page->second.empty()) {
            return;
        }
        std::sort(base->second.begin(), base->second.end());
        std::sort(page->second.begin(), page->second.end());
        const double b = median(base->second);
        if (!(b > 0.0)) {
            return;
        }
        std::printf("\nBaseline %.3f ms (%zu runs, %.3f .. %.3f), drag step %.3f ms (%zu runs, "
                    "%.3f .. %.3f)\n",
                    b, base->second.size(), base->second.front(), base->second.back(),
                    median(page->second), page->second.size(), page->second.front(),
                    page->second.back());
        std::printf("Map cursor drag step in multiples of presenting ready pictures "
                    "(goal: at most 3): %.2f\n",
                    median(page->second) / b);
    }

private:
    static double median(const std::vector<double>& sorted) {
        const std::size_t n = sorted.size();
        return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
    }

    std::map<std::string, std::vector<double>> times_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // No instrument: the page works on the map given to it.
    unsetenv("TOLLERBANK_DRIVER");
    QApplication application(argc, argv);
    // Interleaved repetitions unless the command line asks for something else.
    std::vector<char*> args(argv, argv + argc);
    const bool repetitionsGiven = std::any_of(args.begin() + 1, args.end(), [](const char* a) {
        return std::string_view(a).starts_with("--benchmark_repetitions");
    });
    std::string repetitions = "--benchmark_repetitions=15";
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions.data());
        args.push_back(interleaving.data());
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    shownWindow.reset();
    benchmark::Shutdown();
    return 0;
}
