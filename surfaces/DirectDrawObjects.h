// The DirectDraw object over the in-memory display service of platform/ddraw, and the palette
// and clipper objects it makes; the surfaces it makes are in DirectDrawSurface.h.
#pragma once

#include "platform/ddraw/DirectDraw.h"
#include "surfaces/SurfaceErrors.h"

#include <memory>
#include <vector>

using platform::ddraw::HRESULT;

class TDirectX {
public:
    virtual ~TDirectX() = default;
    // The result of the last call into the display service (0 = success).
    HRESULT DXResult() const { return result_; }

protected:
    // Stores a result; a failure goes through the result hook.
    HRESULT setResult(HRESULT r);
    // The result hook: nothing happens in any class of the program.
    virtual void Check() {}

private:
    HRESULT result_ = 0;
};

class TDirectDrawSurface;
class TDirectDrawPalette;
class TDirectDrawClipper;

// Owns every surface, palette and clipper object made for it; destroying it frees those still
// there, surfaces first (last made first), then palettes, then clippers.
class TDirectDraw : public TDirectX {
public:
    // `directX7Mode` picks the newer creation call; both give the same service here.
    explicit TDirectDraw(bool directX7Mode = true);
    ~TDirectDraw() override;
    TDirectDraw(const TDirectDraw&) = delete;
    TDirectDraw& operator=(const TDirectDraw&) = delete;

    platform::ddraw::DirectDraw& IDraw();
    platform::ddraw::DirectDraw& IDraw7();
    bool DirectX7Mode() const { return directX7Mode_; }
    const platform::ddraw::Caps& DriverCaps() const { return driverCaps_; }
    const platform::ddraw::Caps& HELCaps() const { return helCaps_; }

    // Object making and freeing (the objects stay owned by this DirectDraw object).
    TDirectDrawSurface* NewSurface();
    TDirectDrawPalette* NewPalette();
    TDirectDrawClipper* NewClipper();
    void Free(TDirectDrawSurface*& surface);
    void Free(TDirectDrawPalette*& palette);
    void Free(TDirectDrawClipper*& clipper);

    int SurfaceCount() const { return static_cast<int>(surfaces_.size()); }
    int PaletteCount() const { return static_cast<int>(palettes_.size()); }
    int ClipperCount() const { return static_cast<int>(clippers_.size()); }

private:
    bool directX7Mode_;
    std::unique_ptr<platform::ddraw::DirectDraw> draw_;
    platform::ddraw::Caps driverCaps_;
    platform::ddraw::Caps helCaps_;
    std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces_;
    std::vector<std::unique_ptr<TDirectDrawPalette>> palettes_;
    std::vector<std::unique_ptr<TDirectDrawClipper>> clippers_;
};

class TDirectDrawPalette : public TDirectX {
public:
    explicit TDirectDrawPalette(TDirectDraw& ddraw) : ddraw_(ddraw) {}
    bool CreatePalette(std::uint32_t caps, const platform::ddraw::PaletteEntry* entries);
    bool SetEntries(int first, int count, const platform::ddraw::PaletteEntry* entries);
    platform::ddraw::Palette& IDDPalette();
    const std::shared_ptr<platform::ddraw::Palette>& PalettePtr() const { return palette_; }

private:
    TDirectDraw& ddraw_;
    std::shared_ptr<platform::ddraw::Palette> palette_;
};

class TDirectDrawClipper : public TDirectX {
public:
    // Raises EDirectDrawClipperError "Clipper cannot be made" when the service refuses.
    explicit TDirectDrawClipper(TDirectDraw& ddraw);
    void SetHandle(platform::ddraw::Window* window);
    platform::ddraw::Clipper& IDDClipper();
    const std::shared_ptr<platform::ddraw::Clipper>& ClipperPtr() const { return clipper_; }

private:
    std::shared_ptr<platform::ddraw::Clipper> clipper_;
};
