#include "surfaces/ExCtrls.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

using namespace platform::gfx;

namespace {

int count(const TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            n += b.GetPixel(x, y) == ColorToRGB(c) ? 1 : 0;
        }
    }
    return n;
}

void click(QWidget* w, QPoint at) {
    const QPointF p(at);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

} // namespace

TEST(ShadowLabel, ShadowOffsetsFollowTheSide) {
    const TRect r{10, 10, 50, 30};
    EXPECT_EQ(ShadowRect(r, 2, TShadowPosition::spLeftTop), (TRect{8, 8, 48, 28}));
    EXPECT_EQ(ShadowRect(r, 2, TShadowPosition::spLeftBottom), (TRect{8, 12, 48, 32}));
    EXPECT_EQ(ShadowRect(r, 2, TShadowPosition::spRightBottom), (TRect{12, 12, 52, 32}));
    EXPECT_EQ(ShadowRect(r, 2, TShadowPosition::spRightTop), (TRect{12, 8, 52, 28}));
    EXPECT_EQ(ShadowRect(r, 0, TShadowPosition::spRightTop), r);
}

TEST(ShadowLabel, TheShadowIsTheTextMovedAndDrawnFirst) {
    TBitmap plain(80, 30);
    TBitmap shadowed(80, 30);
    for (TBitmap* b : {&plain, &shadowed}) {
        b->Canvas().Font.Name = "Arial";
        b->Canvas().Font.Height = -16;
        b->Canvas().Font.Color = clBlack;
        b->Canvas().Brush.Style = TBrushStyle::bsClear;
    }
    TRect r{5, 5, 80, 30};
    plain.Canvas().DrawText("Ag", r, DT_LEFT);
    TRect s{5, 5, 80, 30};
    const int h = DrawShadowText(shadowed.Canvas(), "Ag", s, DT_LEFT, 2, clRed,
                                 TShadowPosition::spRightBottom);
    EXPECT_EQ(h, plain.Canvas().TextHeight("Ag") + 2);
    int red = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) {
            const bool text = plain.GetPixel(x, y) == clBlack;
            EXPECT_EQ(shadowed.GetPixel(x, y) == clBlack, text) << x << "," << y;
            if (shadowed.GetPixel(x, y) == clRed) {
                ++red;
                EXPECT_EQ(plain.GetPixel(x - 2, y - 2), clBlack) << x << "," << y;
            }
        }
    }
    EXPECT_GT(red, 5);
    // measuring gives the union of text and shadow
    TRect m{5, 5, 5, 5};
    DrawShadowText(shadowed.Canvas(), "Ag", m, DT_CALCRECT, 2, clRed, TShadowPosition::spLeftTop);
    EXPECT_EQ(m.Left, 3);
    EXPECT_EQ(m.Top, 3);
    EXPECT_EQ(m.Right, 5 + plain.Canvas().TextWidth("Ag"));
}

TEST(ShadowLabel, TextPreparationOfEmptyAndDisabledLabels) {
    auto s =
        PrepareLabelText("", true, true, true, clBlack, clWhite, 1, TShadowPosition::spLeftTop);
    EXPECT_EQ(s.text, " ");
    EXPECT_EQ(
        PrepareLabelText("&", true, true, true, clBlack, clWhite, 1, TShadowPosition::spLeftTop)
            .text,
        " ");
    s = PrepareLabelText("&", true, false, true, clBlack, clWhite, 1, TShadowPosition::spLeftTop);
    EXPECT_EQ(s.text, "&");
    EXPECT_TRUE(s.flags & DT_NOPREFIX);
    EXPECT_EQ(
        PrepareLabelText("", false, true, true, clBlack, clWhite, 1, TShadowPosition::spLeftTop)
            .text,
        "");
    s = PrepareLabelText("x", false, true, false, clBlack, clRed, 0, TShadowPosition::spLeftTop);
    EXPECT_EQ(s.fontColor, clGrayText);
    EXPECT_EQ(s.shadowColor, clBtnHighlight);
    EXPECT_EQ(s.shadowSize, 1);
    EXPECT_EQ(s.shadowPos, TShadowPosition::spRightBottom);
    s = PrepareLabelText("x", false, true, false, clBlack, clRed, 3, TShadowPosition::spLeftTop);
    EXPECT_EQ(s.shadowSize, 3);
    EXPECT_EQ(s.shadowPos, TShadowPosition::spLeftTop);
}

