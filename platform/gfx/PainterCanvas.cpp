#include "platform/gfx/PainterCanvas.h"

#include "platform/gfx/Fonts.h"
#include "platform/gfx/QtImage.h"

#include <QImage>
#include <QPaintDevice>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace platform::gfx {

namespace {

QColor qcolor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QRect qrect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

// A rectangle given by its edges as reals, for rectangles wider than the int range.
QRectF qrectF(long long left, long long top, long long right, long long bottom) {
    return QRectF(double(left), double(top), double(right - left), double(bottom - top));
}

// Every dash pattern repeats after this many pixels.
constexpr long long kPatternPeriod = 24;

// The rectangle with each side that lies far outside `area` moved in to just beyond the pen's
// reach of it, by whole pattern periods so that the pattern on the visible sides stays where it
// was: what shows of the outline is unchanged, and its size fits the int range.
TRect pulledIn(const TRect& b, const TRect& area, int penWidth) {
    const long long m = static_cast<long long>(std::max(1, penWidth)) + 2 * kPatternPeriod;
    const auto in = [](long long side, long long limit) {
        // limit lies between side and the area; the side moves towards it by whole periods.
        const long long steps = (limit - side) / kPatternPeriod;
        return static_cast<int>(side + steps * kPatternPeriod);
    };
    TRect r = b;
    if (b.Left < area.Left - m) {
        r.Left = in(b.Left, area.Left - m);
    }
    if (b.Top < area.Top - m) {
        r.Top = in(b.Top, area.Top - m);
    }
    if (b.Right > area.Right + m) {
        r.Right = in(b.Right, area.Right + m);
    }
    if (b.Bottom > area.Bottom + m) {
        r.Bottom = in(b.Bottom, area.Bottom + m);
    }
    return r;
}

// Whether a picture's place reaches so far beyond the device that the painter's own scaling
// loses its precision.
bool farBeyond(const TRect& dest, const TRect& device) {
    constexpr long long kNear = 1 << 16;
    return dest.Left < device.Left - kNear || dest.Top < device.Top - kNear ||
           dest.Right > device.Right + kNear || dest.Bottom > device.Bottom + kNear;
}

// The visible part of `source`'s `sourceRect` stretched over `dest`, by the raster canvas's
// nearest-pixel rule; pixels from outside the source, and keyed ones, are left transparent.
QImage visiblePart(const TRect& visible, const TRect& dest, const TBitmap& source,
                   const TRect& sourceRect, bool keyed) {
    QImage out(visible.Width(), visible.Height(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    const long long dw = static_cast<long long>(dest.Right) - dest.Left;
    const long long dh = static_cast<long long>(dest.Bottom) - dest.Top;
    const long long sw = static_cast<long long>(sourceRect.Right) - sourceRect.Left;
    const long long sh = static_cast<long long>(sourceRect.Bottom) - sourceRect.Top;
    const std::uint32_t key = colorToArgb(source.TransparentColor()) & 0xFFFFFFu;
    for (int y = 0; y < out.height(); ++y) {
        const long long t = static_cast<long long>(visible.Top) + y - dest.Top;
        const long long sy = sourceRect.Top + ((2 * t + 1) * sh) / (2 * dh);
        if (sy < 0 || sy >= source.Height()) {
            continue;
        }
        const std::uint32_t* from = source.ScanLine(int(sy));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const long long u = static_cast<long long>(visible.Left) + x - dest.Left;
            const long long sx = sourceRect.Left + ((2 * u + 1) * sw) / (2 * dw);
            if (sx < 0 || sx >= source.Width()) {
                continue;
            }
            const std::uint32_t p = from[sx];
            if (!keyed || (p & 0xFFFFFFu) != key) {
                to[x] = p | 0xFF000000u;
            }
        }
    }
    return out;
}

bool fitsInt(long long v) {
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

} // namespace

PainterCanvas::PainterCanvas(QPaintDevice& device)
    : own_(std::make_unique<QPainter>(&device)), painter_(own_.get()), device_(&device) {}

PainterCanvas::PainterCanvas(QPainter& painter) : painter_(&painter), device_(painter.device()) {}

PainterCanvas::~PainterCanvas() = default;

int PainterCanvas::PixelsPerInch() const {
    return device_ ? device_->logicalDpiY() : 96;
}

TRect PainterCanvas::DeviceRect() const {
    return device_ ? TRect{0, 0, device_->width(), device_->height()} : TRect{};
}

void PainterCanvas::prepare() {
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, false);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (clip()) {
        // Nothing is drawn beyond the device: the clip is cut to it, so its size fits an int.
        painter_->setClipRect(qrect(IntersectRect(*clip(), DeviceRect())));
    } else {
        painter_->setClipping(false);
    }
    if (Brush.Style == TBrushStyle::bsSolid) {
        painter_->setBackgroundMode(Qt::OpaqueMode);
        painter_->setBackground(qcolor(Brush.Color));
    } else {
        painter_->setBackgroundMode(Qt::TransparentMode);
    }
}

QPen PainterCanvas::qpen() const {
    if (Pen.Style == TPenStyle::psClear) {
        return QPen(Qt::NoPen);
    }
    QPen pen(qcolor(Pen.Color));
    // The painter takes no wider pens; one this wide already covers any device.
    constexpr int kWidest = (1 << 15) - 1;
    const int width = std::clamp(Pen.Width, 1, kWidest);
    pen.setWidth(width);
    if (width == 1) {
        pen.setCapStyle(Qt::FlatCap); // a thin line leaves its end point out
        switch (Pen.Style) {
        case TPenStyle::psDash:
            pen.setDashPattern({18, 6});
            break;
        case TPenStyle::psDot:
            pen.setDashPattern({3, 3});
            break;
        case TPenStyle::psDashDot:
            pen.setDashPattern({9, 6, 3, 6});
            break;
        case TPenStyle::psDashDotDot:
            pen.setDashPattern({9, 3, 3, 3, 3, 3});
            break;
        default:
            break;
        }
    } else {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    return pen;
}

void PainterCanvas::usePenOnly() {
    painter_->setPen(qpen());
    painter_->setBrush(Qt::NoBrush);
}

void PainterCanvas::useBrushOnly() {
    painter_->setPen(Qt::NoPen);
    if (Brush.Style == TBrushStyle::bsSolid) {
        painter_->setBrush(qcolor(Brush.Color));
    } else {
        painter_->setBrush(Qt::NoBrush);
    }
}

void PainterCanvas::LineTo(int x, int y) {
    prepare();
    usePenOnly();
    if (PenPos.X != x || PenPos.Y != y) {
        painter_->drawLine(QPoint(PenPos.X, PenPos.Y), QPoint(x, y));
    }
    PenPos = {x, y};
}

void PainterCanvas::Polyline(std::span<const TPoint> points) {
    if (points.size() < 2) {
        return;
    }
    prepare();
    usePenOnly();
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (points[i - 1] == points[i]) {
            continue;
        }
        painter_->drawLine(QPoint(points[i - 1].X, points[i - 1].Y),
                           QPoint(points[i].X, points[i].Y));
    }
}

void PainterCanvas::Polygon(std::span<const TPoint> points) {
    if (points.empty()) {
        return;
    }
    prepare();
    if (Brush.Style == TBrushStyle::bsSolid) {
        useBrushOnly();
        // The painter samples pixel centres; the corner points of pixels are what count here.
        QPolygonF shifted;
        for (const TPoint& p : points) {
            shifted << QPointF(p.X - 0.5, p.Y - 0.5);
        }
        painter_->drawPolygon(shifted, Qt::OddEvenFill);
    }
    if (Pen.Style != TPenStyle::psClear) {
        usePenOnly();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % points.size()];
            if (a != b) {
                painter_->drawLine(QPoint(a.X, a.Y), QPoint(b.X, b.Y));
            }
        }
    }
}

