// An in-memory display service, which the drawing-surface controls are built on: surfaces with
// a pixel buffer, colour fills and blits, a drawing context that locks its surface until
// released, palettes, clippers that tie the screen to a window, and display modes. The "screen"
// is the set of windows that clippers point at: a blit onto the primary surface lands in the
// clipper's window. Exclusive full-screen use and display-mode switching do not exist here and
// answer DDERR_UNSUPPORTED.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Geometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform::gfx {
class TCanvas;
}

namespace platform::ddraw {

using HRESULT = std::int32_t;

constexpr HRESULT hr(std::uint32_t code) {
    return static_cast<HRESULT>(code);
}

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_SURFACELOST = hr(0x887601C2);
constexpr HRESULT DDERR_SURFACEBUSY = hr(0x887601AE);
constexpr HRESULT DDERR_DCALREADYCREATED = hr(0x887602A4);
constexpr HRESULT DDERR_NODC = hr(0x8876023F);
constexpr HRESULT DDERR_INVALIDPARAMS = hr(0x80070057);
constexpr HRESULT DDERR_OUTOFMEMORY = hr(0x8007000E);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = hr(0x8876017C);
constexpr HRESULT DDERR_UNSUPPORTED = hr(0x80004001);
constexpr HRESULT DDERR_NOTFLIPPABLE = hr(0x887601EA);

constexpr std::uint32_t DDSD_CAPS = 0x1;
constexpr std::uint32_t DDSD_HEIGHT = 0x2;
constexpr std::uint32_t DDSD_WIDTH = 0x4;
constexpr std::uint32_t DDSD_BACKBUFFERCOUNT = 0x20;

constexpr std::uint32_t DDSCAPS_BACKBUFFER = 0x4;
constexpr std::uint32_t DDSCAPS_COMPLEX = 0x8;
constexpr std::uint32_t DDSCAPS_FLIP = 0x10;
constexpr std::uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr std::uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr std::uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr std::uint32_t DDSCAPS_3DDEVICE = 0x2000;
constexpr std::uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

constexpr std::uint32_t DDSCL_FULLSCREEN = 0x1;
constexpr std::uint32_t DDSCL_ALLOWREBOOT = 0x2;
constexpr std::uint32_t DDSCL_NOWINDOWCHANGES = 0x4;
constexpr std::uint32_t DDSCL_NORMAL = 0x8;
constexpr std::uint32_t DDSCL_EXCLUSIVE = 0x10;
constexpr std::uint32_t DDSCL_ALLOWMODEX = 0x40;

constexpr std::uint32_t DDBLT_COLORFILL = 0x400;
constexpr std::uint32_t DDBLT_KEYSRC = 0x8000;
constexpr std::uint32_t DDBLT_WAIT = 0x1000000;

constexpr std::uint32_t DDCKEY_SRCBLT = 0x8;

constexpr std::uint32_t DDPCAPS_8BIT = 0x4;
constexpr std::uint32_t DDPCAPS_INITIALIZE = 0x8;
constexpr std::uint32_t DDPCAPS_ALLOW256 = 0x40;

constexpr std::uint32_t DDWAITVB_BLOCKBEGIN = 0x1;
constexpr std::uint8_t PC_NOCOLLAPSE = 0x40;

// The fields of a surface description that are used.
struct SurfaceDesc {
    std::uint32_t flags = 0;
    int width = 0;
    int height = 0;
    int backBufferCount = 0;
    std::uint32_t caps = 0;
    int bitCount = 32;
};

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

struct ColorKey {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};

// Only the fill colour of the effects record is used.
struct BltFx {
    std::uint32_t size = 100;
    std::uint32_t fillColor = 0;
};

struct Caps {
    std::uint32_t size = 380;
    std::uint32_t caps = 0;
    std::uint32_t videoMemoryTotal = 0;
};

// What a clipper points at: a window showing part of the screen. Its image has the client size;
// blits onto the primary surface land in it.
class Window {
public:
    virtual ~Window() = default;
    // The client area in screen co-ordinates.
    virtual gfx::TRect ScreenRect() const = 0;
    virtual gfx::TBitmap& ScreenImage() = 0;
    // Something was drawn into the image.
    virtual void ScreenChanged() = 0;
};

class Palette {
public:
    explicit Palette(std::uint32_t caps) : caps_(caps) {}
    std::uint32_t Caps() const { return caps_; }
    HRESULT SetEntries(int first, int count, const PaletteEntry* entries);
    HRESULT GetEntries(int first, int count, PaletteEntry* entries) const;

private:
    std::uint32_t caps_;
    std::array<PaletteEntry, 256> entries_{};
};

class Clipper {
public:
    HRESULT SetHWnd(Window* window) {
        window_ = window;
        return DD_OK;
    }
    Window* HWnd() const { return window_; }

private:
    Window* window_ = nullptr;
};

class DirectDraw;

class Surface {
public:
    Surface(DirectDraw& owner, const SurfaceDesc& desc);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    const SurfaceDesc& Desc() const { return desc_; }
    bool IsPrimary() const { return (desc_.caps & DDSCAPS_PRIMARYSURFACE) != 0; }