TEST(ShadowLabel, AcceleratorRule) {
    EXPECT_TRUE(IsAccel('f', "&File"));
    EXPECT_TRUE(IsAccel('F', "&file"));
    EXPECT_FALSE(IsAccel('i', "&File"));
    EXPECT_FALSE(IsAccel('b', "A&&B"));
    EXPECT_TRUE(IsAccel('b', "A&&&B"));
    EXPECT_FALSE(IsAccel('x', "No accelerator"));
    EXPECT_TRUE(IsAccel('\xE0', "&\xC0\xE1")); // Cyrillic a, either case
}

TEST(ShadowLabel, TheAcceleratorFocusesTheControl) {
    QWidget window;
    auto* label = new TExLabel(&window);
    auto* edit = new QLineEdit(&window);
    label->SetCaption("&Name");
    label->FocusControl = edit;
    EXPECT_FALSE(label->DialogChar('x'));
    EXPECT_TRUE(label->DialogChar('n'));
    EXPECT_EQ(window.focusWidget(), edit);
    window.setFocus();
    label->setEnabled(false);
    EXPECT_FALSE(label->DialogChar('n'));
    label->setEnabled(true);
    edit->setEnabled(false);
    EXPECT_FALSE(label->DialogChar('n'));
    edit->setEnabled(true);
    label->SetShowAccelChar(false);
    EXPECT_FALSE(label->DialogChar('n'));
}

TEST(ShadowLabel, AutoSizeFollowsTheCaptionAndKeepsOneLine) {
    TExLabel label;
    label.Font.Name = "Arial";
    label.Font.Height = -21;
    label.SetCaption("Parameter");
    TBitmap probe(1, 1);
    probe.Canvas().Font = label.Font;
    const int tw = probe.Canvas().TextWidth("Parameter");
    const int th = probe.Canvas().TextHeight("Parameter");
    EXPECT_EQ(label.width(), tw + 1 + 2); // text, shadow shift, a pixel each side
    EXPECT_EQ(label.height(), th + 1 + 2);
    label.SetCaption("&");
    EXPECT_EQ(label.height(), th + 1 + 2);
    label.SetCaption("");
    EXPECT_EQ(label.height(), th + 1 + 2);

    QWidget parent;
    TExLabel right(&parent);
    right.Font = label.Font;
    right.SetAlignment(TAlignment::taRightJustify);
    right.setGeometry(100, 10, 200, 20);
    right.SetCaption("Wide caption text");
    EXPECT_EQ(right.x() + right.width(), 300);
}

TEST(ShadowLabel, DisabledLabelIsEngraved) {
    TExLabel label;
    label.Font.Name = "Arial";
    label.Font.Height = -16;
    label.SetShadowSize(0);
    label.SetCaption("Hi");
    label.setEnabled(false);
    TBitmap b(label.width(), label.height());
    label.PaintTo(b.Canvas());
    EXPECT_GT(count(b, clGrayText), 5);
    EXPECT_GT(count(b, clBtnHighlight), 5);
    // every highlight pixel is a gray pixel's copy one pixel right and down (or under it)
    TBitmap text(label.width(), label.height());
    text.Canvas().Font = label.Font;
    text.Canvas().Brush.Style = TBrushStyle::bsClear;
    TRect r{1, 1, label.width() - 1, label.height() - 1};
    text.Canvas().DrawText("Hi", r, DT_LEFT | DT_EXPANDTABS);
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            if (b.GetPixel(x, y) == ColorToRGB(clBtnHighlight)) {
                EXPECT_EQ(text.GetPixel(x - 1, y - 1), clBlack) << x << "," << y;
            }
            EXPECT_EQ(b.GetPixel(x, y) == ColorToRGB(clGrayText), text.GetPixel(x, y) == clBlack);
        }
    }
}

