#include "platform/gfx/RasterCanvas.h"

#include "platform/gfx/Fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

namespace platform::gfx {

namespace {

using Wide = __int128;

// Pixels on and off of the styled 1-pixel pens.
constexpr std::array<int, 2> kDash = {18, 6};
constexpr std::array<int, 2> kDot = {3, 3};
constexpr std::array<int, 4> kDashDot = {9, 6, 3, 6};
constexpr std::array<int, 6> kDashDotDot = {9, 3, 3, 3, 3, 3};

TRect normalized(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

// Whether a pixel belongs to the ellipse inscribed in the box. The curve passes through the
// centres of the box's outermost pixels; a pixel is taken when it is the nearest one to the curve
// along its row or along its column, so the outline is closed and symmetric.
bool insideEllipse(const TRect& b, int x, int y) {
    if (x < b.Left || x >= b.Right || y < b.Top || y >= b.Bottom) {
        return false;
    }
    const Wide a = Wide(b.Right) - b.Left - 1;
    const Wide h = Wide(b.Bottom) - b.Top - 1;
    if (a <= 0 || h <= 0) {
        return true;
    }
    const Wide px = 2 * Wide(x) - (Wide(b.Left) + b.Right - 1);
    const Wide py = 2 * Wide(y) - (Wide(b.Top) + b.Bottom - 1);
    const Wide ax = px < 0 ? -px : px;
    const Wide ay = py < 0 ? -py : py;
    const Wide a2 = a * a;
    const Wide h2 = h * h;
    if (ax <= 1 || (ax - 1) * (ax - 1) * h2 <= a2 * (h2 - py * py)) {
        return true;
    }
    return ay <= 1 || (ay - 1) * (ay - 1) * a2 <= h2 * (a2 - px * px);
}

bool insideRoundRect(const TRect& b, int cw, int ch, int x, int y) {
    if (!b.Contains(x, y)) {
        return false;
    }
    cw = std::clamp(cw, 0, b.Width());
    ch = std::clamp(ch, 0, b.Height());
    if (cw < 2 || ch < 2) {
        return true;
    }
    const bool left = x < b.Left + cw / 2;
    const bool right = x >= b.Right - cw / 2;
    const bool top = y < b.Top + ch / 2;
    const bool bottom = y >= b.Bottom - ch / 2;
    if (left && top) {
        return insideEllipse({b.Left, b.Top, b.Left + cw, b.Top + ch}, x, y);
    }
    if (right && top) {
        return insideEllipse({b.Right - cw, b.Top, b.Right, b.Top + ch}, x, y);
    }
    if (left && bottom) {
        return insideEllipse({b.Left, b.Bottom - ch, b.Left + cw, b.Bottom}, x, y);
    }
    if (right && bottom) {
        return insideEllipse({b.Right - cw, b.Bottom - ch, b.Right, b.Bottom}, x, y);
    }
    return true;
}

// The sector of a pie: directions in doubled coordinates around the box centre, y pointing up.
struct Sweep {
    Wide sx, sy, ex, ey;
    bool full;
    bool small; // the sweep is at most a half turn

    static Wide cross(Wide ax, Wide ay, Wide bx, Wide by) { return ax * by - ay * bx; }

    bool contains(Wide px, Wide py) const {
        if (full || (px == 0 && py == 0)) {
            return true;
        }
        const bool afterStart = cross(sx, sy, px, py) >= 0;
        const bool beforeEnd = cross(px, py, ex, ey) >= 0;
        return small ? (afterStart && beforeEnd) : (afterStart || beforeEnd);
    }
};

int roundTowardStart(long long i, long long minor, long long major) {
    // i * minor / major to the nearest integer, a half going back towards the start.
    const long long num = 2 * i * minor - major;
    if (num <= 0) {
        return 0;
    }
    return static_cast<int>((num + 2 * major - 1) / (2 * major));
}

} // namespace

struct RasterCanvas::Stroke {
    const int* pattern = nullptr;
    int count = 0;
    int phase = 0; // index into the pattern
    int left = 0;  // pixels left in the current pattern entry
    std::uint32_t pen = 0;
    std::uint32_t background = 0;
    bool opaque = false;
    int width = 1;
    bool visible = true;

