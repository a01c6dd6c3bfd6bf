#include "surfaces/ExCtrls.h"

#include "platform/gfx/Fonts.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/QtImage.h"

#include <QDialog>
#include <QEnterEvent>
#include <QPainter>
#include <QShortcut>

#include <algorithm>

using namespace platform::gfx;

// ---- Shadow text -------------------------------------------------------------------------------

TRect ShadowRect(const TRect& r, int size, TShadowPosition pos) {
    switch (pos) {
    case TShadowPosition::spLeftTop:
        return OffsetRect(r, -size, -size);
    case TShadowPosition::spLeftBottom:
        return OffsetRect(r, -size, size);
    case TShadowPosition::spRightBottom:
        return OffsetRect(r, size, size);
    case TShadowPosition::spRightTop:
        return OffsetRect(r, size, -size);
    }
    return r;
}

int DrawShadowText(TCanvas& canvas, std::string_view text, TRect& r, unsigned flags, int shadowSize,
                   TColor shadowColor, TShadowPosition pos) {
    TRect shadow = ShadowRect(r, shadowSize, pos);
    if (flags & DT_CALCRECT) {
        TRect measured = r;
        const int h = canvas.DrawText(text, measured, flags);
        canvas.DrawText(text, shadow, flags);
        r = UnionRect(measured, shadow);
        return h + shadowSize;
    }
    const TColor textColor = canvas.Font.Color;
    canvas.Font.Color = shadowColor;
    canvas.DrawText(text, shadow, flags);
    canvas.Font.Color = textColor;
    return canvas.DrawText(text, r, flags) + shadowSize;
}

TLabelTextStyle PrepareLabelText(const std::string& caption, bool measuring, bool showAccelChar,
                                 bool enabled, TColor fontColor, TColor shadowColor, int shadowSize,
                                 TShadowPosition shadowPos) {
    TLabelTextStyle s;
    s.text = caption;
    if (measuring && (caption.empty() || (showAccelChar && caption == "&"))) {
        s.text = " "; // an empty label keeps the height of one line
    }
    if (!showAccelChar) {
        s.flags |= DT_NOPREFIX;
    }
    s.fontColor = fontColor;
    s.shadowColor = shadowColor;
    s.shadowSize = shadowSize;
    s.shadowPos = shadowPos;
    if (!enabled) {
        s.fontColor = clGrayText;
        s.shadowColor = clBtnHighlight;
        if (shadowSize == 0) { // the engraved look of disabled text
            s.shadowPos = TShadowPosition::spRightBottom;
            s.shadowSize = 1;
        }
    }
    return s;
}

namespace {

unsigned char upper1251(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<unsigned char>(c - 32);
    }
    if (c >= 0xE0) {
        return static_cast<unsigned char>(c - 32);
    }
    if (c == 0xB8) {
        return 0xA8; // yo
    }
    return c;
}

