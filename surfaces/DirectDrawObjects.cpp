#include "surfaces/DirectDrawObjects.h"

#include "surfaces/DirectDrawSurface.h"

#include <algorithm>

using namespace platform;

HRESULT TDirectX::setResult(HRESULT r) {
    result_ = r;
    if (r != 0) {
        Check();
    }
    return r;
}

// ---- TDirectDraw -------------------------------------------------------------------------------

TDirectDraw::TDirectDraw(bool directX7Mode)
    : directX7Mode_(directX7Mode), draw_(std::make_unique<ddraw::DirectDraw>()) {
    setResult(draw_->GetCaps(driverCaps_, helCaps_));
}

TDirectDraw::~TDirectDraw() {
    while (!surfaces_.empty()) {
        surfaces_.pop_back();
    }
    palettes_.clear();
    clippers_.clear();
}

ddraw::DirectDraw& TDirectDraw::IDraw() {
    if (!draw_) {
        throw EDirectDrawError(FormatSurfaceText(SurfaceTexts::NotMade, "IDirectDraw"));
    }
    return *draw_;
}

ddraw::DirectDraw& TDirectDraw::IDraw7() {
    if (!draw_ || !directX7Mode_) {
        throw EDirectDrawError(FormatSurfaceText(SurfaceTexts::NotMade, "IDirectDraw7"));
    }
    return *draw_;
}

TDirectDrawSurface* TDirectDraw::NewSurface() {
    surfaces_.push_back(std::make_unique<TDirectDrawSurface>(*this));
    return surfaces_.back().get();
}

TDirectDrawPalette* TDirectDraw::NewPalette() {
    palettes_.push_back(std::make_unique<TDirectDrawPalette>(*this));
    return palettes_.back().get();
}

TDirectDrawClipper* TDirectDraw::NewClipper() {
    clippers_.push_back(std::make_unique<TDirectDrawClipper>(*this));
    return clippers_.back().get();
}

namespace {

template <typename T> void freeFrom(std::vector<std::unique_ptr<T>>& list, T*& object) {
    auto it = std::find_if(list.begin(), list.end(), [&](auto& p) { return p.get() == object; });
    if (it != list.end()) {
        list.erase(it);
    }
    object = nullptr;
}

} // namespace

void TDirectDraw::Free(TDirectDrawSurface*& surface) {
    freeFrom(surfaces_, surface);
}
void TDirectDraw::Free(TDirectDrawPalette*& palette) {
    freeFrom(palettes_, palette);
}
void TDirectDraw::Free(TDirectDrawClipper*& clipper) {
    freeFrom(clippers_, clipper);
}

// ---- TDirectDrawPalette, TDirectDrawClipper ----------------------------------------------------

bool TDirectDrawPalette::CreatePalette(std::uint32_t caps, const ddraw::PaletteEntry* entries) {
    palette_.reset();
    std::shared_ptr<ddraw::Palette> p;
    if (setResult(ddraw_.IDraw().CreatePalette(caps, entries, p)) != ddraw::DD_OK) {
        return false;
    }
    palette_ = std::move(p);
    return true;
}

bool TDirectDrawPalette::SetEntries(int first, int count, const ddraw::PaletteEntry* entries) {
    if (!palette_) {
        return false;
    }
    return setResult(palette_->SetEntries(first, count, entries)) == ddraw::DD_OK;
}

ddraw::Palette& TDirectDrawPalette::IDDPalette() {
    if (!palette_) {
        throw EDirectDrawPaletteError(
            FormatSurfaceText(SurfaceTexts::NotMade, "IDirectDrawPalette"));
    }
    return *palette_;
}

TDirectDrawClipper::TDirectDrawClipper(TDirectDraw& ddraw) {
    if (setResult(ddraw.IDraw().CreateClipper(0, clipper_)) != ddraw::DD_OK) {
        throw EDirectDrawClipperError(
            FormatSurfaceText(SurfaceTexts::CannotMade, SurfaceTexts::Clipper));
    }
}

void TDirectDrawClipper::SetHandle(ddraw::Window* window) {
    setResult(IDDClipper().SetHWnd(window));
}

ddraw::Clipper& TDirectDrawClipper::IDDClipper() {
    if (!clipper_) {
        throw EDirectDrawClipperError(
            FormatSurfaceText(SurfaceTexts::NotMade, "IDirectDrawClipper"));
    }
    return *clipper_;
}
