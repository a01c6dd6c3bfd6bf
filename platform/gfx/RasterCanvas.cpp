// The raster canvas's pixels, texts and pictures; its lines and shapes are in RasterShapes.cpp.
#include "platform/gfx/RasterCanvas.h"

#include "platform/gfx/Fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace platform::gfx {

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
    // The cell and the mask (with room for overhangs such as italics) may reach far outside the
    // picture: only their visible part is worked on.
    const long long left = x;
    const long long top = y;
    if (Brush.Style == TBrushStyle::bsSolid) {
        const std::uint32_t bg = colorToArgb(Brush.Color);
        const long long x0 = std::max<long long>(left, clip.Left);
        const long long x1 = std::min<long long>(left + w, clip.Right);
        for (long long yy = std::max<long long>(top, clip.Top);
             yy < std::min<long long>(top + h, clip.Bottom); ++yy) {
            if (x0 < x1) {
                fillSpan(int(yy), int(x0), int(x1), bg, clip);
            }
        }
    }
    if (s.isEmpty() || clip.IsEmpty()) {
        return;
    }
    // Glyphs are drawn into a mask, then set in the font colour wherever the mask is covered.
    const int margin = h;
    const long long maskLeft = std::max<long long>(left - margin, clip.Left);
    const long long maskRight = std::min<long long>(left + w + margin, clip.Right);
    const long long maskTop = std::max<long long>(top, clip.Top);
    const long long maskBottom = std::min<long long>(top + h, clip.Bottom);
    if (maskLeft >= maskRight || maskTop >= maskBottom) {
        return;
    }
    // Where the text starts in the mask; the offsets are at most the text's own size.
    const int originX = int(left - maskLeft);
    const int originY = int(top - maskTop);
    QImage mask(int(maskRight - maskLeft), int(maskBottom - maskTop),
                QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(c.qfont);
        p.setPen(Qt::white);
        p.drawText(QPoint(originX, originY + c.tm.Ascent), s);
        if (underline != std::string::npos && qsizetype(underline) < s.size()) {
            const int ux = originX + c.metrics->horizontalAdvance(s.left(qsizetype(underline)));
            const int uw = c.metrics->horizontalAdvance(s.at(qsizetype(underline)));
            const int uy = c.tm.Ascent + std::max(1, c.metrics->underlinePos());
            p.fillRect(QRect(ux, originY + std::min(uy, h - 1), std::max(1, uw), 1), Qt::white);
        }
    }
    const std::uint32_t ink = colorToArgb(Font.Color);
    for (int my = 0; my < mask.height(); ++my) {
        const int ty = int(maskTop) + my;
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(my));
        for (int mx = 0; mx < mask.width(); ++mx) {
            if (qAlpha(line[mx]) >= 128) {
                plot(int(maskLeft) + mx, ty, ink, clip);
            }
        }
    }
}

