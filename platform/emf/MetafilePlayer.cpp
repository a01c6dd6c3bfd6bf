#include "platform/emf/MetafilePlayer.h"

#include "platform/emf/Dib.h"
#include "platform/emf/PlayerObjects.h"
#include "platform/emf/RecordPictures.h"

#include <cmath>
#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace platform::emf {

namespace {

using playback::BrushObj;
using playback::colorOf;
using playback::cp1251Of;
using playback::flattenBeziers;
using playback::FontObj;
using playback::Object;
using playback::PenObj;
using playback::penStyleOf;
using playback::toInt;
using playback::Xform;

constexpr std::uint32_t MM_TEXT = 1;
constexpr std::uint32_t MM_ISOTROPIC = 7;
constexpr std::uint32_t MM_ANISOTROPIC = 8;
constexpr std::uint32_t TA_CENTER_BITS = 6;
constexpr std::uint32_t TA_RIGHT_BIT = 2;
constexpr std::uint32_t TA_BOTTOM_BIT = 8;
constexpr std::uint32_t TA_BASELINE_BITS = 24;
constexpr std::size_t kMaxSavedStates = 1024;
// Widths and heights a page scaled over its destination may ask for; a hostile frame cannot make
// a pen or a font so large that drawing one stroke or glyph takes the machine's memory.
constexpr int kMaxPenWidth = 256;
constexpr int kMaxFontHeight = 2048;

struct State {
    Xform world;
    std::uint32_t mapMode = MM_TEXT;
    double winOrgX = 0, winOrgY = 0, winExtX = 1, winExtY = 1;
    double vpOrgX = 0, vpOrgY = 0, vpExtX = 1, vpExtY = 1;
    PenObj pen;
    BrushObj brush;
    FontObj font;
    std::uint32_t textColor = 0;
    std::uint32_t bkColor = 0xFFFFFF;
    std::uint32_t bkMode = OPAQUE;
    std::uint32_t textAlign = 0;
    double curX = 0, curY = 0;
    std::optional<gfx::TRect> clip; // in canvas pixels
};

class Player {
public:
    Player(const Metafile& mf, gfx::TCanvas& canvas, const gfx::TRect& dest)
        : mf_(mf), canvas_(canvas), initialClip_(canvas.ClipSetting()) {
        const gfx::TRect& f = mf.Frame();
        const double srcW = (double(f.Right) - double(f.Left)) * mf.DeviceDpmmX() / 100.0;
        const double srcH = (double(f.Bottom) - double(f.Top)) * mf.DeviceDpmmY() / 100.0;
        srcLeft_ = double(f.Left) * mf.DeviceDpmmX() / 100.0;
        srcTop_ = double(f.Top) * mf.DeviceDpmmY() / 100.0;
        kx_ = std::fabs(srcW) > 1e-9 ? double(dest.Width()) / srcW : 1.0;
        ky_ = std::fabs(srcH) > 1e-9 ? double(dest.Height()) / srcH : 1.0;
        destLeft_ = dest.Left;
        destTop_ = dest.Top;
    }