unsigned alignmentFlags(TAlignment a) {
    switch (a) {
    case TAlignment::taRightJustify:
        return DT_RIGHT;
    case TAlignment::taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

} // namespace

bool IsAccel(char key, std::string_view caption) {
    const PrefixedText p = StripPrefixes(caption);
    if (p.accelerator == std::string::npos) {
        return false;
    }
    return upper1251(static_cast<unsigned char>(p.text[p.accelerator])) ==
           upper1251(static_cast<unsigned char>(key));
}

// ---- TExCustomLabel ----------------------------------------------------------------------------

TExCustomLabel::TExCustomLabel(QWidget* parent) : QWidget(parent) {
    resize(65, 17);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

TExCustomLabel::~TExCustomLabel() = default;

void TExCustomLabel::SetCaption(const std::string& caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = caption;
    UpdateShortcut();
    AdjustBounds();
    update();
}

void TExCustomLabel::SetFont(const TFont& font) {
    Font = font;
    AdjustBounds();
    update();
}

void TExCustomLabel::SetAlignment(TAlignment a) {
    alignment_ = a;
    update();
}

void TExCustomLabel::SetAutoSize(bool value) {
    autoSize_ = value;
    AdjustBounds();
}

void TExCustomLabel::SetShadowSize(std::uint8_t size) {
    shadowSize_ = size;
    AdjustBounds();
    update();
}

void TExCustomLabel::SetShowAccelChar(bool value) {
    showAccelChar_ = value;
    UpdateShortcut();
    AdjustBounds();
    update();
}

void TExCustomLabel::SetWordWrap(bool value) {
    wordWrap_ = value;
    AdjustBounds();
    update();
}

int TExCustomLabel::DoDrawText(TCanvas& canvas, TRect& r, unsigned flags) {
    const TLabelTextStyle s =
        PrepareLabelText(caption_, (flags & DT_CALCRECT) != 0, showAccelChar_, isEnabled(),
                         Font.Color, ShadowColor, shadowSize_, ShadowPos);
    canvas.Font = Font;
    canvas.Font.Color = s.fontColor;
    canvas.Brush.Style = TBrushStyle::bsClear;
    return DrawShadowText(canvas, s.text, r, flags | s.flags, s.shadowSize, s.shadowColor,
                          s.shadowPos);
}

void TExCustomLabel::AdjustBounds() {
    if (!autoSize_) {
        return;
    }
    TBitmap scratch(1, 1); // measured as on the screen
    TRect r{0, 0, std::max(0, width() - leftMargin_ - rightMargin_ - 2), 0};
    DoDrawText(scratch.Canvas(), r, DT_CALCRECT | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0u));
    const int w = r.Width() + leftMargin_ + rightMargin_ + 2;
    const int h = r.Height() + 2;
    if (alignment_ == TAlignment::taRightJustify) {
        const int right = x() + width();
        setGeometry(right - w, y(), w, h);
    } else {
        resize(w, h);
    }
}

void TExCustomLabel::PaintTo(TCanvas& canvas) {
    const TRect client{0, 0, width(), height()};
    if (!Transparent) {
        canvas.Brush.Style = TBrushStyle::bsSolid;
        canvas.Brush.Color = Color;
        canvas.FillRect(client);
    }
    TRect r =
        InflateRect({client.Left + leftMargin_, 0, client.Right - rightMargin_, height()}, -1, -1);
    const unsigned flags =
        DT_EXPANDTABS | alignmentFlags(alignment_) | (wordWrap_ ? DT_WORDBREAK : 0u);
    if (Layout != TTextLayout::tlTop) {
        TRect m = r;
        const int h = DoDrawText(canvas, m, flags | DT_CALCRECT);
        const int dy = Layout == TTextLayout::tlCenter ? (height() - h) / 2 : height() - h;
        r = OffsetRect(r, 0, dy);
    }
    DoDrawText(canvas, r, flags);
    if (ShowFocus && FocusControl && FocusControl->hasFocus()) {
        TRect m = r;
        DoDrawText(canvas, m, flags | DT_CALCRECT);
        canvas.Brush.Style = TBrushStyle::bsClear;
        canvas.Pen.Style = TPenStyle::psDot;
        canvas.Pen.Color = Font.Color;
        canvas.Rectangle(InflateRect(m, 1, 1));
        canvas.Pen.Style = TPenStyle::psSolid;
    }
}

void TExCustomLabel::paintEvent(QPaintEvent*) {
    PainterCanvas canvas(*this);
    PaintTo(canvas);
}

bool TExCustomLabel::DialogChar(char key) {
    if (!showAccelChar_ || !isEnabled() || !IsAccel(key, caption_) || !FocusControl) {
        return false;
    }
    if (!FocusControl->isEnabled() || FocusControl->focusPolicy() == Qt::NoFocus) {
        return false;
    }
    FocusControl->setFocus(Qt::ShortcutFocusReason);
    return true;
}

void TExCustomLabel::UpdateShortcut() {
    delete shortcut_;
    shortcut_ = nullptr;
    if (!showAccelChar_) {
        return;
    }
    const PrefixedText p = StripPrefixes(caption_);
    if (p.accelerator == std::string::npos) {
        return;
    }
    const char key = p.text[p.accelerator];
    const QString keyText = fromCp1251(std::string_view(&key, 1)).toUpper();
    shortcut_ = new QShortcut(QKeySequence(QStringLiteral("Alt+") + keyText), this);
    shortcut_->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut_, &QShortcut::activated, this, [this, key] { DialogChar(key); });
}

void TExCustomLabel::enterEvent(QEnterEvent* e) {
    QWidget::enterEvent(e);
    if (OnMouseEnter) {
        OnMouseEnter(this);
    }
}

void TExCustomLabel::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (OnMouseLeave) {
        OnMouseLeave(this);
    }
}

void TExCustomLabel::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        update();
    }
}

// ---- Button face -------------------------------------------------------------------------------

