// The canvas that records a report page as an enhanced metafile instead of drawing it. The page
// is made for the fixed 96-dpi reference device, so a page comes out byte for byte the same on
// every machine, and its texts measure as the raster canvas measures them. What it writes:
// - one text record (EXTTEXTOUTW) per drawn run of text, with the real characters and their
//   advances, under a font naming the face the report asked for (never its substitute), so the
//   page can be searched and other programs show the intended font;
// - pens, brushes and fonts as objects created when they change, stock objects for clear pens
//   and brushes;
// - pictures as DIBs: the 8-bit form of report images with its own palette, other pictures
//   with 24 bits; colour-keyed pictures as a transparent blit;
// - the clip rectangle as it is set and removed.
// Reading pixels back is not possible on a metafile and answers CLR_INVALID.
#pragma once

#include "platform/emf/Metafile.h"
#include "platform/gfx/Canvas.h"

#include <QFontMetrics>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform::emf {

class MetafileCanvas : public gfx::TCanvas {
public:
    // A page of width x height pixels of the reference device.
    MetafileCanvas(int width, int height);
    ~MetafileCanvas() override;
    MetafileCanvas(const MetafileCanvas&) = delete;
    MetafileCanvas& operator=(const MetafileCanvas&) = delete;

    // Ends the recording and hands over the metafile; the canvas records nothing afterwards.
    Metafile Close();
    bool Closed() const { return closed_; }

    void LineTo(int x, int y) override;
    void Polyline(std::span<const gfx::TPoint> points) override;
    void Polygon(std::span<const gfx::TPoint> points) override;
    using TCanvas::Rectangle;
    void Rectangle(int left, int top, int right, int bottom) override;
    void FillRect(const gfx::TRect& r) override;
    void FrameRect(const gfx::TRect& r) override;
    using TCanvas::Ellipse;
    void Ellipse(int left, int top, int right, int bottom) override;
    void RoundRect(int left, int top, int right, int bottom, int w, int h) override;
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    gfx::TColor GetPixel(int x, int y) override;
    void SetPixel(int x, int y, gfx::TColor color) override;
    gfx::TSize TextExtent(std::string_view text) override;
    gfx::TTextMetric TextMetrics() override;
    void Draw(int x, int y, const gfx::TBitmap& picture) override;
    void StretchDraw(const gfx::TRect& dest, const gfx::TBitmap& picture) override;
    void CopyRect(const gfx::TRect& dest, const gfx::TBitmap& source,
                  const gfx::TRect& sourceRect) override;
    gfx::TRect DeviceRect() const override;
    void DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                     const gfx::TRect* clip) override;

protected:
    // The clip goes into the record at once, so a clip removed after a picture is seen there
    // even when nothing is drawn afterwards.
    void ClipChanged() override;

private:
    struct PenKey {
        std::uint32_t style;
        std::int32_t width;
        std::uint32_t color;
        friend bool operator==(const PenKey&, const PenKey&) = default;
    };
    struct BrushKey {
        std::uint32_t style;
        std::uint32_t color;
        friend bool operator==(const BrushKey&, const BrushKey&) = default;
    };

    std::size_t begin(std::uint32_t type);
    void end(std::size_t start);
    void rect(std::uint32_t type, int l, int t, int r, int b);
    void selectPen(const PenKey& pen);
    void selectBrush(const BrushKey& brush);
    void useCanvasPen();
    void useCanvasBrush();
    void syncFont();
    void syncClip();
    void setU32State(std::uint32_t type, std::optional<std::uint32_t>& current, std::uint32_t v);
    void fillSolid(const gfx::TRect& r, gfx::TColor color);
    void poly(std::uint32_t type16, std::uint32_t type32, std::span<const gfx::TPoint> points);
    void blit(const gfx::TRect& dest, const gfx::TBitmap& picture, const gfx::TRect& source);
    gfx::TCanvas& measure();
    const QFontMetrics& metrics();

    int width_;
    int height_;
    std::vector<std::uint8_t> data_;
    std::uint32_t records_ = 0;
    bool closed_ = false;

    // What the recorded device context holds right now.
    std::optional<PenKey> pen_;
    std::uint32_t penSlot_ = 0;
    bool penIsNull_ = false;
    std::optional<BrushKey> brush_;
    std::uint32_t brushSlot_ = 0;
    bool brushIsNull_ = false;
    std::optional<gfx::TFont> font_;
    std::uint32_t fontSlot_ = 0;
    std::optional<std::uint32_t> textColor_;
    std::optional<std::uint32_t> bkColor_;
    std::optional<std::uint32_t> bkMode_;
    std::optional<std::uint32_t> stretchMode_;
    std::optional<gfx::TRect> clip_;
    gfx::TPoint position_{0, 0};

    std::unique_ptr<gfx::TBitmap> measureBitmap_;
    std::unique_ptr<QFontMetrics> metrics_;
    gfx::TFont metricsFont_;
};

} // namespace platform::emf