    void advance() {
        if (pattern && --left == 0) {
            phase = (phase + 1) % count;
            left = pattern[phase];
        }
    }
    // The pattern as it stands after `steps` more pixels.
    void skip(long long steps) {
        if (!pattern || steps <= 0) {
            return;
        }
        long long cycle = 0;
        for (int i = 0; i < count; ++i) {
            cycle += pattern[i];
        }
        for (long long k = steps % cycle; k > 0; --k) {
            advance();
        }
    }
    bool on() const { return !pattern || (phase % 2) == 0; }
};

struct RasterCanvas::FontCache {
    TFont font;
    bool valid = false;
    QFont qfont;
    std::unique_ptr<QFontMetrics> metrics;
    TTextMetric tm;
};

RasterCanvas::RasterCanvas(RasterSurface& surface) : surface_(surface) {}

RasterCanvas::~RasterCanvas() = default;

TRect RasterCanvas::DeviceRect() const {
    return {0, 0, surface_.SurfaceWidth(), surface_.SurfaceHeight()};
}

void RasterCanvas::plot(int x, int y, std::uint32_t argb, const TRect& clip) {
    if (clip.Contains(x, y)) {
        surface_.SetArgb(x, y, argb);
    }
}

void RasterCanvas::fillSpan(int y, int x0, int x1, std::uint32_t argb, const TRect& clip) {
    if (y < clip.Top || y >= clip.Bottom) {
        return;
    }
    x0 = std::max(x0, clip.Left);
    x1 = std::min(x1, clip.Right);
    if (x0 >= x1) {
        return;
    }
    if (std::uint32_t* row = surface_.Row(y)) {
        std::fill(row + x0, row + x1, argb | 0xFF000000u);
        return;
    }
    for (int x = x0; x < x1; ++x) {
        surface_.SetArgb(x, y, argb);
    }
}

void RasterCanvas::stampPen(int x, int y, std::uint32_t argb, const TRect& clip) {
    const int w = Pen.Width;
    const int lo = -(w / 2);
    const int hi = (w - 1) / 2;
    const int odd = (w % 2 == 0) ? 1 : 0; // even pens are centred between pixels
    for (int dy = lo; dy <= hi; ++dy) {
        for (int dx = lo; dx <= hi; ++dx) {
            const int ex = 2 * dx + odd;
            const int ey = 2 * dy + odd;
            if (ex * ex + ey * ey <= w * w) {
                plot(x + dx, y + dy, argb, clip);
            }
        }
    }
}

void RasterCanvas::strokePixel(int x, int y, Stroke& s, const TRect& clip) {
    if (s.width > 1) {
        stampPen(x, y, s.pen, clip);
        return;
    }
    if (s.on()) {
        plot(x, y, s.pen, clip);
    } else if (s.opaque) {
        plot(x, y, s.background, clip);
    }
    s.advance();
}

void RasterCanvas::strokeSegment(TPoint a, TPoint b, Stroke& s, const TRect& clip) {
    if (!s.visible) {
        return;
    }
    const long long dx = static_cast<long long>(b.X) - a.X;
    const long long dy = static_cast<long long>(b.Y) - a.Y;
    const long long adx = std::llabs(dx);
    const long long ady = std::llabs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const long long n = std::max(adx, ady);
    // Only the steps whose pixel can reach the clip rectangle are drawn; the others only move the
    // dash pattern on. A line reaching far outside the picture costs no more than its visible part.
    long long first = 0;
    long long last = n;
    const int margin = s.width + 2;
    const auto keepInside = [&](long long start, int dir, double perStep, int low, int high) {
        const double lowV = double(low) - margin;
        const double highV = double(high) + margin;
        if (perStep == 0.0) {
            if (double(start) < lowV || double(start) >= highV) {
                last = first;
            }
            return;
        }
        double i0 = (lowV - double(start)) / (dir * perStep);
        double i1 = (highV - double(start)) / (dir * perStep);
        if (i0 > i1) {
            std::swap(i0, i1);
        }
        first = std::max(first, static_cast<long long>(std::floor(i0)) - 2);
        last = std::min(last, static_cast<long long>(std::ceil(i1)) + 2);
    };
    if (n > 0) {
        keepInside(a.X, sx, double(adx) / double(n), clip.Left, clip.Right);
        keepInside(a.Y, sy, double(ady) / double(n), clip.Top, clip.Bottom);
    }
    if (last < first) {
        last = first;
    }
    s.skip(first);
    for (long long i = first; i < last; ++i) {
        int x;
        int y;
        if (adx >= ady) {
            x = static_cast<int>(a.X + sx * i);
            y = a.Y + sy * roundTowardStart(i, ady, n);
        } else {
            y = static_cast<int>(a.Y + sy * i);
            x = a.X + sx * roundTowardStart(i, adx, n);
        }
        strokePixel(x, y, s, clip);
    }
    s.skip(n - last);
    if (s.width > 1) {
        stampPen(b.X, b.Y, s.pen, clip); // wide pens have round ends covering the end point
    }
}

void RasterCanvas::strokeRun(long long x, long long y, int dx, int dy, long long count, Stroke& s,
                             const TRect& clip) {
    if (count <= 0) {
        return;
    }
    // Pixels of the run that can reach the clip rectangle; the rest only move the pattern on.
    const long long margin = s.width + 1;
    long long first = 0;
    long long last = count;
    const auto keepInside = [&](long long start, int dir, int low, int high) {
        if (dir == 0) {
            if (start < low - margin || start >= high + margin) {
                last = first;
            }
            return;
        }
        const long long a = dir > 0 ? low - margin - start : start - (high + margin) + 1;
        const long long b = dir > 0 ? high + margin - start : start - (low - margin) + 1;
        first = std::max(first, a);
        last = std::min(last, b);
    };
    keepInside(x, dx, clip.Left, clip.Right);
    keepInside(y, dy, clip.Top, clip.Bottom);
    if (last < first) {
        last = first;
    }
    s.skip(first);
    for (long long i = first; i < last; ++i) {
        strokePixel(static_cast<int>(x + dx * i), static_cast<int>(y + dy * i), s, clip);
    }
    s.skip(count - last);
}

void RasterCanvas::LineTo(int x, int y) {
    const TPoint points[] = {PenPos, {x, y}};
    Polyline(points);
    PenPos = {x, y};
}

namespace {

void setupStroke(auto& s, const TPen& pen, const TBrush& brush) {
    s.visible = pen.Style != TPenStyle::psClear;
    s.width = std::max(1, pen.Width);
    s.pen = colorToArgb(pen.Color);
    s.opaque = brush.Style == TBrushStyle::bsSolid;
    s.background = colorToArgb(brush.Color);
    if (s.width == 1) {
        switch (pen.Style) {
        case TPenStyle::psDash:
            s.pattern = kDash.data();
            s.count = int(kDash.size());
            break;
        case TPenStyle::psDot:
            s.pattern = kDot.data();
            s.count = int(kDot.size());
            break;
        case TPenStyle::psDashDot:
            s.pattern = kDashDot.data();
            s.count = int(kDashDot.size());
            break;
        case TPenStyle::psDashDotDot:
            s.pattern = kDashDotDot.data();
            s.count = int(kDashDotDot.size());
            break;
        default:
            break;
        }
        if (s.pattern) {
            s.left = s.pattern[0];
        }
    }
}

} // namespace

void RasterCanvas::Polyline(std::span<const TPoint> points) {
    Stroke s;
    setupStroke(s, Pen, Brush);
    const TRect clip = ClipRect();
    for (std::size_t i = 1; i < points.size(); ++i) {
        strokeSegment(points[i - 1], points[i], s, clip);
    }
}

void RasterCanvas::Polygon(std::span<const TPoint> points) {
    if (points.empty()) {
        return;
    }
    const TRect clip = ClipRect();
    if (Brush.Style == TBrushStyle::bsSolid && points.size() >= 3) {
        // A pixel is filled when its corner point lies inside (alternate rule); left and top
        // edges belong to the polygon, right and bottom edges do not.
        int top = points[0].Y;
        int bottom = points[0].Y;
        for (const TPoint& p : points) {
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
        }
        top = std::max(top, clip.Top);
        bottom = std::min(bottom, clip.Bottom);
        const std::uint32_t fill = colorToArgb(Brush.Color);
        std::vector<long long> xs;
        for (int y = top; y < bottom; ++y) {
            xs.clear();
            for (std::size_t i = 0; i < points.size(); ++i) {
                const TPoint& p0 = points[i];
                const TPoint& p1 = points[(i + 1) % points.size()];
                if (p0.Y == p1.Y) {
                    continue;
                }
                const TPoint& lo = p0.Y < p1.Y ? p0 : p1;
                const TPoint& hi = p0.Y < p1.Y ? p1 : p0;
                if (y < lo.Y || y >= hi.Y) {
                    continue;
                }
                // x = lo.X + (y - lo.Y) * (hi.X - lo.X) / (hi.Y - lo.Y), rounded up
                const long long num = static_cast<long long>(lo.X) * (hi.Y - lo.Y) +
                                      static_cast<long long>(y - lo.Y) * (hi.X - lo.X);
                const long long den = hi.Y - lo.Y;
                long long q = num / den;
                if (num % den != 0 && num > 0) {
                    ++q;
                }
                xs.push_back(q);
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                const long long x0 = std::max<long long>(xs[i], clip.Left);
                const long long x1 = std::min<long long>(xs[i + 1], clip.Right);
                if (x0 < x1) {
                    fillSpan(y, int(x0), int(x1), fill, clip);
                }
            }
        }
    }
    Stroke s;
    setupStroke(s, Pen, Brush);
    for (std::size_t i = 0; i < points.size(); ++i) {
        strokeSegment(points[i], points[(i + 1) % points.size()], s, clip);
    }
}

void RasterCanvas::Rectangle(int left, int top, int right, int bottom) {
    const TRect b = normalized(left, top, right, bottom);
    if (b.IsEmpty()) {
        return;
    }
    const TRect clip = ClipRect();
    const bool solid = Brush.Style == TBrushStyle::bsSolid;
    const std::uint32_t fill = colorToArgb(Brush.Color);
    if (Pen.Style == TPenStyle::psClear) {
        if (solid) {
            for (int y = std::max(b.Top, clip.Top); y < std::min(b.Bottom - 1, clip.Bottom); ++y) {
                fillSpan(y, b.Left, b.Right - 1, fill, clip);
            }
        }
        return;
    }
    if (solid) {
        for (int y = std::max(b.Top + 1, clip.Top); y < std::min(b.Bottom - 1, clip.Bottom); ++y) {
            fillSpan(y, b.Left + 1, b.Right - 1, fill, clip);
        }
    }
    // The outline, clockwise from the top-left pixel, so styled pens run round it.
    Stroke s;
    setupStroke(s, Pen, Brush);
    const long long r = static_cast<long long>(b.Right) - 1;
    const long long btm = static_cast<long long>(b.Bottom) - 1;
    strokeRun(b.Left, b.Top, 1, 0, r - b.Left + 1, s, clip);
    strokeRun(r, b.Top + 1LL, 0, 1, btm - b.Top, s, clip);
    if (btm > b.Top) {
        strokeRun(r - 1, btm, -1, 0, r - b.Left, s, clip);
    }
    if (r > b.Left) {
        strokeRun(b.Left, btm - 1, 0, -1, btm - 1 - b.Top, s, clip);
    }
}

void RasterCanvas::FillRect(const TRect& r) {
    if (Brush.Style != TBrushStyle::bsSolid) {
        return;
    }
    const TRect clip = ClipRect();
    const std::uint32_t fill = colorToArgb(Brush.Color);
    for (int y = std::max(r.Top, clip.Top); y < std::min(r.Bottom, clip.Bottom); ++y) {
        fillSpan(y, r.Left, r.Right, fill, clip);
    }
}

void RasterCanvas::FrameRect(const TRect& r) {
    if (Brush.Style != TBrushStyle::bsSolid || r.IsEmpty()) {
        return;
    }
    const TRect clip = ClipRect();
    const std::uint32_t c = colorToArgb(Brush.Color);
    fillSpan(r.Top, r.Left, r.Right, c, clip);
    fillSpan(r.Bottom - 1, r.Left, r.Right, c, clip);
    for (int y = std::max(r.Top + 1, clip.Top); y < std::min(r.Bottom - 1, clip.Bottom); ++y) {
        plot(r.Left, y, c, clip);
        plot(r.Right - 1, y, c, clip);
    }
}

template <typename Inside>
void RasterCanvas::drawRegion(const TRect& box, const TRect& fillBox, Inside inside,
                              Inside fillInside) {
    const TRect clip = ClipRect();
    const bool solid = Brush.Style == TBrushStyle::bsSolid;
    const std::uint32_t fill = colorToArgb(Brush.Color);
    if (Pen.Style == TPenStyle::psClear) {
        if (!solid) {
            return;
        }
        const TRect area = IntersectRect(fillBox, clip);
        for (int y = area.Top; y < area.Bottom; ++y) {
            for (int x = area.Left; x < area.Right; ++x) {
                if (fillInside(x, y)) {
                    surface_.SetArgb(x, y, fill);
                }
            }
        }
        return;
    }
    // Outline pixels are the shape's pixels within the pen width of its outside.
    const int w = std::max(1, Pen.Width);
    const std::uint32_t pen = colorToArgb(Pen.Color);
    const TRect area = IntersectRect(box, clip);
    for (int y = area.Top; y < area.Bottom; ++y) {
        for (int x = area.Left; x < area.Right; ++x) {
            if (!inside(x, y)) {
                continue;
            }
            bool edge = false;
            for (int dy = -w; dy <= w && !edge; ++dy) {
                const int rest = w - std::abs(dy);
                for (int dx = -rest; dx <= rest; ++dx) {
                    if ((dx != 0 || dy != 0) && !inside(x + dx, y + dy)) {
                        edge = true;
                        break;
                    }
                }
            }
            if (edge) {
                surface_.SetArgb(x, y, pen);
            } else if (solid) {
                surface_.SetArgb(x, y, fill);
            }
        }
    }
}

void RasterCanvas::Ellipse(int left, int top, int right, int bottom) {
    const TRect b = normalized(left, top, right, bottom);
    if (b.IsEmpty()) {
        return;
    }
    const TRect small{b.Left, b.Top, b.Right - 1, b.Bottom - 1};
    auto in = [b](int x, int y) { return insideEllipse(b, x, y); };
    auto inSmall = [small](int x, int y) { return insideEllipse(small, x, y); };
    drawRegion<std::function<bool(int, int)>>(b, small, in, inSmall);
}

void RasterCanvas::RoundRect(int left, int top, int right, int bottom, int w, int h) {
    const TRect b = normalized(left, top, right, bottom);
    if (b.IsEmpty()) {
        return;
    }
    const TRect small{b.Left, b.Top, b.Right - 1, b.Bottom - 1};
    drawRegion<std::function<bool(int, int)>>(
        b, small, [=](int x, int y) { return insideRoundRect(b, w, h, x, y); },
        [=](int x, int y) { return insideRoundRect(small, w, h, x, y); });
}

void RasterCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const TRect b = normalized(x1, y1, x2, y2);
    if (b.IsEmpty()) {
        return;
    }
    auto sweepFor = [&](const TRect& box) {
        const Wide cx = Wide(box.Left) + box.Right - 1;
        const Wide cy = Wide(box.Top) + box.Bottom - 1;
        Sweep s{};
        s.sx = 2 * Wide(x3) - cx;
        s.sy = cy - 2 * Wide(y3);
        s.ex = 2 * Wide(x4) - cx;
        s.ey = cy - 2 * Wide(y4);
        const Wide c = Sweep::cross(s.sx, s.sy, s.ex, s.ey);
        const Wide dot = s.sx * s.ex + s.sy * s.ey;
        s.full = (c == 0 && dot > 0) || (s.sx == 0 && s.sy == 0) || (s.ex == 0 && s.ey == 0);
        s.small = c > 0;
        if (c == 0 && dot < 0) {
            s.small = false; // exactly a half turn: the half plane left of the start ray
            s.ex = -s.sx;
            s.ey = -s.sy;
        }
        return std::pair<Sweep, std::pair<Wide, Wide>>{s, {cx, cy}};
    };
    const TRect small{b.Left, b.Top, b.Right - 1, b.Bottom - 1};
    const auto big = sweepFor(b);
    const auto little = sweepFor(small);
    auto inside = [](const TRect& box, const std::pair<Sweep, std::pair<Wide, Wide>>& sw, int x,
                     int y) {
        if (!insideEllipse(box, x, y)) {
            return false;
        }
        const Wide px = 2 * Wide(x) - sw.second.first;
        const Wide py = sw.second.second - 2 * Wide(y);
        return sw.first.contains(px, py);
    };
    drawRegion<std::function<bool(int, int)>>(
        b, small, [&](int x, int y) { return inside(b, big, x, y); },
        [&](int x, int y) { return inside(small, little, x, y); });
}

TColor RasterCanvas::GetPixel(int x, int y) {
    if (!ClipRect().Contains(x, y)) {
        return CLR_INVALID;
    }
    return argbToColor(surface_.GetArgb(x, y));
}

void RasterCanvas::SetPixel(int x, int y, TColor color) {
    plot(x, y, colorToArgb(color), ClipRect());
}

RasterCanvas::FontCache& RasterCanvas::fontCache() {
    if (!fontCache_) {
        fontCache_ = std::make_unique<FontCache>();
    }
    FontCache& c = *fontCache_;
    if (!c.valid || !(c.font == Font)) {
        c.font = Font;
        c.qfont = resolveFont(Font, PixelsPerInch());
        c.metrics = std::make_unique<QFontMetrics>(c.qfont);
        c.tm.Ascent = c.metrics->ascent();
        c.tm.Descent = c.metrics->descent();
        c.tm.Height = c.tm.Ascent + c.tm.Descent;
        c.tm.ExternalLeading = std::max(0, c.metrics->leading());
        c.tm.AveCharWidth = c.metrics->averageCharWidth();
        c.valid = true;
    }
    return c;
}

TSize RasterCanvas::TextExtent(std::string_view text) {
    FontCache& c = fontCache();
    return {c.metrics->horizontalAdvance(fromCp1251(text)), c.tm.Height};
}

TTextMetric RasterCanvas::TextMetrics() {
    return fontCache().tm;
}

void RasterCanvas::DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                               const TRect* clipRect) {
    FontCache& c = fontCache();
    const QString s = fromCp1251(text);
    const int w = c.metrics->horizontalAdvance(s);
    const int h = c.tm.Height;
    TRect clip = ClipRect();
    if (clipRect) {
        clip = IntersectRect(clip, *clipRect);
    }
    if (Brush.Style == TBrushStyle::bsSolid) {
        const std::uint32_t bg = colorToArgb(Brush.Color);
        for (int yy = y; yy < y + h; ++yy) {
            fillSpan(yy, x, x + w, bg, clip);
        }
    }
    if (s.isEmpty() || clip.IsEmpty()) {
        return;
    }
    // Glyphs are drawn into a mask with room for overhangs (italics), then set in the font
    // colour wherever the mask is covered.
    const int margin = h;
    QImage mask(w + 2 * margin, h, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(c.qfont);
        p.setPen(Qt::white);
        p.drawText(QPoint(margin, c.tm.Ascent), s);
        if (underline != std::string::npos && qsizetype(underline) < s.size()) {
            const int ux = margin + c.metrics->horizontalAdvance(s.left(qsizetype(underline)));
            const int uw = c.metrics->horizontalAdvance(s.at(qsizetype(underline)));
            const int uy = c.tm.Ascent + std::max(1, c.metrics->underlinePos());
            p.fillRect(QRect(ux, std::min(uy, h - 1), std::max(1, uw), 1), Qt::white);
        }
    }
    const std::uint32_t ink = colorToArgb(Font.Color);
    for (int my = 0; my < mask.height(); ++my) {
        const int ty = y + my;
        if (ty < clip.Top || ty >= clip.Bottom) {
            continue;
        }
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(my));
        for (int mx = 0; mx < mask.width(); ++mx) {
            if (qAlpha(line[mx]) >= 128) {
                plot(x - margin + mx, ty, ink, clip);
            }
        }
    }
}