TEST(ShadowLabel, CentredLayoutMovesTheTextDown) {
    TExLabel label;
    label.SetAutoSize(false);
    label.Font.Name = "Arial";
    label.Font.Height = -12;
    label.SetCaption("Mid");
    label.resize(60, 60);
    label.Layout = TTextLayout::tlCenter;
    label.Color = clWhite;
    TBitmap b(60, 60);
    label.PaintTo(b.Canvas());
    int top = -1;
    for (int y = 0; y < 60 && top < 0; ++y) {
        for (int x = 0; x < 60; ++x) {
            if (b.GetPixel(x, y) == clBlack) {
                top = y;
                break;
            }
        }
    }
    EXPECT_GT(top, 15);
    EXPECT_LT(top, 40);
}

TEST(SpeedButtonFace, DisabledButtonShowsTheRaisedBevel) {
    QWidget parent;
    auto* button = new TExSpeedButton(&parent);
    button->setEnabled(false);
    const TBitmap& b = button->RenderImage();
    ASSERT_EQ(b.Width(), 25);
    ASSERT_EQ(b.Height(), 25);
    EXPECT_EQ(button->State(), TButtonState::bsDisabled);
    const TColor white = ColorToRGB(clBtnHighlight);
    const TColor frame = ColorToRGB(clWindowFrame);
    const TColor face = ColorToRGB(clBtnFace);
    const TColor shadow = ColorToRGB(clBtnShadow);
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(b.GetPixel(i, 0), white) << i;  // outer top
        EXPECT_EQ(b.GetPixel(0, i), white) << i;  // outer left
        EXPECT_EQ(b.GetPixel(24, i), frame) << i; // outer right (top-right corner included)
    }
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(b.GetPixel(i, 24), frame) << i; // outer bottom (bottom-left corner included)
    }
    EXPECT_EQ(b.GetPixel(24, 0), frame);
    for (int i = 1; i < 23; ++i) {
        EXPECT_EQ(b.GetPixel(i, 1), face) << i; // inner top
        EXPECT_EQ(b.GetPixel(1, i), face) << i; // inner left
    }
    for (int i = 1; i < 24; ++i) {
        EXPECT_EQ(b.GetPixel(23, i), shadow) << i; // inner right
        EXPECT_EQ(b.GetPixel(i, 23), shadow) << i; // inner bottom
    }
    for (int y = 2; y < 23; ++y) {
        for (int x = 2; x < 23; ++x) {
            EXPECT_EQ(b.GetPixel(x, y), face) << x << "," << y;
        }
    }
}

