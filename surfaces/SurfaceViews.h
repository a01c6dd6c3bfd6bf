// The drawing-surface control every live picture is shown on, and the DirectDraw objects it is
// built from (over the in-memory display service of platform/ddraw). Drawing code renders a
// picture into a bitmap of the control's size and follows one sequence:
//   if (view.CanDraw()) { s.Fill(0); s.Canvas().Draw(0, 0, bitmap); s.Canvas().Release();
//                         view.Flip(); }      with s = *view.Surface()
// Exclusive full-screen mode, display-mode switching and the three-dimensional options do not
// exist on this platform: a control that asks for them fails its Initialize with the layer's
// own message and stays uninitialised.
#pragma once

#include "platform/ddraw/DirectDraw.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ForwardingCanvas.h"
#include "surfaces/Controls.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class TDIB;

// ---- Errors ------------------------------------------------------------------------------------

class EDirectXError : public std::runtime_error {
public:
    explicit EDirectXError(const std::string& what) : std::runtime_error(what) {}
};
class EDirectDrawError : public EDirectXError {
public:
    using EDirectXError::EDirectXError;
};
class EDirectDrawPaletteError : public EDirectDrawError {
public:
    using EDirectDrawError::EDirectDrawError;
};
class EDirectDrawClipperError : public EDirectDrawError {
public:
    using EDirectDrawError::EDirectDrawError;
};
class EDirectDrawSurfaceError : public EDirectDrawError {
public:
    using EDirectDrawError::EDirectDrawError;
};
class ESurfaceViewError : public std::runtime_error {
public:
    explicit ESurfaceViewError(const std::string& what) : std::runtime_error(what) {}
};

// The layer's texts.
namespace SurfaceTexts {
constexpr const char* DirectDraw = "DirectDraw";
constexpr const char* Direct3DRM = "Direct3D RetainedMode";
constexpr const char* Clipper = "Clipper";
constexpr const char* Surface = "Surface";
constexpr const char* PrimarySurface = "Primary Surface";
constexpr const char* NotMade = "%s not made";
constexpr const char* CannotMade = "%s cannot be made";
constexpr const char* CannotInitialized = "%s cannot be initialized";
constexpr const char* FormNotFound = "Form not found";
constexpr const char* Device3DNotFound = "3D device not found";
constexpr const char* DisplayModeCannotChange = "Display mode cannot be changed (%dx%d %dbit)";
constexpr const char* InvalidDisplayBitCount = "It should be either of 8 or 16 or 24 or 32";
} // namespace SurfaceTexts

// One "%s" of a layer text filled in.
std::string FormatSurfaceText(const char* text, const std::string& name);

// ---- DirectDraw objects ------------------------------------------------------------------------

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

// ---- Options -----------------------------------------------------------------------------------

enum TSurfaceViewOption : std::uint8_t {
    doFullScreen,
    doNoWindowChange,
    doAllowReboot,
    doWaitVBlank,
    doAllowPalette256,
    doSystemMemory,
    doStretch,
    doCenter,
    doFlip,
    do3D,
    doDirectX7Mode,
    doRetainedMode,
    doHardware,
    doSelectDriver,
    doZBuffer
};

// A 16-bit set of options, bit 0 first.
class TSurfaceViewOptions {
public:
    constexpr TSurfaceViewOptions() = default;
    constexpr TSurfaceViewOptions(std::initializer_list<TSurfaceViewOption> options) {
        for (auto o : options) {
            bits_ |= std::uint16_t(1u << o);
        }
    }
    constexpr bool Contains(TSurfaceViewOption o) const { return bits_ & (1u << o); }
    constexpr void Include(TSurfaceViewOption o) { bits_ |= std::uint16_t(1u << o); }
    constexpr void Exclude(TSurfaceViewOption o) { bits_ &= std::uint16_t(~(1u << o)); }
    constexpr std::uint16_t Bits() const { return bits_; }
    friend constexpr bool operator==(TSurfaceViewOptions, TSurfaceViewOptions) = default;

private:
    std::uint16_t bits_ = 0;
};

// The options in force. Uninitialised: derived from `options` alone; initialised: only
// doWaitVBlank, doStretch and doCenter follow `options`, the rest of `current` stays.
TSurfaceViewOptions ComputeEffectiveOptions(TSurfaceViewOptions options, bool initialized,
                                            TSurfaceViewOptions current);

// ---- Display modes -----------------------------------------------------------------------------

class TCustomSurfaceView;

struct TSurfaceViewDisplayMode {
    platform::ddraw::DisplayMode Mode;
    int Width() const { return Mode.width; }
    int Height() const { return Mode.height; }
    int BitCount() const { return Mode.bitCount; }
};

// The display mode wanted in full-screen mode.
class TSurfaceViewDisplay {
public:
    explicit TSurfaceViewDisplay(TCustomSurfaceView* owner) : owner_(owner) {}
    void Assign(const TSurfaceViewDisplay& other);

    int Width() const { return width_; }
    void SetWidth(int v) { width_ = std::max(v, 0); }
    int Height() const { return height_; }
    void SetHeight(int v) { height_ = std::max(v, 0); }
    int BitCount() const { return bitCount_; }
    // Only 8, 16, 24 or 32; anything else raises and keeps the old value.
    void SetBitCount(int v);
    bool FixedBitCount = true;
    bool FixedRatio = true;
    bool FixedSize = false;

    // Filled on first use, ordered by width, height and bit count.
    const std::vector<TSurfaceViewDisplayMode>& Modes();
    int Count() { return static_cast<int>(Modes().size()); }
    int IndexOf(int width, int height, int bitCount);
    void ClearModes() { modes_.clear(); }
    bool SetMode(int width, int height, int bitCount);
    bool DynSetSize(int width, int height, int bitCount);

private:
    TCustomSurfaceView* owner_;
    int width_ = 640;
    int height_ = 480;
    int bitCount_ = 8;
    std::vector<TSurfaceViewDisplayMode> modes_;
};

