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

#include <functional>
#include <string>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;
using platform::gfx::PresentTarget;
using platform::gfx::ReportImageTarget;

// 30 dB everywhere lifts the echoes far above 360.
void strongTvg(TBaseConfigCell& c) {
    c.TgvEnabled = 1;
    c.TgvActivePoints = 3;
    c.TgvGain = {30, 30, 30};
    c.TgvPos = {0, std::uint16_t(c.AScanRange / 2), c.AScanRange};
}

using SurfaceDrawing = std::function<void(std::uint8_t scheme, PresentTarget&)>;
using ReportDrawing = std::function<void(std::uint8_t scheme, ReportImageTarget&)>;

// Each drawing on targets of every size with every scheme: pictures at the target's size, the
// record's colours and colour table as they were.
void sweep(TBaseAScanCell& r, const std::vector<SurfaceDrawing>& surfaces,
           const std::vector<ReportDrawing>& reports, const std::string& what) {
    const auto* band = dynamic_cast<const TBaseBandCell*>(&r);
    const auto colors = r.Colors;
    const auto table = band ? band->ColorTable : std::array<TColor, ColorTableSize>{};
    const auto unchanged = [&](const std::string& at) {
        EXPECT_EQ(r.Colors, colors) << at;
        if (band) {
            EXPECT_EQ(band->ColorTable, table) << at;
        }
    };
    for (const std::uint8_t scheme : {std::uint8_t(0), std::uint8_t(1), KeepScheme}) {
        for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {3, 2}, {97, 61}}) {
            const std::string at = what + " scheme " + std::to_string(scheme) + " " +
                                   std::to_string(w) + "x" + std::to_string(h);
            for (std::size_t i = 0; i < surfaces.size(); ++i) {
                MemoryPresentTarget surface(w, h);
                surfaces[i](scheme, surface);
                EXPECT_EQ(surface.Shown().Width(), w) << at << " surface " << i;
                EXPECT_EQ(surface.Shown().Height(), h) << at << " surface " << i;
            }
            for (std::size_t i = 0; i < reports.size(); ++i) {
                MemoryReportImage image(w, h);
                reports[i](scheme, image);
                EXPECT_EQ(image.Picture().Width(), w) << at << " report " << i;
                EXPECT_EQ(image.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
            }
            unchanged(at);
        }
    }
}

void sweepAScan(TBaseAScanCell& r, const std::string& what) {
    const double n = r.SampleCount();
    const double b = r.Config->StrobeBeginTime[0];
    const double e = b + r.Config->StrobeLengthTime[0];
    using S = std::uint8_t;
    sweep(r,
          {[&](S s, PresentTarget& t) { DrawSignalToSurfaceView(r, t, s, 0.0, n); },
           [&](S s, PresentTarget& t) { DrawZoomToSurfaceView(r, t, s, b, e); },
           [&](S s, PresentTarget& t) { DrawVerticalSignalToSurfaceView(r, t, s, 0.0, n); },
           [&](S s, PresentTarget& t) { DrawHorizMarkupToSurfaceView(r, t, s, 0.0, n); },
           [&](S s, PresentTarget& t) { DrawZoomHorizMarkupToSurfaceView(r, t, s, b, e); },
           [&](S s, PresentTarget& t) { DrawInDepthMarkupToSurfaceView(r, t, s, 0.0, n); }},
          {[&](S s, ReportImageTarget& t) { DrawSignalToReport(r, t, s, 0.0, n); },
           [&](S s, ReportImageTarget& t) { DrawZoomToReport(r, t, s, b, e); },
           [&](S s, ReportImageTarget& t) { DrawVerticMarkupToReport(r, t, s); },
           [&](S s, ReportImageTarget& t) { DrawMagnitudeMarkupToReport(r, t, s, 0); },
           [&](S s, ReportImageTarget& t) { DrawMagnitudeMarkupToReport(r, t, s, 1); }},
          what);
}

TEST(ViewsSweep, AScans) {
    ProgramTexts texts;
    for (const std::uint16_t n : {sim::kMinSamples, std::uint16_t(31), sim::kMaxSamples}) {
        for (const bool tvg : {false, true}) {
            auto r = recordOf<TBaseAScanCell>(sim::makeRecording(sim::aScanScene(n, n)),
                                              [tvg](TBaseConfigCell& c) {
                                                  if (tvg) {
                                                      strongTvg(c);
                                                  }
                                              });
            r->Config->ScreenType = 2;
            for (std::uint8_t type = 0; type <= 3; ++type) {
                TBaseConfigCell& c = *r->Config;
                c.SignalType = type;
                c.ScaleDimension = type % 2;
                c.IndexMarkMks = static_cast<std::int16_t>(type * 3);
                c.IndexMarkMm = static_cast<std::int16_t>(type * 5);
                c.CursorCount = type % 2;
                sweepAScan(*r, "N " + std::to_string(n) + " TVG " + std::to_string(tvg) + " type " +
                                   std::to_string(type));
                TBitmap clip;
                CopyAScanImageToClipboard(*r, clip, 50, 40, 20, 30, 20);
                EXPECT_EQ(clip.Height(), 110);
            }
        }
    }
}

