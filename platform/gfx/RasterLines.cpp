// The raster canvas's lines, polygons and rectangles. The work done is bounded by the part of a
// line that reaches the clip rectangle, not by its length, and wide pens are laid down row by
// row.
#include "platform/gfx/RasterCanvas.h"
#include "platform/gfx/RasterMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

namespace platform::gfx {

using namespace raster;

namespace {

// Pixels on and off of the styled 1-pixel pens.
constexpr std::array<int, 2> kDash = {18, 6};
constexpr std::array<int, 2> kDot = {3, 3};
constexpr std::array<int, 4> kDashDot = {9, 6, 3, 6};
constexpr std::array<int, 6> kDashDotDot = {9, 3, 3, 3, 3, 3};

// i * minor / major to the nearest integer, a half going back towards the start.
long long roundTowardStart(long long i, long long minor, long long major) {
    const Wide num = 2 * Wide(i) * minor - major;
    if (num <= 0) {
        return 0;
    }
    return static_cast<long long>((num + 2 * Wide(major) - 1) / (2 * Wide(major)));
}

// The points of the line from a to b, one per step along the major axis: point 0 is a, point
// n is b.
struct DigitalLine {
    long long ax, ay, adx, ady, n;
    int sx, sy;

    DigitalLine(long long x0, long long y0, long long x1, long long y1)
        : ax(x0), ay(y0), adx(std::llabs(x1 - x0)), ady(std::llabs(y1 - y0)), n(std::max(adx, ady)),
          sx(x1 < x0 ? -1 : 1), sy(y1 < y0 ? -1 : 1) {}

    long long x(long long i) const {
        return adx >= ady ? ax + sx * i : ax + sx * roundTowardStart(i, adx, n);
    }
    long long y(long long i) const {
        return adx >= ady ? ay + sy * roundTowardStart(i, ady, n) : ay + sy * i;
    }
};

// The pixels of a round pen w pixels wide around its centre: its row dy (from lo to hi) covers
// the columns from row(dy).first to row(dy).second, both included. Even pens are centred between
// pixels.
struct PenShape {
    long long w, lo, hi, odd;
    std::vector<std::pair<long long, long long>> rows; // kept for pens followed pixel for pixel

    explicit PenShape(int width)
        : w(width), lo(-(width / 2)), hi((width - 1) / 2), odd(width % 2 == 0 ? 1 : 0) {
        if (w <= kExactReach) {
            for (long long dy = lo; dy <= hi; ++dy) {
                rows.push_back(compute(dy));
            }
        }
    }