void PainterCanvas::Rectangle(int left, int top, int right, int bottom) {
    const TRect b{std::min(left, right), std::min(top, bottom), std::max(left, right),
                  std::max(top, bottom)};
    if (b.IsEmpty()) {
        return;
    }
    prepare();
    const TRect device = DeviceRect();
    const QColor fill = qcolor(Brush.Color);
    if (Pen.Style == TPenStyle::psClear) {
        if (Brush.Style == TBrushStyle::bsSolid) {
            const TRect r = IntersectRect({b.Left, b.Top, b.Right - 1, b.Bottom - 1}, device);
            if (!r.IsEmpty()) {
                painter_->fillRect(qrect(r), fill);
            }
        }
        return;
    }
    const long long width = static_cast<long long>(b.Right) - b.Left;
    const long long height = static_cast<long long>(b.Bottom) - b.Top;
    if (Brush.Style == TBrushStyle::bsSolid && width > 2 && height > 2) {
        const TRect r = IntersectRect({b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1}, device);
        if (!r.IsEmpty()) {
            painter_->fillRect(qrect(r), fill);
        }
    }
    usePenOnly();
    if (width == 1 || height == 1) {
        QPen pen = qpen();
        pen.setCapStyle(Qt::SquareCap);
        painter_->setPen(pen);
        painter_->drawLine(QPoint(b.Left, b.Top), QPoint(b.Right - 1, b.Bottom - 1));
        return;
    }
    const TRect o = pulledIn(b, device, Pen.Width);
    const long long ow = static_cast<long long>(o.Right) - o.Left - 1;
    const long long oh = static_cast<long long>(o.Bottom) - o.Top - 1;
    if (fitsInt(ow) && fitsInt(oh)) {
        painter_->drawRect(QRect(o.Left, o.Top, int(ow), int(oh)));
    } else {
        painter_->drawRect(qrectF(o.Left, o.Top, o.Right - 1LL, o.Bottom - 1LL));
    }
}