TEST(ViewsSweep, Bands) {
    ProgramTexts texts;
    for (const std::uint16_t n : {sim::kMinSamples, sim::kMaxSamples}) {
        for (const std::uint16_t scans : {std::uint16_t(1), std::uint16_t(3), std::uint16_t(60)}) {
            auto b = recordOf<TBaseBandCell>(
                sim::makeRecording(sim::bandScene(scans + n, n, scans)), strongTvg);
            setPalette(*b, PaletteThermal);
            for (std::uint8_t width = 0; width <= 3; ++width) {
                TBaseConfigCell& c = *b->Config;
                c.BandElementWidthIndex = width;
                c.BandShift = static_cast<std::uint16_t>(width % 2 ? scans + 5 : 0);
                c.BandCurrentAScan = static_cast<std::uint16_t>(scans / 2);
                c.CursorTime[0] = n + 100.0; // past the trace
                const std::uint8_t kind = width < 3 ? width : KeepPalette;
                using S = std::uint8_t;
                sweep(*b,
                      {[&](S s, PresentTarget& t) { b->DrawToSurfaceView(kind, s, t); },
                       [&](S, PresentTarget& t) { b->RedrawToSurfaceView(t); },
                       [&](S s, PresentTarget& t) { b->DrawScanMarkupToSurfaceView(s, 0, t); },
                       [&](S, PresentTarget& t) { b->DrawColorGradatorToSurfaceView(t, kind); }},
                      {[&](S s, ReportImageTarget& t) { b->DrawToReport(kind, s, t); },
                       [&](S s, ReportImageTarget& t) { b->DrawScanMarkupToReport(s, 1, t); }},
                      "N " + std::to_string(n) + " scans " + std::to_string(scans) + " width " +
                          std::to_string(width));
                TBitmap clip;
                CopyBandImageToClipboard(*b, 0, clip, {40, 10, 30, 12, 33});
                EXPECT_EQ(clip.Width(), 80);
            }
        }
    }
}

TEST(ViewsSweep, Maps) {
    ProgramTexts texts;
    for (const std::uint16_t n : {sim::kMinSamples, std::uint16_t(1200)}) {
        for (const auto& [rows, columns] :
             std::vector<std::pair<std::uint16_t, std::uint16_t>>{{5, 5}, {7, 40}, {40, 6}}) {
            auto m = recordOf<TBaseMapCell>(
                sim::makeRecording(sim::mapScene(rows + columns, n, rows, columns)), strongTvg);
            for (const bool outside : {false, true}) {
                if (outside) {
                    m->Config->MapCursorVertical = 200;
                    m->Config->MapCursorHorizontal = 300;
                    m->Config->CursorTime[0] = n + 50.0;
                }
                const std::uint8_t kind = outside ? std::uint8_t(PaletteThermal) : KeepPalette;
                using S = std::uint8_t;
                const auto sized = [&](PresentTarget& t) {
                    m->ComputeCellSize(std::uint16_t(t.Width()), std::uint16_t(t.Height()));
                };
                sweep(*m,
                      {[&](S s, PresentTarget& t) {
                           sized(t);
                           m->DrawCScanToSurfaceView(kind, s, t);
                           m->RedrawCScanToSurfaceView(t);
                       },
                       [&](S s, PresentTarget& t) {
                           m->DrawDScanToSurfaceView(kind, s, t);
                           m->RedrawDScanToSurfaceView(t);
                       },
                       [&](S s, PresentTarget& t) {
                           m->DrawToSurfaceView(kind, s, t);
                           m->RedrawToSurfaceView(t);
                       },
                       [&](S s, PresentTarget& t) { m->DrawCDVerticMarkupToSurfaceView(s, t); },
                       [&](S s, PresentTarget& t) { m->DrawCBHorizMarkupToSurfaceView(s, t); }},
                      {[&](S s, ReportImageTarget& t) { m->DrawCScanToReport(kind, s, t); },
                       [&](S s, ReportImageTarget& t) { m->DrawDScanToReport(kind, s, t); },
                       [&](S s, ReportImageTarget& t) { m->DrawToReport(kind, s, t); },
                       [&](S s, ReportImageTarget& t) { m->DrawCDVerticMarkupToReport(s, t); },
                       [&](S s, ReportImageTarget& t) { m->DrawCBHorizMarkupToReport(s, t); }},
                      "N " + std::to_string(n) + " " + std::to_string(rows) + "x" +
                          std::to_string(columns) + " outside " + std::to_string(outside));
                TBitmap clip;
                m->ComputeCellSize(40, 30);
                CopyMapImageToClipboard(*m, 0, clip, {40, 10, 30, 30, 12, 33});
                EXPECT_EQ(clip.Height(), 75);
            }
        }
    }
}

} // namespace
