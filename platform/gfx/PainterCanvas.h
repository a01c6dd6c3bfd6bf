// The canvas over any Qt paint device (widgets, printers, images), for output that is not kept
// as pixels. It follows the same drawing rules as the raster canvas through an aliased painter;
// text sizes given at the font's resolution are scaled to the device's.
#pragma once

#include "platform/gfx/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <memory>

class QPaintDevice;

namespace platform::gfx {

class PainterCanvas : public TCanvas {
public:
    // Opens a painter of its own on the device for the canvas's lifetime.
    explicit PainterCanvas(QPaintDevice& device);
    // Draws through a painter that is already active (the caller keeps it).
    explicit PainterCanvas(QPainter& painter);
    ~PainterCanvas() override;

    void LineTo(int x, int y) override;
    void Polyline(std::span<const TPoint> points) override;
    void Polygon(std::span<const TPoint> points) override;
    using TCanvas::Rectangle;
    void Rectangle(int left, int top, int right, int bottom) override;
    void FillRect(const TRect& r) override;
    void FrameRect(const TRect& r) override;
    using TCanvas::Ellipse;
    void Ellipse(int left, int top, int right, int bottom) override;
    void RoundRect(int left, int top, int right, int bottom, int w, int h) override;
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    // Reads back only from image devices; CLR_INVALID elsewhere.
    TColor GetPixel(int x, int y) override;
    void SetPixel(int x, int y, TColor color) override;
    TSize TextExtent(std::string_view text) override;
    TTextMetric TextMetrics() override;
    void Draw(int x, int y, const TBitmap& picture) override;
    void StretchDraw(const TRect& dest, const TBitmap& picture) override;
    void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) override;
    void StretchDrawRows(const TRect& dest, const TPixelRows& rows) override;
    int PixelsPerInch() const override;
    TRect DeviceRect() const override;

    void DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                     const TRect* clip) override;

    QPainter& painter() { return *painter_; }

private:
    void prepare();
    QPen qpen() const;
    void usePenOnly();
    void useBrushOnly();
    const QFontMetrics& metrics();

    std::unique_ptr<QPainter> own_;
    QPainter* painter_;
    QPaintDevice* device_;
    TFont cachedFont_;
    bool fontValid_ = false;
    QFont qfont_;
    bool painterHasFont_ = false; // the painter's font is qfont_
    std::unique_ptr<QFontMetrics> metrics_;
};

} // namespace platform::gfx
