#include "records/Rulers.h"

#include "config/LocalStringsUnit.h"
#include "platform/text/Numbers.h"
#include "records/ViewSupport.h"

#include <algorithm>

using platform::gfx::PresentTarget;
using platform::gfx::ReportImageTarget;
using platform::gfx::TBitmap;
using platform::gfx::TCanvas;
using namespace views;

namespace {

// Tick lengths in pixels and the row the labels of the horizontal rulers stand on.
constexpr int kShortTick = 3;
constexpr int kLongTick = 7;
constexpr int kLabelTop = 12;
// The amplitude scales: tick length, and the label's distance from the ticked edge.
constexpr int kScaleTick = 10;
constexpr int kScaleLabelGap = 14;
constexpr int kMagnitudeLabelGap = 11;
// The hue marks of the magnitude scale: a triangle this many pixels high.
constexpr int kHueMark = 5;

bool millimetres(const TBaseAScanCell& record) {
    return record.Config && record.Config->ScaleDimension == 1;
}

double velocityOf(const TBaseAScanCell& record) {
    return record.Config ? record.Config->Velocity : 0.0;
}

// The ruler's background, line and text colours and font, over a picture of W x H.
void startRuler(TBaseAScanCell& record, TBitmap& bitmap, int W, int H) {
    StartPicture(bitmap, W, H, record.Color(3));
    TCanvas& c = bitmap.Canvas();
    SolidPen(c, record.Color(4));
    RulerFont(c, record.Color(4));
}

// Ticks along a horizontal ruler every half step from `first`, a labelled long tick on every
// second one (the first when `labelFirst`), the labels kept clear of the unit text.
void horizontalTicks(TCanvas& c, int W, double first, double halfStep, bool labelFirst,
                     int unitWidth, const auto& labelOf) {
    if (!(halfStep > 0.0)) {
        return;
    }
    int k = labelFirst ? 0 : 1;
    for (double x = first; x < W; x += halfStep, ++k) {
        const int xi = Pixel(x);
        if (k % 2 != 0) {
            Line(c, xi, 0, xi, kShortTick);
            continue;
        }
        Line(c, xi, 0, xi, kLongTick);
        const std::string label = labelOf(k / 2);
        const int lw = c.TextWidth(label);
        if (x < W - 2.0 * unitWidth - lw) {
            c.TextOut(Pixel(x - lw / 2.0), kLabelTop, label);
        }
    }
}

} // namespace

// ---- Steps ----------------------------------------------------------------------------------

double GetRulerStep(const TBaseAScanCell& record, int scaleDimension, double W, double range) {
    if (!record.Config) {
        return 0.0;
    }
    return GetRulerStep(RulerUnitsOf(*record.Config, scaleDimension), W, range);
}

TZoomRulerStep GetZoomRulerStep(const TBaseAScanCell& record, int scaleDimension, double start,
                                double end, double W) {
    return GetZoomRulerStep(scaleDimension == 1, velocityOf(record), start, end, W);
}

TDepthRulerStep GetDepthRulerStep(const TBaseAScanCell& record, int scaleDimension, double H,
                                  double range) {
    return GetDepthRulerStep(scaleDimension == 1, velocityOf(record), H, range);
}

// ---- Horizontal rulers ----------------------------------------------------------------------

void RenderHorizMarkup(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme,
                       double /*start*/, double end, int W, int H) {
    const TSchemeOverride colors(record, scheme);
    startRuler(record, bitmap, W, H);
    if (!record.Config) {
        return;
    }
    TCanvas& c = bitmap.Canvas();
    const TRulerUnits units = RulerUnitsOf(*record.Config, record.Config->ScaleDimension);
    // The ruler counts from 0 at its left edge to the end of the shown range.
    const double d = GetRulerStep(units, W, end);
    const TRulerLabelForm form = RulerLabelForm(units.Millimetres, units.Step);
    const std::string unit = GetTxtVarValueString(form.UnitText);
    const int unitWidth = c.TextWidth(unit);
    c.TextOut(1, kLabelTop, "0");
    c.TextOut(W - 2 * unitWidth, kLabelTop, unit);
    horizontalTicks(c, W, d / 2.0, d / 2.0, false, unitWidth,
                    [&](int j) { return RulerLabel(j * units.Step, form); });
}