TRect DrawButtonFace(TCanvas& canvas, const TRect& client, bool pressed, TButtonStyle style,
                     bool flat) {
    const bool newStyle = style != TButtonStyle::bsWin31;
    TRect r = client;
    canvas.Pen.Style = TPenStyle::psSolid;
    if (!pressed) {
        if (newStyle) {
            if (!flat) {
                Frame3D(canvas, r, clBtnHighlight, clWindowFrame, 1);
            }
            Frame3D(canvas, r, flat ? clBtnHighlight : clBtnFace, clBtnShadow, 1);
        } else if (!flat) {
            Frame3D(canvas, r, clWindowFrame, clWindowFrame, 1);
            Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
        } else {
            Frame3D(canvas, r, clBtnHighlight, clWindowFrame, 1);
        }
    } else {
        if (newStyle) {
            Frame3D(canvas, r, clWindowFrame, clBtnHighlight, 1);
            if (!flat) {
                Frame3D(canvas, r, clBtnShadow, clBtnFace, 1);
            }
        } else if (!flat) {
            Frame3D(canvas, r, clWindowFrame, clWindowFrame, 1);
            canvas.Pen.Color = clBtnShadow;
            const TPoint line[] = {{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}};
            canvas.Polyline(line);
        } else {
            Frame3D(canvas, r, clWindowFrame, clBtnHighlight, 1);
        }
    }
    return InflateRect(r, -1, -1);
}

QPoint DropDownMenuPoint(TExDropDownMenuPos pos, int width, int height) {
    // Menus here open with their left edge at the point.
    return pos == TExDropDownMenuPos::dmpBottom ? QPoint(-1, height) : QPoint(width, -1);
}

// ---- TExSpeedButton ----------------------------------------------------------------------------

TExSpeedButton::TExSpeedButton(QWidget* parent) : QWidget(parent) {
    resize(25, 25);
    Font.Name = "MS Sans Serif";
    setMouseTracking(true);
}

TExSpeedButton::~TExSpeedButton() = default;

void TExSpeedButton::SetNumGlyphs(int n) {
    numGlyphs_ = std::clamp(n, 1, 5);
    update();
}

void TExSpeedButton::SetGroupIndex(int index) {
    groupIndex_ = index;
    UpdateExclusive();
}

void TExSpeedButton::SetAllowAllUp(bool value) {
    allowAllUp_ = value;
    UpdateExclusive();
}

void TExSpeedButton::SetDown(bool value) {
    if (groupIndex_ == 0) {
        value = false;
    }
    if (value == down_) {
        return;
    }
    if (down_ && !allowAllUp_) {
        return; // a pressed group button stays down until another one is pressed
    }
    down_ = value;
    if (value) {
        // Also a button still held by the mouse: a group button that went down stays exclusive.
        state_ = TButtonState::bsExclusive;
    } else {
        state_ = TButtonState::bsUp;
    }
    update();
    if (value) {
        UpdateExclusive();
    }
}

void TExSpeedButton::UpdateExclusive() {
    if (groupIndex_ == 0 || !parentWidget()) {
        return;
    }
    for (QObject* child : parentWidget()->children()) {
        auto* b = dynamic_cast<TExSpeedButton*>(child);
        if (b && b != this) {
            b->ButtonPressed(groupIndex_, this);
        }
    }
}

void TExSpeedButton::ButtonPressed(int groupIndex, TExSpeedButton* sender) {
    if (groupIndex != groupIndex_) {
        return;
    }
    if (sender->down_ && down_) {
        down_ = false;
        state_ = TButtonState::bsUp;
        update();
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TExSpeedButton::Click() {
    if (OnClick) {
        OnClick(this);
    }
    if (ModalResult != 0) {
        if (auto* dialog = qobject_cast<QDialog*>(window())) {
            dialog->done(ModalResult);
        }
    }
}

namespace {

// The glyph of a state: its own image when the glyph has one, else one made from the up image.
TBitmap glyphImage(const TBitmap& glyph, int numGlyphs, TButtonState state, TColor& key) {
    TBitmap out;
    if (glyph.Empty()) {
        return out;
    }
    const int w = glyph.Width() / numGlyphs;
    const int h = glyph.Height();
    key = argbToColor(glyph.GetArgb(0, h - 1));
    const int wanted = static_cast<int>(state);
    const bool own = wanted < numGlyphs;
    const int index = own ? wanted : 0;
    out.SetSize(w, h);
    out.Canvas().CopyRect({0, 0, w, h}, glyph, {index * w, 0, index * w + w, h});
    if (own || state == TButtonState::bsDown || state == TButtonState::bsExclusive ||
        state == TButtonState::bsUp) {
        return out;
    }
    TBitmap made(w, h);
    made.Canvas().Brush.Color = key;
    made.Canvas().FillRect({0, 0, w, h});
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const TColor c = out.GetPixel(x, y);
            if (c == key) {
                continue;
            }
            if (state == TButtonState::bsDisabled) {
                // embossed: a highlight copy one pixel right and down under a shadow copy
                made.SetPixel(x + 1, y + 1, clBtnHighlight);
            } else {
                const int grey = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
                made.SetPixel(x, y,
                              RGB(std::uint8_t(grey), std::uint8_t(grey), std::uint8_t(grey)));
            }
        }
    }
    if (state == TButtonState::bsDisabled) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (out.GetPixel(x, y) != key) {
                    made.SetPixel(x, y, clBtnShadow);
                }
            }
        }
    }
    return made;
}

} // namespace

