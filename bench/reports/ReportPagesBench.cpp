// A measurement-report page: three 8-bit pictures of 678 x 337 and twenty lines of text on an A4
// page at the reference resolution. Recording it as a metafile and playing the metafile back
// onto a bitmap are measured against drawing the same content straight onto a bitmap with the
// raster canvas, in the same run. Goals: recording at most 1.5 times, playing at most 2 times
// the direct drawing.
#include "bench/reports/MedianRatios.h"
#include "platform/emf/MetafileCanvas.h"
#include "platform/emf/MetafilePlayer.h"
#include "platform/gfx/Bitmap.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using platform::gfx::TBitmap;
using platform::gfx::TCanvas;

constexpr int kPageWidth = 794;
constexpr int kPageHeight = 1123;

// A picture like a band view: colour ramps and a grid, reduced to its 8-bit form.
TBitmap reportPicture(int seed) {
    TBitmap b(678, 337);
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            const int v = ((x * 3 + y * seed) / 7) % 200;
            b.SetPixel(x, y,
                       (x % 50 == 0 || y % 40 == 0)
                           ? platform::gfx::clGray
                           : platform::gfx::RGB(std::uint8_t(v), 40, std::uint8_t(200 - v)));
        }
    }
    b.SetPixelFormat(platform::gfx::TPixelFormat::pf8bit);
    return b;
}

const TBitmap& picture(int i) {
    static const TBitmap pictures[3] = {reportPicture(1), reportPicture(2), reportPicture(3)};
    return pictures[i];
}

void drawPage(TCanvas& c) {
    c.Brush.Style = platform::gfx::TBrushStyle::bsClear;
    c.Font.Name = "Arial";
    c.Font.Height = -12;
    for (int i = 0; i < 3; ++i) {
        c.Draw(58, 40 + i * 345, picture(i));
    }
    for (int line = 0; line < 20; ++line) {
        c.TextOut(60, 1080 - line * 2 - (line % 2) * 500 / 20,
                  "Gain 42.5 dB, range 120 mm, gate A 35 %, line " + std::to_string(line));
    }
}

platform::emf::Metafile recordedPage() {
    platform::emf::MetafileCanvas mc(kPageWidth, kPageHeight);
    drawPage(mc);
    return mc.Close();
}

void Page_Baseline(benchmark::State& state) {
    TBitmap page(kPageWidth, kPageHeight);
    for (auto _ : state) {
        drawPage(page.Canvas());
        benchmark::DoNotOptimize(page.ScanLine(0));
    }
}

void Page_Record(benchmark::State& state) {
    for (auto _ : state) {
        platform::emf::Metafile mf = recordedPage();
        benchmark::DoNotOptimize(mf.Bytes().data());
    }
}

void Page_Play(benchmark::State& state) {
    const platform::emf::Metafile mf = recordedPage();
    TBitmap page(kPageWidth, kPageHeight);
    for (auto _ : state) {
        platform::emf::playMetafile(mf, page.Canvas(), {0, 0, kPageWidth, kPageHeight});
        benchmark::DoNotOptimize(page.ScanLine(0));
    }
}

BENCHMARK(Page_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(Page_Record)->Unit(benchmark::kMicrosecond);
BENCHMARK(Page_Play)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    return bench_ratios::runWithRatios(
        argc, argv, "In multiples of drawing the page straight onto a bitmap",
        {{"Page_Record", "Page_Baseline", 1.5}, {"Page_Play", "Page_Baseline", 2.0}});
}
