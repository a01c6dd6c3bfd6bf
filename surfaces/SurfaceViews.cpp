#include "surfaces/SurfaceViews.h"

#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/QtImage.h"
#include "surfaces/DIB.h"

#include <QContextMenuEvent>
#include <QPainter>

#include <algorithm>
#include <exception>

using namespace platform;
using platform::gfx::TRect;

std::string FormatSurfaceText(const char* text, const std::string& name) {
    std::string s(text);
    const auto p = s.find("%s");
    if (p != std::string::npos) {
        s.replace(p, 2, name);
    }
    return s;
}

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

// ---- Options and display -----------------------------------------------------------------------

TSurfaceViewOptions ComputeEffectiveOptions(TSurfaceViewOptions options, bool initialized,
                                            TSurfaceViewOptions current) {
    TSurfaceViewOptions e;
    if (!initialized) {
        e = options;
        if (!e.Contains(doFullScreen)) {
            for (auto o : {doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip}) {
                e.Exclude(o);
            }
        }
        if (!e.Contains(do3D)) {
            for (auto o : {doDirectX7Mode, doRetainedMode, doHardware, doSelectDriver, doZBuffer}) {
                e.Exclude(o);
            }
        }
        if (e.Contains(doSystemMemory)) {
            e.Exclude(doFlip);
        }
        if (e.Contains(doDirectX7Mode)) {
            e.Exclude(doRetainedMode);
        }
        e.Exclude(doHardware);
        return e;
    }
    e = current;
    for (auto o : {doWaitVBlank, doStretch, doCenter}) {
        if (options.Contains(o)) {
            e.Include(o);
        } else {
            e.Exclude(o);
        }
    }
    if (!e.Contains(do3D)) {
        for (auto o : {doRetainedMode, doHardware, doSelectDriver, doZBuffer}) {
            e.Exclude(o);
        }
    }
    return e;
}

void TSurfaceViewDisplay::Assign(const TSurfaceViewDisplay& other) {
    width_ = other.width_;
    height_ = other.height_;
    bitCount_ = other.bitCount_;
    FixedBitCount = other.FixedBitCount;
    FixedRatio = other.FixedRatio;
    FixedSize = other.FixedSize;
}

void TSurfaceViewDisplay::SetBitCount(int v) {
    if (v != 8 && v != 16 && v != 24 && v != 32) {
        throw EDirectDrawError(SurfaceTexts::InvalidDisplayBitCount);
    }
    bitCount_ = v;
}

const std::vector<TSurfaceViewDisplayMode>& TSurfaceViewDisplay::Modes() {
    if (modes_.empty()) {
        auto collect = [this](ddraw::DirectDraw& dd) {
            dd.EnumDisplayModes([this](const ddraw::DisplayMode& m) { modes_.push_back({m}); });
        };
        if (owner_ && owner_->DDraw()) {
            collect(owner_->DDraw()->IDraw());
        } else {
            TDirectDraw temp(true);
            collect(temp.IDraw());
        }
        std::stable_sort(modes_.begin(), modes_.end(), [](const auto& a, const auto& b) {
            if (a.Width() != b.Width()) {
                return a.Width() < b.Width();
            }
            if (a.Height() != b.Height()) {
                return a.Height() < b.Height();
            }
            return a.BitCount() < b.BitCount();
        });
    }
    return modes_;
}

