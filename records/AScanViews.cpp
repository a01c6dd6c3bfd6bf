#include "records/AScanViews.h"

#include "records/Overlays.h"
#include "records/Rulers.h"
#include "records/ViewMath.h"
#include "records/ViewSupport.h"

#include <algorithm>
#include <span>

using platform::gfx::PresentTarget;
using platform::gfx::ReportImageTarget;
using platform::gfx::TBitmap;
using platform::gfx::TCanvas;
using namespace views;

namespace {

// The screen type's low four bits say whether the page shows the zoom view of strobe 1 too.
constexpr int kSplitScreen = 2;

// Draws the strokes of a trace: one per pixel column, or per row of an upright trace.
void drawStrokes(TCanvas& c, const std::vector<TTraceStroke>& strokes, bool upright) {
    const TColor pen = c.Pen.Color;
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const TTraceStroke& s = strokes[i];
        const int at = static_cast<int>(i);
        switch (s.Kind) {
        case TStrokeKind::Line:
            if (upright) {
                Line(c, s.From, at, s.To, at);
            } else {
                Line(c, at, s.From, at, s.To);
            }
            break;
        case TStrokeKind::Dot:
            if (upright) {
                c.SetPixel(s.From, at, pen);
            } else {
                c.SetPixel(at, s.From, pen);
            }
            break;
        case TStrokeKind::None:
            break;
        }
    }
}

// Background and the trace's colour under the drawing's scheme.
struct TraceColors {
    TColor background;
    TColor trace;
};

TraceColors traceColors(TBaseAScanCell& record, std::uint8_t scheme) {
    const TSchemeOverride colors(record, scheme);
    return {record.Color(5), record.Color(6)};
}

void renderTraceOf(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                   double end, int W, int H, bool upright) {
    const TraceColors colors = traceColors(record, scheme);
    StartPicture(bitmap, W, H, colors.background);
    W = bitmap.Width();
    H = bitmap.Height();
    TCanvas& c = bitmap.Canvas();
    SolidPen(c, colors.trace);
    if (W == 0 || H == 0 || !record.Config) {
        return;
    }
    const int columns = upright ? H : W;
    std::vector<std::int32_t> upper;
    std::vector<std::int32_t> lower;
    ResampleScan(record, upper, lower, start, end, columns);
    const auto strokes = TraceStrokes(std::span(upper).first(std::size_t(columns)),
                                      std::span(lower).first(std::size_t(columns)), upright ? W : H,
                                      record.Config->SignalType, upright);
    drawStrokes(c, strokes, upright);
}

} // namespace

void ResampleScan(const TBaseAScanCell& record, std::vector<std::int32_t>& upper,
                  std::vector<std::int32_t>& lower, double start, double end, int W) {
    const auto size = static_cast<std::size_t>(std::max(W, 0)) + 1;
    upper.assign(size, 0);
    lower.assign(size, 0);
    ResampleScan(record.Trace(), start, end, W, upper, lower);
}

void RenderTrace(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                 double end, int W, int H) {
    renderTraceOf(record, bitmap, scheme, start, end, W, H, false);
}

void RenderVerticalTrace(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                         double end, int W, int H) {
    renderTraceOf(record, bitmap, scheme, start, end, W, H, true);
}

void DrawVerticalOverlay(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                         double end, int W, int H) {
    const TSchemeOverride colors(record, scheme);
    if (!record.Config) {
        return;
    }
    const TBaseConfigCell& config = *record.Config;
    TCanvas& c = bitmap.Canvas();
    ClearBrush(c);
    StyledPen(c, record.Color(8), platform::gfx::TPenStyle::psDash);
    const double d = GetRulerStep(record, config.ScaleDimension, H, end - start);
    if (d > 0.0) {
        for (double y = d; y < H; y += d) {
            Line(c, 0, Pixel(y), W, Pixel(y));
        }
    }
    for (int q = 1; q <= 3; ++q) {
        const int x = Pixel(q * W / 4.0);
        Line(c, x, 0, x, H);
    }
    SolidPen(c, record.Color(7));
    const int y1 = Pixel(TimeToView(config.CursorTime[0], record.SampleCount(), H));
    Line(c, 0, y1, W, y1);
    if (SchemeInEffect(record, scheme) == 1) {
        // The hue range the band or map colour table spreads over, on the amplitude axis.
        for (const int hue : {int(record.HueHigh), int(record.HueLow)}) {
            const int x = Pixel(hue * double(W) / 360.0);
            Line(c, x, 0, x, H);
        }
    }
}