void PainterCanvas::FillRect(const TRect& r) {
    if (Brush.Style != TBrushStyle::bsSolid || r.IsEmpty()) {
        return;
    }
    const TRect visible = IntersectRect(r, DeviceRect());
    if (visible.IsEmpty()) {
        return;
    }
    prepare();
    painter_->fillRect(qrect(visible), qcolor(Brush.Color));
}

void PainterCanvas::FrameRect(const TRect& r) {
    if (Brush.Style != TBrushStyle::bsSolid || r.IsEmpty()) {
        return;
    }
    prepare();
    const QColor c = qcolor(Brush.Color);
    const TRect device = DeviceRect();
    for (const TRect& side :
         {TRect{r.Left, r.Top, r.Right, r.Top + 1}, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom},
          TRect{r.Left, r.Top, r.Left + 1, r.Bottom},
          TRect{r.Right - 1, r.Top, r.Right, r.Bottom}}) {
        const TRect visible = IntersectRect(side, device);
        if (!visible.IsEmpty()) {
            painter_->fillRect(qrect(visible), c);
        }
    }
}

void PainterCanvas::Ellipse(int left, int top, int right, int bottom) {
    const TRect b{std::min(left, right), std::min(top, bottom), std::max(left, right),
                  std::max(top, bottom)};
    if (b.IsEmpty()) {
        return;
    }
    prepare();
    painter_->setPen(qpen());
    painter_->setBrush(Brush.Style == TBrushStyle::bsSolid ? QBrush(qcolor(Brush.Color))
                                                           : QBrush(Qt::NoBrush));
    painter_->drawEllipse(qrectF(b.Left, b.Top, b.Right - 1LL, b.Bottom - 1LL));
}

void PainterCanvas::RoundRect(int left, int top, int right, int bottom, int w, int h) {
    const TRect b{std::min(left, right), std::min(top, bottom), std::max(left, right),
                  std::max(top, bottom)};
    if (b.IsEmpty()) {
        return;
    }
    prepare();
    painter_->setPen(qpen());
    painter_->setBrush(Brush.Style == TBrushStyle::bsSolid ? QBrush(qcolor(Brush.Color))
                                                           : QBrush(Qt::NoBrush));
    painter_->drawRoundedRect(qrectF(b.Left, b.Top, b.Right - 1LL, b.Bottom - 1LL), w / 2.0,
                              h / 2.0);
}

void PainterCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const TRect b{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    if (b.IsEmpty()) {
        return;
    }
    const double cx = (double(b.Left) + b.Right - 1) / 2.0;
    const double cy = (double(b.Top) + b.Bottom - 1) / 2.0;
    auto angle = [&](int x, int y) {
        return std::atan2(cy - y, x - cx) * 180.0 / std::numbers::pi;
    };
    const double start = angle(x3, y3);
    double span = angle(x4, y4) - start;
    while (span <= 0) {
        span += 360.0;
    }
    prepare();
    painter_->setPen(qpen());
    painter_->setBrush(Brush.Style == TBrushStyle::bsSolid ? QBrush(qcolor(Brush.Color))
                                                           : QBrush(Qt::NoBrush));
    painter_->drawPie(qrectF(b.Left, b.Top, b.Right - 1LL, b.Bottom - 1LL),
                      static_cast<int>(std::nearbyint(start * 16)),
                      static_cast<int>(std::nearbyint(span * 16)));
}

