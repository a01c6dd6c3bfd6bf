#include "platform/emf/MetafileCanvas.h"

#include "platform/emf/Dib.h"
#include "platform/gfx/Fonts.h"
#include "platform/gfx/RasterCanvas.h"
#include "platform/text/Cp1251.h"

#include <climits>
#include <cmath>

namespace platform::emf {

namespace {

// Object slots: each kind alternates between two, so a new object is created and selected
// before the one it replaces is deleted.
constexpr std::uint32_t kPenSlots[2] = {1, 2};
constexpr std::uint32_t kBrushSlots[2] = {3, 4};
constexpr std::uint32_t kFontSlots[2] = {5, 6};
constexpr std::uint32_t kHandleCount = 7;

std::uint32_t colorRef(gfx::TColor c) {
    return gfx::ColorToRGB(c) & 0xFFFFFFu;
}

std::uint32_t penStyle(gfx::TPenStyle s) {
    switch (s) {
    case gfx::TPenStyle::psSolid:
        return PS_SOLID;
    case gfx::TPenStyle::psDash:
        return PS_DASH;
    case gfx::TPenStyle::psDot:
        return PS_DOT;
    case gfx::TPenStyle::psDashDot:
        return PS_DASHDOT;
    case gfx::TPenStyle::psDashDotDot:
        return PS_DASHDOTDOT;
    case gfx::TPenStyle::psClear:
        return PS_NULL;
    case gfx::TPenStyle::psInsideFrame:
        return PS_INSIDEFRAME;
    }
    return PS_SOLID;
}

bool fitsInt16(std::span<const gfx::TPoint> points) {
    for (const auto& p : points) {
        if (p.X < INT16_MIN || p.X > INT16_MAX || p.Y < INT16_MIN || p.Y > INT16_MAX) {
            return false;
        }
    }
    return true;
}

gfx::TRect boundsOf(std::span<const gfx::TPoint> points) {
    if (points.empty()) {
        return {0, 0, -1, -1};
    }
    gfx::TRect b{points[0].X, points[0].Y, points[0].X, points[0].Y};
    for (const auto& p : points) {
        b.Left = std::min(b.Left, p.X);
        b.Top = std::min(b.Top, p.Y);
        b.Right = std::max(b.Right, p.X);
        b.Bottom = std::max(b.Bottom, p.Y);
    }
    return b;
}

// The font as the device context sees it: the colour is the text colour's business.
gfx::TFont fontKey(gfx::TFont f) {
    f.Color = 0;
    return f;
}

} // namespace

MetafileCanvas::MetafileCanvas(int width, int height)
    : width_(std::max(0, width)), height_(std::max(0, height)) {
    data_.reserve(4096);
    ByteWriter b(data_);
    b.u32(EMR_HEADER);
    b.u32(kHeaderSize);
    // Bounds: the whole page, inclusive.
    b.i32(0);
    b.i32(0);
    b.i32(width_ - 1);
    b.i32(height_ - 1);
    // Frame in 0.01 mm at 96 pixels per inch.
    b.i32(0);
    b.i32(0);
    b.i32(std::int32_t(std::nearbyint(double(width_) * 2540.0 / 96.0)));
    b.i32(std::int32_t(std::nearbyint(double(height_) * 2540.0 / 96.0)));
    b.u32(kEmfSignature);
    b.u32(kEmfVersion);
    b.u32(0); // nBytes, patched on close
    b.u32(0); // nRecords, patched on close
    b.u16(1); // nHandles, patched on close
    b.u16(0);
    b.u32(0); // no description
    b.u32(0);
    b.u32(0); // no palette
    // The reference device: 960 x 960 pixels on 254 x 254 mm, that is 96 pixels per inch.
    b.i32(960);
    b.i32(960);
    b.i32(254);
    b.i32(254);
    b.u32(0); // no pixel format
    b.u32(0);
    b.u32(0); // not OpenGL
    b.i32(254000);
    b.i32(254000);
    records_ = 1;
}

MetafileCanvas::~MetafileCanvas() = default;

std::size_t MetafileCanvas::begin(std::uint32_t type) {
    const std::size_t start = data_.size();
    ByteWriter b(data_);
    b.u32(type);
    b.u32(0);
    return start;
}

void MetafileCanvas::end(std::size_t start) {
    ByteWriter b(data_);
    b.pad4();
    b.patchU32(start + 4, std::uint32_t(data_.size() - start));
    ++records_;
}

Metafile MetafileCanvas::Close() {
    if (closed_) {
        return {};
    }
    const std::size_t at = begin(EMR_EOF);
    ByteWriter b(data_);
    b.u32(0);  // no palette entries
    b.u32(16); // where they would start
    b.u32(20); // this record's size again
    end(at);
    b.patchU32(48, std::uint32_t(data_.size()));
    b.patchU32(52, records_);
    data_[56] = std::uint8_t(kHandleCount);
    data_[57] = 0;
    closed_ = true;
    return Metafile(std::move(data_));
}

gfx::TRect MetafileCanvas::DeviceRect() const {
    return {0, 0, width_, height_};
}

gfx::TCanvas& MetafileCanvas::measure() {
    if (!measureBitmap_) {
        measureBitmap_ = std::make_unique<gfx::TBitmap>(1, 1);
    }
    gfx::TCanvas& c = measureBitmap_->Canvas();
    c.Font = Font;
    return c;
}

const QFontMetrics& MetafileCanvas::metrics() {
    if (!metrics_ || !(metricsFont_ == Font)) {
        metricsFont_ = Font;
        metrics_ = std::make_unique<QFontMetrics>(gfx::resolveFont(Font, PixelsPerInch()));
    }
    return *metrics_;
}

gfx::TSize MetafileCanvas::TextExtent(std::string_view text) {
    return measure().TextExtent(text);
}

gfx::TTextMetric MetafileCanvas::TextMetrics() {
    return measure().TextMetrics();
}

void MetafileCanvas::setU32State(std::uint32_t type, std::optional<std::uint32_t>& current,
                                 std::uint32_t v) {
    if (current == v) {
        return;
    }
    const std::size_t at = begin(type);
    ByteWriter(data_).u32(v);
    end(at);
    current = v;
}

void MetafileCanvas::selectPen(const PenKey& pen) {
    if (closed_) {
        return;
    }
    if (pen.style == PS_NULL) {
        if (!penIsNull_) {
            const std::size_t at = begin(EMR_SELECTOBJECT);
            ByteWriter(data_).u32(NULL_PEN);
            end(at);
            penIsNull_ = true;
        }
        return;
    }
    if (!penIsNull_ && pen_ == pen) {
        return;
    }
    ByteWriter b(data_);
    const std::uint32_t slot = penSlot_ == kPenSlots[0] ? kPenSlots[1] : kPenSlots[0];
    if (pen_ && penIsNull_ && *pen_ == pen && penSlot_ != 0) {
        // The pen in hand was only set aside for a clear pen: select it again.
        const std::size_t at = begin(EMR_SELECTOBJECT);
        b.u32(penSlot_);
        end(at);
        penIsNull_ = false;
        return;
    }
    std::size_t at = begin(EMR_CREATEPEN);
    b.u32(slot);
    b.u32(pen.style);
    b.i32(pen.width);
    b.i32(0);
    b.u32(pen.color);
    end(at);
    at = begin(EMR_SELECTOBJECT);
    b.u32(slot);
    end(at);
    if (penSlot_ != 0) {
        at = begin(EMR_DELETEOBJECT);
        b.u32(penSlot_);
        end(at);
    }
    penSlot_ = slot;
    pen_ = pen;
    penIsNull_ = false;
}

void MetafileCanvas::selectBrush(const BrushKey& brush) {
    if (closed_) {
        return;
    }
    ByteWriter b(data_);
    if (brush.style == BS_NULL) {
        if (!brushIsNull_) {
            const std::size_t at = begin(EMR_SELECTOBJECT);
            b.u32(NULL_BRUSH);
            end(at);
            brushIsNull_ = true;
        }
        return;
    }
    if (brush_ && *brush_ == brush) {
        if (brushIsNull_) {
            const std::size_t at = begin(EMR_SELECTOBJECT);
            b.u32(brushSlot_);
            end(at);
            brushIsNull_ = false;
        }
        return;
    }
    const std::uint32_t slot = brushSlot_ == kBrushSlots[0] ? kBrushSlots[1] : kBrushSlots[0];
    std::size_t at = begin(EMR_CREATEBRUSHINDIRECT);
    b.u32(slot);
    b.u32(BS_SOLID);
    b.u32(brush.color);
    b.u32(0);
    end(at);
    at = begin(EMR_SELECTOBJECT);
    b.u32(slot);
    end(at);
    if (brushSlot_ != 0) {
        at = begin(EMR_DELETEOBJECT);
        b.u32(brushSlot_);
        end(at);
    }
    brushSlot_ = slot;
    brush_ = brush;
    brushIsNull_ = false;
}

void MetafileCanvas::useCanvasPen() {
    const std::uint32_t style = penStyle(Pen.Style);
    selectPen({style, style == PS_NULL ? 0 : std::max(1, Pen.Width), colorRef(Pen.Color)});
}

void MetafileCanvas::useCanvasBrush() {
    if (Brush.Style == gfx::TBrushStyle::bsClear) {
        selectBrush({BS_NULL, 0});
    } else {
        selectBrush({BS_SOLID, colorRef(Brush.Color)});
    }
}

void MetafileCanvas::syncFont() {
    const gfx::TFont key = fontKey(Font);
    if (font_ && *font_ == key) {
        return;
    }
    const std::uint32_t slot = fontSlot_ == kFontSlots[0] ? kFontSlots[1] : kFontSlots[0];
    ByteWriter b(data_);
    std::size_t at = begin(EMR_EXTCREATEFONTINDIRECTW);
    b.u32(slot);
    // The page is made for 96 pixels per inch; a font given at another resolution is scaled.
    int height = Font.Height;
    if (Font.PixelsPerInch > 0 && Font.PixelsPerInch != 96) {
        height = gfx::MulDiv(Font.Height, 96, Font.PixelsPerInch);
    }
    b.i32(height);
    b.i32(0); // width
    b.i32(0); // escapement
    b.i32(0); // orientation
    b.i32(Font.Bold ? 700 : 400);
    b.u8(Font.Italic ? 1 : 0);
    b.u8(Font.Underline ? 1 : 0);
    b.u8(Font.StrikeOut ? 1 : 0);
    b.u8(Font.Charset);
    b.u8(0); // out precision
    b.u8(0); // clip precision
    b.u8(0); // quality
    b.u8(0); // pitch and family
    std::size_t chars = 0;
    for (unsigned char c : Font.Name) {
        if (chars == 31) {
            break;
        }
        b.u16(std::uint16_t(text::cp1251ToCodePoint(c)));
        ++chars;
    }
    b.zeros(2 * (32 - chars));
    end(at);
    at = begin(EMR_SELECTOBJECT);
    b.u32(slot);
    end(at);
    if (fontSlot_ != 0) {
        at = begin(EMR_DELETEOBJECT);
        b.u32(fontSlot_);
        end(at);
    }
    fontSlot_ = slot;
    font_ = key;
}

void MetafileCanvas::ClipChanged() {
    if (!closed_) {
        syncClip();
    }
}

void MetafileCanvas::syncClip() {
    const auto& wanted = ClipSetting();
    if (wanted == clip_) {
        return;
    }
    ByteWriter b(data_);
    if (clip_) {
        const std::size_t at = begin(EMR_EXTSELECTCLIPRGN);
        b.u32(0);
        b.u32(RGN_COPY);
        end(at);
    }
    if (wanted) {
        rect(EMR_INTERSECTCLIPRECT, wanted->Left, wanted->Top, wanted->Right, wanted->Bottom);
    }
    clip_ = wanted;
}

void MetafileCanvas::rect(std::uint32_t type, int l, int t, int r, int bt) {
    const std::size_t at = begin(type);
    ByteWriter b(data_);
    b.i32(l);
    b.i32(t);
    b.i32(r);
    b.i32(bt);
    end(at);
}

void MetafileCanvas::fillSolid(const gfx::TRect& r, gfx::TColor color) {
    if (r.IsEmpty() || closed_) {
        return;
    }
    syncClip();
    selectPen({PS_NULL, 0, 0});
    selectBrush({BS_SOLID, colorRef(color)});
    // Without an outline a rectangle covers one pixel less each way; at the last coordinate there
    // is no pixel beyond to reach.
    auto past = [](int v) { return v == INT32_MAX ? v : v + 1; };
    rect(EMR_RECTANGLE, r.Left, r.Top, past(r.Right), past(r.Bottom));
}

void MetafileCanvas::LineTo(int x, int y) {
    if (closed_) {
        return;
    }
    syncClip();
    useCanvasPen();
    ByteWriter b(data_);
    if (!(position_ == PenPos)) {
        const std::size_t at = begin(EMR_MOVETOEX);
        b.i32(PenPos.X);
        b.i32(PenPos.Y);
        end(at);
    }
    const std::size_t at = begin(EMR_LINETO);
    b.i32(x);
    b.i32(y);
    end(at);
    position_ = {x, y};
    PenPos = {x, y};
}

void MetafileCanvas::poly(std::uint32_t type16, std::uint32_t type32,
                          std::span<const gfx::TPoint> points) {
    if (points.empty() || closed_) {
        return;
    }
    const bool small = fitsInt16(points);
    const gfx::TRect bounds = boundsOf(points);
    const std::size_t at = begin(small ? type16 : type32);
    ByteWriter b(data_);
    b.i32(bounds.Left);
    b.i32(bounds.Top);
    b.i32(bounds.Right);
    b.i32(bounds.Bottom);
    b.u32(std::uint32_t(points.size()));
    for (const auto& p : points) {
        if (small) {
            b.u16(std::uint16_t(std::int16_t(p.X)));
            b.u16(std::uint16_t(std::int16_t(p.Y)));
        } else {
            b.i32(p.X);
            b.i32(p.Y);
        }
    }
    end(at);
}

void MetafileCanvas::Polyline(std::span<const gfx::TPoint> points) {
    syncClip();
    useCanvasPen();
    poly(EMR_POLYLINE16, EMR_POLYLINE, points);
}

void MetafileCanvas::Polygon(std::span<const gfx::TPoint> points) {
    syncClip();
    useCanvasPen();
    useCanvasBrush();
    poly(EMR_POLYGON16, EMR_POLYGON, points);
}

void MetafileCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (closed_) {
        return;
    }
    syncClip();
    useCanvasPen();
    useCanvasBrush();
    rect(EMR_RECTANGLE, left, top, right, bottom);
}

