// A label that draws its caption with a one-colour shadow, and a speed button with glyph,
// caption, groups, drop-down menu and auto-repeat. The main window uses disabled speed buttons
// without caption or glyph as raised frames behind its read-outs. The drawing rules are free
// functions over a canvas so they can be checked on a bitmap.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "surfaces/Controls.h"

#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QShortcut;

enum class TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// The text rectangle moved by the shadow size to the shadow's side.
platform::gfx::TRect ShadowRect(const platform::gfx::TRect& r, int size, TShadowPosition pos);

// Draws (or with DT_CALCRECT measures) a text with its shadow: first the shadow in its colour,
// then the text in the font colour. Answers the text height plus the shadow size; measuring
// gives the union of both rectangles.
int DrawShadowText(platform::gfx::TCanvas& canvas, std::string_view text, platform::gfx::TRect& r,
                   unsigned flags, int shadowSize, TColor shadowColor, TShadowPosition pos);

// What the label draws: the text, the flags to add and the colours of its state.
struct TLabelTextStyle {
    std::string text;
    unsigned flags = 0;
    TColor fontColor = platform::gfx::clWindowText;
    TColor shadowColor = platform::gfx::clBtnHighlight;
    int shadowSize = 1;
    TShadowPosition shadowPos = TShadowPosition::spLeftTop;
};
TLabelTextStyle PrepareLabelText(const std::string& caption, bool measuring, bool showAccelChar,
                                 bool enabled, TColor fontColor, TColor shadowColor, int shadowSize,
                                 TShadowPosition shadowPos);

// Whether `key` is the accelerator of a caption ("&" marks it, "&&" is a literal "&"); letters
// match without regard to case.
bool IsAccel(char key, std::string_view caption);

class TExCustomLabel : public QWidget {
public:
    explicit TExCustomLabel(QWidget* parent = nullptr);
    ~TExCustomLabel() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    platform::gfx::TFont Font;
    void SetFont(const platform::gfx::TFont& font);
    TColor Color = platform::gfx::clBtnFace;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TTextLayout Layout = TTextLayout::tlTop;
    TColor ShadowColor = platform::gfx::clBtnHighlight;
    int ShadowSize() const { return shadowSize_; }
    void SetShadowSize(std::uint8_t size);
    TShadowPosition ShadowPos = TShadowPosition::spLeftTop;
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    bool ShowFocus = false;
    QPointer<QWidget> FocusControl;
    bool Transparent = false;
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Draws the label as its paint does, on any canvas of the label's size.
    void PaintTo(platform::gfx::TCanvas& canvas);
    // The accelerator key was typed: focuses FocusControl when the caption's accelerator is the
    // key, the label is enabled and the control can take the focus. Answers whether it did.
    bool DialogChar(char key);
    // Resizes the label to its text when AutoSize is on.
    void AdjustBounds();

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    int DoDrawText(platform::gfx::TCanvas& canvas, platform::gfx::TRect& r, unsigned flags);
    void UpdateShortcut();

    std::string caption_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool autoSize_ = true;
    int shadowSize_ = 1;
    bool showAccelChar_ = true;
    bool wordWrap_ = false;
    int leftMargin_ = 0;
    int rightMargin_ = 0;
    QShortcut* shortcut_ = nullptr;
};

class TExLabel : public TExCustomLabel {
public:
    using TExCustomLabel::TExCustomLabel;
};

// ---- Speed button ------------------------------------------------------------------------------

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TExDropDownMenuPos { dmpBottom, dmpRight };

// The 3-D face of a button in the rectangle; answers the rectangle left inside it. New style
// means bsNew or bsAutoDetect (this platform draws new-style controls).
platform::gfx::TRect DrawButtonFace(platform::gfx::TCanvas& canvas,
                                    const platform::gfx::TRect& client, bool pressed,
                                    TButtonStyle style, bool flat);

// Where the drop-down menu opens, in button co-ordinates.
QPoint DropDownMenuPoint(TExDropDownMenuPos pos, int width, int height);

class TExSpeedButton : public QWidget {
public:
    explicit TExSpeedButton(QWidget* parent = nullptr);
    ~TExSpeedButton() override;

    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    bool AllowTimer = false;
    int InitPause = 500;
    int RepeatInterval = 100;
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool Down() const { return down_; }
    void SetDown(bool value);
    QPointer<QMenu> DropDownMenu;
    TExDropDownMenuPos MenuPosition = TExDropDownMenuPos::dmpBottom;
    bool MarkDropDown = true;
    bool Flat = false;
    bool GrayedInactive = true;
    platform::gfx::TBitmap Glyph;
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    TButtonLayout Layout = TButtonLayout::blGlyphTop;
    int Margin = -1;
    int Spacing = 1;
    TAlignment Alignment = TAlignment::taCenter;
    bool WordWrap = false;
    TButtonStyle Style = TButtonStyle::bsAutoDetect;
    bool Transparent = false;
    int ModalResult = 0;
    std::string Caption;
    platform::gfx::TFont Font;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    TButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    // Renders the button into its off-screen bitmap (what paint copies onto the control).
    const platform::gfx::TBitmap& RenderImage();
    void Click();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void UpdateExclusive();
    void ButtonPressed(int groupIndex, TExSpeedButton* sender);
    void TimerExpired();
    void DrawGlyphAndCaption(platform::gfx::TCanvas& canvas, const platform::gfx::TRect& client,
                             TButtonState glyphState);

    bool allowAllUp_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    int numGlyphs_ = 1;
    TButtonState state_ = TButtonState::bsUp;
    bool mouseInControl_ = false;
    bool dragging_ = false;
    bool menuShowing_ = false;
    bool grabbing_ = false;
    std::unique_ptr<QTimer> repeatTimer_;
    platform::gfx::TBitmap image_;
};