TEST(SpeedButtonFace, PressedAndOldStyleFaces) {
    TBitmap b(10, 10);
    TRect inner = DrawButtonFace(b.Canvas(), {0, 0, 10, 10}, false, TButtonStyle::bsNew, false);
    EXPECT_EQ(inner, (TRect{3, 3, 7, 7}));
    inner = DrawButtonFace(b.Canvas(), {0, 0, 10, 10}, true, TButtonStyle::bsNew, false);
    EXPECT_EQ(inner, (TRect{3, 3, 7, 7}));
    EXPECT_EQ(b.GetPixel(0, 0), ColorToRGB(clWindowFrame));
    EXPECT_EQ(b.GetPixel(9, 9), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(b.GetPixel(1, 1), ColorToRGB(clBtnShadow));
    inner = DrawButtonFace(b.Canvas(), {0, 0, 10, 10}, true, TButtonStyle::bsNew, true);
    EXPECT_EQ(inner, (TRect{2, 2, 8, 8}));
    inner = DrawButtonFace(b.Canvas(), {0, 0, 10, 10}, true, TButtonStyle::bsWin31, false);
    EXPECT_EQ(b.GetPixel(1, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(b.GetPixel(5, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(b.GetPixel(9, 5), ColorToRGB(clWindowFrame));
    inner = DrawButtonFace(b.Canvas(), {0, 0, 10, 10}, false, TButtonStyle::bsWin31, false);
    EXPECT_EQ(b.GetPixel(1, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(b.GetPixel(8, 8), ColorToRGB(clBtnShadow));
}

TEST(SpeedButtonFace, DisabledCaptionIsDrawnTwice) {
    QWidget parent;
    auto* button = new TExSpeedButton(&parent);
    button->resize(60, 25);
    button->Caption = "Go";
    button->Font.Name = "Arial";
    button->Font.Height = -14;
    button->Font.Color = clBlack;
    const TBitmap enabled = button->RenderImage();
    EXPECT_GT(count(enabled, clBlack), 20);
    button->setEnabled(false);
    const TBitmap& disabled = button->RenderImage();
    int shadowPixels = 0;
    for (int y = 3; y < 22; ++y) {
        for (int x = 3; x < 57; ++x) {
            shadowPixels += disabled.GetPixel(x, y) == ColorToRGB(clBtnShadow) ? 1 : 0;
        }
    }
    EXPECT_GT(shadowPixels, 10);
    EXPECT_EQ(count(disabled, clBlack), 25 + 60 - 1); // only the outer frame is black
}

TEST(SpeedButtonGroups, DownNeedsAGroupAndOneButtonOfAGroupIsDown) {
    QWidget parent;
    auto* lone = new TExSpeedButton(&parent);
    lone->SetDown(true);
    EXPECT_FALSE(lone->Down());
    auto* a = new TExSpeedButton(&parent);
    auto* b = new TExSpeedButton(&parent);
    auto* other = new TExSpeedButton(&parent);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    other->SetGroupIndex(2);
    other->SetDown(true);
    a->SetDown(true);
    EXPECT_EQ(a->State(), TButtonState::bsExclusive);
    b->SetDown(true);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(other->Down());
    b->SetDown(false); // not without AllowAllUp
    EXPECT_TRUE(b->Down());
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    b->SetDown(false);
    EXPECT_FALSE(b->Down());
}

TEST(SpeedButtonGroups, ExclusiveButtonShowsTheCheckeredFace) {
    QWidget parent;
    auto* a = new TExSpeedButton(&parent);
    a->SetGroupIndex(1);
    a->SetDown(true);
    const TBitmap& b = a->RenderImage();
    EXPECT_NE(b.GetPixel(10, 10), b.GetPixel(11, 10));
    EXPECT_EQ(b.GetPixel(10, 10), b.GetPixel(11, 11));
    EXPECT_TRUE(b.GetPixel(10, 10) == ColorToRGB(clBtnHighlight) ||
                b.GetPixel(10, 10) == ColorToRGB(clBtnFace));
}

TEST(SpeedButtonMouse, AClickInsideFiresAndTogglesGroupButtons) {
    QWidget parent;
    parent.resize(100, 100);
    auto* button = new TExSpeedButton(&parent);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    parent.show();
    click(button, {5, 5});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->State(), TButtonState::bsUp);
    button->SetGroupIndex(3);
    click(button, {5, 5});
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(button->State(), TButtonState::bsExclusive); // drawn checkered, not merely pressed
    EXPECT_EQ(clicks, 2);
    button->setEnabled(false);
    click(button, {5, 5});
    EXPECT_EQ(clicks, 2);
}

TEST(SpeedButtonProperties, NumGlyphsIsKeptInRangeAndMenusOpenByTheButton) {
    TExSpeedButton button;
    button.SetNumGlyphs(7);
    EXPECT_EQ(button.NumGlyphs(), 5);
    button.SetNumGlyphs(0);
    EXPECT_EQ(button.NumGlyphs(), 1);
    EXPECT_EQ(DropDownMenuPoint(TExDropDownMenuPos::dmpBottom, 25, 20), QPoint(-1, 20));
    EXPECT_EQ(DropDownMenuPoint(TExDropDownMenuPos::dmpRight, 25, 20), QPoint(25, -1));
}

TEST(SpeedButtonGlyph, TheGlyphIsDrawnWithItsCornerColourTransparent) {
    TExSpeedButton button;
    button.resize(30, 30);
    button.Glyph.SetSize(8, 8);
    button.Glyph.Canvas().Brush.Color = clFuchsia;
    button.Glyph.Canvas().FillRect({0, 0, 8, 8});
    button.Glyph.Canvas().Brush.Color = clBlue;
    button.Glyph.Canvas().FillRect({2, 2, 6, 6});
    const TBitmap& b = button.RenderImage();
    EXPECT_EQ(count(b, clFuchsia), 0);
    EXPECT_EQ(count(b, clBlue), 16);
    button.setEnabled(false); // the disabled image is made from the up image
    const TBitmap& d = button.RenderImage();
    EXPECT_EQ(count(d, clBlue), 0);
    EXPECT_GE(count(d, clBtnShadow), 16);
}