void TExSpeedButton::DrawGlyphAndCaption(TCanvas& canvas, const TRect& client,
                                         TButtonState glyphState) {
    TColor key = clNone;
    TBitmap g = glyphImage(Glyph, numGlyphs_, glyphState, key);
    canvas.Font = Font;
    TSize text{0, 0};
    unsigned flags =
        alignmentFlags(Alignment) | DT_VCENTER | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    if (!Caption.empty()) {
        TRect m{0, 0, client.Width(), 0};
        canvas.DrawText(Caption, m, DT_CALCRECT | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE));
        text = {m.Width(), m.Height()};
    }
    const TSize glyph{g.Width(), g.Height()};
    const bool horizontal =
        Layout == TButtonLayout::blGlyphLeft || Layout == TButtonLayout::blGlyphRight;
    const int avail = horizontal ? client.Width() : client.Height();
    const int gs = horizontal ? glyph.cx : glyph.cy;
    const int ts = horizontal ? text.cx : text.cy;
    int spacing = (gs == 0 || ts == 0) ? 0 : Spacing;
    int margin = Margin;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (avail - gs - ts) / 3;
            spacing = margin;
        } else {
            margin = (avail - gs - spacing - ts + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (avail - margin - gs - ts) / 2;
    }
    TPoint gp;
    TPoint tp;
    if (horizontal) {
        gp.Y = client.Top + (client.Height() - glyph.cy + 1) / 2;
        tp.Y = client.Top + (client.Height() - text.cy + 1) / 2;
        if (Layout == TButtonLayout::blGlyphLeft) {
            gp.X = client.Left + margin;
            tp.X = gp.X + glyph.cx + spacing;
        } else {
            gp.X = client.Right - margin - glyph.cx;
            tp.X = gp.X - spacing - text.cx;
        }
    } else {
        gp.X = client.Left + (client.Width() - glyph.cx + 1) / 2;
        tp.X = client.Left + (client.Width() - text.cx + 1) / 2;
        if (Layout == TButtonLayout::blGlyphTop) {
            gp.Y = client.Top + margin;
            tp.Y = gp.Y + glyph.cy + spacing;
        } else {
            gp.Y = client.Bottom - margin - glyph.cy;
            tp.Y = gp.Y - spacing - text.cy;
        }
    }
    if (!g.Empty()) {
        g.Transparent = true;
        g.SetTransparentColor(key);
        canvas.Draw(gp.X, gp.Y, g);
    }
    if (!Caption.empty()) {
        canvas.Brush.Style = TBrushStyle::bsClear;
        TRect r = Bounds(tp.X, tp.Y, text.cx, text.cy);
        if (glyphState == TButtonState::bsDisabled) {
            TRect lit = OffsetRect(r, 1, 1);
            canvas.Font.Color = clBtnHighlight;
            canvas.DrawText(Caption, lit, flags);
            canvas.Font.Color = clBtnShadow;
        }
        canvas.DrawText(Caption, r, flags);
    }
}

