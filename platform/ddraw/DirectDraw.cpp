#include "platform/ddraw/DirectDraw.h"

#include "platform/gfx/RasterCanvas.h"

#include <algorithm>

namespace platform::ddraw {

using gfx::TRect;

HRESULT Palette::SetEntries(int first, int count, const PaletteEntry* entries) {
    if (first < 0 || count < 0 || first + count > 256 || (count > 0 && !entries)) {
        return DDERR_INVALIDPARAMS;
    }
    std::copy_n(entries, count, entries_.begin() + first);
    return DD_OK;
}

HRESULT Palette::GetEntries(int first, int count, PaletteEntry* entries) const {
    if (first < 0 || count < 0 || first + count > 256 || (count > 0 && !entries)) {
        return DDERR_INVALIDPARAMS;
    }
    std::copy_n(entries_.begin() + first, count, entries);
    return DD_OK;
}

Surface::Surface(DirectDraw& owner, const SurfaceDesc& desc) : owner_(owner), desc_(desc) {
    if (!IsPrimary()) {
        pixels_.SetSize(desc.width, desc.height);
        std::fill(pixels_.ScanLine(0), pixels_.ScanLine(0) + pixels_.Pixels().size(), 0xFF000000u);
    }
}

Surface::~Surface() = default;

HRESULT Surface::GetDC(gfx::TCanvas*& canvas) {
    canvas = nullptr;
    if (lost_) {
        return DDERR_SURFACELOST;
    }
    if (dc_) {
        return DDERR_DCALREADYCREATED;
    }
    if (IsPrimary()) {
        return DDERR_UNSUPPORTED; // the screen is drawn on only through blits
    }
    dc_ = std::make_unique<gfx::RasterCanvas>(pixels_);
    canvas = dc_.get();
    return DD_OK;
}

HRESULT Surface::ReleaseDC(gfx::TCanvas* canvas) {
    if (!dc_ || canvas != dc_.get()) {
        return DDERR_NODC;
    }
    dc_.reset();
    return DD_OK;
}

namespace {

// One row of pixels taken over as they are (alpha forced to opaque). A plain loop over words the
// compiler turns into vector moves.
void copyRow(std::uint32_t* out, const std::uint32_t* in, int count) {
    for (int x = 0; x < count; ++x) {
        out[x] = in[x] | 0xFF000000u;
    }
}

// The same, leaving the destination where the source shows the colour key. Written as a select
// rather than a skip, so it vectorises too.
void copyRowKeyed(std::uint32_t* out, const std::uint32_t* in, int count, std::uint32_t key) {
    for (int x = 0; x < count; ++x) {
        const std::uint32_t p = in[x];
        out[x] = (p & 0xFFFFFFu) == key ? out[x] : (p | 0xFF000000u);
    }
}

// Copies the source rectangle onto the destination rectangle of `dst`, stretched to the nearest
// pixel and cut to `clip`; source pixels outside the source picture are not copied. The
// destination must not be the source.
void bltRows(gfx::TBitmap& dst, const gfx::TBitmap& src, const TRect& sr, const TRect& dr,
             const TRect& clip, bool keyed, std::uint32_t key) {
    TRect area = gfx::IntersectRect(dr, clip);
    area = gfx::IntersectRect(area, {0, 0, dst.Width(), dst.Height()});
    if (area.IsEmpty()) {
        return;
    }
    const long long dw = dr.Width();
    const long long dh = dr.Height();
    if (sr.Width() == dr.Width() && sr.Height() == dr.Height()) {
        // One to one: whole rows, cut to the source picture.
        const int dx = sr.Left - dr.Left;
        const int dy = sr.Top - dr.Top;
        const TRect in =
            gfx::IntersectRect(area, gfx::OffsetRect({0, 0, src.Width(), src.Height()}, -dx, -dy));
        for (int y = in.Top; y < in.Bottom; ++y) {
            std::uint32_t* out = dst.ScanLine(y) + in.Left;
            const std::uint32_t* from = src.ScanLine(y + dy) + (in.Left + dx);
            if (keyed) {
                copyRowKeyed(out, from, in.Width(), key);
            } else {
                copyRow(out, from, in.Width());
            }
        }
        return;
    }
    // The source column of every destination column, worked out once. It never decreases along
    // the row, so the columns that fall inside the source picture are one run.
    std::vector<std::uint32_t> gathered(std::size_t(area.Width()));
    std::vector<int> columns(std::size_t(area.Width()));
    int first = area.Width();
    int last = 0;
    for (int x = area.Left; x < area.Right; ++x) {
        const int sx = sr.Left + int(((2LL * (x - dr.Left) + 1) * sr.Width()) / (2 * dw));
        columns[std::size_t(x - area.Left)] = sx;
        if (sx >= 0 && sx < src.Width()) {
            first = std::min(first, x - area.Left);
            last = std::max(last, x - area.Left + 1);
        }
    }
    if (first >= last) {
        return;
    }
    for (int y = area.Top; y < area.Bottom; ++y) {
        const int sy = sr.Top + int(((2LL * (y - dr.Top) + 1) * sr.Height()) / (2 * dh));
        if (sy < 0 || sy >= src.Height()) {
            continue;
        }
        const std::uint32_t* row = src.ScanLine(sy);
        for (int i = first; i < last; ++i) {
            gathered[std::size_t(i)] = row[columns[std::size_t(i)]];
        }
        std::uint32_t* out = dst.ScanLine(y) + area.Left + first;
        if (keyed) {
            copyRowKeyed(out, gathered.data() + first, last - first, key);
        } else {
            copyRow(out, gathered.data() + first, last - first);
        }
    }
}

} // namespace

HRESULT Surface::Blt(const TRect* dest, Surface* source, const TRect* sourceRect,
                     std::uint32_t flags, const BltFx* fx) {
    if (lost_ || (source && source->lost_)) {
        return DDERR_SURFACELOST;
    }
    if (dc_ || (source && source->dc_)) {
        return DDERR_SURFACEBUSY;
    }
    const TRect whole = IsPrimary() ? TRect{0, 0, owner_.mode_.width, owner_.mode_.height}
                                    : TRect{0, 0, pixels_.Width(), pixels_.Height()};
    const TRect dr = dest ? *dest : whole;
    if (dr.IsEmpty()) {
        return DDERR_INVALIDPARAMS;
    }
    if (flags & DDBLT_COLORFILL) {
        if (!fx) {
            return DDERR_INVALIDPARAMS;
        }
        const std::uint32_t argb = 0xFF000000u | (fx->fillColor & 0xFFFFFFu);
        if (IsPrimary()) {
            return DD_OK; // nothing of the screen is kept outside the windows
        }
        const TRect area = gfx::IntersectRect(dr, whole);
        for (int y = area.Top; y < area.Bottom; ++y) {
            std::fill(pixels_.ScanLine(y) + area.Left, pixels_.ScanLine(y) + area.Right, argb);
        }
        return DD_OK;
    }
    if (!source || source->IsPrimary()) {
        return DDERR_INVALIDPARAMS;
    }
    const TRect sr =
        sourceRect ? *sourceRect : TRect{0, 0, source->pixels_.Width(), source->pixels_.Height()};
    if (sr.IsEmpty()) {
        return DDERR_INVALIDPARAMS;
    }
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    const std::uint32_t key = source->colorKey_.low & 0xFFFFFFu;
    if (IsPrimary()) {
        Window* window = clipper_ ? clipper_->HWnd() : nullptr;
        if (!window) {
            return DD_OK;
        }
        const TRect screen = window->ScreenRect();
        gfx::TBitmap& image = window->ScreenImage();
        const TRect local = gfx::OffsetRect(dr, -screen.Left, -screen.Top);
        bltRows(image, source->pixels_, sr, local, {0, 0, image.Width(), image.Height()}, keyed,
                key);
        window->ScreenChanged();
        return DD_OK;
    }
    if (source == this) {
        // Read everything first: source and destination rectangles may overlap.
        const gfx::TBitmap copy = source->pixels_;
        bltRows(pixels_, copy, sr, dr, whole, keyed, key);
    } else {
        bltRows(pixels_, source->pixels_, sr, dr, whole, keyed, key);
    }
    return DD_OK;
}

HRESULT Surface::PutPicture(int x, int y, const gfx::TBitmap& picture) {
    if (lost_) {
        return DDERR_SURFACELOST;
    }
    if (dc_) {
        return DDERR_SURFACEBUSY;
    }
    if (IsPrimary()) {
        return DDERR_UNSUPPORTED; // the screen is drawn on only through blits
    }
    const TRect whole{0, 0, pixels_.Width(), pixels_.Height()};
    const TRect area =
        gfx::IntersectRect(gfx::Bounds(x, y, picture.Width(), picture.Height()), whole);
    for (int ty = area.Top; ty < area.Bottom; ++ty) {
        copyRow(pixels_.ScanLine(ty) + area.Left, picture.ScanLine(ty - y) + (area.Left - x),
                area.Width());
    }
    return DD_OK;
}

HRESULT Surface::Flip(Surface*, std::uint32_t) {
    return DDERR_NOTFLIPPABLE; // page flipping needs exclusive full-screen mode
}

HRESULT Surface::Restore() {
    if (lost_) {
        lost_ = false;
        if (!IsPrimary()) {
            std::fill(pixels_.ScanLine(0), pixels_.ScanLine(0) + pixels_.Pixels().size(),
                      0xFF000000u);
        }
    }
    return DD_OK;
}

HRESULT Surface::SetColorKey(std::uint32_t flags, const ColorKey& key) {
    if (!(flags & DDCKEY_SRCBLT)) {
        return DDERR_UNSUPPORTED;
    }
    colorKey_ = key;
    return DD_OK;
}

HRESULT Surface::SetPalette(std::shared_ptr<Palette> palette) {
    palette_ = std::move(palette);
    return DD_OK;
}

HRESULT Surface::SetClipper(std::shared_ptr<Clipper> clipper) {
    clipper_ = std::move(clipper);
    return DD_OK;
}

DirectDraw::DirectDraw() = default;

HRESULT DirectDraw::CreateSurface(const SurfaceDesc& desc, std::shared_ptr<Surface>& surface) {
    surface.reset();
    if (!(desc.flags & DDSD_CAPS)) {
        return DDERR_INVALIDPARAMS;
    }
    SurfaceDesc d = desc;
    if (d.caps & DDSCAPS_PRIMARYSURFACE) {
        if (d.caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX)) {
            return DDERR_UNSUPPORTED; // flipping chains need exclusive full-screen mode
        }
        d.width = mode_.width;
        d.height = mode_.height;
        d.bitCount = mode_.bitCount;
    } else {
        if (!(d.flags & DDSD_WIDTH) || !(d.flags & DDSD_HEIGHT) || d.width < 1 || d.height < 1) {
            return DDERR_INVALIDPARAMS;
        }
        if (d.caps & DDSCAPS_VIDEOMEMORY) {
            return DDERR_OUTOFVIDEOMEMORY; // every surface here lives in system memory
        }
        if (std::int64_t(d.width) * d.height > gfx::kMaxBitmapPixels) {
            return DDERR_OUTOFMEMORY;
        }
        d.bitCount = 32;
    }
    d.caps |= DDSCAPS_SYSTEMMEMORY;
    d.flags |= DDSD_WIDTH | DDSD_HEIGHT;
    surface = std::make_shared<Surface>(*this, d);
    std::erase_if(surfaces_, [](const std::weak_ptr<Surface>& w) { return w.expired(); });
    surfaces_.push_back(surface);
    return DD_OK;
}

