// Every drawing operation over a sweep of configurations a record can validly hold: the shortest
// and longest A-scans, samples far above the colour table after a strong TVG, every signal type,
// scale dimension, ruler step, strip width, palette and colour scheme, targets down to a single
// pixel, cursors outside the grid and cursor 1 past the end of the trace. Each picture comes out
// at its target's size and the record keeps its own colours; the sanitizer build proves that no
// drawing reads outside the samples, the colour table or the step tables.
#include "PictureTestSupport.h"

#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "records/AScanViews.h"
#include "records/BandViews.h"
#include "records/MapViews.h"
#include "records/Rulers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;
using platform::gfx::TBitmap;

struct Size {
    int w;
    int h;
};
const std::vector<Size> kSizes = {{1, 1}, {3, 2}, {97, 61}};
const std::vector<std::uint8_t> kSchemes = {0, 1, KeepScheme};

// A strong TVG: 30 dB everywhere lifts the echoes far above 360.
void strongTvg(TBaseConfigCell& c) {
    c.TgvEnabled = 1;
    c.TgvActivePoints = 3;
    for (std::size_t i = 0; i < 3; ++i) {
        c.TgvGain[i] = 30;
        c.TgvPos[i] = static_cast<std::uint16_t>(i * c.AScanRange / 2);
    }
}

// What a drawing may not leave changed.
struct Colours {
    std::array<TColor, 12> colors;
    std::array<TColor, ColorTableSize> table;
    TColor cursor;
};

Colours coloursOf(const TBaseAScanCell& r) {
    Colours c{r.Colors, {}, 0};
    if (const auto* band = dynamic_cast<const TBaseBandCell*>(&r)) {
        c.table = band->ColorTable;
        c.cursor = band->CursorColor;
    }
    return c;
}

void expectOwnColours(const TBaseAScanCell& r, const Colours& before, const std::string& what) {
    const Colours after = coloursOf(r);
    EXPECT_EQ(after.colors, before.colors) << what;
    EXPECT_EQ(after.table, before.table) << what;
    EXPECT_EQ(after.cursor, before.cursor) << what;
}

void expectSize(const TBitmap& b, Size s, const std::string& what) {
    EXPECT_EQ(b.Width(), s.w) << what;
    EXPECT_EQ(b.Height(), s.h) << what;
}

void drawAScanViews(TBaseAScanCell& r, const std::string& what) {
    const double n = r.SampleCount();
    const double begin = r.Config->StrobeBeginTime[0];
    const double end = begin + r.Config->StrobeLengthTime[0];
    const Colours own = coloursOf(r);
    for (const std::uint8_t scheme : kSchemes) {
        for (const Size s : kSizes) {
            const std::string at = what + " scheme " + std::to_string(scheme) + " " +
                                   std::to_string(s.w) + "x" + std::to_string(s.h);
            MemoryPresentTarget surface(s.w, s.h);
            DrawSignalToSurfaceView(r, surface, scheme, 0.0, n);
            expectSize(surface.Shown(), s, at);
            DrawZoomToSurfaceView(r, surface, scheme, begin, end);
            DrawVerticalSignalToSurfaceView(r, surface, scheme, 0.0, n);
            DrawHorizMarkupToSurfaceView(r, surface, scheme, 0.0, n);
            DrawZoomHorizMarkupToSurfaceView(r, surface, scheme, begin, end);
            DrawInDepthMarkupToSurfaceView(r, surface, scheme, 0.0, n);
            expectSize(surface.Shown(), s, at);
            MemoryReportImage image(s.w, s.h);
            DrawSignalToReport(r, image, scheme, 0.0, n);
            DrawZoomToReport(r, image, scheme, begin, end);
            DrawVerticalSignalToReport(r, image, scheme, 0.0, n);
            DrawVerticMarkupToReport(r, image, scheme);
            DrawMagnitudeMarkupToReport(r, image, scheme, 0);
            DrawMagnitudeMarkupToReport(r, image, scheme, 1);
            expectSize(image.Picture(), s, at);
            expectOwnColours(r, own, at);
        }
    }
    TBitmap clip;
    CopyAScanImageToClipboard(r, clip, 50, 40, 20, 30, 20);
    expectOwnColours(r, own, what + " clipboard");
}

