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
#include "surfaces/Controls.h"
#include "surfaces/DirectDrawObjects.h"
#include "surfaces/DirectDrawSurface.h"
#include "surfaces/SurfaceErrors.h"
#include "surfaces/SurfaceViewDisplay.h"
#include "surfaces/SurfaceViewDriver.h"
#include "surfaces/SurfaceViewOptions.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

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
