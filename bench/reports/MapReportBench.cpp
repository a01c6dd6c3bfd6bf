// The map report of the largest map (40 x 40 A-scans of 4095 samples): filling the layout,
// generating its page into the page store and drawing that page as the preview shows it at fit
// zoom, against rendering the report's four pictures (B-, C- and D-scan and the upright A-scan)
// alone at the same sizes, in the same run. Goal: at most 2 times the pictures alone.
#include "bench/reports/MedianRatios.h"
#include "platform/emf/Metafile.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/ReportImageTarget.h"
#include "platform/print/Printer.h"
#include "platform/ui/Messages.h"
#include "records/AScanViews.h"
#include "records/BaseMapUnit.h"
#include "reports/engine/FolioReport.h"
#include "reports/measurement/MapReportFormUnit.h"
#include "reports/preview/RptPreview.h"
#include "sim/SignalModel.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr std::uint16_t kSamples = 4095;
constexpr std::uint16_t kMapSide = 40;
const QSize kFitImage(409, 576); // the page at fit zoom in an 800 x 600 client

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
    return map;
}

TBaseMapCell& theMap() {
    static const std::unique_ptr<TBaseMapCell> map = largestMap();
    return *map;
}

// The preview's wait: the page is drawn as the preview image would draw it, then it closes.
class PreviewQueue : public platform::ui::ManualMessageQueue {
public:
    void WaitMessages() override {
        if (report != nullptr && report->RptPrinter() != nullptr) {
            TRptPrinter& p = *report->RptPrinter();
            const auto page = p.GetPage(1);
            platform::gfx::PainterCanvas canvas(image);
            DrawPreviewPage(canvas, {0, 0, image.width(), image.height()}, page.get());
            p.ClosePreview();
        }
        ProcessMessages();
    }
    TCustomFolioReport* report = nullptr;
    QImage image{kFitImage, QImage::Format_RGB32};
};

void MapReport_FillGenerateAndPreview(benchmark::State& state) {
    platform::print::RecordingPrintSystem printers;
    platform::print::ScopedPrintSystem scopedPrinters(&printers);
    PreviewQueue queue;
    platform::ui::ScopedMessageQueue scopedQueue(&queue);
    TMapReportForm form;
    form.Report().OnPreview = [](TRptPrinter& p) { p.ShowingPreview = true; };
    form.Report().ShowProgress = false;
    queue.report = &form.Report();
    for (auto _ : state) {
        form.Fill(&theMap());
        form.Preview();
        benchmark::DoNotOptimize(queue.image.constBits());
    }
}

// The four pictures of the report at their sizes, each into a picture of its own.
void MapReport_FourPicturesAlone(benchmark::State& state) {
    TBaseMapCell& map = theMap();
    for (auto _ : state) {
        platform::gfx::MemoryReportImage b(351, 263), c(351, 231), d(310, 231), a(310, 263);
        map.ComputeCellSize(351, 231);
        map.DrawToReport(KeepPalette, 1, b);
        map.DrawCScanToReport(KeepPalette, 1, c);
        map.DrawDScanToReport(KeepPalette, 1, d);
        DrawVerticalSignalToReport(map, a, 1, 0, map.Config->AScanRange);
        benchmark::DoNotOptimize(a.Picture().Width());
    }
}

BENCHMARK(MapReport_FourPicturesAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(MapReport_FillGenerateAndPreview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return bench_ratios::runWithRatios(
        argc, argv, "The map report in multiples of its four pictures alone",
        {{"MapReport_FillGenerateAndPreview", "MapReport_FourPicturesAlone", 2.0}});
}
