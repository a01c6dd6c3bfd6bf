#include "records/Overlays.h"

#include "platform/text/Numbers.h"
#include "records/Rulers.h"
#include "records/ViewMath.h"
#include "records/ViewSupport.h"

using platform::gfx::TBitmap;
using platform::gfx::TCanvas;
using platform::gfx::TPenStyle;
using namespace views;

namespace {

// Pixels of the small marks: the arrow head's depth, the strobe's end ticks and the mark on
// cursor 1 when two cursors are in use.
constexpr int kArrowDepth = 3;
constexpr int kStrobeTick = 2;
constexpr int kCursorMark = 3;

// Grid lines stand dotted in print, dashed on screen.
void gridPen(TCanvas& c, const TBaseAScanCell& record, bool print) {
    ClearBrush(c);
    StyledPen(c, record.Color(8), print ? TPenStyle::psDot : TPenStyle::psDash);
}

void horizontalGrid(TCanvas& c, int W, int H) {
    for (int q = 1; q <= 3; ++q) {
        const int y = Pixel(q * H / 4.0);
        Line(c, 0, y, W, y);
    }
}

// 100, 75, 50, 25 down the left edge (100, 50, 0, -50 for the radio-frequency trace).
void percentLabels(TCanvas& c, const TBaseAScanCell& record, int H) {
    ClearBrush(c);
    c.Pen.Color = record.Color(5);
    DefaultFont(c, record.Color(9));
    const int s = record.Config->SignalType == 2 ? 50 : 25;
    for (int i = 1; i <= 4; ++i) {
        c.TextOut(2, Pixel((i - 1) * H / 4.0 + 2.0),
                  platform::text::formatInteger(100 - (i - 1) * s));
    }
}

// The arrow head under the measuring point, its tip at (x, y).
void arrowHead(TCanvas& c, int x, int y) {
    Line(c, x, y, x, y - kArrowDepth);
    for (int k = 1; k <= kArrowDepth; ++k) {
        Line(c, x - k, y - k, x + k, y - k);
    }
}

// The row of an amplitude (sample units) or a level (percent), 100 % at the top edge.
int amplitudeRow(double amplitude, int H) {
    return H - Pixel(H * amplitude / AmplitudeReference);
}

int levelRow(double percent, int H) {
    return H - Pixel(H * percent / 100.0);
}

} // namespace

void DrawSignalOverlay(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                       double end, int W, int H) {
    const TSchemeOverride colors(record, scheme);
    if (!record.Config) {
        return;
    }
    const TBaseConfigCell& config = *record.Config;
    const double n = record.SampleCount();
    const bool print = SchemeInEffect(record, scheme) == 1;
    TCanvas& c = bitmap.Canvas();

    gridPen(c, record, print);
    const double range = end - start;
    if (range == 0.0) {
        return;
    }
    const double d = GetRulerStep(record, config.ScaleDimension, W, range);
    if (d > 0.0) {
        for (double x = d; x < W; x += d) {
            Line(c, Pixel(x), 0, Pixel(x), H);
        }
    }
    horizontalGrid(c, W, H);
    if (!print) {
        percentLabels(c, record, H);
    }

    SolidPen(c, record.Color(7));
    const int x1 = Pixel(TimeToView(config.CursorTime[0], n, W));
    Line(c, x1, 0, x1, H);
    const bool twoCursors = config.CursorCount == 1;
    if (twoCursors) {
        const int y = (H / 5) * 4;
        Line(c, x1 - kCursorMark, y, x1 + kCursorMark, y);
        const int x2 = Pixel(TimeToView(config.CursorTime[1], n, W));
        Line(c, x2, 0, x2, H);
    }

    if (config.SignalType != 2) {
        SolidPen(c, record.Color(10));
        const double p = twoCursors ? config.CursorTime[1] : config.AuxTime;
        const std::int64_t a = record.GetAmplitude();
        arrowHead(c, Pixel(TimeToView(p, n, W)), amplitudeRow(double(a < 0 ? -a : a), H));
    }

    SolidPen(c, record.Color(11));
    const double xs = TimeToView(config.StrobeBeginTime[0], n, W);
    const double xl = TimeToView(config.StrobeLengthTime[0], n, W);
    const int ys = levelRow(config.StrobeLevel[0], H);
    const int x0 = Pixel(xs);
    const int xe = Pixel(xs + xl);
    Line(c, x0, ys, xe, ys);
    Line(c, x0, ys - kStrobeTick, x0, ys + kStrobeTick);
    Line(c, xe, ys - kStrobeTick, xe, ys + kStrobeTick);
}

void DrawZoomOverlay(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                     double end, int W, int H) {
    const TSchemeOverride colors(record, scheme);
    if (!record.Config) {
        return;
    }
    const TBaseConfigCell& config = *record.Config;
    const bool print = SchemeInEffect(record, scheme) == 1;
    TCanvas& c = bitmap.Canvas();

    gridPen(c, record, print);
    if (end - start == 0.0) {
        return;
    }
    const TZoomRulerStep z = GetZoomRulerStep(record, config.ScaleDimension, start, end, W);
    if (z.PixelsPerStep > 0.0) {
        for (double x = z.FirstOffset; x < W; x += z.PixelsPerStep) {
            Line(c, Pixel(x), 0, Pixel(x), H);
        }
    }
    horizontalGrid(c, W, H);
    if (!print) {
        percentLabels(c, record, H);
    }

    SolidPen(c, record.Color(11));
    const int ys = levelRow(config.StrobeLevel[0], H);
    Line(c, 0, ys, W, ys);

    const double begin = config.StrobeBeginTime[0];
    const double length = config.StrobeLengthTime[0];
    if (!(length > 0.0)) {
        return; // a strobe without length has no zoom coordinates
    }
    const auto inside = [begin, length](double t) { return begin <= t && t <= begin + length; };
    const auto zoomX = [&](double t) { return Pixel((t - begin) / length * W); };
    if (config.SignalType != 2 && inside(config.AuxTime)) {
        SolidPen(c, record.Color(10));
        const std::int64_t a = record.GetAmplitude();
        arrowHead(c, zoomX(config.AuxTime), amplitudeRow(double(a < 0 ? -a : a), H));
    }
    SolidPen(c, record.Color(7));
    for (const double t : {config.CursorTime[1], config.CursorTime[0]}) {
        if (inside(t)) {
            Line(c, zoomX(t), 0, zoomX(t), H);
        }
    }
}
