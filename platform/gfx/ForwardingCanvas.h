// A canvas whose drawing happens on another canvas obtained only when something is drawn (the
// surface canvas takes its drawing context this way). Pen, brush, font, text alignment, pen
// position and clipping are handed over with every call.
#pragma once

#include "platform/gfx/Canvas.h"

namespace platform::gfx {

class ForwardingCanvas : public TCanvas {
public:
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
    TColor GetPixel(int x, int y) override;
    void SetPixel(int x, int y, TColor color) override;
    TSize TextExtent(std::string_view text) override;
    TTextMetric TextMetrics() override;
    void Draw(int x, int y, const TBitmap& picture) override;
    void StretchDraw(const TRect& dest, const TBitmap& picture) override;
    void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) override;
    void DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                     const TRect* clip) override;

protected:
    // The canvas that really draws; may throw when none can be had.
    virtual TCanvas& target() = 0;

private:
    TCanvas& synced();
};

} // namespace platform::gfx
