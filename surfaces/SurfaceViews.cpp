#include "surfaces/SurfaceViews.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <exception>

using namespace platform;
using platform::gfx::TRect;

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

void TCustomSurfaceView::paintEvent(QPaintEvent* e) {
    painting_ = true;
    TSurfaceViewOptions o = effectiveOptions_;
    o.Exclude(doWaitVBlank); // painting never waits for the display
    try {
        FlipWith(o);
    } catch (const std::exception&) {
        // nothing new to show
    }
    painting_ = false;
    if (screen_.Empty()) {
        return;
    }
    // The screen picture's rows as they lie (0xFFRRGGBB words): no copy of them per paint, and
    // only the part asked for is drawn.
    const QImage shown(reinterpret_cast<const uchar*>(screen_.Pixels().data()), screen_.Width(),
                       screen_.Height(), qsizetype(screen_.Width()) * 4, QImage::Format_RGB32);
    const QRect part = e->rect() & shown.rect();
    if (!part.isEmpty()) {
        QPainter p(this);
        p.drawImage(part, shown, part);
    }
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