void MetafileCanvas::FillRect(const gfx::TRect& r) {
    if (Brush.Style != gfx::TBrushStyle::bsSolid) {
        return;
    }
    fillSolid(r, Brush.Color);
}

void MetafileCanvas::FrameRect(const gfx::TRect& r) {
    if (Brush.Style != gfx::TBrushStyle::bsSolid || r.IsEmpty()) {
        return;
    }
    // The sides' lengths may exceed an int for a frame around everything.
    const std::int64_t width = std::int64_t(r.Right) - r.Left;
    const std::int64_t height = std::int64_t(r.Bottom) - r.Top;
    fillSolid({r.Left, r.Top, r.Right, r.Top + 1}, Brush.Color);
    if (height > 1) {
        fillSolid({r.Left, r.Bottom - 1, r.Right, r.Bottom}, Brush.Color);
    }
    if (height > 2) {
        fillSolid({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, Brush.Color);
        if (width > 1) {
            fillSolid({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, Brush.Color);
        }
    }
}

void MetafileCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (closed_) {
        return;
    }
    syncClip();
    useCanvasPen();
    useCanvasBrush();
    rect(EMR_ELLIPSE, left, top, right, bottom);
}

void MetafileCanvas::RoundRect(int left, int top, int right, int bottom, int w, int h) {
    if (closed_) {
        return;
    }
    syncClip();
    useCanvasPen();
    useCanvasBrush();
    const std::size_t at = begin(EMR_ROUNDRECT);
    ByteWriter b(data_);
    b.i32(left);
    b.i32(top);
    b.i32(right);
    b.i32(bottom);
    b.i32(w);
    b.i32(h);
    end(at);
}

void MetafileCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (closed_) {
        return;
    }
    syncClip();
    useCanvasPen();
    useCanvasBrush();
    const std::size_t at = begin(EMR_PIE);
    ByteWriter b(data_);
    for (int v : {x1, y1, x2, y2, x3, y3, x4, y4}) {
        b.i32(v);
    }
    end(at);
}