void RasterCanvas::Draw(int x, int y, const TBitmap& picture) {
    if (picture.Empty()) {
        return;
    }
    const TRect clip = ClipRect();
    const TRect area = IntersectRect(Bounds(x, y, picture.Width(), picture.Height()), clip);
    const bool keyed = picture.Transparent;
    const std::uint32_t key = colorToArgb(picture.TransparentColor()) & 0xFFFFFFu;
    for (int ty = area.Top; ty < area.Bottom; ++ty) {
        const std::uint32_t* src = picture.ScanLine(ty - y);
        std::uint32_t* row = surface_.Row(ty);
        for (int tx = area.Left; tx < area.Right; ++tx) {
            const std::uint32_t p = src[tx - x];
            if (keyed && (p & 0xFFFFFFu) == key) {
                continue;
            }
            if (row) {
                row[tx] = p | 0xFF000000u;
            } else {
                surface_.SetArgb(tx, ty, p);
            }
        }
    }
}

void RasterCanvas::StretchDraw(const TRect& dest, const TBitmap& picture) {
    if (picture.Empty() || dest.IsEmpty()) {
        return;
    }
    const TRect clip = ClipRect();
    const TRect area = IntersectRect(dest, clip);
    const bool keyed = picture.Transparent;
    const std::uint32_t key = colorToArgb(picture.TransparentColor()) & 0xFFFFFFu;
    const long long dw = dest.Width();
    const long long dh = dest.Height();
    for (int ty = area.Top; ty < area.Bottom; ++ty) {
        const int sy = int(((2LL * (ty - dest.Top) + 1) * picture.Height()) / (2 * dh));
        const std::uint32_t* src = picture.ScanLine(sy);
        for (int tx = area.Left; tx < area.Right; ++tx) {
            const int sx = int(((2LL * (tx - dest.Left) + 1) * picture.Width()) / (2 * dw));
            const std::uint32_t p = src[sx];
            if (keyed && (p & 0xFFFFFFu) == key) {
                continue;
            }
            surface_.SetArgb(tx, ty, p);
        }
    }
}

void RasterCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) {
    if (dest.IsEmpty() || sourceRect.IsEmpty() || source.Empty()) {
        return;
    }
    const TRect clip = ClipRect();
    const TRect area = IntersectRect(dest, clip);
    const long long dw = dest.Width();
    const long long dh = dest.Height();
    const long long sw = sourceRect.Width();
    const long long sh = sourceRect.Height();
    // Read everything first: source and destination may be the same bitmap.
    std::vector<std::uint32_t> block(std::size_t(area.Width()) * std::size_t(area.Height()));
    std::vector<bool> valid(block.size());
    for (int ty = area.Top; ty < area.Bottom; ++ty) {
        const int sy = sourceRect.Top + int(((2LL * (ty - dest.Top) + 1) * sh) / (2 * dh));
        for (int tx = area.Left; tx < area.Right; ++tx) {
            const int sx = sourceRect.Left + int(((2LL * (tx - dest.Left) + 1) * sw) / (2 * dw));
            const std::size_t i = std::size_t(ty - area.Top) * std::size_t(area.Width()) +
                                  std::size_t(tx - area.Left);
            if (sx >= 0 && sy >= 0 && sx < source.Width() && sy < source.Height()) {
                block[i] = source.GetArgb(sx, sy);
                valid[i] = true;
            }
        }
    }
    for (int ty = area.Top; ty < area.Bottom; ++ty) {
        for (int tx = area.Left; tx < area.Right; ++tx) {
            const std::size_t i = std::size_t(ty - area.Top) * std::size_t(area.Width()) +
                                  std::size_t(tx - area.Left);
            if (valid[i]) {
                surface_.SetArgb(tx, ty, block[i]);
            }
        }
    }
}

} // namespace platform::gfx
