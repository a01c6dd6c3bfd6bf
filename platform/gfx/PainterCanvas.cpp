#include "platform/gfx/PainterCanvas.h"

#include "platform/gfx/Fonts.h"
#include "platform/gfx/QtImage.h"

#include <QImage>
#include <QPaintDevice>
#include <QPolygon>

#include <algorithm>
#include <cmath>
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
        painter_->setClipRect(qrect(*clip()));
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
    const int width = std::max(1, Pen.Width);
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
    if (Pen.Style == TPenStyle::psClear) {
        if (Brush.Style == TBrushStyle::bsSolid) {
            painter_->fillRect(QRect(b.Left, b.Top, b.Width() - 1, b.Height() - 1),
                               qcolor(Brush.Color));
        }
        return;
    }
    if (Brush.Style == TBrushStyle::bsSolid && b.Width() > 2 && b.Height() > 2) {
        painter_->fillRect(QRect(b.Left + 1, b.Top + 1, b.Width() - 2, b.Height() - 2),
                           qcolor(Brush.Color));
    }
    usePenOnly();
    if (b.Width() == 1 || b.Height() == 1) {
        QPen pen = qpen();
        pen.setCapStyle(Qt::SquareCap);
        painter_->setPen(pen);
        painter_->drawLine(QPoint(b.Left, b.Top), QPoint(b.Right - 1, b.Bottom - 1));
        return;
    }
    painter_->drawRect(QRect(b.Left, b.Top, b.Width() - 1, b.Height() - 1));
}

void PainterCanvas::FillRect(const TRect& r) {
    if (Brush.Style != TBrushStyle::bsSolid || r.IsEmpty()) {
        return;
    }
    prepare();
    painter_->fillRect(qrect(r), qcolor(Brush.Color));
}

void PainterCanvas::FrameRect(const TRect& r) {
    if (Brush.Style != TBrushStyle::bsSolid || r.IsEmpty()) {
        return;
    }
    prepare();
    const QColor c = qcolor(Brush.Color);
    painter_->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    painter_->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    painter_->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    painter_->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
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
    painter_->drawEllipse(QRect(b.Left, b.Top, b.Width() - 1, b.Height() - 1));
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
    painter_->drawRoundedRect(QRectF(b.Left, b.Top, b.Width() - 1, b.Height() - 1), w / 2.0,
                              h / 2.0);
}

void PainterCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const TRect b{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    if (b.IsEmpty()) {
        return;
    }
    const double cx = (b.Left + b.Right - 1) / 2.0;
    const double cy = (b.Top + b.Bottom - 1) / 2.0;
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
    painter_->drawPie(QRect(b.Left, b.Top, b.Width() - 1, b.Height() - 1),
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
    painter_->save();
    if (clipRect) {
        painter_->setClipRect(qrect(*clipRect), clip() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    if (Brush.Style == TBrushStyle::bsSolid) {
        // Measured only for the cell: shaping a run costs as much as drawing it.
        const int w = m.horizontalAdvance(s);
        const int h = m.ascent() + m.descent();
        painter_->fillRect(QRect(x, y, w, h), qcolor(Brush.Color));
    }
    painter_->setBackgroundMode(Qt::TransparentMode);
    painter_->setFont(qfont_);
    painter_->setPen(qcolor(Font.Color));
    painter_->drawText(QPoint(x, y + m.ascent()), s);
    if (underline != std::string::npos && qsizetype(underline) < s.size()) {
        const int ux = x + m.horizontalAdvance(s.left(qsizetype(underline)));
        const int uw = m.horizontalAdvance(s.at(qsizetype(underline)));
        const int uy = y + m.ascent() + std::max(1, m.underlinePos());
        painter_->fillRect(QRect(ux, uy, std::max(1, uw), std::max(1, m.lineWidth())),
                           qcolor(Font.Color));
    }
    painter_->restore();
}

void PainterCanvas::Draw(int x, int y, const TBitmap& picture) {
    if (picture.Empty()) {
        return;
    }
    prepare();
    painter_->drawImage(QPoint(x, y), keyedImageFromBitmap(picture));
}

void PainterCanvas::StretchDraw(const TRect& dest, const TBitmap& picture) {
    if (picture.Empty() || dest.IsEmpty()) {
        return;
    }
    prepare();
    painter_->drawImage(qrect(dest), keyedImageFromBitmap(picture));
}

void PainterCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) {
    if (dest.IsEmpty() || sourceRect.IsEmpty() || source.Empty()) {
        return;
    }
    prepare();
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