int TSurfaceViewDisplay::IndexOf(int width, int height, int bitCount) {
    const auto& m = Modes();
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (m[i].Width() == width && m[i].Height() == height && m[i].BitCount() == bitCount) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TSurfaceViewDisplay::SetMode(int width, int height, int bitCount) {
    if (!owner_ || !owner_->DDraw()) {
        return false;
    }
    if (owner_->DDraw()->IDraw().SetDisplayMode(width, height, bitCount) != ddraw::DD_OK) {
        return false;
    }
    width_ = width;
    height_ = height;
    bitCount_ = bitCount;
    return true;
}

bool TSurfaceViewDisplay::DynSetSize(int width, int height, int bitCount) {
    if (width < 1 || height < 1 ||
        (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        return false;
    }
    if (SetMode(width, height, bitCount)) {
        return true;
    }
    if (FixedSize) {
        return false;
    }
    // The smallest larger mode, with the same proportions first when asked to keep them.
    for (bool sameRatio : {true, false}) {
        if (!sameRatio && FixedRatio) {
            break;
        }
        for (const auto& m : Modes()) {
            if (m.Width() < width || m.Height() < height) {
                continue;
            }
            if (FixedBitCount && m.BitCount() != bitCount) {
                continue;
            }
            if (sameRatio && std::int64_t(m.Width()) * height != std::int64_t(m.Height()) * width) {
                continue;
            }
            if (SetMode(m.Width(), m.Height(), m.BitCount())) {
                return true;
            }
        }
    }
    return false;
}

std::uint32_t BitCountToFlags(int bitCount) {
    switch (bitCount) {
    case 1:
        return 0x4000;
    case 2:
        return 0x2000;
    case 4:
        return 0x1000;
    case 8:
        return 0x800;
    case 16:
        return 0x400;
    case 24:
        return 0x200;
    case 32:
        return 0x100;
    default:
        return 0;
    }
}

// ---- Drivers -----------------------------------------------------------------------------------

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

// ---- TCustomSurfaceView ------------------------------------------------------------------------

namespace {

// The static colours of the system palette (the first ten and the last ten entries); the rest is
// black, as on a true-colour display.
std::array<TRGBQuad, 256> systemPalette() {
    std::array<TRGBQuad, 256> t{};
    const std::uint8_t low[10][3] = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {166, 202, 240}};
    const std::uint8_t high[10][3] = {
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 10; ++i) {
        t[std::size_t(i)] = {low[i][2], low[i][1], low[i][0], 0};
        t[std::size_t(246 + i)] = {high[i][2], high[i][1], high[i][0], 0};
    }
    return t;
}

} // namespace

TCustomSurfaceView::TCustomSurfaceView(QWidget* parent)
    : QWidget(parent), display_(this), color_(platform::gfx::clBtnFace) {
    options_ = {doAllowReboot, doWaitVBlank, doCenter, doDirectX7Mode, doHardware, doSelectDriver};
    effectiveOptions_ = ComputeEffectiveOptions(options_, false, {});
    ColorTable = systemPalette();
    DefaultColorTable = ColorTable;
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(100, 100);
    storedWidth_ = 100;
    storedHeight_ = 100;
    ResizeScreenImage();
    FindParentForm();
}

TCustomSurfaceView::~TCustomSurfaceView() {
    try {
        Finalize();
    } catch (...) {
        // a destructor cannot report a handler's failure
    }
    if (parentForm_ && hooked_) {
        parentForm_->removeEventFilter(this);
    }
}

void TCustomSurfaceView::DoInitializing() {
    if (OnInitializing) {
        OnInitializing(this);
    }
}
void TCustomSurfaceView::DoInitialize() {
    if (OnInitialize) {
        OnInitialize(this);
    }
}
void TCustomSurfaceView::DoInitializeSurface() {
    if (OnInitializeSurface) {
        OnInitializeSurface(this);
    }
}
void TCustomSurfaceView::DoFinalize() {
    if (OnFinalize) {
        OnFinalize(this);
    }
}
void TCustomSurfaceView::DoFinalizeSurface() {
    if (OnFinalizeSurface) {
        OnFinalizeSurface(this);
    }
}
void TCustomSurfaceView::DoRestoreSurface() {
    if (OnRestoreSurface) {
        OnRestoreSurface(this);
    }
}

void TCustomSurfaceView::Initialize() {
    everInitialized_ = true;
    Finalize();
    if (!parentForm_) {
        throw ESurfaceViewError(SurfaceTexts::FormNotFound);
    }
    try {
        DoInitializing();
        updating_ = true;
        needsFinalize_ = true;
        driver_ = std::make_unique<TSurfaceViewDriverBlt>(*this);
        SetCooperativeLevel();
        if (effectiveOptions_.Contains(doFullScreen)) {
            if (!display_.DynSetSize(display_.Width(), display_.Height(), display_.BitCount())) {
                char text[128];
                std::snprintf(text, sizeof text, SurfaceTexts::DisplayModeCannotChange,
                              display_.Width(), display_.Height(), display_.BitCount());
                throw ESurfaceViewError(text);
            }
        }
        if (autoSize_) {
            storedWidth_ = width();
            storedHeight_ = height();
        }
        driver_->Initialize();
    } catch (...) {
        updating_ = false;
        Finalize();
        throw;
    }
    updating_ = false;
    initialized_ = true;
    calledDoInitialize_ = true;
    DoInitialize();
    calledDoInitializeSurface_ = true;
    DoInitializeSurface();
    Restore();
}

void TCustomSurfaceView::Finalize() {
    if (!needsFinalize_) {
        return;
    }
    storedWidth_ = SurfaceWidth();
    storedHeight_ = SurfaceHeight();
    display_.ClearModes();
    updating_ = true;
    std::exception_ptr failure;
    if (calledDoInitializeSurface_) {
        calledDoInitializeSurface_ = false;
        try {
            DoFinalizeSurface();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (calledDoInitialize_) {
        calledDoInitialize_ = false;
        try {
            DoFinalize();
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    needsFinalize_ = false;
    initialized_ = false;
    SetOptions(options_);
    driver_.reset();
    ddraw_.reset();
    updating_ = false;
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TCustomSurfaceView::SetCooperativeLevel() {
    std::uint32_t flags = ddraw::DDSCL_NORMAL;
    if (effectiveOptions_.Contains(doFullScreen)) {
        flags = ddraw::DDSCL_FULLSCREEN | ddraw::DDSCL_EXCLUSIVE | ddraw::DDSCL_ALLOWMODEX;
        if (effectiveOptions_.Contains(doNoWindowChange)) {
            flags |= ddraw::DDSCL_NOWINDOWCHANGES;
        }
        if (effectiveOptions_.Contains(doAllowReboot)) {
            flags |= ddraw::DDSCL_ALLOWREBOOT;
        }
    }
    ddraw_->IDraw().SetCooperativeLevel(this, flags); // the result is only recorded
}

bool TCustomSurfaceView::Restore() {
    if (!initialized_ || updating_) {
        return false;
    }
    updating_ = true;
    bool ok = primary_->Restore() && surface_->Restore();
    if (ok) {
        primary_->Fill(0);
        surface_->Fill(0);
        primary_->SetPalette(palette_);
        surface_->SetPalette(palette_);
        const auto defaults = PaletteEntriesFrom(DefaultColorTable);
        palette_->SetEntries(0, 256, defaults.data());
        try {
            DoRestoreSurface();
        } catch (...) {
            updating_ = false;
            throw;
        }
        const auto entries = PaletteEntriesFrom(ColorTable);
        palette_->SetEntries(0, 256, entries.data());
    }
    updating_ = false;
    return ok;
}

bool TCustomSurfaceView::PaletteChanged(bool foreground) {
    if (!foreground) {
        return false;
    }
    Restore();
    return true;
}

std::vector<ddraw::PaletteEntry>
TCustomSurfaceView::PaletteEntriesFrom(const std::array<TRGBQuad, 256>& table) const {
    std::vector<ddraw::PaletteEntry> entries(256);
    const bool all = effectiveOptions_.Contains(doAllowPalette256);
    // The static colours belong to the system, not to either of the control's tables.
    static const std::array<TRGBQuad, 256> system = systemPalette();
    for (std::size_t i = 0; i < 256; ++i) {
        const TRGBQuad& q = (!all && (i < 10 || i >= 246)) ? system[i] : table[i];
        entries[i] = {q[2], q[1], q[0], ddraw::PC_NOCOLLAPSE};
    }
    return entries;
}

void TCustomSurfaceView::UpdatePalette(const std::array<TRGBQuad, 256>& table) {
    if (initialized_ && palette_) {
        const auto entries = PaletteEntriesFrom(table);
        palette_->SetEntries(0, 256, entries.data());
    }
}

bool TCustomSurfaceView::CheckSurfaces() {
    if (!initialized_ || updating_ || !primary_ || !primary_->HasSurface()) {
        return false;
    }
    if (primary_->IsLost() != ddraw::DDERR_SURFACELOST &&
        surface_->IsLost() != ddraw::DDERR_SURFACELOST) {
        return true;
    }
    Restore();
    return primary_->IsLost() == ddraw::DD_OK && surface_->IsLost() == ddraw::DD_OK;
}

void TCustomSurfaceView::SyncSizeToControl() {
    // Uninitialised, this only stores the size the next back surface gets. A back surface is
    // never smaller than 1 x 1, so a control without width or height already has the surface it
    // would get; making it again would blank it before every draw.
    if (!autoSize_ || updating_) {
        return;
    }
    const int w = initialized_ ? std::max(width(), 1) : width();
    const int h = initialized_ ? std::max(height(), 1) : height();
    if (w != SurfaceWidth() || h != SurfaceHeight()) {
        SetSize(w, h);
    }
}

bool TCustomSurfaceView::CanDraw() {
    // A geometry change that has not reached the surface yet takes effect now, so what is drawn
    // next has the control's size.
    SyncSizeToControl();
    return initialized_ && !updating_ && surface_ && surface_->HasSurface() && CheckSurfaces();
}

void TCustomSurfaceView::Flip() {
    FlipWith(effectiveOptions_);
}

void TCustomSurfaceView::FlipWith(TSurfaceViewOptions options) {
    if (!initialized_ || updating_ || !CheckSurfaces()) {
        return;
    }
    const TSurfaceViewOptions saved = effectiveOptions_;
    effectiveOptions_ = options;
    driver_->Flip();
    effectiveOptions_ = saved;
}

void TCustomSurfaceView::SetOptions(TSurfaceViewOptions options) {
    options_ = options;
    effectiveOptions_ = ComputeEffectiveOptions(options, initialized_, effectiveOptions_);
}

int TCustomSurfaceView::SurfaceWidth() const {
    return surface_ && surface_->HasSurface() ? surface_->Width() : storedWidth_;
}

int TCustomSurfaceView::SurfaceHeight() const {
    return surface_ && surface_->HasSurface() ? surface_->Height() : storedHeight_;
}

void TCustomSurfaceView::SetSurfaceWidth(int w) {
    SetSize(w, SurfaceHeight());
}
void TCustomSurfaceView::SetSurfaceHeight(int h) {
    SetSize(SurfaceWidth(), h);
}

void TCustomSurfaceView::SetSize(int w, int h) {
    if ((w == SurfaceWidth() && h == SurfaceHeight()) || updating_) {
        return;
    }
    if (initialized_) {
        try {
            driver_->SetSize(w, h);
        } catch (...) {
            Finalize();
            throw;
        }
        return;
    }
    storedWidth_ = w;
    storedHeight_ = h;
}

void TCustomSurfaceView::SetAutoSize(bool value) {
    if (autoSize_ == value) {
        return;
    }
    autoSize_ = value;
    if (value) {
        SetSize(width(), height());
    }
}

void TCustomSurfaceView::SetColor(TColor color) {
    color_ = color;
    ResizeScreenImage();
    update();
}

void TCustomSurfaceView::Loaded() {
    if (autoSize_) {
        storedWidth_ = width();
        storedHeight_ = height();
    }
    // Without a window to sit on there is nothing to initialise for (it would only fail).
    if (AutoInitialize && !hooked_ && parentForm_) {
        Initialize();
    }
}

void TCustomSurfaceView::SetHint(const QString& hint) {
    hint_ = hint;
    setToolTip(showHint_ ? hint_ : QString());
}

void TCustomSurfaceView::SetShowHint(bool show) {
    showHint_ = show;
    setToolTip(showHint_ ? hint_ : QString());
}

void TCustomSurfaceView::FindParentForm() {
    if (parentForm_ && hooked_) {
        parentForm_->removeEventFilter(this);
    }
    hooked_ = false;
    parentForm_ = nullptr;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (w->isWindow()) {
            parentForm_ = w;
            break;
        }
    }
    if (parentForm_) {
        parentForm_->installEventFilter(this);
        hooked_ = true;
    }
}

bool TCustomSurfaceView::event(QEvent* e) {
    if (e->type() == QEvent::ParentChange) {
        FindParentForm();
    }
    return QWidget::event(e);
}

bool TCustomSurfaceView::eventFilter(QObject* watched, QEvent* e) {
    // ShowToParent comes once the window has handled its own showing and is on the screen, so
    // a window that initialises its views itself when shown has done so by now.
    if (watched == parentForm_ && e->type() == QEvent::ShowToParent && AutoInitialize &&
        !everInitialized_) {
        try {
            Initialize();
        } catch (const std::exception&) {
            // the control stays uninitialised and draws nothing
        }
    }
    return QWidget::eventFilter(watched, e);
}

TRect TCustomSurfaceView::ScreenRect() const {
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    return gfx::Bounds(origin.x(), origin.y(), width(), height());
}

gfx::TBitmap& TCustomSurfaceView::ScreenImage() {
    if (screen_.Width() != width() || screen_.Height() != height()) {
        ResizeScreenImage(); // a hidden control gets its resize event only when shown
    }
    return screen_;
}

void TCustomSurfaceView::ScreenChanged() {
    if (!painting_) {
        update();
    }
}

void TCustomSurfaceView::ResizeScreenImage() {
    screen_.SetSize(std::max(width(), 0), std::max(height(), 0));
    screen_.Canvas().Brush.Color = color_;
    screen_.Canvas().Brush.Style = gfx::TBrushStyle::bsSolid;
    screen_.Canvas().FillRect({0, 0, screen_.Width(), screen_.Height()});
}

void TCustomSurfaceView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    ResizeScreenImage();
    SyncSizeToControl();
}

void TCustomSurfaceView::paintEvent(QPaintEvent*) {
    painting_ = true;
    TSurfaceViewOptions o = effectiveOptions_;
    o.Exclude(doWaitVBlank); // painting never waits for the display
    try {
        FlipWith(o);
    } catch (const std::exception&) {
        // nothing new to show
    }
    painting_ = false;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), gfx::imageFromBitmap(screen_));
}

void TCustomSurfaceView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        pressedLeft_ = true;
    }
    if (OnMouseDown) {
        OnMouseDown(this, mouseButtonOf(*e), shiftStateOf(*e), int(e->position().x()),
                    int(e->position().y()));
    }
}

void TCustomSurfaceView::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = e->button() == Qt::LeftButton && pressedLeft_ && rect().contains(e->pos());
    if (e->button() == Qt::LeftButton) {
        pressedLeft_ = false;
    }
    if (click && OnClick) {
        OnClick(this);
    }
    if (OnMouseUp) {
        OnMouseUp(this, mouseButtonOf(*e), shiftStateOf(*e), int(e->position().x()),
                  int(e->position().y()));
    }
}

void TCustomSurfaceView::mouseMoveEvent(QMouseEvent* e) {
    if (OnMouseMove) {
        OnMouseMove(this, shiftStateOf(*e), int(e->position().x()), int(e->position().y()));
    }
}

void TCustomSurfaceView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && OnDblClick) {
        OnDblClick(this);
    }
    if (OnMouseDown) {
        OnMouseDown(this, mouseButtonOf(*e), shiftStateOf(*e), int(e->position().x()),
                    int(e->position().y()));
    }
}

void TCustomSurfaceView::contextMenuEvent(QContextMenuEvent* e) {
    if (PopupMenu) {
        PopupMenu->popup(e->globalPos());
        e->accept();
        return;
    }
    QWidget::contextMenuEvent(e);
}
