// The preview drawing a measurement-report page at fit zoom (an 800 x 600 client: 409 x 576)
// from its metafile, the way the preview image paints, against Qt scaling a bitmap of the same
// page into the same place, in the same run; and the image painting again from the drawing it
// keeps. Goal: at most 3 times the scaled bitmap.
#include "bench/reports/MedianRatios.h"
#include "platform/emf/MetafileCanvas.h"
#include "platform/emf/MetafilePlayer.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/QtImage.h"
#include "reports/pages/RptPrntr.h"
#include "reports/preview/RptPreview.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using platform::gfx::TBitmap;

constexpr int kPageWidth = 794;
constexpr int kPageHeight = 1123;
const QSize kImage(409, 576); // the page image at fit zoom in an 800 x 600 client

// Three 8-bit pictures like the band and map views, and twenty lines of text.
platform::emf::Metafile measurementPage() {
    platform::emf::MetafileCanvas c(kPageWidth, kPageHeight);
    for (int i = 0; i < 3; ++i) {
        TBitmap b(678, 337);
        for (int y = 0; y < b.Height(); ++y) {
            for (int x = 0; x < b.Width(); ++x) {
                const int v = ((x * 3 + y * (i + 1)) / 7) % 200;
                b.SetPixel(x, y,
                           (x % 50 == 0 || y % 40 == 0)
                               ? platform::gfx::clGray
                               : platform::gfx::RGB(std::uint8_t(v), 40, std::uint8_t(200 - v)));
            }
        }
        b.SetPixelFormat(platform::gfx::TPixelFormat::pf8bit);
        c.Draw(58, 40 + i * 345, b);
    }
    c.Brush.Style = platform::gfx::TBrushStyle::bsClear;
    c.Font.Name = "Arial";
    c.Font.Height = -12;
    for (int line = 0; line < 20; ++line) {
        c.TextOut(60, 1080 - line * 20,
                  "Gain 42.5 dB, range 120 mm, gate A 35 %, line " + std::to_string(line));
    }
    return c.Close();
}

const platform::emf::Metafile& page() {
    static const platform::emf::Metafile mf = measurementPage();
    return mf;
}

void Preview_ScaledBitmap(benchmark::State& state) {
    TBitmap full(kPageWidth, kPageHeight);
    platform::emf::playMetafile(page(), full.Canvas(), {0, 0, kPageWidth, kPageHeight});
    const QImage bitmap = platform::gfx::imageFromBitmap(full);
    QImage target(kImage, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        p.drawImage(QRect(0, 0, kImage.width() - 3, kImage.height() - 3), bitmap);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void Preview_DrawPage(benchmark::State& state) {
    QImage target(kImage, QImage::Format_RGB32);
    for (auto _ : state) {
        platform::gfx::PainterCanvas canvas(target);
        DrawPreviewPage(canvas, {0, 0, kImage.width(), kImage.height()}, &page());
        benchmark::DoNotOptimize(target.constBits());
    }
}

// The preview image painting again (scrolling, uncovering): its drawing is kept.
void Preview_Repaint(benchmark::State& state) {
    TRptPrinter printer;
    printer.BeginDoc();
    printer.NewPage();
    platform::emf::playMetafile(page(), printer.Canvas(), {0, 0, kPageWidth, kPageHeight});
    printer.EndDoc();
    TRptPreviewImage image;
    image.RptPrinter = &printer;
    image.SetPageNumber(1);
    image.resize(kImage);
    QImage target(kImage, QImage::Format_RGB32);
    image.render(&target);
    for (auto _ : state) {
        image.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

BENCHMARK(Preview_ScaledBitmap)->Unit(benchmark::kMicrosecond);
BENCHMARK(Preview_DrawPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(Preview_Repaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return bench_ratios::runWithRatios(argc, argv, "In multiples of Qt scaling the page's bitmap",
                                       {{"Preview_DrawPage", "Preview_ScaledBitmap", 3.0},
                                        {"Preview_Repaint", "Preview_ScaledBitmap", 0}});
}
