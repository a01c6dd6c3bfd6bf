// The flash markup drawn as a pie chart with its legend.
#include "config/AbsConfigObjectUnit.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PresentTarget.h"
#include "platform/text/Numbers.h"

#include <cmath>
#include <numbers>

namespace {

using platform::gfx::TBitmap;
using platform::gfx::TCanvas;
using platform::gfx::TColor;

// Sectors narrower than this are not drawn.
constexpr double kSmallestSector = 0.3;
// The inner (occupied) ring sits this far inside the outer one.
constexpr int kInnerInset = 30;

struct PieGeometry {
    double r = 0;
    int side = 0; // the bounding square is (0, 0) to (side, side)

    platform::gfx::TPoint point(double degrees) const {
        const double a = degrees * std::numbers::pi / 180.0;
        return {static_cast<int>(platform::text::roundHalfEven((std::cos(a) + 1.0) * r)),
                static_cast<int>(platform::text::roundHalfEven((1.0 - std::sin(a)) * r))};
    }
};

// A sector from a1 to a2 degrees, counter-clockwise, inside the square inset by `inset`.
void sector(TCanvas& c, const PieGeometry& g, int inset, double a1, double a2, TColor color) {
    const auto p1 = g.point(a1);
    const auto p2 = g.point(a2);
    c.Brush.Color = color;
    c.Brush.Style = platform::gfx::TBrushStyle::bsSolid;
    c.Pie(inset, inset, g.side - inset, g.side - inset, p1.X, p1.Y, p2.X, p2.Y);
}

void swatch(TBitmap& b, TColor outer, TColor inner) {
    TCanvas& c = b.Canvas();
    const int w = b.Width();
    const int h = b.Height();
    c.Pen.Color = platform::gfx::clBlack;
    c.Pen.Style = platform::gfx::TPenStyle::psSolid;
    c.Brush.Style = platform::gfx::TBrushStyle::bsSolid;
    c.Brush.Color = outer;
    c.Rectangle(0, 0, w, h);
    c.Brush.Color = inner;
    c.Rectangle(0, h / 2, 2 * w / 3, h);
}

} // namespace

void TCorvantaAbsConfigCell::RenderPie(TBitmap& picture) const {
    const int w = picture.Width();
    const int h = picture.Height();
    TCanvas& c = picture.Canvas();
    c.Brush.Color = platform::gfx::clBtnFace;
    c.Brush.Style = platform::gfx::TBrushStyle::bsSolid;
    c.FillRect({0, 0, w, h});
    c.Pen.Color = platform::gfx::clBlack;
    c.Pen.Style = platform::gfx::TPenStyle::psSolid;
    c.Pen.Width = 1;

    PieGeometry g;
    g.r = (w + h) / 4.0;
    g.side = static_cast<int>(platform::text::roundHalfEven(2.0 * g.r));

    const TCorvantaAngles area = GetAreaAngles();
    const double a = area.AScans;
    const double m = area.Maps;
    const double b = area.Bands;
    if (a > kSmallestSector) {
        sector(c, g, 0, 0.0, a, AScanColor);
    }
    if (m > kSmallestSector) {
        sector(c, g, 0, a, a + m, MapColor);
    }
    if (b > kSmallestSector) {
        sector(c, g, 0, a + m, a + m + b, BandColor);
    }

    const TCorvantaAngles used = GetOccupiedAngles();
    if (std::fabs(used.AScans) > kSmallestSector) {
        sector(c, g, kInnerInset, 0.0, used.AScans, AScanUsedColor);
    }
    if (Modified == 0) {
        if (std::fabs(used.Maps) > kSmallestSector) {
            sector(c, g, kInnerInset, a, a + used.Maps, MapUsedColor);
        }
        if (std::fabs(used.Bands) > kSmallestSector) {
            sector(c, g, kInnerInset, a + m, a + m + used.Bands, BandUsedColor);
        }
    }
}

void TCorvantaAbsConfigCell::DrawPieSurface(platform::gfx::PresentTarget& surface) const {
    if (surface.Width() <= 0 || surface.Height() <= 0) {
        return;
    }
    TBitmap picture(surface.Width(), surface.Height());
    RenderPie(picture);
    platform::gfx::Present(surface, picture);
}

void TCorvantaAbsConfigCell::DrawPie(TBitmap& aScanSwatch, TBitmap& bandSwatch,
                                     TBitmap& mapSwatch, TCorvantaLegendTexts& labels) const {
    swatch(aScanSwatch, AScanColor, AScanUsedColor);
    swatch(bandSwatch, BandColor, BandUsedColor);
    swatch(mapSwatch, MapColor, MapUsedColor);
    labels = GetLegendTexts();
}