TColor PainterCanvas::GetPixel(int x, int y) {
    auto* image = dynamic_cast<QImage*>(device_);
    if (!image || !ClipRect().Contains(x, y)) {
        return CLR_INVALID;
    }
    const QRgb p = image->pixel(x, y);
    return RGB(std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)));
}

void PainterCanvas::SetPixel(int x, int y, TColor color) {
    prepare();
    painter_->fillRect(QRect(x, y, 1, 1), qcolor(color));
}

const QFontMetrics& PainterCanvas::metrics() {
    if (!fontValid_ || !(cachedFont_ == Font)) {
        cachedFont_ = Font;
        qfont_ = resolveFont(Font, PixelsPerInch());
        painterHasFont_ = false;
        metrics_ = device_ ? std::make_unique<QFontMetrics>(qfont_, device_)
                           : std::make_unique<QFontMetrics>(qfont_);
        fontValid_ = true;
    }
    return *metrics_;
}

TSize PainterCanvas::TextExtent(std::string_view text) {
    const QFontMetrics& m = metrics();
    return {m.horizontalAdvance(fromCp1251(text)), m.ascent() + m.descent()};
}

TTextMetric PainterCanvas::TextMetrics() {
    const QFontMetrics& m = metrics();
    TTextMetric tm;
    tm.Ascent = m.ascent();
    tm.Descent = m.descent();
    tm.Height = tm.Ascent + tm.Descent;
    tm.ExternalLeading = std::max(0, m.leading());
    tm.AveCharWidth = m.averageCharWidth();
    return tm;
}