    std::pair<long long, long long> compute(long long dy) const {
        const long long ey = 2 * dy + odd;
        const long long q = isqrt(w * w - ey * ey);
        return {std::max(lo, ceilDiv(-q - odd, 2)), std::min(hi, floorDiv(q - odd, 2))};
    }
    std::pair<long long, long long> row(long long dy) const {
        return rows.empty() ? compute(dy) : rows[std::size_t(dy - lo)];
    }
};

// The columns (in doubled coordinates, as reals) of row py within distance w of the segment
// from (ax, ay) to (bx, by), all in doubled coordinates; false when none.
bool capsuleRow(double ax, double ay, double bx, double by, double w, double py, double& left,
                double& right) {
    left = std::numeric_limits<double>::infinity();
    right = -left;
    const auto add = [&](double l, double r) {
        if (l <= r) {
            left = std::min(left, l);
            right = std::max(right, r);
        }
    };
    for (const auto& [cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
        const double s = w * w - (py - cy) * (py - cy);
        if (s >= 0) {
            add(cx - std::sqrt(s), cx + std::sqrt(s));
        }
    }
    const double dx = bx - ax;
    const double dy = by - ay;
    const double len = std::hypot(dx, dy);
    if (len > 0) {
        double l = -std::numeric_limits<double>::infinity();
        double r = -l;
        const auto within = [&](double coef, double constant, double low, double high) {
            // low <= coef * (px - ax) + constant <= high
            if (coef == 0) {
                if (constant < low || constant > high) {
                    l = 1;
                    r = 0;
                }
                return;
            }
            double u = (low - constant) / coef;
            double v = (high - constant) / coef;
            if (u > v) {
                std::swap(u, v);
            }
            l = std::max(l, ax + u);
            r = std::min(r, ax + v);
        };
        within(dx, (py - ay) * dy, 0, len * len);       // projection inside the segment
        within(-dy, (py - ay) * dx, -w * len, w * len); // near the segment's line
        add(l, r);
    }
    return left <= right;
}

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
    // How many of the next `most` pixels share the current pattern entry.
    long long piece(long long most) const {
        return pattern ? std::min<long long>(left, most) : most;
    }
    // Moves on by `steps` pixels, no more than piece() gave.
    void advanceWithin(long long steps) {
        if (pattern) {
            left -= static_cast<int>(steps);
            if (left == 0) {
                phase = (phase + 1) % count;
                left = pattern[phase];
            }
        }
    }
};

void RasterCanvas::strokePixel(int x, int y, Stroke& s, const TRect& clip) {
    if (s.on()) {
        plot(x, y, s.pen, clip);
    } else if (s.opaque) {
        plot(x, y, s.background, clip);
    }
    s.advance();
}

void RasterCanvas::fillColumn(int x, int y0, int y1, std::uint32_t argb, const TRect& clip) {
    if (x < clip.Left || x >= clip.Right) {
        return;
    }
    y0 = std::max(y0, clip.Top);
    y1 = std::min(y1, clip.Bottom);
    for (int y = y0; y < y1; ++y) {
        if (std::uint32_t* row = surface_.Row(y)) {
            row[x] = argb | 0xFF000000u;
        } else {
            surface_.SetArgb(x, y, argb);
        }
    }
}

void RasterCanvas::strokeStraight(long long x, long long y, int dx, int dy, long long first,
                                  long long last, Stroke& s, const TRect& clip) {
    // A whole dash (or gap) at a time: grid lines are long and mostly level or upright.
    for (long long i = first; i < last;) {
        const long long k = s.piece(last - i);
        if (s.on() || s.opaque) {
            const std::uint32_t argb = s.on() ? s.pen : s.background;
            const long long x0 = x + dx * i;
            const long long y0 = y + dy * i;
            const long long x1 = x0 + dx * (k - 1);
            const long long y1 = y0 + dy * (k - 1);
            if (dy == 0) {
                fillSpan(static_cast<int>(y0), static_cast<int>(std::min(x0, x1)),
                         static_cast<int>(std::max(x0, x1) + 1), argb, clip);
            } else if (dx == 0) {
                fillColumn(static_cast<int>(x0), static_cast<int>(std::min(y0, y1)),
                           static_cast<int>(std::max(y0, y1) + 1), argb, clip);
            } else {
                for (long long j = 0; j < k; ++j) {
                    plot(static_cast<int>(x0 + dx * j), static_cast<int>(y0 + dy * j), argb, clip);
                }
            }
        }
        s.advanceWithin(k);
        i += k;
    }
}

void RasterCanvas::wideLine(long long ax, long long ay, long long bx, long long by, const Stroke& s,
                            const TRect& clip) {
    const PenShape pen(s.width);
    const DigitalLine line(ax, ay, bx, by);
    const long long top = std::max<long long>(clip.Top, std::min(ay, by) + pen.lo);
    const long long bottom = std::min<long long>(clip.Bottom, std::max(ay, by) + pen.hi + 1);
    if (pen.w > kExactReach) {
        // Taken as the set of pixels whose pen-centre offset lies within the pen's radius of the
        // segment, in doubled coordinates.
        for (long long y = top; y < bottom; ++y) {
            double l = 0;
            double r = 0;
            if (capsuleRow(2.0 * double(ax), 2.0 * double(ay), 2.0 * double(bx), 2.0 * double(by),
                           double(pen.w), 2.0 * double(y) + double(pen.odd), l, r)) {
                // pixel x is taken when 2 * x + odd lies in [l, r]
                const double x0 = std::ceil((l - double(pen.odd)) / 2);
                const double x1 = std::floor((r - double(pen.odd)) / 2) + 1;
                const double cl = std::clamp(x0, double(clip.Left), double(clip.Right));
                const double cr = std::clamp(x1, double(clip.Left), double(clip.Right));
                fillSpan(static_cast<int>(y), static_cast<int>(cl), static_cast<int>(cr), s.pen,
                         clip);
            }
        }
        return;
    }
    // Centres whose pen can reach the clip rectangle's columns: x(i) is monotonic.
    const long long xLow = static_cast<long long>(clip.Left) - pen.hi;
    const long long xHigh = static_cast<long long>(clip.Right) - 1 - pen.lo;
    long long iLow = 0;
    long long iHigh = line.n;
    if (line.sx > 0) {
        iLow = firstTrue(0, line.n, [&](long long i) { return line.x(i) >= xLow; });
        iHigh = firstTrue(0, line.n, [&](long long i) { return line.x(i) > xHigh; }) - 1;
    } else {
        iLow = firstTrue(0, line.n, [&](long long i) { return line.x(i) <= xHigh; });
        iHigh = firstTrue(0, line.n, [&](long long i) { return line.x(i) < xLow; }) - 1;
    }
    for (long long y = top; y < bottom; ++y) {
        // Centres whose pen reaches this row: y(i) in [y - hi, y - lo].
        long long from = 0;
        long long to = 0;
        if (line.sy > 0) {
            from = firstTrue(iLow, iHigh, [&](long long i) { return line.y(i) >= y - pen.hi; });
            to = firstTrue(iLow, iHigh, [&](long long i) { return line.y(i) > y - pen.lo; }) - 1;
        } else {
            from = firstTrue(iLow, iHigh, [&](long long i) { return line.y(i) <= y - pen.lo; });
            to = firstTrue(iLow, iHigh, [&](long long i) { return line.y(i) < y - pen.hi; }) - 1;
        }
        if (from > to) {
            continue;
        }
        // Neighbouring centres differ by at most a pixel, so their pieces of the row join up.
        long long l = std::numeric_limits<long long>::max();
        long long r = std::numeric_limits<long long>::min();
        for (long long i = from; i <= to; ++i) {
            const long long cx = line.x(i);
            const auto [dl, dr] = pen.row(y - line.y(i));
            l = std::min(l, cx + dl);
            r = std::max(r, cx + dr);
        }
        l = std::max<long long>(l, clip.Left);
        r = std::min<long long>(r + 1, clip.Right);
        if (l < r) {
            fillSpan(static_cast<int>(y), static_cast<int>(l), static_cast<int>(r), s.pen, clip);
        }
    }
}

void RasterCanvas::strokeSegment(TPoint a, TPoint b, Stroke& s, const TRect& clip) {
    if (!s.visible) {
        return;
    }
    if (s.width > 1) {
        // Wide pens have round ends covering the end point.
        wideLine(a.X, a.Y, b.X, b.Y, s, clip);
        return;
    }
    const DigitalLine line(a.X, a.Y, b.X, b.Y);
    const long long n = line.n;
    // Only the steps whose pixel can reach the clip rectangle are drawn; the others only move the
    // dash pattern on. A line reaching far outside the picture costs no more than its visible part.
    long long first = 0;
    long long last = n;
    const double margin = 3;
    const auto keepInside = [&](long long start, int dir, double perStep, int low, int high) {
        const double lowV = double(low) - margin;
        const double highV = double(high) + margin;
        if (perStep == 0.0) {
            if (double(start) < lowV || double(start) >= highV) {
                last = first;
            }
            return;
        }
        // Steps fit in a double with room to spare; clamped before they turn back into integers.
        double i0 = (lowV - double(start)) / (dir * perStep);
        double i1 = (highV - double(start)) / (dir * perStep);
        if (i0 > i1) {
            std::swap(i0, i1);
        }
        const double limit = double(n) + 4;
        first =
            std::max(first, static_cast<long long>(std::floor(std::clamp(i0, -4.0, limit))) - 2);
        last = std::min(last, static_cast<long long>(std::ceil(std::clamp(i1, -4.0, limit))) + 2);
    };
    if (n > 0) {
        keepInside(a.X, line.sx, double(line.adx) / double(n), clip.Left, clip.Right);
        keepInside(a.Y, line.sy, double(line.ady) / double(n), clip.Top, clip.Bottom);
    }
    first = std::clamp<long long>(first, 0, n);
    last = std::clamp<long long>(last, first, n);
    s.skip(first);
    if (line.adx == 0 || line.ady == 0 || line.adx == line.ady) {
        strokeStraight(a.X, a.Y, line.adx == 0 ? 0 : line.sx, line.ady == 0 ? 0 : line.sy, first,
                       last, s, clip);
    } else {
        for (long long i = first; i < last; ++i) {
            strokePixel(static_cast<int>(line.x(i)), static_cast<int>(line.y(i)), s, clip);
        }
    }
    s.skip(n - last);
}

void RasterCanvas::strokeRun(long long x, long long y, int dx, int dy, long long count, Stroke& s,
                             const TRect& clip) {
    if (count <= 0) {
        return;
    }
    if (s.width > 1) {
        wideLine(x, y, x + dx * (count - 1), y + dy * (count - 1), s, clip);
        return;
    }
    // Pixels of the run that can reach the clip rectangle; the rest only move the pattern on.
    const long long margin = 2;
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
    first = std::clamp<long long>(first, 0, count);
    last = std::clamp<long long>(last, first, count);
    s.skip(first);
    strokeStraight(x, y, dx, dy, first, last, s, clip);
    s.skip(count - last);
}

void RasterCanvas::LineTo(int x, int y) {
    const TPoint points[] = {PenPos, {x, y}};
    Polyline(points);
    PenPos = {x, y};
}

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
                // x = lo.X + (y - lo.Y) * (hi.X - lo.X) / (hi.Y - lo.Y), rounded up; the crossing
                // lies between the edge's ends, so it fits the int range again.
                const Wide den = Wide(hi.Y) - lo.Y;
                const Wide num = Wide(lo.X) * den + (Wide(y) - lo.Y) * (Wide(hi.X) - lo.X);
                Wide q = num / den;
                if (num % den != 0 && num > 0) {
                    ++q;
                }
                xs.push_back(static_cast<long long>(q));
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

} // namespace platform::gfx