    void play() {
        const gfx::CanvasState saved(canvas_);
        mf_.ForEachRecord([this](const EmfRecord& rec) {
            record(rec);
            return true;
        });
    }

private:
    // ---- coordinates ---------------------------------------------------------------------------
    double mapScaleX() const {
        switch (s_.mapMode) {
        case MM_TEXT:
            return 1.0;
        case MM_ISOTROPIC:
        case MM_ANISOTROPIC:
            return std::fabs(s_.winExtX) > 1e-12 ? s_.vpExtX / s_.winExtX : 1.0;
        default:
            return unitMm() * mf_.DeviceDpmmX();
        }
    }
    double mapScaleY() const {
        switch (s_.mapMode) {
        case MM_TEXT:
            return 1.0;
        case MM_ISOTROPIC:
        case MM_ANISOTROPIC:
            return std::fabs(s_.winExtY) > 1e-12 ? s_.vpExtY / s_.winExtY : 1.0;
        default:
            return -unitMm() * mf_.DeviceDpmmY(); // these modes count upwards
        }
    }
    double unitMm() const {
        switch (s_.mapMode) {
        case 2: // MM_LOMETRIC
            return 0.1;
        case 3: // MM_HIMETRIC
            return 0.01;
        case 4: // MM_LOENGLISH
            return 0.254;
        case 5: // MM_HIENGLISH
            return 0.0254;
        case 6: // MM_TWIPS
            return 25.4 / 1440.0;
        default:
            return 1.0;
        }
    }
    // Device pixels of the reference device to canvas pixels.
    double devX(double x) const { return destLeft_ + (x - srcLeft_) * kx_; }
    double devY(double y) const { return destTop_ + (y - srcTop_) * ky_; }
    gfx::TPoint point(double x, double y) const {
        const Xform& w = s_.world;
        const double px = w.m11 * x + w.m21 * y + w.dx;
        const double py = w.m12 * x + w.m22 * y + w.dy;
        const double dx = (px - s_.winOrgX) * mapScaleX() + s_.vpOrgX;
        const double dy = (py - s_.winOrgY) * mapScaleY() + s_.vpOrgY;
        return {toInt(devX(dx)), toInt(devY(dy))};
    }
    double scaleX() const { return std::fabs(s_.world.m11 * mapScaleX() * kx_); }
    double scaleY() const { return std::fabs(s_.world.m22 * mapScaleY() * ky_); }
    gfx::TRect rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) const {
        const gfx::TPoint a = point(l, t);
        const gfx::TPoint c = point(r, b);
        return {std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)};
    }
    gfx::TRect rectAt(std::span<const std::uint8_t> r, std::size_t at) const {
        return rect(readI32(r, at), readI32(r, at + 4), readI32(r, at + 8), readI32(r, at + 12));
    }
    // The box of a filled shape. Without an outline the shape covers one pixel less each way, so
    // that edge pixel is left out before scaling and added back after, keeping fills that touch
    // each other touching at every size.
    gfx::TRect shapeRect(std::span<const std::uint8_t> r, std::size_t at) const {
        if ((s_.pen.style & 0xF) != PS_NULL) {
            return rectAt(r, at);
        }
        // The edge is taken off in doubles: a file's right or bottom may be the lowest int.
        const gfx::TPoint a = point(readI32(r, at), readI32(r, at + 4));
        const gfx::TPoint c =
            point(double(readI32(r, at + 8)) - 1, double(readI32(r, at + 12)) - 1);
        gfx::TRect b{std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X),
                     std::max(a.Y, c.Y)};
        b.Right += 1;
        b.Bottom += 1;
        return b;
    }
    // A rectangle in reference-device pixels (regions are kept in device units).
    gfx::TRect deviceRect(std::span<const std::uint8_t> r, std::size_t at) const {
        return {toInt(devX(readI32(r, at))), toInt(devY(readI32(r, at + 4))),
                toInt(devX(readI32(r, at + 8))), toInt(devY(readI32(r, at + 12)))};
    }

    // ---- state onto the canvas -------------------------------------------------------------
    void usePen() {
        canvas_.Pen.Style = penStyleOf(s_.pen.style);
        canvas_.Pen.Color = colorOf(s_.pen.color);
        canvas_.Pen.Width = std::clamp(toInt(double(s_.pen.width) * scaleX()), 1, kMaxPenWidth);
    }
    void useBrush() {
        canvas_.Brush.Style =
            s_.brush.style == BS_NULL ? gfx::TBrushStyle::bsClear : gfx::TBrushStyle::bsSolid;
        canvas_.Brush.Color = colorOf(s_.brush.color);
    }
    void applyClip() {
        std::optional<gfx::TRect> c = s_.clip;
        if (c && initialClip_) {
            c = gfx::IntersectRect(*c, *initialClip_);
        } else if (!c) {
            c = initialClip_;
        }
        if (c) {
            canvas_.SetClipRect(*c);
        } else {
            canvas_.ResetClip();
        }
    }
    gfx::TRect currentClip() const { return s_.clip ? *s_.clip : canvas_.DeviceRect(); }

    // ---- records ---------------------------------------------------------------------------
    void record(const EmfRecord& rec) {
        const auto r = rec.bytes;
        switch (rec.type) {
        case EMR_SETWINDOWEXTEX:
            s_.winExtX = readI32(r, 8);
            s_.winExtY = readI32(r, 12);
            break;
        case EMR_SETWINDOWORGEX:
            s_.winOrgX = readI32(r, 8);
            s_.winOrgY = readI32(r, 12);
            break;
        case EMR_SETVIEWPORTEXTEX:
            s_.vpExtX = readI32(r, 8);
            s_.vpExtY = readI32(r, 12);
            break;
        case EMR_SETVIEWPORTORGEX:
            s_.vpOrgX = readI32(r, 8);
            s_.vpOrgY = readI32(r, 12);
            break;
        case EMR_SETMAPMODE:
            s_.mapMode = readU32(r, 8);
            break;
        case EMR_SETWORLDTRANSFORM:
            s_.world = playback::xformAt(r, 8);
            break;
        case EMR_MODIFYWORLDTRANSFORM: {
            const Xform x = playback::xformAt(r, 8);
            switch (readU32(r, 32)) {
            case 1:
                s_.world = Xform{};
                break;
            case 2:
                s_.world = s_.world.after(x);
                break;
            case 3:
                s_.world = x.after(s_.world);
                break;
            case 4:
                s_.world = x;
                break;
            default:
                break;
            }
            break;
        }
        case EMR_SAVEDC:
            if (saved_.size() < kMaxSavedStates) {
                saved_.push_back(s_);
            }
            break;
        case EMR_RESTOREDC: {
            const std::int32_t n = readI32(r, 8);
            std::size_t keep = saved_.size();
            if (n < 0 && std::size_t(-std::int64_t(n)) <= saved_.size()) {
                keep = saved_.size() - std::size_t(-std::int64_t(n));
            } else if (n > 0 && std::size_t(n) <= saved_.size()) {
                keep = std::size_t(n) - 1;
            } else {
                break;
            }
            s_ = saved_[keep];
            saved_.resize(keep);
            applyClip();
            break;
        }
        case EMR_SELECTOBJECT:
            select(readU32(r, 8));
            break;
        case EMR_DELETEOBJECT:
            objects_.erase(readU32(r, 8));
            break;
        case EMR_CREATEPEN:
            objects_[readU32(r, 8)] = PenObj{readU32(r, 12), readI32(r, 16), readU32(r, 24)};
            break;
        case EMR_EXTCREATEPEN: {
            PenObj p{readU32(r, 28), readI32(r, 32), readU32(r, 40)};
            if (readU32(r, 36) == BS_NULL) {
                p.style = PS_NULL;
            }
            objects_[readU32(r, 8)] = p;
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            const std::uint32_t style = readU32(r, 12);
            objects_[readU32(r, 8)] =
                BrushObj{style == BS_NULL ? BS_NULL : BS_SOLID, readU32(r, 16)};
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW:
            objects_[readU32(r, 8)] = playback::fontAt(r);
            break;
        case EMR_SETTEXTCOLOR:
            s_.textColor = readU32(r, 8);
            break;
        case EMR_SETBKCOLOR:
            s_.bkColor = readU32(r, 8);
            break;
        case EMR_SETBKMODE:
            s_.bkMode = readU32(r, 8);
            break;
        case EMR_SETTEXTALIGN:
            s_.textAlign = readU32(r, 8);
            break;
        case EMR_MOVETOEX:
            s_.curX = readI32(r, 8);
            s_.curY = readI32(r, 12);
            break;
        case EMR_LINETO: {
            usePen();
            const gfx::TPoint a = point(s_.curX, s_.curY);
            s_.curX = readI32(r, 8);
            s_.curY = readI32(r, 12);
            const gfx::TPoint b = point(s_.curX, s_.curY);
            canvas_.MoveTo(a.X, a.Y);
            canvas_.LineTo(b.X, b.Y);
            break;
        }
        case EMR_RECTANGLE:
            usePen();
            useBrush();
            canvas_.Rectangle(shapeRect(r, 8));
            break;
        case EMR_ELLIPSE:
            usePen();
            useBrush();
            canvas_.Ellipse(shapeRect(r, 8));
            break;
        case EMR_ROUNDRECT: {
            usePen();
            useBrush();
            const gfx::TRect b = shapeRect(r, 8);
            canvas_.RoundRect(b.Left, b.Top, b.Right, b.Bottom, toInt(readI32(r, 24) * scaleX()),
                              toInt(readI32(r, 28) * scaleY()));
            break;
        }
        case EMR_PIE: {
            usePen();
            useBrush();
            const gfx::TRect b = rectAt(r, 8);
            const gfx::TPoint p3 = point(readI32(r, 24), readI32(r, 28));
            const gfx::TPoint p4 = point(readI32(r, 32), readI32(r, 36));
            canvas_.Pie(b.Left, b.Top, b.Right, b.Bottom, p3.X, p3.Y, p4.X, p4.Y);
            break;
        }
        case EMR_SETPIXELV: {
            const gfx::TPoint p = point(readI32(r, 8), readI32(r, 12));
            canvas_.SetPixel(p.X, p.Y, colorOf(readU32(r, 16)));
            break;
        }
        case EMR_POLYGON:
        case EMR_POLYGON16:
        case EMR_POLYLINE:
        case EMR_POLYLINE16:
        case EMR_POLYLINETO:
        case EMR_POLYLINETO16:
        case EMR_POLYBEZIER:
        case EMR_POLYBEZIER16:
        case EMR_POLYBEZIERTO:
        case EMR_POLYBEZIERTO16:
            polyRecord(rec);
            break;
        case EMR_POLYPOLYLINE:
        case EMR_POLYPOLYGON:
        case EMR_POLYPOLYLINE16:
        case EMR_POLYPOLYGON16:
            polyPolyRecord(rec);
            break;
        case EMR_INTERSECTCLIPRECT:
            s_.clip = gfx::IntersectRect(currentClip(), rectAt(r, 8));
            applyClip();
            break;
        case EMR_OFFSETCLIPRGN:
            if (s_.clip) {
                s_.clip = gfx::OffsetRect(*s_.clip, toInt(readI32(r, 8) * scaleX()),
                                          toInt(readI32(r, 12) * scaleY()));
                applyClip();
            }
            break;
        case EMR_EXTSELECTCLIPRGN:
            clipRegion(r);
            break;
        case EMR_EXTTEXTOUTW:
        case EMR_EXTTEXTOUTA:
            textRecord(rec);
            break;
        case EMR_STRETCHDIBITS:
            dibRecord(r, readI32(r, 72), readI32(r, 76), readU32(r, 68));
            break;
        case EMR_SETDIBITSTODEVICE:
            dibRecord(r, readI32(r, 40), readI32(r, 44), SRCCOPY);
            break;
        case EMR_BITBLT:
        case EMR_STRETCHBLT:
        case EMR_TRANSPARENTBLT:
            bltRecord(rec);
            break;
        default:
            break; // palettes, comments, modes without effect here, and unknown records
        }
    }

    void select(std::uint32_t handle) {
        if (playback::selectStockObject(handle, s_.pen, s_.brush, s_.font)) {
            return;
        }
        const auto it = objects_.find(handle);
        if (it == objects_.end()) {
            return;
        }
        if (const auto* p = std::get_if<PenObj>(&it->second)) {
            s_.pen = *p;
        } else if (const auto* b = std::get_if<BrushObj>(&it->second)) {
            s_.brush = *b;
        } else if (const auto* f = std::get_if<FontObj>(&it->second)) {
            s_.font = *f;
        }
    }

    std::vector<gfx::TPoint> pointsAt(std::span<const std::uint8_t> r, std::size_t at,
                                      std::uint32_t count, bool small) const {
        std::vector<gfx::TPoint> pts;
        pts.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (small) {
                const auto x = std::int16_t(readU16(r, at + 4 * std::size_t(i)));
                const auto y = std::int16_t(readU16(r, at + 4 * std::size_t(i) + 2));
                pts.push_back(point(x, y));
            } else {
                pts.push_back(point(readI32(r, at + 8 * std::size_t(i)),
                                    readI32(r, at + 8 * std::size_t(i) + 4)));
            }
        }
        return pts;
    }

    // Logical coordinates of the last point of a poly record, for the current position.
    static void lastPoint(std::span<const std::uint8_t> r, std::size_t at, std::uint32_t count,
                          bool small, double& x, double& y) {
        if (count == 0) {
            return;
        }
        const std::size_t i = count - 1;
        if (small) {
            x = std::int16_t(readU16(r, at + 4 * i));
            y = std::int16_t(readU16(r, at + 4 * i + 2));
        } else {
            x = readI32(r, at + 8 * i);
            y = readI32(r, at + 8 * i + 4);
        }
    }

    void polyRecord(const EmfRecord& rec) {
        const auto r = rec.bytes;
        const bool small = rec.type >= EMR_POLYBEZIER16;
        const std::uint32_t n = readU32(r, 24);
        std::vector<gfx::TPoint> pts = pointsAt(r, 28, n, small);
        usePen();
        switch (rec.type) {
        case EMR_POLYGON:
        case EMR_POLYGON16:
            useBrush();
            canvas_.Polygon(pts);
            break;
        case EMR_POLYLINE:
        case EMR_POLYLINE16:
            canvas_.Polyline(pts);
            break;
        case EMR_POLYBEZIER:
        case EMR_POLYBEZIER16:
            canvas_.Polyline(flattenBeziers(pts));
            break;
        case EMR_POLYLINETO:
        case EMR_POLYLINETO16:
        case EMR_POLYBEZIERTO:
        case EMR_POLYBEZIERTO16: {
            pts.insert(pts.begin(), point(s_.curX, s_.curY));
            const bool bezier = rec.type == EMR_POLYBEZIERTO || rec.type == EMR_POLYBEZIERTO16;
            canvas_.Polyline(bezier ? flattenBeziers(pts) : pts);
            lastPoint(r, 28, n, small, s_.curX, s_.curY);
            break;
        }
        default:
            break;
        }
    }

    void polyPolyRecord(const EmfRecord& rec) {
        const auto r = rec.bytes;
        const bool small = rec.type == EMR_POLYPOLYLINE16 || rec.type == EMR_POLYPOLYGON16;
        const bool filled = rec.type == EMR_POLYPOLYGON || rec.type == EMR_POLYPOLYGON16;
        const std::uint32_t polys = readU32(r, 24);
        std::size_t at = 32 + 4 * std::size_t(polys);
        usePen();
        if (filled) {
            useBrush();
        }
        for (std::uint32_t i = 0; i < polys; ++i) {
            const std::uint32_t count = readU32(r, 32 + 4 * std::size_t(i));
            const auto pts = pointsAt(r, at, count, small);
            if (filled) {
                canvas_.Polygon(pts);
            } else {
                canvas_.Polyline(pts);
            }
            at += std::size_t(count) * (small ? 4 : 8);
        }
    }

    void clipRegion(std::span<const std::uint8_t> r) {
        const std::uint32_t cb = readU32(r, 8);
        const std::uint32_t mode = readU32(r, 12);
        if (cb == 0) {
            if (mode == RGN_COPY) {
                s_.clip.reset();
                applyClip();
            }
            return;
        }
        // The region's bounding rectangle stands for the region: report pages clip to
        // rectangles only.
        const gfx::TRect bound = deviceRect(r, 16 + 16);
        if (mode == RGN_COPY) {
            s_.clip = bound;
        } else if (mode == RGN_AND) {
            s_.clip = gfx::IntersectRect(currentClip(), bound);
        } else {
            return;
        }
        applyClip();
    }

    void textRecord(const EmfRecord& rec) {
        const auto r = rec.bytes;
        const bool wide = rec.type == EMR_EXTTEXTOUTW;
        const std::uint32_t n = readU32(r, 44);
        const std::uint32_t offString = readU32(r, 48);
        const std::uint32_t options = readU32(r, 52);
        const std::uint32_t offDx = readU32(r, 72);
        std::string text;
        if (wide) {
            std::u32string u;
            for (std::uint32_t i = 0; i < n; ++i) {
                u.push_back(readU16(r, offString + 2 * std::size_t(i)));
            }
            text = cp1251Of(u);
        } else if (n > 0) {
            const auto s = r.subspan(offString, n);
            text.assign(reinterpret_cast<const char*>(s.data()), s.size());
        }
        const gfx::TRect box = rectAt(r, 56);
        if (options & ETO_OPAQUE) {
            canvas_.Brush.Style = gfx::TBrushStyle::bsSolid;
            canvas_.Brush.Color = colorOf(s_.bkColor);
            canvas_.FillRect(box);
        }
        if (text.empty()) {
            return;
        }
        gfx::TFont& f = canvas_.Font;
        f.Name = s_.font.face;
        const int height = s_.font.height == 0 ? -12 : s_.font.height;
        const int scaled =
            std::clamp(toInt(double(height) * scaleY()), -kMaxFontHeight, kMaxFontHeight);
        f.Height = scaled == 0 ? (height < 0 ? -1 : 1) : scaled;
        f.PixelsPerInch = canvas_.PixelsPerInch();
        f.Bold = s_.font.weight >= 600;
        f.Italic = s_.font.italic;
        f.Underline = s_.font.underline;
        f.StrikeOut = s_.font.strikeOut;
        f.Charset = s_.font.charset;
        f.Color = colorOf(s_.textColor);
        if (s_.bkMode == OPAQUE) {
            canvas_.Brush.Style = gfx::TBrushStyle::bsSolid;
            canvas_.Brush.Color = colorOf(s_.bkColor);
        } else {
            canvas_.Brush.Style = gfx::TBrushStyle::bsClear;
        }
        const bool updateCp = (s_.textAlign & TA_UPDATECP) != 0;
        const gfx::TPoint ref =
            updateCp ? point(s_.curX, s_.curY) : point(readI32(r, 36), readI32(r, 40));
        double logicalWidth = 0;
        int width = 0;
        if (offDx != 0 && n > 0) {
            const std::size_t step = (options & 0x2000) ? 8 : 4;
            for (std::uint32_t i = 0; i < n; ++i) {
                logicalWidth += readI32(r, offDx + step * i);
            }
            width = toInt(logicalWidth * scaleX());
        } else {
            width = canvas_.TextWidth(text);
            logicalWidth = scaleX() > 1e-12 ? width / scaleX() : 0;
        }
        int left = ref.X;
        if ((s_.textAlign & TA_CENTER_BITS) == TA_CENTER_BITS) {
            left -= width / 2;
        } else if (s_.textAlign & TA_RIGHT_BIT) {
            left -= width;
        }
        int top = ref.Y;
        if ((s_.textAlign & TA_BASELINE_BITS) == TA_BASELINE_BITS) {
            top -= canvas_.TextMetrics().Ascent;
        } else if (s_.textAlign & TA_BOTTOM_BIT) {
            top -= canvas_.TextMetrics().Height;
        }
        canvas_.DrawTextRun(left, top, text, std::string::npos,
                            (options & ETO_CLIPPED) ? &box : nullptr);
        if (updateCp) {
            s_.curX += logicalWidth;
        }
    }

    void fillRop(const gfx::TRect& dest, std::uint32_t rop) {
        if (rop == BLACKNESS || rop == WHITENESS) {
            canvas_.Brush.Style = gfx::TBrushStyle::bsSolid;
            canvas_.Brush.Color = rop == BLACKNESS ? gfx::clBlack : gfx::clWhite;
        } else {
            useBrush();
        }
        canvas_.FillRect(dest);
    }

    void dibRecord(std::span<const std::uint8_t> r, std::int32_t cxDest, std::int32_t cyDest,
                   std::uint32_t rop) {
        const std::int32_t xDest = readI32(r, 24);
        const std::int32_t yDest = readI32(r, 28);
        const gfx::TRect dest = rect(xDest, yDest, xDest + cxDest, yDest + cyDest);
        const std::uint32_t cbBmi = readU32(r, 52);
        if (cbBmi == 0) {
            fillRop(dest, rop);
            return;
        }
        const auto bmi = r.subspan(readU32(r, 48), cbBmi);
        const auto bits = r.subspan(readU32(r, 56), readU32(r, 60));
        const DibInfo info = checkDib(bmi, bits.size());
        const std::int32_t xSrc = readI32(r, 32);
        const std::int32_t ySrc = readI32(r, 36);
        const std::int32_t cxSrc = readI32(r, 40);
        const std::int32_t cySrc = readI32(r, 44);
        // Source rows of a bottom-up DIB are counted from its bottom edge.
        const std::int64_t top = info.topDown ? ySrc : std::int64_t(info.height) - ySrc - cySrc;
        const gfx::TRect src{
            xSrc, int(std::clamp<std::int64_t>(top, INT32_MIN / 2, INT32_MAX / 2)), xSrc + cxSrc,
            int(std::clamp<std::int64_t>(top + cySrc, INT32_MIN / 2, INT32_MAX / 2))};
        drawRecordBitmap(canvas_, dest, bmi, bits, src, std::nullopt);
    }

    void bltRecord(const EmfRecord& rec) {
        const auto r = rec.bytes;
        const std::int32_t xDest = readI32(r, 24);
        const std::int32_t yDest = readI32(r, 28);
        const std::int32_t cxDest = readI32(r, 32);
        const std::int32_t cyDest = readI32(r, 36);
        const gfx::TRect dest = rect(xDest, yDest, xDest + cxDest, yDest + cyDest);
        const std::uint32_t ropOrKey = readU32(r, 40);
        const std::uint32_t cbBmi = readU32(r, 88);
        if (cbBmi == 0) {
            fillRop(dest, rec.type == EMR_TRANSPARENTBLT ? PATCOPY : ropOrKey);
            return;
        }
        const auto bmi = r.subspan(readU32(r, 84), cbBmi);
        const auto bits = r.subspan(readU32(r, 92), readU32(r, 96));
        const std::int32_t xSrc = readI32(r, 44);
        const std::int32_t ySrc = readI32(r, 48);
        std::int32_t cxSrc = cxDest;
        std::int32_t cySrc = cyDest;
        if (rec.type != EMR_BITBLT) {
            cxSrc = readI32(r, 100);
            cySrc = readI32(r, 104);
        }
        const gfx::TRect src{xSrc, ySrc, xSrc + cxSrc, ySrc + cySrc};
        std::optional<gfx::TColor> key;
        if (rec.type == EMR_TRANSPARENTBLT) {
            key = colorOf(ropOrKey);
        }
        drawRecordBitmap(canvas_, dest, bmi, bits, src, key);
    }

    const Metafile& mf_;
    gfx::TCanvas& canvas_;
    const std::optional<gfx::TRect> initialClip_;
    double srcLeft_ = 0, srcTop_ = 0, kx_ = 1, ky_ = 1;
    double destLeft_ = 0, destTop_ = 0;
    State s_;
    std::vector<State> saved_;
    std::map<std::uint32_t, Object> objects_;
};

} // namespace

void playMetafile(const Metafile& metafile, gfx::TCanvas& canvas, const gfx::TRect& dest) {
    if (metafile.Empty() || dest.IsEmpty()) {
        return;
    }
    Player(metafile, canvas, dest).play();
}

} // namespace platform::emf