void DrawTgvCurve(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, int W, int H) {
    const TSchemeOverride colors(record, scheme);
    if (!record.Config) {
        return;
    }
    TCanvas& c = bitmap.Canvas();
    c.Brush.Color = record.Color(8);
    ClearBrush(c);
    StyledPen(c, record.Color(12), platform::gfx::TPenStyle::psDot);
    const auto points = TgvCurvePoints(*record.Config, W, H);
    for (std::size_t i = 1; i < points.size(); ++i) {
        Line(c, points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
    }
}

void RenderSignalPicture(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                         double end, int W, int H) {
    RenderTrace(record, bitmap, scheme, start, end, W, H);
    DrawSignalOverlay(record, bitmap, scheme, start, end, bitmap.Width(), bitmap.Height());
    if (record.Config && record.Config->TgvEnabled == 1) {
        DrawTgvCurve(record, bitmap, KeepScheme, bitmap.Width(), bitmap.Height());
    }
}

void RenderZoomPicture(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                       double end, int W, int H) {
    RenderTrace(record, bitmap, scheme, start, end, W, H);
    DrawZoomOverlay(record, bitmap, scheme, start, end, bitmap.Width(), bitmap.Height());
}

void RenderVerticalSignalPicture(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme,
                                 double start, double end, int W, int H) {
    RenderVerticalTrace(record, bitmap, scheme, start, end, W, H);
    DrawVerticalOverlay(record, bitmap, scheme, start, end, bitmap.Width(), bitmap.Height());
}

void DrawSignalToSurfaceView(TBaseAScanCell& record, PresentTarget& surface, std::uint8_t scheme,
                             double start, double end) {
    toSurfaceWhole(surface, [&](TBitmap& b, int w, int h) {
        RenderSignalPicture(record, b, scheme, start, end, w, h);
    });
}

void DrawSignalToReport(TBaseAScanCell& record, ReportImageTarget& image, std::uint8_t scheme,
                        double start, double end) {
    toReport(image, [&](TBitmap& b, int w, int h) {
        RenderSignalPicture(record, b, scheme, start, end, w, h);
    });
}

void DrawZoomToSurfaceView(TBaseAScanCell& record, PresentTarget& surface, std::uint8_t scheme,
                           double start, double end) {
    toSurfaceWhole(surface, [&](TBitmap& b, int w, int h) {
        RenderZoomPicture(record, b, scheme, start, end, w, h);
    });
}

void DrawZoomToReport(TBaseAScanCell& record, ReportImageTarget& image, std::uint8_t scheme,
                      double start, double end) {
    toReport(image, [&](TBitmap& b, int w, int h) {
        RenderZoomPicture(record, b, scheme, start, end, w, h);
    });
}

void DrawVerticalSignalToSurfaceView(TBaseAScanCell& record, PresentTarget& surface,
                                     std::uint8_t scheme, double start, double end) {
    toSurfaceWhole(surface, [&](TBitmap& b, int w, int h) {
        RenderVerticalSignalPicture(record, b, scheme, start, end, w, h);
    });
}

void DrawVerticalSignalToReport(TBaseAScanCell& record, ReportImageTarget& image,
                                std::uint8_t scheme, double start, double end) {
    toReport(image, [&](TBitmap& b, int w, int h) {
        RenderVerticalSignalPicture(record, b, scheme, start, end, w, h);
    });
}

void CopyAScanImageToClipboard(TBaseAScanCell& record, TBitmap& bitmap, int W, int Hm, int Hr,
                               int Hz, int Hzr) {
    W = std::max(W, 0);
    Hm = std::max(Hm, 0);
    Hr = std::max(Hr, 0);
    Hz = std::max(Hz, 0);
    Hzr = std::max(Hzr, 0);
    const bool split = record.Config && (record.Config->ScreenType & 0x0F) == kSplitScreen;
    const double n = record.SampleCount();
    constexpr std::uint8_t rulerEdges = FrameRight | FrameBottom | FrameLeft;

    StartPicture(bitmap, W, Hm + Hr + (split ? Hz + Hzr : 0), platform::gfx::clWhite);
    TCanvas& c = bitmap.Canvas();
    TBitmap piece;
    RenderSignalPicture(record, piece, KeepScheme, 0.0, n, W, Hm);
    c.Draw(0, 0, piece);
    RenderHorizMarkup(record, piece, KeepScheme, 0.0, n, W, Hr);
    DrawFrame(record, piece, KeepScheme, 0, rulerEdges, W, Hr);
    c.Draw(0, Hm, piece);
    if (!split) {
        return;
    }
    const double begin = record.Config->StrobeBeginTime[0];
    const double end = begin + record.Config->StrobeLengthTime[0];
    RenderZoomPicture(record, piece, KeepScheme, begin, end, W, Hz);
    c.Draw(0, Hm + Hr, piece);
    RenderZoomHorizMarkup(record, piece, KeepScheme, begin, end, W, Hzr);
    DrawFrame(record, piece, KeepScheme, 0, rulerEdges, W, Hzr);
    c.Draw(0, Hm + Hr + Hz, piece);
}

void BlankSurfaceView(PresentTarget& surface) {
    PresentLayers(surface, {});
}
