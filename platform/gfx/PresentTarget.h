// A drawing surface as the model sees it: every record picture and the flash markup pie are
// rendered into an off-screen bitmap of the target's size and then presented through this
// interface (fill with 0, draw at 0,0, release the canvas, flip). The drawing-surface control
// implements it; tests use an in-memory target.
#pragma once

#include "platform/gfx/Bitmap.h"

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
    // Shows the back surface.
    virtual void Flip() = 0;
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