const TBitmap& TExSpeedButton::RenderImage() {
    if (isEnabled()) {
        if (state_ == TButtonState::bsDisabled) {
            state_ = (down_ && groupIndex_ != 0) ? TButtonState::bsExclusive : TButtonState::bsUp;
        }
    } else {
        state_ = TButtonState::bsDisabled;
        dragging_ = false;
    }
    const bool inactive = Flat && !mouseInControl_;
    image_.SetSize(width(), height());
    TCanvas& c = image_.Canvas();
    const TRect client{0, 0, width(), height()};
    c.Brush.Style = TBrushStyle::bsSolid;
    c.Brush.Color = clBtnFace;
    c.FillRect(client);
    if (Transparent && parentWidget() && !grabbing_) {
        grabbing_ = true; // this button paints nothing while the parent's picture is taken
        image_.Canvas().Draw(0, 0, bitmapFromImage(parentWidget()->grab(geometry()).toImage()));
        grabbing_ = false;
    }
    TRect r = client;
    if (inactive && state_ != TButtonState::bsExclusive) {
        r = InflateRect(r, -2, -2);
    } else {
        const bool pressed = state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive;
        r = DrawButtonFace(c, client, pressed, Style, Flat);
    }
    if (state_ == TButtonState::bsExclusive && !Transparent && (!Flat || inactive)) {
        // alternate pixels of face and highlight
        const TRect p = IntersectRect(InflateRect(r, 1, 1), client);
        for (int y = p.Top; y < p.Bottom; ++y) {
            for (int x = p.Left; x < p.Right; ++x) {
                image_.SetPixel(x, y, ((x + y) & 1) ? clBtnHighlight : clBtnFace);
            }
        }
    }
    if (state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive) {
        r = OffsetRect(r, 1, 1);
    }
    TButtonState glyphState = state_;
    if (state_ != TButtonState::bsDisabled && Flat && !mouseInControl_ && GrayedInactive) {
        glyphState = TButtonState::bsInactive;
    }
    DrawGlyphAndCaption(c, r, glyphState);
    if (MarkDropDown && DropDownMenu) {
        const int x = r.Right - 7;
        const int y = r.Top + r.Height() / 2 - 1;
        c.Pen.Color = state_ == TButtonState::bsDisabled ? clBtnShadow : clBtnText;
        c.Brush.Style = TBrushStyle::bsSolid;
        c.Brush.Color = c.Pen.Color;
        const TPoint arrow[] = {{x, y}, {x + 4, y}, {x + 2, y + 2}};
        c.Polygon(arrow);
    }
    return image_;
}

void TExSpeedButton::paintEvent(QPaintEvent*) {
    if (grabbing_) {
        return;
    }
    RenderImage();
    QPainter p(this);
    p.drawImage(QPoint(0, 0), imageFromBitmap(image_));
}

void TExSpeedButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !isEnabled() || menuShowing_) {
        return;
    }
    if (!down_) {
        state_ = TButtonState::bsDown;
        update();
    }
    dragging_ = true;
    if (DropDownMenu) {
        menuShowing_ = true;
        QObject::connect(
            DropDownMenu, &QMenu::aboutToHide, this, [this] { menuShowing_ = false; },
            Qt::SingleShotConnection);
        DropDownMenu->popup(mapToGlobal(DropDownMenuPoint(MenuPosition, width(), height())));
        // the press is over as soon as the menu shows
        QMouseEvent release(QEvent::MouseButtonRelease, e->position(), e->globalPosition(),
                            Qt::LeftButton, Qt::NoButton, e->modifiers());
        mouseReleaseEvent(&release);
        return;
    }
    if (AllowTimer) {
        if (!repeatTimer_) {
            repeatTimer_ = std::make_unique<QTimer>();
            QObject::connect(repeatTimer_.get(), &QTimer::timeout, this,
                             [this] { TimerExpired(); });
        }
        repeatTimer_->setInterval(InitPause);
        repeatTimer_->start();
    }
}

void TExSpeedButton::TimerExpired() {
    repeatTimer_->setInterval(RepeatInterval);
    if (state_ == TButtonState::bsDown && dragging_) {
        Click();
    }
}

void TExSpeedButton::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) {
        return;
    }
    const bool inside = rect().contains(e->position().toPoint());
    TButtonState next = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
    if (inside) {
        next = down_ ? TButtonState::bsExclusive : TButtonState::bsDown;
    }
    if (next != state_) {
        state_ = next;
        update();
    }
}

void TExSpeedButton::mouseReleaseEvent(QMouseEvent* e) {
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    if (repeatTimer_) {
        repeatTimer_->stop();
    }
    const QPoint p = e->position().toPoint();
    const bool doClick = p.x() >= 0 && p.x() < width() && p.y() >= 0 && p.y() <= height();
    if (groupIndex_ == 0) {
        state_ = TButtonState::bsUp;
        update();
    } else if (doClick) {
        SetDown(!down_);
        update();
    } else {
        if (down_) {
            state_ = TButtonState::bsExclusive;
        }
        update();
    }
    if (doClick) {
        Click();
    }
}

void TExSpeedButton::mouseDoubleClickEvent(QMouseEvent* e) {
    if (down_ && OnDblClick) {
        OnDblClick(this);
    } else {
        mousePressEvent(e);
    }
}

void TExSpeedButton::enterEvent(QEnterEvent* e) {
    QWidget::enterEvent(e);
    mouseInControl_ = true;
    if (Flat) {
        update();
    }
    if (OnMouseEnter) {
        OnMouseEnter(this);
    }
}

void TExSpeedButton::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    mouseInControl_ = false;
    if (Flat) {
        update();
    }
    if (OnMouseLeave) {
        OnMouseLeave(this);
    }
}

void TExSpeedButton::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        update();
    }
}
