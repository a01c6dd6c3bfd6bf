// A drawing surface as the model sees it: every record picture and the flash markup pie are
// rendered into an off-screen bitmap of the target's size and then presented through this
// interface (fill with 0, draw at 0,0, release the canvas, flip); cursor lines may be drawn
// straight onto the back surface over the picture. The drawing-surface control
// implements it; tests use an in-memory target.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

#include <functional>
#include <optional>

namespace platform::gfx {

class PresentTarget {
public:
    virtual ~PresentTarget() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // False when the surface cannot take a picture now (not initialised, lost).
    virtual bool CanDraw() = 0;
    // Fills the back surface with a device colour.
    virtual void Fill(std::uint32_t devColor) = 0;
    // Draws the bitmap onto the back surface at (x, y) and gives the surface's canvas back.
    virtual void DrawAndRelease(int x, int y, const TBitmap& bitmap) = 0;
    // The same result as Fill(devColor) followed by DrawAndRelease(0, 0, picture); a target may
    // leave out the fill where an opaque picture covers the back surface anyway.
    virtual void CoverAndRelease(const TBitmap& picture, std::uint32_t devColor) {
        Fill(devColor);
        DrawAndRelease(0, 0, picture);
    }
    // Lets `draw` draw on the back surface's canvas, cut to `clip` (and to a clip already set on
    // the canvas), and gives the canvas back.
    // The canvas's pen, brush, font, alignment and clipping are as before afterwards.
    virtual void DrawOverAndRelease(const TRect& clip,
                                    const std::function<void(TCanvas&)>& draw) = 0;
    // Shows the back surface.
    virtual void Flip() = 0;
    // The back surface's own pixels, for a picture of exactly Width() x Height() that is made
    // whole on them (size kept, every pixel drawn) and then shown with Flip(): the same as making
    // it elsewhere and covering the back surface with it, without the copy. nullptr when the
    // target cannot offer them now; the caller then makes the picture elsewhere.
    virtual TBitmap* BackPicture() { return nullptr; }
};

// The whole presentation sequence; nothing happens when the target cannot draw.
inline void Present(PresentTarget& target, const TBitmap& picture) {
    if (!target.CanDraw()) {
        return;
    }
    target.Fill(0);
    target.DrawAndRelease(0, 0, picture);
    target.Flip();
}

// A target in memory: the picture last presented, for tests and off-screen use.
class MemoryPresentTarget : public PresentTarget {
public:
    MemoryPresentTarget(int width, int height) : back_(width, height) {}

    int Width() const override { return back_.Width(); }
    int Height() const override { return back_.Height(); }
    bool CanDraw() override { return canDraw; }
    void Fill(std::uint32_t devColor) override;
    void DrawAndRelease(int x, int y, const TBitmap& bitmap) override;
    void DrawOverAndRelease(const TRect& clip, const std::function<void(TCanvas&)>& draw) override;
    void Flip() override;

    const TBitmap& Shown() const { return shown_; }
    int Flips() const { return flips_; }

    bool canDraw = true;

private:
    TBitmap back_;
    TBitmap shown_;
    int flips_ = 0;
};

} // namespace platform::gfx
