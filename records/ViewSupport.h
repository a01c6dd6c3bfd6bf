// Small pieces every record view is drawn with: the pen, brush and font settings the views use,
// the sequence that puts prepared pictures on a drawing surface, and the scheme that a drawing
// argument stands for. Internal to the views of this folder.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "records/BaseAScanUnit.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>

namespace views {

// Marks of the band and map rulers (scan direction, rows, columns), in pixels, and the axis
// letter's distance from the end.
constexpr int kLongMark = 12;
constexpr int kShortMark = 7;
constexpr int kLetterGap = 5;

using platform::gfx::TBitmap;
using platform::gfx::TCanvas;

// The scheme whose colours a drawing shows: the record's own for KeepScheme.
inline std::uint8_t SchemeInEffect(const TBaseAScanCell& record, std::uint8_t scheme) {
    return scheme == KeepScheme ? record.ColorScheme : scheme;
}

inline void SolidPen(TCanvas& c, TColor color) {
    c.Pen.Color = color;
    c.Pen.Style = platform::gfx::TPenStyle::psSolid;
    c.Pen.Width = 1;
}

inline void StyledPen(TCanvas& c, TColor color, platform::gfx::TPenStyle style) {
    c.Pen.Color = color;
    c.Pen.Style = style;
    c.Pen.Width = 1;
}

inline void SolidBrush(TCanvas& c, TColor color) {
    c.Brush.Color = color;
    c.Brush.Style = platform::gfx::TBrushStyle::bsSolid;
}

inline void ClearBrush(TCanvas& c) {
    c.Brush.Style = platform::gfx::TBrushStyle::bsClear;
}

// The font of every ruler and scale text.
inline void RulerFont(TCanvas& c, TColor color) {
    c.Font = platform::gfx::TFont{};
    c.Font.Name = "Arial";
    c.Font.SetSize(9);
    c.Font.Color = color;
}

// The picture's default font, for texts the views give no font.
inline void DefaultFont(TCanvas& c, TColor color) {
    c.Font = platform::gfx::TFont{};
    c.Font.Color = color;
}

inline void Line(TCanvas& c, int x0, int y0, int x1, int y1) {
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
}

// A bitmap of w x h (negative sizes count as 0) with its canvas in a known state: solid brush
// of `background`, solid black pen, no clipping, no text alignment left over. The pixels are left
// as they are, for pictures that write every pixel themselves.
inline void PreparePicture(TBitmap& b, int w, int h, TColor background) {
    b.Transparent = false;
    b.SetSize(w > 0 ? w : 0, h > 0 ? h : 0);
    TCanvas& c = b.Canvas();
    c.ResetClip();
    c.TextAlign = platform::gfx::TA_LEFT | platform::gfx::TA_TOP;
    SolidPen(c, platform::gfx::clBlack);
    SolidBrush(c, background);
}

// The same, filled with the background.
inline void StartPicture(TBitmap& b, int w, int h, TColor background) {
    PreparePicture(b, w, h, background);
    b.Canvas().FillRect({0, 0, b.Width(), b.Height()});
}

// Surfaces show the pictures in order (the first at the bottom) after a fill with 0, then what
// `over` draws on them; nothing when the surface cannot draw now.
inline void PresentLayers(platform::gfx::PresentTarget& target,
                          std::initializer_list<const TBitmap*> pictures,
                          const std::function<void()>& over = {}) {
    if (!target.CanDraw()) {
        return;
    }
    bool filled = false;
    for (const TBitmap* p : pictures) {
        if (p == nullptr) {
            continue;
        }
        if (filled) {
            target.DrawAndRelease(0, 0, *p);
        } else {
            target.CoverAndRelease(*p, 0);
            filled = true;
        }
    }
    if (!filled) {
        target.Fill(0);
    }
    if (over) {
        over();
    }
    target.Flip();
}

// Where the cursor lines of a view are drawn: on a transparent picture keyed with the colour of
// its background (reports and composite pictures lay it over the view's picture), or straight
// onto a drawing surface over the picture already there. Either way a line in the key colour
// does not show.
class CursorLayer {
public:
    virtual ~CursorLayer() = default;
    // Runs `lines` on a canvas of w x h with a solid 1-pixel pen of `pen` and a solid brush of
    // `key`.
    virtual void Draw(int w, int h, TColor key, TColor pen,
                      const std::function<void(TCanvas&)>& lines) = 0;
};

// The cursor lines as a picture of their own.
class CursorPicture : public CursorLayer {
public:
    explicit CursorPicture(TBitmap& bitmap) : bitmap_(bitmap) {}
    void Draw(int w, int h, TColor key, TColor pen,
              const std::function<void(TCanvas&)>& lines) override {
        StartPicture(bitmap_, w, h, key);
        bitmap_.Transparent = true;
        bitmap_.SetTransparentColor(key);
        TCanvas& c = bitmap_.Canvas();
        SolidPen(c, pen);
        lines(c);
    }

private:
    TBitmap& bitmap_;
};

// The cursor lines drawn on a drawing surface, after the picture under them.
class CursorLinesOnSurface : public CursorLayer {
public:
    explicit CursorLinesOnSurface(platform::gfx::PresentTarget& target) : target_(target) {}
    void Draw(int w, int h, TColor key, TColor pen,
              const std::function<void(TCanvas&)>& lines) override {
        using platform::gfx::colorToArgb;
        if (w <= 0 || h <= 0 || ((colorToArgb(pen) ^ colorToArgb(key)) & 0xFFFFFFu) == 0) {
            return;
        }
        target_.DrawOverAndRelease({0, 0, w, h}, [&](TCanvas& c) {
            c.TextAlign = platform::gfx::TA_LEFT | platform::gfx::TA_TOP;
            SolidBrush(c, key);
            SolidPen(c, pen);
            lines(c);
        });
    }

private:
    platform::gfx::PresentTarget& target_;
};

// A colour table as pixel words, so a picture is written a scan line at a time.
template <std::size_t N>
std::array<std::uint32_t, N> PixelTable(const std::array<TColor, N>& colors) {
    std::array<std::uint32_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = platform::gfx::colorToArgb(colors[i]);
    }
    return out;
}

// A picture rendered at a target's size, then shown on the drawing surface (nothing happens when
// the surface cannot draw) or drawn onto a report image.
template <typename Render> void toSurface(platform::gfx::PresentTarget& surface, Render render) {
    if (!surface.CanDraw()) {
        return;
    }
    TBitmap picture;
    render(picture, surface.Width(), surface.Height());
    PresentLayers(surface, {&picture});
}

// The same for a picture that `render` makes whole at the size asked for (its size and every pixel
// set by StartPicture): made straight on the surface's back picture where the surface offers it.
template <typename Render>
void toSurfaceWhole(platform::gfx::PresentTarget& surface, Render render) {
    if (!surface.CanDraw()) {
        return;
    }
    if (TBitmap* back = surface.BackPicture()) {
        render(*back, surface.Width(), surface.Height());
        surface.Flip();
        return;
    }
    toSurface(surface, render);
}

template <typename Render> void toReport(platform::gfx::ReportImageTarget& image, Render render) {
    TBitmap picture;
    render(picture, image.Width(), image.Height());
    platform::gfx::DrawOnReportImage(image, {&picture});
}

} // namespace views
