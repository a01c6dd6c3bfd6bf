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
