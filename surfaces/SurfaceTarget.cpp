#include "surfaces/SurfaceTarget.h"

void TSurfaceViewTarget::Fill(std::uint32_t devColor) {
    if (TDirectDrawSurface* s = view_.Surface()) {
        s->Fill(devColor);
    }
}

void TSurfaceViewTarget::DrawAndRelease(int x, int y, const platform::gfx::TBitmap& bitmap) {
    if (TDirectDrawSurface* s = view_.Surface()) {
        TDirectDrawSurfaceCanvas& canvas = s->Canvas();
        canvas.Draw(x, y, bitmap);
        canvas.Release();
    }
}

void TSurfaceViewTarget::CoverAndRelease(const platform::gfx::TBitmap& picture,
                                         std::uint32_t devColor) {
    TDirectDrawSurface* s = view_.Surface();
    if (s == nullptr) {
        return;
    }
    // A clip left on the surface's canvas or a colour key would cut the picture: the canvas
    // draws it then.
    if (picture.Transparent || s->Canvas().ClipSetting() || !s->Cover(picture, devColor)) {
        PresentTarget::CoverAndRelease(picture, devColor);
    }
}

void TSurfaceViewTarget::DrawOverAndRelease(
    const platform::gfx::TRect& clip, const std::function<void(platform::gfx::TCanvas&)>& draw) {
    if (TDirectDrawSurface* s = view_.Surface()) {
        TDirectDrawSurfaceCanvas& canvas = s->Canvas();
        {
            const platform::gfx::CanvasState saved(canvas);
            // A clip already set on the canvas cuts the drawing too, as it cuts every picture.
            canvas.SetClipRect(canvas.ClipSetting()
                                   ? platform::gfx::IntersectRect(*canvas.ClipSetting(), clip)
                                   : clip);
            draw(canvas);
        }
        canvas.Release();
    }
}

platform::gfx::TBitmap* TSurfaceViewTarget::BackPicture() {
    TDirectDrawSurface* s = view_.Surface();
    // A clip left on the surface's canvas would cut a picture drawn onto it: not this way then.
    if (s == nullptr || !s->HasSurface() || s->Canvas().ClipSetting()) {
        return nullptr;
    }
    s->Canvas().Release(); // the surface is drawn on now, not through a drawing context
    platform::ddraw::Surface& back = s->IDDSurface();
    if (back.IsPrimary() || back.HasDC() || back.IsLost() != platform::ddraw::DD_OK) {
        return nullptr;
    }
    platform::gfx::TBitmap& pixels = back.Pixels();
    if (pixels.Width() != Width() || pixels.Height() != Height()) {
        return nullptr; // a stretched or centred surface: the picture is made at the view's size
    }
    // The picture's own canvas starts as a new one would.
    platform::gfx::TCanvas& c = pixels.Canvas();
    c.Pen = {};
    c.Brush = {};
    c.Font = {};
    c.PenPos = {};
    c.TextAlign = platform::gfx::TA_LEFT | platform::gfx::TA_TOP;
    c.ResetClip();
    return &pixels;
}
