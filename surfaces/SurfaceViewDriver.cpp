#include "surfaces/SurfaceViewDriver.h"

#include "surfaces/SurfaceViews.h"

#include <algorithm>

using namespace platform;
using platform::gfx::TRect;

TSurfaceViewDriver::TSurfaceViewDriver(TCustomSurfaceView& owner) : owner_(owner) {
    const TSurfaceViewOptions o = owner.Options();
    if (owner.EffectiveOptions().Contains(do3D)) {
        // No three-dimensional device exists on this platform.
        throw EDirectDrawError(SurfaceTexts::Device3DNotFound);
    }
    owner.ddraw_ = std::make_unique<TDirectDraw>(o.Contains(doDirectX7Mode));
}

TSurfaceViewDriver::~TSurfaceViewDriver() {
    TCustomSurfaceView& v = owner_;
    if (v.ddraw_) {
        v.ddraw_->Free(v.clipper_);
        v.ddraw_->Free(v.palette_);
        v.ddraw_->Free(v.surface_);
        v.ddraw_->Free(v.primary_);
    }
    v.ddraw_.reset();
}

bool TSurfaceViewDriver::SetSize(int, int) {
    return false;
}

void TSurfaceViewDriverBlt::Initialize() {
    TCustomSurfaceView& v = owner_;
    TDirectDraw& dd = *v.ddraw_;
    v.primary_ = dd.NewSurface();
    ddraw::SurfaceDesc d;
    d.flags = ddraw::DDSD_CAPS;
    d.caps = ddraw::DDSCAPS_PRIMARYSURFACE;
    if (!v.primary_->CreateSurface(d)) {
        throw ESurfaceViewError(
            FormatSurfaceText(SurfaceTexts::CannotMade, SurfaceTexts::PrimarySurface));
    }
    v.surface_ = dd.NewSurface();
    v.clipper_ = dd.NewClipper();
    v.clipper_->SetHandle(&v);
    v.primary_->SetClipper(v.clipper_);
    v.palette_ = dd.NewPalette();
    std::uint32_t caps = ddraw::DDPCAPS_8BIT | ddraw::DDPCAPS_INITIALIZE;
    if (v.effectiveOptions_.Contains(doAllowPalette256)) {
        caps |= ddraw::DDPCAPS_ALLOW256;
    }
    const auto entries = v.PaletteEntriesFrom(v.ColorTable);
    v.palette_->CreatePalette(caps, entries.data());
    v.primary_->SetPalette(v.palette_);
    CreateBackSurface();
}

void TSurfaceViewDriverBlt::CreateBackSurface() {
    TCustomSurfaceView& v = owner_;
    v.surface_->SetIDDSurface(nullptr);
    v.effectiveOptions_.Exclude(doSystemMemory);
    ddraw::SurfaceDesc d;
    d.flags = ddraw::DDSD_CAPS | ddraw::DDSD_HEIGHT | ddraw::DDSD_WIDTH;
    d.width = std::max(v.storedWidth_, 1);
    d.height = std::max(v.storedHeight_, 1);
    d.caps = ddraw::DDSCAPS_OFFSCREENPLAIN;
    if (v.options_.Contains(doSystemMemory)) {
        d.caps |= ddraw::DDSCAPS_SYSTEMMEMORY;
    }
    if (!v.surface_->CreateSurface(d)) {
        d.caps |= ddraw::DDSCAPS_SYSTEMMEMORY;
        if (!v.surface_->CreateSurface(d)) {
            throw ESurfaceViewError(
                FormatSurfaceText(SurfaceTexts::CannotMade, SurfaceTexts::Surface));
        }
    }
    if (!(v.surface_->Caps() & ddraw::DDSCAPS_VIDEOMEMORY)) {
        v.effectiveOptions_.Include(doSystemMemory);
    }
    v.surface_->SetPalette(v.palette_);
    v.surface_->Fill(0);
}

void TSurfaceViewDriverBlt::Flip() {
    TCustomSurfaceView& v = owner_;
    const TSurfaceViewOptions o = v.effectiveOptions_;
    const QPoint origin = v.mapToGlobal(QPoint(0, 0));
    TRect dest;
    if (o.Contains(doStretch)) {
        dest = gfx::Bounds(origin.x(), origin.y(), v.width(), v.height());
    } else {
        dest = gfx::Bounds(origin.x(), origin.y(), v.surface_->Width(), v.surface_->Height());
        if (o.Contains(doCenter)) {
            dest = gfx::OffsetRect(dest, (v.width() - v.surface_->Width()) / 2,
                                   (v.height() - v.surface_->Height()) / 2);
        }
    }
    if (o.Contains(doWaitVBlank)) {
        v.ddraw_->IDraw().WaitForVerticalBlank(ddraw::DDWAITVB_BLOCKBEGIN);
    }
    v.surface_->Canvas().Release(); // a held drawing context would block the blit
    const TRect whole = v.surface_->ClientRect();
    v.primary_->Blt(&dest, &whole, ddraw::DDBLT_WAIT, ddraw::BltFx{}, v.surface_);
}

bool TSurfaceViewDriverBlt::SetSize(int width, int height) {
    TCustomSurfaceView& v = owner_;
    v.storedWidth_ = std::max(width, 1);
    v.storedHeight_ = std::max(height, 1);
    if (v.calledDoInitializeSurface_) {
        v.calledDoInitializeSurface_ = false;
        v.DoFinalizeSurface();
    }
    CreateBackSurface();
    v.calledDoInitializeSurface_ = true;
    v.DoInitializeSurface();
    return true;
}