// The DDBD flag of a bit count (0 for an unknown one).
std::uint32_t BitCountToFlags(int bitCount);

// ---- The control -------------------------------------------------------------------------------

class TSurfaceViewDriver {
public:
    explicit TSurfaceViewDriver(TCustomSurfaceView& owner);
    // Releases the control's DirectDraw objects: clipper, palette, back surface, primary
    // surface, then the DirectDraw object.
    virtual ~TSurfaceViewDriver();
    virtual void Flip() = 0;
    virtual void Initialize() = 0;
    virtual bool SetSize(int width, int height);

protected:
    TCustomSurfaceView& owner_;
};

class TSurfaceViewDriverBlt : public TSurfaceViewDriver {
public:
    using TSurfaceViewDriver::TSurfaceViewDriver;
    void Flip() override;
    void Initialize() override;
    bool SetSize(int width, int height) override;
    void CreateBackSurface();
};

using TRGBQuad = std::array<std::uint8_t, 4>; // blue, green, red, reserved

class TCustomSurfaceView : public QWidget, private platform::ddraw::Window {
    friend class TSurfaceViewDriver;
    friend class TSurfaceViewDriverBlt;
    friend class TSurfaceViewDisplay;

public:
    explicit TCustomSurfaceView(QWidget* parent = nullptr);
    ~TCustomSurfaceView() override;

    // ---- the drawing-surface API
    void Initialize();
    void Finalize();
    bool Restore();
    bool CanDraw();
    void Flip();
    TDirectDrawSurface* Surface() const { return surface_; }
    TDirectDrawSurface* Primary() const { return primary_; }
    TDirectDraw* DDraw() const { return ddraw_.get(); }
    TDirectDrawPalette* Palette() const { return palette_; }
    TDirectDrawClipper* Clipper() const { return clipper_; }
    bool Initialized() const { return initialized_; }
    bool Updating() const { return updating_; }

    // The end of building the window: sizes the surface to the control and initialises when
    // asked to and possible.
    void Loaded();
    bool PaletteChanged(bool foreground);
    void UpdatePalette(const std::array<TRGBQuad, 256>& table);

    // ---- properties
    bool AutoInitialize = true;
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TSurfaceViewDisplay& Display() { return display_; }
    TSurfaceViewOptions Options() const { return options_; }
    void SetOptions(TSurfaceViewOptions options);
    TSurfaceViewOptions EffectiveOptions() const { return effectiveOptions_; }
    int SurfaceWidth() const;
    int SurfaceHeight() const;
    void SetSurfaceWidth(int width);
    void SetSurfaceHeight(int height);
    void SetSize(int width, int height);
    std::array<TRGBQuad, 256> ColorTable;
    std::array<TRGBQuad, 256> DefaultColorTable;

    // ---- events
    TNotifyEvent OnInitializing;
    TNotifyEvent OnInitialize;
    TNotifyEvent OnInitializeSurface;
    TNotifyEvent OnFinalize;
    TNotifyEvent OnFinalizeSurface;
    TNotifyEvent OnRestoreSurface;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    QPointer<QMenu> PopupMenu;
    void SetHint(const QString& hint);
    void SetShowHint(bool show);
    QString Hint() const { return hint_; }

    // The window the control sits on (nullptr without one).
    QWidget* ParentForm() const { return parentForm_; }

    // What the screen shows in the control's area: the last presented picture on the
    // background colour.
    const platform::gfx::TBitmap& PresentedImage() const { return screen_; }

protected:
    virtual void DoInitializing();
    virtual void DoInitialize();
    virtual void DoInitializeSurface();
    virtual void DoFinalize();
    virtual void DoFinalizeSurface();
    virtual void DoRestoreSurface();

    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    // platform::ddraw::Window
    platform::gfx::TRect ScreenRect() const override;
    platform::gfx::TBitmap& ScreenImage() override;
    void ScreenChanged() override;

    bool CheckSurfaces();
    void SetCooperativeLevel();
    void FlipWith(TSurfaceViewOptions options);
    void FindParentForm();
    void SyncSizeToControl();
    std::vector<platform::ddraw::PaletteEntry>
    PaletteEntriesFrom(const std::array<TRGBQuad, 256>& table) const;
    void ResizeScreenImage();

    bool autoSize_ = true;
    bool calledDoInitialize_ = false;
    bool calledDoInitializeSurface_ = false;
    QPointer<QWidget> parentForm_;
    bool initialized_ = false;
    bool everInitialized_ = false;
    bool needsFinalize_ = false;
    bool updating_ = false;
    bool hooked_ = false;
    TSurfaceViewOptions effectiveOptions_;
    TSurfaceViewOptions options_;
    std::unique_ptr<TSurfaceViewDriver> driver_;
    std::unique_ptr<TDirectDraw> ddraw_;
    TSurfaceViewDisplay display_;
    TDirectDrawClipper* clipper_ = nullptr;
    TDirectDrawPalette* palette_ = nullptr;
    TDirectDrawSurface* primary_ = nullptr;
    TDirectDrawSurface* surface_ = nullptr;
    int storedWidth_ = 0;
    int storedHeight_ = 0;
    TColor color_;
    QString hint_;
    bool showHint_ = false;
    platform::gfx::TBitmap screen_;
    bool painting_ = false;
    bool pressedLeft_ = false;
};

// The control as the windows hold it.
class TSurfaceView : public TCustomSurfaceView {
public:
    using TCustomSurfaceView::TCustomSurfaceView;
};
