// The raster canvas's ellipses, rounded rectangles and pies: shapes given row by row, outlined
// by their pixels within the pen width of the outside. The work done is bounded by the part of a
// shape that reaches the clip rectangle, not by its size.
#include "platform/gfx/RasterCanvas.h"
#include "platform/gfx/RasterMath.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace platform::gfx {

using namespace raster;

namespace {

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
    cw = static_cast<int>(std::clamp<long long>(cw, 0, static_cast<long long>(b.Right) - b.Left));
    ch = static_cast<int>(std::clamp<long long>(ch, 0, static_cast<long long>(b.Bottom) - b.Top));
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

// Inside runs [first, second) of one row of a shape.
using Runs = std::vector<std::pair<long long, long long>>;

// The run of a row symmetric about the box centre and shrinking outwards (ellipses, rounded
// rectangles), found by halving from the centre pixel, which is inside on every row of the box.
template <typename Inside>
void symmetricRun(const TRect& b, long long y, Inside inside, Runs& out) {
    out.clear();
    if (y < b.Top || y >= b.Bottom) {
        return;
    }
    const long long c = static_cast<long long>(b.Left) + b.Right - 1;
    const long long mid = ceilDiv(c, 2);
    const int row = static_cast<int>(y);
    const long long right =
        firstTrue(mid, static_cast<long long>(b.Right) - 1,
                  [&](long long x) { return !inside(static_cast<int>(x), row); }) -
        1;
    out.push_back({c - right, right + 1});
}

} // namespace

// A shape given by the inside runs of each row (`rows(y, runs)`). Outline pixels are the shape's
// pixels within the pen width (counted in steps along rows and columns) of a pixel outside it:
// that distance is the least over nearby rows of the rows apart plus the distance along that row
// to its nearest outside pixel, followed down and up the visible columns. Without a pen the
// smaller shape (`fillRows`) is filled.
template <typename Rows>
void RasterCanvas::drawRegion(const TRect& box, const TRect& fillBox, Rows rows, Rows fillRows) {
    const TRect clip = ClipRect();
    const bool solid = Brush.Style == TBrushStyle::bsSolid;
    const std::uint32_t fill = colorToArgb(Brush.Color);
    Runs runs;
    if (Pen.Style == TPenStyle::psClear) {
        if (!solid) {
            return;
        }
        const TRect area = IntersectRect(fillBox, clip);
        for (int y = area.Top; y < area.Bottom; ++y) {
            fillRows(y, runs);
            for (const auto& [l, r] : runs) {
                const long long x0 = std::max<long long>(l, area.Left);
                const long long x1 = std::min<long long>(r, area.Right);
                if (x0 < x1) {
                    fillSpan(y, int(x0), int(x1), fill, clip);
                }
            }
        }
        return;
    }
    const TRect area = IntersectRect(box, clip);
    if (area.IsEmpty()) {
        return;
    }
    const long long w = std::max(1, Pen.Width);
    const long long reach = std::min(w, kExactReach);
    const std::uint32_t pen = colorToArgb(Pen.Color);
    const std::size_t width = std::size_t(area.Width());
    const long long domainTop = std::max<long long>(box.Top, area.Top - reach);
    const long long domainBottom = std::min<long long>(box.Bottom, area.Bottom + reach);
    // Row distances to the nearest outside pixel for the visible columns; 0 outside the shape.
    std::vector<long long> along(width);
    const auto rowDistances = [&](long long y) {
        rows(y, runs);
        std::fill(along.begin(), along.end(), 0);
        for (const auto& [l, r] : runs) {
            const long long x0 = std::max<long long>(l, area.Left);
            const long long x1 = std::min<long long>(r, area.Right);
            for (long long x = x0; x < x1; ++x) {
                along[std::size_t(x - area.Left)] = std::min(x - l + 1, r - x);
            }
        }
    };
    // Upwards first, kept for the visible rows; rows beyond the reach count by the box's edge.
    constexpr std::uint32_t kFar = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> below(width * std::size_t(area.Height()));
    std::vector<long long> run(width, static_cast<long long>(box.Bottom) - domainBottom);
    for (long long y = domainBottom - 1; y >= area.Top; --y) {
        rowDistances(y);
        for (std::size_t i = 0; i < width; ++i) {
            run[i] = std::min(along[i], run[i] + 1);
        }
        if (y < area.Bottom) {
            std::uint32_t* out = below.data() + std::size_t(y - area.Top) * width;
            for (std::size_t i = 0; i < width; ++i) {
                out[i] = static_cast<std::uint32_t>(std::min<long long>(run[i], kFar));
            }
        }
    }
    std::fill(run.begin(), run.end(), domainTop - box.Top);
    for (long long y = domainTop; y < area.Bottom; ++y) {
        rowDistances(y);
        for (std::size_t i = 0; i < width; ++i) {
            run[i] = std::min(along[i], run[i] + 1);
        }
        if (y < area.Top) {
            continue;
        }
        // Runs of outline, inside and outside pixels, each laid down at once.
        const std::uint32_t* up = below.data() + std::size_t(y - area.Top) * width;
        const auto kindOf = [&](std::size_t i) {
            if (along[i] == 0) {
                return 0; // outside the shape
            }
            return std::min<long long>(run[i], up[i]) <= w ? 1 : (solid ? 2 : 0);
        };
        std::size_t start = 0;
        int kind = width > 0 ? kindOf(0) : 0;
        for (std::size_t i = 1; i <= width; ++i) {
            const int next = i < width ? kindOf(i) : -1;
            if (next == kind) {
                continue;
            }
            if (kind != 0) {
                fillSpan(int(y), area.Left + int(start), area.Left + int(i), kind == 1 ? pen : fill,
                         clip);
            }
            start = i;
            kind = next;
        }
    }
}