void PainterCanvas::DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                                const TRect* clipRect) {
    const QFontMetrics& m = metrics();
    const QString s = fromCp1251(text);
    prepare();
    const TRect device = DeviceRect();
    if (clipRect) {
        painter_->setClipRect(qrect(IntersectRect(*clipRect, device)),
                              clip() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    // The cell may reach beyond the int range near its edges: it is cut to the device first.
    const auto fill = [&](long long left, long long top, long long width, long long height,
                          const QColor& color) {
        const TRect r{int(std::clamp<long long>(left, device.Left, device.Right)),
                      int(std::clamp<long long>(top, device.Top, device.Bottom)),
                      int(std::clamp<long long>(left + width, device.Left, device.Right)),
                      int(std::clamp<long long>(top + height, device.Top, device.Bottom))};
        if (!r.IsEmpty()) {
            painter_->fillRect(qrect(r), color);
        }
    };
    if (Brush.Style == TBrushStyle::bsSolid) {
        // Measured only for the cell: shaping a run costs as much as drawing it.
        const int w = m.horizontalAdvance(s);
        const int h = m.ascent() + m.descent();
        fill(x, y, w, h, qcolor(Brush.Color));
    }
    painter_->setBackgroundMode(Qt::TransparentMode);
    // The painter keeps the font it was given, and the font engine it found for it, from run
    // to run: nothing else here sets the painter's font.
    if (!painterHasFont_) {
        painter_->setFont(qfont_);
        painterHasFont_ = true;
    }
    painter_->setPen(qcolor(Font.Color));
    painter_->drawText(QPointF(x, double(y) + m.ascent()), s);
    if (underline != std::string::npos && qsizetype(underline) < s.size()) {
        const long long ux =
            static_cast<long long>(x) + m.horizontalAdvance(s.left(qsizetype(underline)));
        const int uw = m.horizontalAdvance(s.at(qsizetype(underline)));
        const long long uy = static_cast<long long>(y) + m.ascent() + std::max(1, m.underlinePos());
        fill(ux, uy, std::max(1, uw), std::max(1, m.lineWidth()), qcolor(Font.Color));
    }
    if (clipRect) {
        // The run's own clip ends with it.
        if (clip()) {
            painter_->setClipRect(qrect(IntersectRect(*clip(), device)));
        } else {
            painter_->setClipping(false);
        }
    }
}

void PainterCanvas::Draw(int x, int y, const TBitmap& picture) {
    if (picture.Empty()) {
        return;
    }
    prepare();
    painter_->drawImage(QPointF(x, y), keyedImageFromBitmap(picture));
}

void PainterCanvas::StretchDraw(const TRect& dest, const TBitmap& picture) {
    if (picture.Empty() || dest.IsEmpty()) {
        return;
    }
    prepare();
    const TRect device = DeviceRect();
    if (farBeyond(dest, device)) {
        const TRect visible = IntersectRect(dest, device);
        if (!visible.IsEmpty()) {
            painter_->drawImage(QPoint(visible.Left, visible.Top),
                                visiblePart(visible, dest, picture,
                                            {0, 0, picture.Width(), picture.Height()},
                                            picture.Transparent));
        }
        return;
    }
    painter_->drawImage(qrect(dest), keyedImageFromBitmap(picture));
}

void PainterCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) {
    if (dest.IsEmpty() || sourceRect.IsEmpty() || source.Empty()) {
        return;
    }
    prepare();
    const TRect device = DeviceRect();
    if (farBeyond(dest, device) || farBeyond(sourceRect, {0, 0, source.Width(), source.Height()})) {
        const TRect visible = IntersectRect(dest, device);
        if (!visible.IsEmpty()) {
            painter_->drawImage(QPoint(visible.Left, visible.Top),
                                visiblePart(visible, dest, source, sourceRect, false));
        }
        return;
    }
    painter_->drawImage(qrect(dest), imageFromBitmap(source), qrect(sourceRect));
}

void PainterCanvas::StretchDrawRows(const TRect& dest, const TPixelRows& rows) {
    if (rows.Empty() || dest.IsEmpty()) {
        return;
    }
    prepare();
    if (!rows.Keyed && ShrinksRows(rows, dest) && painter_->worldTransform().isIdentity()) {
        // Only the pixels shown are made, each the mean of what it covers, and drawn one to
        // one: the painter's own scaling would drop lines thinner than its step.
        const TRect area = IntersectRect(dest, ClipRect());
        if (area.IsEmpty()) {
            return;
        }
        // Opaque pixels drawn plainly onto an image of 32-bit words are those words: they are
        // made in place there (an image shared with a copy would be copied instead).
        auto* image = dynamic_cast<QImage*>(device_);
        if (image != nullptr && image->isDetached() && image->devicePixelRatio() == 1.0 &&
            painter_->opacity() == 1.0 &&
            painter_->compositionMode() == QPainter::CompositionMode_SourceOver &&
            (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32 ||
             image->format() == QImage::Format_ARGB32_Premultiplied)) {
            const qsizetype step = image->bytesPerLine() / 4;
            auto* at =
                reinterpret_cast<std::uint32_t*>(image->bits()) + area.Top * step + area.Left;
            ScaleRows(rows, dest, area, at, step);
            return;
        }
        QImage shown(area.Width(), area.Height(), QImage::Format_RGB32);
        ScaleRows(rows, dest, area, reinterpret_cast<std::uint32_t*>(shown.bits()),
                  shown.bytesPerLine() / 4);
        painter_->drawImage(QPoint(area.Left, area.Top), shown);
        return;
    }
    // Enlarged (a printer) the painter scales the picture as StretchDraw has it scaled.
    QImage image(rows.Width, rows.Height,
                 rows.Keyed ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const std::uint32_t key = colorToArgb(rows.Key) & 0xFFFFFFu;
    for (int y = 0; y < rows.Height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        rows.ReadRow(y, 0, rows.Width, line);
        if (rows.Keyed) {
            for (int x = 0; x < rows.Width; ++x) {
                line[x] = (line[x] & 0xFFFFFFu) == key ? 0u : line[x];
            }
        }
    }
    if ((long long)dest.Right - dest.Left == rows.Width &&
        (long long)dest.Bottom - dest.Top == rows.Height) {
        painter_->drawImage(QPoint(dest.Left, dest.Top), image);
    } else {
        painter_->drawImage(qrect(dest), image);
    }
}

} // namespace platform::gfx