namespace {

// The part of a w x h picture placed at (x, y) that falls in the clip rectangle, in the
// picture's coordinates: [left, right) x [top, bottom); empty when right <= left.
struct Placement {
    long long left = 0, top = 0, right = 0, bottom = 0;
};

Placement place(long long x, long long y, long long w, long long h, const TRect& clip) {
    return {std::max<long long>(0, clip.Left - x), std::max<long long>(0, clip.Top - y),
            std::min<long long>(w, clip.Right - x), std::min<long long>(h, clip.Bottom - y)};
}

// The source index of each of `count` destination pixels starting `from` pixels into a
// destination `dest` pixels long showing `size` source pixels: the nearest one.
std::vector<int> nearestIndices(long long from, long long count, long long dest, long long size) {
    std::vector<int> out(std::size_t(std::max<long long>(count, 0)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = int(((2 * (from + (long long)i) + 1) * size) / (2 * dest));
    }
    return out;
}

// One row of pixels onto another: colour-keyed pixels left out.
void copyRow(std::uint32_t* to, const std::uint32_t* from, std::size_t count, bool keyed,
             std::uint32_t key) {
    if (!keyed) {
        for (std::size_t i = 0; i < count; ++i) {
            to[i] = from[i] | 0xFF000000u;
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = from[i];
        to[i] = (p & 0xFFFFFFu) == key ? to[i] : (p | 0xFF000000u);
    }
}

} // namespace

void RasterCanvas::setRow(int x, int y, const std::uint32_t* from, std::size_t count, bool keyed,
                          std::uint32_t key) {
    if (std::uint32_t* row = surface_.Row(y)) {
        copyRow(row + x, from, count, keyed, key);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!keyed || (from[i] & 0xFFFFFFu) != key) {
            surface_.SetArgb(x + int(i), y, from[i]);
        }
    }
}

void RasterCanvas::Draw(int x, int y, const TBitmap& picture) {
    if (picture.Empty()) {
        return;
    }
    const Placement part = place(x, y, picture.Width(), picture.Height(), ClipRect());
    if (part.left >= part.right || part.top >= part.bottom) {
        return;
    }
    const bool keyed = picture.Transparent;
    const std::uint32_t key = colorToArgb(picture.TransparentColor()) & 0xFFFFFFu;
    const std::size_t count = std::size_t(part.right - part.left);
    for (long long py = part.top; py < part.bottom; ++py) {
        const std::uint32_t* src = picture.ScanLine(int(py)) + part.left;
        const int ty = int(y + py);
        const int tx = int(x + part.left);
        setRow(tx, ty, src, count, keyed, key);
    }
}

void RasterCanvas::StretchDraw(const TRect& dest, const TBitmap& picture) {
    if (picture.Empty() || dest.IsEmpty()) {
        return;
    }
    const TRect area = IntersectRect(dest, ClipRect());
    if (area.IsEmpty()) {
        return;
    }
    const bool keyed = picture.Transparent;
    const std::uint32_t key = colorToArgb(picture.TransparentColor()) & 0xFFFFFFu;
    const long long dw = static_cast<long long>(dest.Right) - dest.Left;
    const long long dh = static_cast<long long>(dest.Bottom) - dest.Top;
    const std::vector<int> sxs = nearestIndices(static_cast<long long>(area.Left) - dest.Left,
                                                area.Width(), dw, picture.Width());
    const std::vector<int> sys = nearestIndices(static_cast<long long>(area.Top) - dest.Top,
                                                area.Height(), dh, picture.Height());
    std::vector<std::uint32_t> line(sxs.size());
    for (int ty = area.Top; ty < area.Bottom; ++ty) {
        const std::uint32_t* src = picture.ScanLine(sys[std::size_t(ty - area.Top)]);
        for (std::size_t i = 0; i < sxs.size(); ++i) {
            line[i] = src[sxs[i]];
        }
        setRow(area.Left, ty, line.data(), line.size(), keyed, key);
    }
}

void RasterCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) {
    if (dest.IsEmpty() || sourceRect.IsEmpty() || source.Empty()) {
        return;
    }
    const TRect area = IntersectRect(dest, ClipRect());
    if (area.IsEmpty()) {
        return;
    }
    const long long dw = static_cast<long long>(dest.Right) - dest.Left;
    const long long dh = static_cast<long long>(dest.Bottom) - dest.Top;
    const long long sw = static_cast<long long>(sourceRect.Right) - sourceRect.Left;
    const long long sh = static_cast<long long>(sourceRect.Bottom) - sourceRect.Top;
    // Source columns and rows of the visible pixels; they grow with the destination's, so the
    // ones that fall inside the source are one run of each.
    std::vector<long long> sxs(std::size_t(area.Width()));
    std::vector<long long> sys(std::size_t(area.Height()));
    for (std::size_t i = 0; i < sxs.size(); ++i) {
        const long long t = static_cast<long long>(area.Left) + (long long)i - dest.Left;
        sxs[i] = sourceRect.Left + ((2 * t + 1) * sw) / (2 * dw);
    }
    for (std::size_t i = 0; i < sys.size(); ++i) {
        const long long t = static_cast<long long>(area.Top) + (long long)i - dest.Top;
        sys[i] = sourceRect.Top + ((2 * t + 1) * sh) / (2 * dh);
    }
    const auto inside = [](const std::vector<long long>& v, long long size) {
        const auto first = std::find_if(v.begin(), v.end(), [&](long long s) { return s >= 0; });
        const auto last = std::find_if(first, v.end(), [&](long long s) { return s >= size; });
        return std::pair{std::size_t(first - v.begin()), std::size_t(last - v.begin())};
    };
    const auto [c0, c1] = inside(sxs, source.Width());
    const auto [r0, r1] = inside(sys, source.Height());
    if (c0 >= c1 || r0 >= r1) {
        return;
    }
    // Read everything first: source and destination may be the same bitmap.
    const std::size_t width = c1 - c0;
    std::vector<std::uint32_t> block(width * (r1 - r0));
    for (std::size_t r = r0; r < r1; ++r) {
        const std::uint32_t* src = source.ScanLine(int(sys[r]));
        std::uint32_t* out = block.data() + (r - r0) * width;
        for (std::size_t i = 0; i < width; ++i) {
            out[i] = src[sxs[c0 + i]];
        }
    }
    for (std::size_t r = r0; r < r1; ++r) {
        const int ty = area.Top + int(r);
        const int tx = area.Left + int(c0);
        const std::uint32_t* from = block.data() + (r - r0) * width;
        setRow(tx, ty, from, width, false, 0);
    }
}

} // namespace platform::gfx