HRESULT DirectDraw::CreatePalette(std::uint32_t caps, const PaletteEntry* entries,
                                  std::shared_ptr<Palette>& palette) {
    palette.reset();
    if (!(caps & DDPCAPS_8BIT) || !entries) {
        return DDERR_INVALIDPARAMS;
    }
    palette = std::make_shared<Palette>(caps);
    return palette->SetEntries(0, 256, entries);
}

HRESULT DirectDraw::CreateClipper(std::uint32_t flags, std::shared_ptr<Clipper>& clipper) {
    clipper.reset();
    if (flags != 0) {
        return DDERR_INVALIDPARAMS;
    }
    clipper = std::make_shared<Clipper>();
    return DD_OK;
}

HRESULT DirectDraw::DuplicateSurface(const std::shared_ptr<Surface>& source,
                                     std::shared_ptr<Surface>& copy) {
    copy.reset();
    if (!source || source->IsPrimary()) {
        return DDERR_INVALIDPARAMS;
    }
    if (const HRESULT r = CreateSurface(source->Desc(), copy); r != DD_OK) {
        return r;
    }
    copy->Pixels() = source->Pixels();
    copy->SetColorKey(DDCKEY_SRCBLT, source->GetColorKey());
    return DD_OK;
}

HRESULT DirectDraw::SetCooperativeLevel(Window*, std::uint32_t flags) {
    if (flags & (DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE)) {
        return DDERR_UNSUPPORTED;
    }
    return (flags & DDSCL_NORMAL) ? DD_OK : DDERR_INVALIDPARAMS;
}

