// A surface of a DirectDraw object and the canvas that draws on it.
#pragma once

#include "platform/ddraw/DirectDraw.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ForwardingCanvas.h"
#include "surfaces/DirectDrawObjects.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class TDIB;

// The canvas of a surface: it takes the surface's drawing context on the first drawing and keeps
// it (the surface stays locked) until Release.
class TDirectDrawSurfaceCanvas : public platform::gfx::ForwardingCanvas {
public:
    explicit TDirectDrawSurfaceCanvas(TDirectDrawSurface& surface) : surface_(surface) {}
    ~TDirectDrawSurfaceCanvas() override;
    // Gives the drawing context back; a second Release does nothing.
    void Release();
    bool HandleAllocated() const { return dc_ != nullptr; }
    platform::gfx::TRect DeviceRect() const override;

protected:
    platform::gfx::TCanvas& target() override;

private:
    TDirectDrawSurface& surface_;
    platform::gfx::TCanvas* dc_ = nullptr;
};

class TDirectDrawSurface : public TDirectX {
public:
    explicit TDirectDrawSurface(TDirectDraw& ddraw);
    ~TDirectDrawSurface() override;
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    TDirectDraw& DDraw() { return ddraw_; }

    // The held surface; raises "IDirectDrawSurface not made" without one.
    platform::ddraw::Surface& IDDSurface();
    bool HasSurface() const { return surface_ != nullptr; }
    void SetIDDSurface(std::shared_ptr<platform::ddraw::Surface> surface);
    const std::shared_ptr<platform::ddraw::Surface>& SurfacePtr() const { return surface_; }

    bool CreateSurface(const platform::ddraw::SurfaceDesc& desc);
    // Width or height below 1 releases the surface; a surface that cannot be made raises.
    void SetSize(int width, int height);
    bool SystemMemory = false;

    int Width() const { return desc_.width; }
    int Height() const { return desc_.height; }
    int BitCount() const { return desc_.bitCount; }
    std::uint32_t Caps() const { return desc_.caps; }
    platform::gfx::TRect ClientRect() const { return {0, 0, Width(), Height()}; }

    bool Blt(const platform::gfx::TRect* dest, const platform::gfx::TRect* source,
             std::uint32_t flags, const platform::ddraw::BltFx& fx, TDirectDrawSurface* from);
    // A colour fill of the whole surface with a raw pixel value (0 is black). A canvas still
    // holding the drawing context is released first.
    void Fill(std::uint32_t devColor);
    TDirectDrawSurfaceCanvas& Canvas();
    bool Restore();
    HRESULT IsLost();

    void SetClipper(TDirectDrawClipper* clipper);
    void SetPalette(TDirectDrawPalette* palette);
    void SetColorKey(std::uint32_t flags, const platform::ddraw::ColorKey& key);
    bool HasClipper() const { return hasClipper_; }

    // Releases (nullptr), loads a picture, or duplicates another surface.
    void Assign(std::nullptr_t);
    void Assign(const platform::gfx::TBitmap& picture);
    void Assign(const TDIB& dib);
    void Assign(const TDirectDrawSurface& source);
    // Loads part of a picture, sizing the surface to the rectangle.
    void LoadFromGraphicRect(const platform::gfx::TBitmap& picture, const platform::gfx::TRect& r);
    void LoadFromDIBRect(const TDIB& dib, const platform::gfx::TRect& r);
    // Copies the whole surface into a 24-bit DIB of its size.
    void AssignTo(TDIB& dib);

private:
    TDirectDraw& ddraw_;
    std::shared_ptr<platform::ddraw::Surface> surface_;
    platform::ddraw::SurfaceDesc desc_;
    bool hasClipper_ = false;
    std::unique_ptr<TDirectDrawSurfaceCanvas> canvas_;
};