TEST(ViewsSweep, AScans) {
    ProgramTexts texts;
    for (const std::uint16_t n : {sim::kMinSamples, std::uint16_t(31), sim::kMaxSamples}) {
        for (const bool tvg : {false, true}) {
            const sim::Recording rec = sim::makeRecording(sim::aScanScene(n, n));
            auto r = std::make_unique<TBaseAScanCell>();
            *r->Config = rec.config;
            copySamples(rec.scan(0, 0), r->Scan(0, 0));
            if (tvg) {
                strongTvg(*r->Config);
                r->Config->BuildTgvCurve();
            }
            r->ProcessReceived();
            r->Config->ScreenType = 2;
            for (std::uint8_t type = 0; type <= 3; ++type) {
                for (std::uint8_t dim = 0; dim <= 1; ++dim) {
                    r->Config->SignalType = type;
                    r->Config->ScaleDimension = dim;
                    r->Config->IndexMarkMks = static_cast<std::int16_t>(type * 3);
                    r->Config->IndexMarkMm = static_cast<std::int16_t>(type * 5);
                    r->Config->CursorCount = dim;
                    drawAScanViews(*r, "N " + std::to_string(n) + " TVG " + std::to_string(tvg) +
                                           " type " + std::to_string(type) + " dim " +
                                           std::to_string(dim));
                }
            }
        }
    }
}

void drawBandViews(TBaseBandCell& b, const std::string& what) {
    const Colours own = coloursOf(b);
    for (const std::uint8_t kind : std::vector<std::uint8_t>{
             PaletteBinary, PaletteDirectGrey, PaletteInverseGrey, PaletteThermal, KeepPalette}) {
        for (const Size s : kSizes) {
            const std::string at = what + " kind " + std::to_string(kind) + " " +
                                   std::to_string(s.w) + "x" + std::to_string(s.h);
            MemoryPresentTarget surface(s.w, s.h);
            b.DrawToSurfaceView(kind, 1, surface);
            expectSize(surface.Shown(), s, at);
            b.RedrawToSurfaceView(surface);
            b.DrawScanMarkupToSurfaceView(0, 0, surface);
            b.DrawScanMarkupToSurfaceView(1, 1, surface);
            b.DrawColorGradatorToSurfaceView(surface, kind);
            MemoryReportImage image(s.w, s.h);
            b.DrawToReport(kind, 1, image);
            b.DrawScanMarkupToReport(1, 1, image);
            expectSize(image.Picture(), s, at);
            expectOwnColours(b, own, at);
        }
    }
    TBitmap clip;
    CopyBandImageToClipboard(b, 0, clip, {40, 10, 30, 12, 33});
    expectOwnColours(b, own, what + " clipboard");
}

TEST(ViewsSweep, Bands) {
    ProgramTexts texts;
    for (const std::uint16_t n : {sim::kMinSamples, sim::kMaxSamples}) {
        for (const std::uint16_t scans : {std::uint16_t(1), std::uint16_t(3), std::uint16_t(60)}) {
            const sim::Recording rec = sim::makeRecording(sim::bandScene(scans + n, n, scans));
            auto b = std::make_unique<TBaseBandCell>();
            *b->Config = rec.config;
            strongTvg(*b->Config);
            b->SetScanCount(scans);
            for (std::uint16_t j = 0; j < scans; ++j) {
                copySamples(rec.scan(0, j), b->Scan(0, j));
            }
            b->ProcessReceived();
            b->PaletteKind = PaletteThermal;
            b->BuildPalette(KeepPalette, KeepBound, KeepBound);
            for (std::uint8_t width = 0; width <= 3; ++width) {
                b->Config->BandElementWidthIndex = width;
                for (const std::uint16_t shift : {std::uint16_t(0), std::uint16_t(scans + 5)}) {
                    b->Config->BandShift = shift;
                    b->Config->BandCurrentAScan = static_cast<std::uint16_t>(scans / 2);
                    b->Config->CursorTime[0] = n + 100.0; // past the trace
                    drawBandViews(*b, "N " + std::to_string(n) + " scans " + std::to_string(scans) +
                                          " width " + std::to_string(width) + " shift " +
                                          std::to_string(shift));
                }
            }
        }
    }
}

