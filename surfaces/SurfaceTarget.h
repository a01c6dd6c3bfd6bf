// Presents model pictures on a drawing-surface control: the control's back surface seen through
// the model's PresentTarget interface.
#pragma once

#include "platform/gfx/PresentTarget.h"
#include "surfaces/SurfaceViews.h"

class TSurfaceViewTarget : public platform::gfx::PresentTarget {
public:
    explicit TSurfaceViewTarget(TCustomSurfaceView& view) : view_(view) {}

    int Width() const override { return view_.width(); }
    int Height() const override { return view_.height(); }
    bool CanDraw() override { return view_.CanDraw(); }
    void Fill(std::uint32_t devColor) override;
    void DrawAndRelease(int x, int y, const platform::gfx::TBitmap& bitmap) override;
    void CoverAndRelease(const platform::gfx::TBitmap& picture, std::uint32_t devColor) override;
    void DrawOverAndRelease(const platform::gfx::TRect& clip,
                            const std::function<void(platform::gfx::TCanvas&)>& draw) override;
    void Flip() override { view_.Flip(); }
    platform::gfx::TBitmap* BackPicture() override;

private:
    TCustomSurfaceView& view_;
};
