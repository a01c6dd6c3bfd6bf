// The drawing interface every picture of the program is made with. The drawing code of the
// records and reports relies on these rules:
// - a line covers its start point and not its end point;
// - Rectangle, Ellipse, RoundRect, Pie and FillRect cover Left..Right-1 and Top..Bottom-1;
// - a clear pen leaves the outline out and makes filled shapes one pixel smaller;
// - the brush style decides the background: solid fills the gaps of dashed and dotted lines and
//   the cell behind text with the brush colour, clear leaves them alone;
// - pens wider than 1 pixel are always solid.
// Texts are Windows-1251 bytes, as the model keeps them. Two backends exist: RasterCanvas
// (pixels of a bitmap, identical on every machine) and PainterCanvas (any Qt paint device).
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/PixelRows.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform::gfx {

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
    friend bool operator==(const TPen&, const TPen&) = default;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
    friend bool operator==(const TBrush&, const TBrush&) = default;
};

constexpr std::uint8_t ANSI_CHARSET = 0;
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::uint8_t SYMBOL_CHARSET = 2;
constexpr std::uint8_t RUSSIAN_CHARSET = 204;

// A font by face name. Height < 0 is the character height in pixels, Height > 0 the cell height
// (character plus internal leading); Size is in points at PixelsPerInch.
struct TFont {
    std::string Name = "MS Sans Serif";
    TColor Color = clWindowText;
    int Height = -11;
    int PixelsPerInch = 96;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint8_t Charset = DEFAULT_CHARSET;

    int Size() const;
    void SetSize(int points);
    friend bool operator==(const TFont&, const TFont&) = default;
};

// a * b / c rounded half away from zero (how font heights are scaled to a resolution); -1 when c
// is 0 or the result does not fit.
int MulDiv(int a, int b, int c);

struct TTextMetric {
    int Height = 0; // ascent + descent
    int Ascent = 0;
    int Descent = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
};

// DrawText flags.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_EXTERNALLEADING = 0x200;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_HIDEPREFIX = 0x100000;

// TextOut reference point.
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

class TCanvas {
public:
    virtual ~TCanvas() = default;

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TPoint PenPos;

    // ---- lines and shapes ---------------------------------------------------------------------
    void MoveTo(int x, int y) { PenPos = {x, y}; }
    virtual void LineTo(int x, int y) = 0;
    virtual void Polyline(std::span<const TPoint> points) = 0;
    // Filled with the brush (alternate rule), then outlined with the pen.
    virtual void Polygon(std::span<const TPoint> points) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    virtual void FillRect(const TRect& r) = 0;
    // A 1-pixel frame in the brush colour.
    virtual void FrameRect(const TRect& r) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Corner ellipses of w x h pixels.
    virtual void RoundRect(int left, int top, int right, int bottom, int w, int h) = 0;
    // The sector of the ellipse in (x1, y1)-(x2, y2) from the ray towards (x3, y3)
    // counter-clockwise to the ray towards (x4, y4).
    virtual void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;

    virtual TColor GetPixel(int x, int y) = 0;
    virtual void SetPixel(int x, int y, TColor color) = 0;

    // ---- text ---------------------------------------------------------------------------------
    // At (x, y) by the text alignment (top-left by default); moves PenPos to the end of the text.
    void TextOut(int x, int y, std::string_view text);
    // Text clipped to the rectangle, at (x, y).
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    virtual TSize TextExtent(std::string_view text) = 0;
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }
    virtual TTextMetric TextMetrics() = 0;
    // Formatted text in the rectangle; answers the height of the text (with DT_VCENTER or
    // DT_BOTTOM: the offset from the rectangle's top to the bottom of the text). DT_CALCRECT
    // only measures and sets the rectangle's right and bottom edges.
    int DrawText(std::string_view text, TRect& r, unsigned flags);
    unsigned TextAlign = TA_LEFT | TA_TOP;

    // ---- pictures -----------------------------------------------------------------------------
    // Honour the picture's colour key when it is Transparent.
    virtual void Draw(int x, int y, const TBitmap& picture) = 0;
    virtual void StretchDraw(const TRect& dest, const TBitmap& picture) = 0;
    virtual void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) = 0;
    // Rows read where they lie, stretched over dest. The canvases that make pixels read them
    // directly and, where they make them smaller, give each pixel the mean of what it covers,
    // so thin lines do not drop out; enlarged, one to one or colour-keyed they draw them as
    // StretchDraw does. This version hands a bitmap of them to Draw or StretchDraw, for canvases
    // that keep pictures whole (the recorder).
    virtual void StretchDrawRows(const TRect& dest, const TPixelRows& rows);

    // ---- clipping -----------------------------------------------------------------------------
    void SetClipRect(const TRect& r) {
        clip_ = r;
        ClipChanged();
    }
    void ResetClip() {
        clip_.reset();
        ClipChanged();
    }
    // The clip rectangle, or the whole drawing area without one.
    TRect ClipRect() const;

    // The clip rectangle as set (none: the whole drawing area).
    const std::optional<TRect>& ClipSetting() const { return clip_; }

    virtual int PixelsPerInch() const { return 96; }
    // The whole area the canvas draws on.
    virtual TRect DeviceRect() const = 0;

    // One run of text with its top-left corner at (x, y): background cell by the brush style,
    // underline of the character at `underline` (npos for none), cut by `clip` when given. The
    // building block of TextOut and DrawText.
    virtual void DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                             const TRect* clip) = 0;

protected:
    const std::optional<TRect>& clip() const { return clip_; }
    // Told after every change of the clip rectangle.
    virtual void ClipChanged() {}

private:
    std::optional<TRect> clip_;
};

// Keeps a canvas's drawing settings (pen, brush, font, pen position, text alignment, clipping) and
// puts them back when it goes.
class CanvasState {
public:
    explicit CanvasState(TCanvas& canvas)
        : canvas_(canvas), pen_(canvas.Pen), brush_(canvas.Brush), font_(canvas.Font),
          penPos_(canvas.PenPos), textAlign_(canvas.TextAlign), clip_(canvas.ClipSetting()) {}
    ~CanvasState() {
        canvas_.Pen = pen_;
        canvas_.Brush = brush_;
        canvas_.Font = font_;
        canvas_.PenPos = penPos_;
        canvas_.TextAlign = textAlign_;
        if (clip_) {
            canvas_.SetClipRect(*clip_);
        } else {
            canvas_.ResetClip();
        }
    }
    CanvasState(const CanvasState&) = delete;
    CanvasState& operator=(const CanvasState&) = delete;

private:
    TCanvas& canvas_;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TPoint penPos_;
    unsigned textAlign_;
    std::optional<TRect> clip_;
};

// A raised or sunken 1-pixel frame per step: left and top lines in `topColor`, right and bottom
// lines in `bottomColor`; the rectangle shrinks by `width` pixels on every side.
void Frame3D(TCanvas& canvas, TRect& r, TColor topColor, TColor bottomColor, int width);

// The index of the accelerator character of a text with "&" prefixes ("&&" is a literal "&"),
// and the text as drawn; npos when there is none.
struct PrefixedText {
    std::string text;
    std::size_t accelerator = std::string::npos;
};
PrefixedText StripPrefixes(std::string_view text);

} // namespace platform::gfx