gfx::TColor MetafileCanvas::GetPixel(int, int) {
    return gfx::CLR_INVALID;
}

void MetafileCanvas::SetPixel(int x, int y, gfx::TColor color) {
    if (closed_) {
        return;
    }
    syncClip();
    const std::size_t at = begin(EMR_SETPIXELV);
    ByteWriter b(data_);
    b.i32(x);
    b.i32(y);
    b.u32(colorRef(color));
    end(at);
}

void MetafileCanvas::DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                                 const gfx::TRect* clip) {
    if (text.empty() || closed_) {
        return;
    }
    syncClip();
    syncFont();
    setU32State(EMR_SETTEXTCOLOR, textColor_, colorRef(Font.Color));
    if (Brush.Style == gfx::TBrushStyle::bsSolid) {
        setU32State(EMR_SETBKMODE, bkMode_, OPAQUE);
        setU32State(EMR_SETBKCOLOR, bkColor_, colorRef(Brush.Color));
    } else {
        setU32State(EMR_SETBKMODE, bkMode_, TRANSPARENT);
    }
    // Advances from the reference metrics, character by character; the last one takes up what
    // kerning and rounding leave, so the advances add up to the width the text is drawn with.
    gfx::TCanvas& m = measure();
    const int previous = m.TextWidth(text);
    std::vector<std::int32_t> dx(text.size());
    const QFontMetrics& fm = metrics();
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        dx[i] = fm.horizontalAdvance(
            QChar(char16_t(text::cp1251ToCodePoint(static_cast<unsigned char>(text[i])))));
        sum += dx[i];
    }
    dx.back() += previous - sum;
    const int height = m.TextMetrics().Height;
    const std::uint32_t n = std::uint32_t(text.size());
    const std::uint32_t offString = 76;
    const std::uint32_t offDx = offString + ((2 * n + 3) / 4) * 4;
    const std::size_t at = begin(EMR_EXTTEXTOUTW);
    ByteWriter b(data_);
    b.i32(x);
    b.i32(y);
    b.i32(x + previous - 1);
    b.i32(y + height - 1);
    b.u32(1); // compatible graphics mode
    b.f32(0); // scales unused in that mode
    b.f32(0);
    b.i32(x);
    b.i32(y);
    b.u32(n);
    b.u32(offString);
    b.u32(clip ? ETO_CLIPPED : 0);
    if (clip) {
        b.i32(clip->Left);
        b.i32(clip->Top);
        b.i32(clip->Right);
        b.i32(clip->Bottom);
    } else {
        b.i32(0);
        b.i32(0);
        b.i32(-1);
        b.i32(-1);
    }
    b.u32(offDx);
    for (unsigned char c : text) {
        b.u16(std::uint16_t(text::cp1251ToCodePoint(c)));
    }
    b.pad4();
    for (std::int32_t d : dx) {
        b.i32(d);
    }
    end(at);
    if (underline < text.size()) {
        const int ux = x + m.TextWidth(text.substr(0, underline));
        const int uw = std::max(1, m.TextWidth(text.substr(underline, 1)));
        const int uy = y + m.TextMetrics().Ascent + 1;
        fillSolid({ux, uy, ux + uw, uy + 1}, Font.Color);
    }
}