    // The drawing context: a canvas on the pixels. The surface stays locked (blits onto or from
    // it fail with DDERR_SURFACEBUSY) until ReleaseDC.
    HRESULT GetDC(gfx::TCanvas*& canvas);
    HRESULT ReleaseDC(gfx::TCanvas* canvas);
    bool HasDC() const { return dc_ != nullptr; }

    // A colour fill (DDBLT_COLORFILL, fx.fillColor as a 0x00RRGGBB pixel value) or a copy from
    // another surface, stretched to the destination; null rectangles mean the whole surface.
    HRESULT Blt(const gfx::TRect* dest, Surface* source, const gfx::TRect* sourceRect,
                std::uint32_t flags, const BltFx* fx);
    // Puts a picture's pixels at (x, y), cut to the surface, row by row; the picture's colour key
    // is not looked at. Fails like a blit onto a lost or locked surface; the primary surface is
    // drawn on only through blits.
    HRESULT PutPicture(int x, int y, const gfx::TBitmap& picture);
    HRESULT Flip(Surface* override, std::uint32_t flags);
    HRESULT IsLost() const { return lost_ ? DDERR_SURFACELOST : DD_OK; }
    HRESULT Restore();
    // The display service took the memory (a mode change elsewhere): pixels are gone.
    void Lose() { lost_ = true; }

    HRESULT SetColorKey(std::uint32_t flags, const ColorKey& key);
    ColorKey GetColorKey() const { return colorKey_; }
    HRESULT SetPalette(std::shared_ptr<Palette> palette);
    const std::shared_ptr<Palette>& GetPalette() const { return palette_; }
    HRESULT SetClipper(std::shared_ptr<Clipper> clipper);
    const std::shared_ptr<Clipper>& GetClipper() const { return clipper_; }

    // The pixels (empty for the primary surface, which is the screen).
    gfx::TBitmap& Pixels() { return pixels_; }

private:
    DirectDraw& owner_;
    SurfaceDesc desc_;
    gfx::TBitmap pixels_;
    std::unique_ptr<gfx::TCanvas> dc_;
    bool lost_ = false;
    ColorKey colorKey_;
    std::shared_ptr<Palette> palette_;
    std::shared_ptr<Clipper> clipper_;
};

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitCount = 0;
};

class DirectDraw {
public:
    DirectDraw();

    HRESULT CreateSurface(const SurfaceDesc& desc, std::shared_ptr<Surface>& surface);
    HRESULT CreatePalette(std::uint32_t caps, const PaletteEntry* entries,
                          std::shared_ptr<Palette>& palette);
    HRESULT CreateClipper(std::uint32_t flags, std::shared_ptr<Clipper>& clipper);
    HRESULT DuplicateSurface(const std::shared_ptr<Surface>& source,
                             std::shared_ptr<Surface>& copy);
    HRESULT SetCooperativeLevel(Window* window, std::uint32_t flags);
    HRESULT SetDisplayMode(int width, int height, int bitCount);
    HRESULT EnumDisplayModes(const std::function<void(const DisplayMode&)>& callback) const;
    HRESULT WaitForVerticalBlank(std::uint32_t flags);
    HRESULT FlipToGDISurface() { return DD_OK; }
    HRESULT GetCaps(Caps& driver, Caps& emulation) const;
    const DisplayMode& CurrentMode() const { return mode_; }
    // Every surface made by this object becomes lost (as after a display change elsewhere).
    void LoseSurfaces();
    int VerticalBlankWaits() const { return vblankWaits_; }

private:
    friend class Surface;
    DisplayMode mode_{1024, 768, 32};
    std::vector<std::weak_ptr<Surface>> surfaces_;
    int vblankWaits_ = 0;
};

} // namespace platform::ddraw