void DrawHorizMarkupToSurfaceView(TBaseAScanCell& record, PresentTarget& surface,
                                  std::uint8_t scheme, double start, double end) {
    toSurface(surface, [&](TBitmap& b, int w, int h) {
        RenderHorizMarkup(record, b, scheme, start, end, w, h);
    });
}

void DrawHorizMarkupToReport(TBaseAScanCell& record, ReportImageTarget& image, std::uint8_t scheme,
                             double start, double end) {
    toReport(image, [&](TBitmap& b, int w, int h) {
        RenderHorizMarkup(record, b, scheme, start, end, w, h);
    });
}

void RenderZoomHorizMarkup(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme,
                           double start, double end, int W, int H) {
    const TSchemeOverride colors(record, scheme);
    startRuler(record, bitmap, W, H);
    if (!record.Config) {
        return;
    }
    TCanvas& c = bitmap.Canvas();
    const bool mm = millimetres(record);
    const TZoomRulerStep z = GetZoomRulerStep(mm, velocityOf(record), start, end, W);
    const TRulerLabelForm form = ZoomRulerLabelForm(mm, z.Step);
    const std::string unit = GetTxtVarValueString(form.UnitText);
    const int unitWidth = c.TextWidth(unit);
    c.TextOut(W - 2 * unitWidth, kLabelTop, unit);
    horizontalTicks(c, W, z.FirstOffset, z.PixelsPerStep / 2.0, true, unitWidth, [&](int j) {
        return RulerLabel(double(z.FirstLabelIndex + j) * z.Step, form);
    });
}

void DrawZoomHorizMarkupToSurfaceView(TBaseAScanCell& record, PresentTarget& surface,
                                      std::uint8_t scheme, double start, double end) {
    toSurface(surface, [&](TBitmap& b, int w, int h) {
        RenderZoomHorizMarkup(record, b, scheme, start, end, w, h);
    });
}

void DrawZoomHorizMarkupToReport(TBaseAScanCell& record, ReportImageTarget& image,
                                 std::uint8_t scheme, double start, double end) {
    toReport(image, [&](TBitmap& b, int w, int h) {
        RenderZoomHorizMarkup(record, b, scheme, start, end, w, h);
    });
}

// ---- Depth ruler ----------------------------------------------------------------------------

void RenderInDepthMarkup(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, double start,
                         double end, int W, int H) {
    const TSchemeOverride colors(record, scheme);
    startRuler(record, bitmap, W, H);
    if (!record.Config) {
        return;
    }
    TCanvas& c = bitmap.Canvas();
    const bool mm = millimetres(record);
    const TDepthRulerStep step = GetDepthRulerStep(mm, velocityOf(record), H, end - start);
    const TRulerLabelForm form = RulerLabelForm(mm, step.Step);
    const std::string unit = "Z," + GetTxtVarValueString(form.UnitText);
    const int unitWidth = c.TextWidth(unit);
    const int unitHeight = c.TextHeight(unit);
    c.TextOut(W / 2 - c.TextWidth("0"), 1, "0");
    c.TextOut(Pixel(W / 2 - unitWidth / 2.0), Pixel(H - 1.5 * unitHeight), unit);
    const double d = step.PixelsPerStep;
    if (!(d > 0.0)) {
        return;
    }
    int k = 1;
    for (double y = d / 2.0; y < H; y += d / 2.0, ++k) {
        const int yi = Pixel(y);
        const int tick = k % 2 != 0 ? kShortTick : kLongTick;
        Line(c, 0, yi, tick, yi);
        Line(c, W, yi, W - tick, yi);
        if (k % 2 != 0) {
            continue;
        }
        const std::string label = RulerLabel(k / 2 * step.Step, form);
        const int lw = c.TextWidth(label);
        const int lh = c.TextHeight(label);
        if (y < H - unitHeight - lh) {
            c.TextOut(Pixel(W / 2.0 - lw / 2.0), Pixel(y - lh / 2.0), label);
        }
    }
}

void DrawInDepthMarkupToSurfaceView(TBaseAScanCell& record, PresentTarget& surface,
                                    std::uint8_t scheme, double start, double end) {
    toSurface(surface, [&](TBitmap& b, int w, int h) {
        RenderInDepthMarkup(record, b, scheme, start, end, w, h);
        DrawFrame(record, b, scheme, 0, FrameAll, w, h);
    });
}

