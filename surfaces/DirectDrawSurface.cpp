#include "surfaces/DirectDrawSurface.h"

#include "surfaces/DIB.h"

using namespace platform;
using platform::gfx::TRect;

// ---- TDirectDrawSurfaceCanvas ------------------------------------------------------------------

TDirectDrawSurfaceCanvas::~TDirectDrawSurfaceCanvas() {
    Release();
}

gfx::TCanvas& TDirectDrawSurfaceCanvas::target() {
    if (!dc_) {
        ddraw::Surface& s = surface_.IDDSurface();
        gfx::TCanvas* dc = nullptr;
        if (s.GetDC(dc) != ddraw::DD_OK || !dc) {
            throw gfx::GraphicError("Canvas does not allow drawing");
        }
        dc_ = dc;
    }
    return *dc_;
}

void TDirectDrawSurfaceCanvas::Release() {
    if (dc_ && surface_.HasSurface()) {
        surface_.IDDSurface().ReleaseDC(dc_);
    }
    dc_ = nullptr;
}

TRect TDirectDrawSurfaceCanvas::DeviceRect() const {
    return surface_.ClientRect();
}

// ---- TDirectDrawSurface ------------------------------------------------------------------------

TDirectDrawSurface::TDirectDrawSurface(TDirectDraw& ddraw) : ddraw_(ddraw) {}

TDirectDrawSurface::~TDirectDrawSurface() {
    canvas_.reset();
    surface_.reset();
}

ddraw::Surface& TDirectDrawSurface::IDDSurface() {
    if (!surface_) {
        throw EDirectDrawSurfaceError(
            FormatSurfaceText(SurfaceTexts::NotMade, "IDirectDrawSurface"));
    }
    return *surface_;
}

void TDirectDrawSurface::SetIDDSurface(std::shared_ptr<ddraw::Surface> surface) {
    if (canvas_) {
        canvas_->Release();
    }
    surface_.reset();
    desc_ = {};
    hasClipper_ = false;
    if (surface) {
        surface_ = std::move(surface);
        hasClipper_ = surface_->GetClipper() != nullptr;
        desc_ = surface_->Desc();
    }
}

bool TDirectDrawSurface::CreateSurface(const ddraw::SurfaceDesc& desc) {
    SetIDDSurface(nullptr);
    std::shared_ptr<ddraw::Surface> s;
    if (setResult(ddraw_.IDraw().CreateSurface(desc, s)) != ddraw::DD_OK) {
        return false;
    }
    SetIDDSurface(std::move(s));
    SetColorKey(ddraw::DDCKEY_SRCBLT, {0, 0});
    return true;
}

void TDirectDrawSurface::SetSize(int width, int height) {
    if (width < 1 || height < 1) {
        SetIDDSurface(nullptr);
        return;
    }
    ddraw::SurfaceDesc d;
    d.flags = ddraw::DDSD_CAPS | ddraw::DDSD_HEIGHT | ddraw::DDSD_WIDTH;
    d.caps = ddraw::DDSCAPS_OFFSCREENPLAIN | (SystemMemory ? ddraw::DDSCAPS_SYSTEMMEMORY : 0u);
    d.width = width;
    d.height = height;
    if (CreateSurface(d)) {
        return;
    }
    if (!SystemMemory) {
        d.caps = (d.caps & ~ddraw::DDSCAPS_VIDEOMEMORY) | ddraw::DDSCAPS_SYSTEMMEMORY;
        if (CreateSurface(d)) {
            SystemMemory = true;
            return;
        }
    }
    throw EDirectDrawSurfaceError(
        FormatSurfaceText(SurfaceTexts::CannotMade, SurfaceTexts::Surface));
}

bool TDirectDrawSurface::Blt(const TRect* dest, const TRect* source, std::uint32_t flags,
                             const ddraw::BltFx& fx, TDirectDrawSurface* from) {
    if (!surface_) {
        return false;
    }
    ddraw::Surface* src = from && from->surface_ ? from->surface_.get() : nullptr;
    return setResult(surface_->Blt(dest, src, source, flags, &fx)) == ddraw::DD_OK;
}

void TDirectDrawSurface::Fill(std::uint32_t devColor) {
    if (canvas_) {
        canvas_->Release(); // a held drawing context would make the fill fail
    }
    ddraw::BltFx fx;
    fx.fillColor = devColor;
    Blt(nullptr, nullptr, ddraw::DDBLT_COLORFILL | ddraw::DDBLT_WAIT, fx, nullptr);
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TDirectDrawSurfaceCanvas>(*this);
    }
    return *canvas_;
}

bool TDirectDrawSurface::Restore() {
    if (!surface_) {
        return false;
    }
    return setResult(surface_->Restore()) == ddraw::DD_OK;
}

HRESULT TDirectDrawSurface::IsLost() {
    return surface_ ? setResult(surface_->IsLost()) : ddraw::DDERR_INVALIDPARAMS;
}

void TDirectDrawSurface::SetClipper(TDirectDrawClipper* clipper) {
    setResult(IDDSurface().SetClipper(clipper ? clipper->ClipperPtr() : nullptr));
    hasClipper_ = clipper != nullptr;
}

void TDirectDrawSurface::SetPalette(TDirectDrawPalette* palette) {
    setResult(IDDSurface().SetPalette(palette ? palette->PalettePtr() : nullptr));
}

void TDirectDrawSurface::SetColorKey(std::uint32_t flags, const ddraw::ColorKey& key) {
    setResult(IDDSurface().SetColorKey(flags, key));
}

void TDirectDrawSurface::Assign(std::nullptr_t) {
    SetIDDSurface(nullptr);
}

void TDirectDrawSurface::Assign(const gfx::TBitmap& picture) {
    LoadFromGraphicRect(picture, {0, 0, picture.Width(), picture.Height()});
}

void TDirectDrawSurface::Assign(const TDIB& dib) {
    LoadFromDIBRect(dib, {0, 0, dib.Width(), dib.Height()});
}

void TDirectDrawSurface::Assign(const TDirectDrawSurface& source) {
    if (!source.surface_) {
        SetIDDSurface(nullptr);
        return;
    }
    std::shared_ptr<ddraw::Surface> copy;
    if (setResult(ddraw_.IDraw().DuplicateSurface(source.surface_, copy)) == ddraw::DD_OK) {
        SetIDDSurface(std::move(copy));
    }
}

void TDirectDrawSurface::LoadFromGraphicRect(const gfx::TBitmap& picture, const TRect& r) {
    SetSize(r.Width(), r.Height());
    if (!surface_) {
        return;
    }
    if (r.Width() == Width() && r.Height() == Height()) {
        Canvas().Draw(-r.Left, -r.Top, picture);
        Canvas().Release();
        return;
    }
    TDIB temp;
    temp.SetSize(r.Width(), r.Height(), 24);
    temp.Canvas().Draw(-r.Left, -r.Top, picture);
    Canvas().StretchDraw(ClientRect(), temp.ToBitmap());
    Canvas().Release();
}

void TDirectDrawSurface::LoadFromDIBRect(const TDIB& dib, const TRect& r) {
    SetSize(r.Width(), r.Height());
    if (!surface_) {
        return;
    }
    Canvas().CopyRect(ClientRect(), dib.ToBitmap(), r);
    Canvas().Release();
}

void TDirectDrawSurface::AssignTo(TDIB& dib) {
    dib.SetSize(Width(), Height(), 24);
    if (!surface_) {
        return;
    }
    dib.Canvas().CopyRect(dib.ClientRect(), surface_->Pixels(), ClientRect());
    Canvas().Release();
}
