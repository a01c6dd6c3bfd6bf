// The canvas that draws on pixels in memory with integer rasterisation of its own, so a picture
// comes out identical on every machine; only glyph shapes come from the font engine, drawn
// without antialiasing.
#pragma once

#include "platform/gfx/Canvas.h"

#include <memory>

namespace platform::gfx {

class RasterCanvas : public TCanvas {
public:
    // The surface must outlive the canvas.
    explicit RasterCanvas(RasterSurface& surface);
    ~RasterCanvas() override;

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
    void StretchDrawRows(const TRect& dest, const TPixelRows& rows) override;
    TRect DeviceRect() const override;
    void DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                     const TRect* clip) override;

private:
    struct Stroke;
    struct FontCache;
    template <typename Rows>
    void drawRegion(const TRect& box, const TRect& fillBox, Rows rows, Rows fillRows);
    void plot(int x, int y, std::uint32_t argb, const TRect& clip);
    void fillSpan(int y, int x0, int x1, std::uint32_t argb, const TRect& clip);
    // `count` pixels from (x, y) on, taken from `from` but for those of colour `key` when keyed.
    void setRow(int x, int y, const std::uint32_t* from, std::size_t count, bool keyed,
                std::uint32_t key);
    // Pixels y0 to y1 - 1 of column x.
    void fillColumn(int x, int y0, int y1, std::uint32_t argb, const TRect& clip);
    // Pixels `first` to `last` - 1 of the straight run from (x, y) stepping (dx, dy), each of them
    // -1, 0 or 1, in the stroke's pattern.
    void strokeStraight(long long x, long long y, int dx, int dy, long long first, long long last,
                        Stroke& s, const TRect& clip);
    void strokePixel(int x, int y, Stroke& s, const TRect& clip);
    void strokeSegment(TPoint a, TPoint b, Stroke& s, const TRect& clip);
    // `count` pixels from (x, y), stepping (dx, dy) with each of them -1, 0 or 1.
    void strokeRun(long long x, long long y, int dx, int dy, long long count, Stroke& s,
                   const TRect& clip);
    // A pen wider than a pixel centred on every point of the line from a to b, both included.
    void wideLine(long long ax, long long ay, long long bx, long long by, const Stroke& s,
                  const TRect& clip);
    FontCache& fontCache();

    RasterSurface& surface_;
    std::unique_ptr<FontCache> fontCache_;
};

} // namespace platform::gfx