void DrawInDepthMarkupToReport(TBaseAScanCell& record, ReportImageTarget& image,
                               std::uint8_t scheme, double start, double end) {
    toReport(image, [&](TBitmap& b, int w, int h) {
        RenderInDepthMarkup(record, b, scheme, start, end, w, h);
    });
}

// ---- Amplitude scales -----------------------------------------------------------------------

void RenderVerticMarkup(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, int W,
                        int H) {
    const TSchemeOverride colors(record, scheme);
    StartPicture(bitmap, W, H, record.Color(3));
    if (!record.Config) {
        return;
    }
    TCanvas& c = bitmap.Canvas();
    SolidPen(c, record.Color(9));
    ClearBrush(c);
    DefaultFont(c, record.Color(9));
    const double q = H / 4.0;
    const int s = record.Config->SignalType == 2 ? 50 : 25;
    const int h = c.TextHeight("0") / 2;
    for (int i = 2; i <= 4; ++i) {
        const int y = Pixel((i - 1) * q);
        const std::string label = platform::text::formatInteger(100 - (i - 1) * s);
        c.TextOut(W - c.TextWidth(label) - kScaleLabelGap, y - h, label);
        Line(c, W, y, W - kScaleTick, y);
    }
}

void DrawVerticMarkupToReport(TBaseAScanCell& record, ReportImageTarget& image,
                              std::uint8_t scheme) {
    toReport(image, [&](TBitmap& b, int w, int h) { RenderVerticMarkup(record, b, scheme, w, h); });
}

void RenderMagnitudeMarkup(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, int style,
                           int W, int H) {
    const TSchemeOverride colors(record, scheme);
    StartPicture(bitmap, W, H, record.Color(3));
    if (!record.Config) {
        return;
    }
    TCanvas& c = bitmap.Canvas();
    ClearBrush(c);
    SolidPen(c, record.Color(9));
    DefaultFont(c, record.Color(9));
    const double q = W / 4.0;
    const int s = record.Config->SignalType == 2 ? 50 : 25;
    const bool below = style != 1; // style 0 hangs from the top edge, style 1 stands on the bottom
    const int top = below ? kMagnitudeLabelGap : H - kMagnitudeLabelGap - c.TextHeight("0");
    for (int i = 2; i <= 4; ++i) {
        const int x = Pixel((i - 1) * q);
        const std::string label = platform::text::formatInteger((i - 1) * s);
        c.TextOut(x - c.TextWidth(label) / 2, top, label);
        if (below) {
            Line(c, x, 0, x, kScaleTick);
        } else {
            Line(c, x, H, x, H - kScaleTick);
        }
    }
    if (SchemeInEffect(record, scheme) != 1) {
        return;
    }
    // The hue range, as small triangles pointing at the ticked edge.
    const auto row = [below, H](int y) { return below ? y : H - y; };
    for (const int hue : {int(record.HueHigh), int(record.HueLow)}) {
        const int x = Pixel(double(hue * W) / 360.0);
        for (int k = 0; k < kHueMark; ++k) {
            Line(c, x - k, row(k), x - k, row(kHueMark));
            if (k != 0) {
                Line(c, x + k, row(k), x + k, row(kHueMark));
            }
        }
        Line(c, x - kHueMark, row(kHueMark), x + kHueMark, row(kHueMark));
    }
}

void DrawMagnitudeMarkupToReport(TBaseAScanCell& record, ReportImageTarget& image,
                                 std::uint8_t scheme, int style) {
    toReport(image, [&](TBitmap& b, int w, int h) {
        RenderMagnitudeMarkup(record, b, scheme, style, w, h);
    });
}

// ---- Frame ----------------------------------------------------------------------------------

void DrawFrame(TBaseAScanCell& record, TBitmap& bitmap, std::uint8_t scheme, int style,
               std::uint8_t edges, int W, int H) {
    const TSchemeOverride colors(record, scheme);
    TCanvas& c = bitmap.Canvas();
    ClearBrush(c);
    SolidPen(c, record.Color(style != 1 ? 1 : 2));
    if (edges & FrameTop) {
        Line(c, 0, 0, W - 1, 0);
    }
    if (edges & FrameBottom) {
        Line(c, 0, H - 1, W - 1, H - 1);
    }
    if (edges & FrameLeft) {
        Line(c, 0, 0, 0, H - 1);
    }
    if (edges & FrameRight) {
        Line(c, W - 1, 0, W - 1, H - 1);
    }
}