HRESULT DirectDraw::SetDisplayMode(int, int, int) {
    return DDERR_UNSUPPORTED;
}

HRESULT
DirectDraw::EnumDisplayModes(const std::function<void(const DisplayMode&)>& callback) const {
    static const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (int bits : {8, 16, 24, 32}) {
        for (const auto& s : sizes) {
            callback({s[0], s[1], bits});
        }
    }
    return DD_OK;
}

HRESULT DirectDraw::WaitForVerticalBlank(std::uint32_t flags) {
    if (flags != DDWAITVB_BLOCKBEGIN) {
        return DDERR_INVALIDPARAMS;
    }
    ++vblankWaits_; // no display to wait for: returns at once
    return DD_OK;
}

HRESULT DirectDraw::GetCaps(Caps& driver, Caps& emulation) const {
    if (driver.size != 380 || emulation.size != 380) {
        return DDERR_INVALIDPARAMS;
    }
    driver.caps = 0;
    driver.videoMemoryTotal = 0;
    emulation.caps = 0;
    emulation.videoMemoryTotal = 0;
    return DD_OK;
}

void DirectDraw::LoseSurfaces() {
    for (auto& w : surfaces_) {
        if (auto s = w.lock()) {
            s->Lose();
        }
    }
}

} // namespace platform::ddraw