void drawMapViews(TBaseMapCell& m, const std::string& what) {
    const Colours own = coloursOf(m);
    for (const std::uint8_t kind :
         std::vector<std::uint8_t>{PaletteBinary, PaletteThermal, KeepPalette}) {
        for (const Size s : kSizes) {
            const std::string at = what + " kind " + std::to_string(kind) + " " +
                                   std::to_string(s.w) + "x" + std::to_string(s.h);
            m.ComputeCellSize(static_cast<std::uint16_t>(s.w), static_cast<std::uint16_t>(s.h));
            MemoryPresentTarget surface(s.w, s.h);
            m.DrawCScanToSurfaceView(kind, 1, surface);
            expectSize(surface.Shown(), s, at);
            m.DrawDScanToSurfaceView(kind, 0, surface);
            m.DrawToSurfaceView(kind, KeepScheme, surface);
            m.RedrawCScanToSurfaceView(surface);
            m.RedrawDScanToSurfaceView(surface);
            m.RedrawToSurfaceView(surface);
            m.DrawCDVerticMarkupToSurfaceView(0, surface);
            m.DrawCBHorizMarkupToSurfaceView(1, surface);
            MemoryReportImage image(s.w, s.h);
            m.DrawCScanToReport(kind, 1, image);
            m.DrawDScanToReport(kind, 1, image);
            m.DrawToReport(kind, 1, image);
            m.DrawCDVerticMarkupToReport(1, image);
            m.DrawCBHorizMarkupToReport(1, image);
            expectSize(image.Picture(), s, at);
            expectOwnColours(m, own, at);
        }
    }
    TBitmap clip;
    m.ComputeCellSize(40, 30);
    CopyMapImageToClipboard(m, 0, clip, {40, 10, 30, 30, 12, 33});
    expectOwnColours(m, own, what + " clipboard");
}

TEST(ViewsSweep, Maps) {
    ProgramTexts texts;
    for (const std::uint16_t n : {sim::kMinSamples, std::uint16_t(1200)}) {
        for (const auto& [rows, columns] :
             std::vector<std::pair<std::uint16_t, std::uint16_t>>{{5, 5}, {7, 40}, {40, 6}}) {
            const sim::Recording rec =
                sim::makeRecording(sim::mapScene(rows + columns, n, rows, columns));
            auto m = std::make_unique<TBaseMapCell>();
            *m->Config = rec.config;
            strongTvg(*m->Config);
            m->SetMapSize(rows, columns);
            for (std::uint16_t r = 0; r < rows; ++r) {
                for (std::uint16_t c = 0; c < columns; ++c) {
                    copySamples(rec.scan(r, c), m->Scan(r, c));
                }
            }
            m->ProcessReceived();
            for (const bool outside : {false, true}) {
                if (outside) {
                    m->Config->MapCursorVertical = 200;
                    m->Config->MapCursorHorizontal = 300;
                    m->Config->CursorTime[0] = n + 50.0;
                }
                drawMapViews(*m, "N " + std::to_string(n) + " " + std::to_string(rows) + "x" +
                                     std::to_string(columns) + " outside " +
                                     std::to_string(outside));
            }
        }
    }
}

} // namespace