void MetafileCanvas::blit(const gfx::TRect& dest, const gfx::TBitmap& picture,
                          const gfx::TRect& source) {
    if (closed_ || dest.IsEmpty() || picture.Empty()) {
        return;
    }
    const gfx::TRect src = gfx::IntersectRect(source, {0, 0, picture.Width(), picture.Height()});
    if (src.IsEmpty()) {
        return;
    }
    syncClip();
    setU32State(EMR_SETSTRETCHBLTMODE, stretchMode_, COLORONCOLOR);
    ByteWriter b(data_);
    if (picture.Transparent) {
        const std::size_t at = begin(EMR_TRANSPARENTBLT);
        b.i32(dest.Left);
        b.i32(dest.Top);
        b.i32(dest.Right - 1);
        b.i32(dest.Bottom - 1);
        b.i32(dest.Left);
        b.i32(dest.Top);
        b.i32(dest.Width());
        b.i32(dest.Height());
        b.u32(colorRef(picture.TransparentColor()));
        b.i32(0);
        b.i32(0);
        b.f32(1);
        b.f32(0);
        b.f32(0);
        b.f32(1);
        b.f32(0);
        b.f32(0);
        b.u32(0);
        b.u32(DIB_RGB_COLORS);
        const std::size_t sizesAt = data_.size();
        b.zeros(16); // offsets and sizes of the bitmap, below
        b.i32(src.Width());
        b.i32(src.Height());
        const DibSizes dib = appendDib(picture, src, data_);
        b.patchU32(sizesAt, 108);
        b.patchU32(sizesAt + 4, std::uint32_t(dib.bmi));
        b.patchU32(sizesAt + 8, std::uint32_t(108 + dib.bmi));
        b.patchU32(sizesAt + 12, std::uint32_t(dib.bits));
        end(at);
        return;
    }
    const std::size_t at = begin(EMR_STRETCHDIBITS);
    b.i32(dest.Left);
    b.i32(dest.Top);
    b.i32(dest.Right - 1);
    b.i32(dest.Bottom - 1);
    b.i32(dest.Left);
    b.i32(dest.Top);
    b.i32(0);
    b.i32(0);
    b.i32(src.Width());
    b.i32(src.Height());
    const std::size_t sizesAt = data_.size();
    b.zeros(16); // offsets and sizes of the bitmap, below
    b.u32(DIB_RGB_COLORS);
    b.u32(SRCCOPY);
    b.i32(dest.Width());
    b.i32(dest.Height());
    const DibSizes dib = appendDib(picture, src, data_);
    b.patchU32(sizesAt, 80);
    b.patchU32(sizesAt + 4, std::uint32_t(dib.bmi));
    b.patchU32(sizesAt + 8, std::uint32_t(80 + dib.bmi));
    b.patchU32(sizesAt + 12, std::uint32_t(dib.bits));
    end(at);
}

void MetafileCanvas::Draw(int x, int y, const gfx::TBitmap& picture) {
    blit(gfx::Bounds(x, y, picture.Width(), picture.Height()), picture,
         {0, 0, picture.Width(), picture.Height()});
}

void MetafileCanvas::StretchDraw(const gfx::TRect& dest, const gfx::TBitmap& picture) {
    blit(dest, picture, {0, 0, picture.Width(), picture.Height()});
}

void MetafileCanvas::CopyRect(const gfx::TRect& dest, const gfx::TBitmap& source,
                              const gfx::TRect& sourceRect) {
    gfx::TBitmap opaque;
    if (source.Transparent) {
        // CopyRect never honours a colour key.
        opaque = source;
        opaque.Transparent = false;
        blit(dest, opaque, sourceRect);
        return;
    }
    blit(dest, source, sourceRect);
}

} // namespace platform::emf