void RasterCanvas::Ellipse(int left, int top, int right, int bottom) {
    const TRect b = normalized(left, top, right, bottom);
    if (b.IsEmpty()) {
        return;
    }
    const TRect small{b.Left, b.Top, b.Right - 1, b.Bottom - 1};
    const auto rowsOf = [](const TRect& box) {
        return [box](long long y, Runs& out) {
            symmetricRun(
                box, y, [&](int x, int yy) { return insideEllipse(box, x, yy); }, out);
        };
    };
    drawRegion(b, small, rowsOf(b), rowsOf(small));
}

void RasterCanvas::RoundRect(int left, int top, int right, int bottom, int w, int h) {
    const TRect b = normalized(left, top, right, bottom);
    if (b.IsEmpty()) {
        return;
    }
    const TRect small{b.Left, b.Top, b.Right - 1, b.Bottom - 1};
    const auto rowsOf = [w, h](const TRect& box) {
        return [box, w, h](long long y, Runs& out) {
            symmetricRun(
                box, y, [&](int x, int yy) { return insideRoundRect(box, w, h, x, yy); }, out);
        };
    };
    drawRegion(b, small, rowsOf(b), rowsOf(small));
}

void RasterCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const TRect b = normalized(x1, y1, x2, y2);
    if (b.IsEmpty()) {
        return;
    }
    struct Sector {
        TRect box;
        Sweep sweep;
        Wide cx, cy;
    };
    const auto sectorOf = [&](const TRect& box) {
        Sector out{box, {}, Wide(box.Left) + box.Right - 1, Wide(box.Top) + box.Bottom - 1};
        Sweep& s = out.sweep;
        s.sx = 2 * Wide(x3) - out.cx;
        s.sy = out.cy - 2 * Wide(y3);
        s.ex = 2 * Wide(x4) - out.cx;
        s.ey = out.cy - 2 * Wide(y4);
        const Wide c = Sweep::cross(s.sx, s.sy, s.ex, s.ey);
        const Wide dot = s.sx * s.ex + s.sy * s.ey;
        s.full = (c == 0 && dot > 0) || (s.sx == 0 && s.sy == 0) || (s.ex == 0 && s.ey == 0);
        s.small = c > 0;
        if (c == 0 && dot < 0) {
            s.small = false; // exactly a half turn: the half plane left of the start ray
            s.ex = -s.sx;
            s.ey = -s.sy;
        }
        return out;
    };
    // The sector is tested pixel by pixel within the ellipse's run, as far around the visible
    // columns as a pen can reach; beyond that the run counts as going on to the ellipse's edge.
    const TRect clip = ClipRect();
    const long long reach = std::min<long long>(std::max(1, Pen.Width), kExactReach) + 1;
    const long long windowLeft = clip.Left - reach;
    const long long windowRight = clip.Right + reach;
    const auto rowsOf = [&](const Sector& sector) {
        return [&sector, windowLeft, windowRight](long long y, Runs& out) {
            const TRect& box = sector.box;
            symmetricRun(
                box, y, [&](int x, int yy) { return insideEllipse(box, x, yy); }, out);
            if (out.empty()) {
                return;
            }
            const auto [el, er] = out.front();
            out.clear();
            const long long from = std::max(el, windowLeft);
            const long long to = std::min(er, windowRight);
            const Wide py = sector.cy - 2 * Wide(y);
            long long start = -1;
            bool open = false;
            for (long long x = from; x <= to; ++x) {
                const bool in = x < to && sector.sweep.contains(2 * Wide(x) - sector.cx, py);
                if (in && !open) {
                    start = x == from ? el : x;
                    open = true;
                } else if (!in && open) {
                    out.push_back({start, x == to ? er : x});
                    open = false;
                }
            }
        };
    };
    const TRect small{b.Left, b.Top, b.Right - 1, b.Bottom - 1};
    const Sector big = sectorOf(b);
    const Sector little = sectorOf(small);
    drawRegion(b, small, rowsOf(big), rowsOf(little));
}

} // namespace platform::gfx
