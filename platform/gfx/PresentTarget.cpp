#include "platform/gfx/PresentTarget.h"

#include "platform/gfx/Canvas.h"

namespace platform::gfx {

void MemoryPresentTarget::Fill(std::uint32_t devColor) {
    const std::uint32_t argb = 0xFF000000u | (devColor & 0x00FFFFFFu);
    for (int y = 0; y < back_.Height(); ++y) {
        std::uint32_t* row = back_.ScanLine(y);
        for (int x = 0; x < back_.Width(); ++x) {
            row[x] = argb;
        }
    }
}

void MemoryPresentTarget::DrawAndRelease(int x, int y, const TBitmap& bitmap) {
    back_.Canvas().Draw(x, y, bitmap);
}

void MemoryPresentTarget::DrawOverAndRelease(const TRect& clip,
                                             const std::function<void(TCanvas&)>& draw) {
    TCanvas& c = back_.Canvas();
    const CanvasState saved(c);
    c.SetClipRect(c.ClipSetting() ? IntersectRect(*c.ClipSetting(), clip) : clip);
    draw(c);
}

void MemoryPresentTarget::Flip() {
    shown_ = back_;
    ++flips_;
}

} // namespace platform::gfx
