#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Fonts.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/QtImage.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform::gfx;

namespace {

int countColor(const TBitmap& b, TColor c, const TRect& r) {
    int n = 0;
    for (int y = std::max(0, r.Top); y < std::min(b.Height(), r.Bottom); ++y) {
        for (int x = std::max(0, r.Left); x < std::min(b.Width(), r.Right); ++x) {
            n += b.GetPixel(x, y) == c ? 1 : 0;
        }
    }
    return n;
}

void useArial(TCanvas& c, int height) {
    c.Font.Name = "Arial";
    c.Font.Height = height;
    c.Font.Color = clBlack;
}

} // namespace

TEST(FontFiles, FacesAreSubstitutedByFixedRules) {
    ASSERT_TRUE(ensureFontsLoaded());
    EXPECT_EQ(substituteFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(substituteFamily("arial"), "Liberation Sans");
    EXPECT_EQ(substituteFamily("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(substituteFamily("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(substituteFamily("Courier New"), "Liberation Mono");
    // Wine's Tahoma when its package is there, DejaVu Sans otherwise.
    const bool wine = std::filesystem::exists("/usr/share/wine/fonts/tahoma.ttf");
    EXPECT_EQ(substituteFamily("Tahoma"), wine ? "Tahoma" : "DejaVu Sans");
    EXPECT_EQ(substituteFamily("Unheard Of"), "Liberation Sans");
    const QFont f = resolveFont(TFont{}, 96);
    EXPECT_EQ(f.pixelSize(), 11);
    TFont big;
    big.Height = -11;
    EXPECT_EQ(resolveFont(big, 600).pixelSize(), 69); // a printer's resolution
}

TEST(Text, ExtentsAreStableAndGrowWithTheText) {
    TBitmap a(10, 10);
    TBitmap b(10, 10);
    useArial(a.Canvas(), -16);
    useArial(b.Canvas(), -16);
    EXPECT_EQ(a.Canvas().TextExtent("Tollerbank"), b.Canvas().TextExtent("Tollerbank"));
    EXPECT_GT(a.Canvas().TextWidth("WWW"), a.Canvas().TextWidth("iii"));
    EXPECT_EQ(a.Canvas().TextWidth(""), 0);
    const int h = a.Canvas().TextHeight("0");
    EXPECT_GE(h, 16);
    EXPECT_LE(h, 20);
    const TTextMetric tm = a.Canvas().TextMetrics();
    EXPECT_EQ(tm.Height, tm.Ascent + tm.Descent);
    EXPECT_EQ(a.Canvas().TextHeight("Wg"), tm.Height);
    a.Canvas().Font.Bold = true;
    EXPECT_GE(a.Canvas().TextWidth("WWW"), b.Canvas().TextWidth("WWW"));
}

TEST(Text, OpaqueTextFillsItsCellTransparentTextDoesNot) {
    TBitmap b(120, 40);
    TCanvas& c = b.Canvas();
    useArial(c, -16);
    c.Brush.Color = clYellow;
    c.TextOut(5, 5, "Hi 42");
    const TSize e = c.TextExtent("Hi 42");
    const TRect cell = Bounds(5, 5, e.cx, e.cy);
    EXPECT_EQ(c.PenPos, (TPoint{5 + e.cx, 5}));
    EXPECT_GT(countColor(b, clBlack, cell), 10);
    EXPECT_GT(countColor(b, clYellow, cell), 10);
    EXPECT_EQ(countColor(b, clBlack, cell) + countColor(b, clYellow, cell), e.cx * e.cy);
    EXPECT_EQ(countColor(b, clYellow, {0, 0, 120, 40}), countColor(b, clYellow, cell));

    TBitmap t(120, 40);
    TCanvas& d = t.Canvas();
    useArial(d, -16);
    d.Brush.Style = TBrushStyle::bsClear;
    d.Font.Color = clRed;
    d.TextOut(5, 5, "Hi 42");
    EXPECT_GT(countColor(t, clRed, cell), 10);
    EXPECT_EQ(countColor(t, clRed, cell) + countColor(t, clWhite, cell), e.cx * e.cy);
    // the same glyph pixels as the opaque text
    for (int y = cell.Top; y < cell.Bottom; ++y) {
        for (int x = cell.Left; x < cell.Right; ++x) {
            EXPECT_EQ(t.GetPixel(x, y) == clRed, b.GetPixel(x, y) == clBlack);
        }
    }
}

TEST(Text, CyrillicTextIsDrawn) {
    TBitmap b(80, 30);
    TCanvas& c = b.Canvas();
    useArial(c, -16);
    c.Brush.Style = TBrushStyle::bsClear;
    const std::string text = "\xCF\xF0\xE8"; // "При" in Windows-1251
    EXPECT_GT(c.TextWidth(text), 15);
    c.TextOut(2, 2, text);
    EXPECT_GT(countColor(b, clBlack, {0, 0, 80, 30}), 20);
}

TEST(Text, TextAlignmentMovesTheReferencePoint) {
    TBitmap b(100, 40);
    TCanvas& c = b.Canvas();
    useArial(c, -12);
    c.Brush.Style = TBrushStyle::bsClear;
    const int w = c.TextWidth("88");
    c.TextAlign = TA_RIGHT | TA_TOP;
    c.TextOut(60, 5, "88");
    EXPECT_EQ(countColor(b, clBlack, {60, 0, 100, 40}), 0);
    EXPECT_GT(countColor(b, clBlack, {60 - w, 0, 60, 40}), 0);
}

TEST(Prefixes, AmpersandsMarkTheAcceleratorAndDoubleAmpersandsStay) {
    EXPECT_EQ(StripPrefixes("&File").text, "File");
    EXPECT_EQ(StripPrefixes("&File").accelerator, 0u);
    EXPECT_EQ(StripPrefixes("Sa&ve").accelerator, 2u);
    const PrefixedText amp = StripPrefixes("A&&B");
    EXPECT_EQ(amp.text, "A&B");
    EXPECT_EQ(amp.accelerator, std::string::npos);
    EXPECT_EQ(StripPrefixes("A&&&B").accelerator, 2u);
    EXPECT_EQ(StripPrefixes("End&").text, "End");
    EXPECT_EQ(StripPrefixes("End&").accelerator, std::string::npos);
}

TEST(DrawTextTest, CalcRectMeasuresLinesAndWidth) {
    TBitmap b(200, 100);
    TCanvas& c = b.Canvas();
    useArial(c, -13);
    const int lh = c.TextHeight("W");
    TRect r{10, 10, 10, 10};
    EXPECT_EQ(c.DrawText("one\r\ntwo two", r, DT_CALCRECT), 2 * lh);
    EXPECT_EQ(r.Bottom, 10 + 2 * lh);
    EXPECT_EQ(r.Right, 10 + c.TextWidth("two two"));
    TRect empty{0, 0, 0, 0};
    EXPECT_EQ(c.DrawText("", empty, DT_CALCRECT), 0);
    TRect single{0, 0, 0, 0};
    EXPECT_EQ(c.DrawText("a\r\nb", single, DT_CALCRECT | DT_SINGLELINE), lh);
    TRect amp{0, 0, 0, 0};
    c.DrawText("&File", amp, DT_CALCRECT);
    EXPECT_EQ(amp.Right, c.TextWidth("File"));
    c.DrawText("&File", amp, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(amp.Right, c.TextWidth("&File"));
}

TEST(DrawTextTest, WordBreakWrapsAtBlanks) {
    TBitmap b(200, 100);
    TCanvas& c = b.Canvas();
    useArial(c, -13);
    const int lh = c.TextHeight("W");
    const int w = c.TextWidth("alpha beta");
    TRect r{0, 0, w, 0};
    EXPECT_EQ(c.DrawText("alpha beta gamma", r, DT_CALCRECT | DT_WORDBREAK), 2 * lh);
    TRect narrow{0, 0, 5, 0};
    EXPECT_EQ(c.DrawText("alpha beta", narrow, DT_CALCRECT | DT_WORDBREAK), 2 * lh);
    EXPECT_EQ(narrow.Right, c.TextWidth("alpha")); // a word is never cut
}

TEST(DrawTextTest, SingleLineIsCentredAndClipped) {
    TBitmap b(100, 40);
    TCanvas& c = b.Canvas();
    useArial(c, -13);
    c.Brush.Style = TBrushStyle::bsClear;
    TRect r{20, 10, 80, 30};
    const int lh = c.TextHeight("I");
    const int offset = c.DrawText("IIII", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(offset, (20 - lh) / 2 + lh);
    const int w = c.TextWidth("IIII");
    const int left = 20 + (60 - w) / 2;
    EXPECT_EQ(countColor(b, clBlack, {0, 0, left, 40}), 0);
    EXPECT_EQ(countColor(b, clBlack, {left + w, 0, 100, 40}), 0);
    EXPECT_GT(countColor(b, clBlack, {left, 10, left + w, 30}), 0);

    TBitmap t(100, 40);
    TCanvas& d = t.Canvas();
    useArial(d, -20);
    d.Brush.Style = TBrushStyle::bsClear;
    TRect small{10, 10, 30, 16};
    d.DrawText("WWWWWW", small, DT_LEFT | DT_SINGLELINE);
    EXPECT_EQ(countColor(t, clBlack, {0, 0, 100, 10}), 0);
    EXPECT_EQ(countColor(t, clBlack, {0, 16, 100, 40}), 0);
    EXPECT_EQ(countColor(t, clBlack, {30, 0, 100, 40}), 0);
    EXPECT_GT(countColor(t, clBlack, small), 0);
}

TEST(DrawTextTest, AcceleratorIsUnderlined) {
    TBitmap a(100, 30);
    TBitmap b(100, 30);
    useArial(a.Canvas(), -16);
    useArial(b.Canvas(), -16);
    TRect r{0, 0, 100, 30};
    a.Canvas().DrawText("&File", r, DT_LEFT);
    b.Canvas().DrawText("File", r, DT_LEFT);
    const int fw = a.Canvas().TextWidth("F");
    const int base = a.Canvas().TextMetrics().Ascent;
    EXPECT_GT(countColor(a, clBlack, {0, base, fw, 30}), countColor(b, clBlack, {0, base, fw, 30}));
    EXPECT_EQ(countColor(a, clBlack, {fw, 0, 100, 30}), countColor(b, clBlack, {fw, 0, 100, 30}));
}

TEST(DrawTextTest, EndEllipsisShortensALongLine) {
    TBitmap b(100, 30);
    TCanvas& c = b.Canvas();
    useArial(c, -13);
    const int w = c.TextWidth("abcdefgh") - 1;
    TRect r{0, 0, w, 0};
    c.DrawText("abcdefghijklmnop", r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(r.Width(), w);
    EXPECT_GT(r.Width(), 0);
}

TEST(DrawTextTest, TabsExpandToEightAverageCharacters) {
    TBitmap b(300, 30);
    TCanvas& c = b.Canvas();
    useArial(c, -13);
    TRect r{0, 0, 0, 0};
    c.DrawText("a\tb", r, DT_CALCRECT | DT_EXPANDTABS);
    EXPECT_EQ(r.Right, 8 * c.TextMetrics().AveCharWidth + c.TextWidth("b"));
}

// The painter backend draws the same pixels as the raster one for the shapes the program's
// pictures are made of.
TEST(PainterBackend, LinesAndRectanglesMatchTheRasterCanvas) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    TBitmap raster(40, 30);
    {
        PainterCanvas p(image);
        for (TCanvas* c : {static_cast<TCanvas*>(&p), &raster.Canvas()}) {
            c->Pen.Color = clRed;
            c->MoveTo(2, 2);
            c->LineTo(20, 2);
            c->MoveTo(2, 4);
            c->LineTo(2, 12);
            c->Brush.Color = clBlue;
            c->Rectangle(10, 10, 20, 18);
            c->Pen.Style = TPenStyle::psClear;
            c->Brush.Color = clLime;
            c->Rectangle(25, 10, 35, 18);
            c->Brush.Color = clYellow;
            c->FillRect({22, 20, 30, 25});
            c->Pen.Style = TPenStyle::psSolid;
        }
    }
    const TBitmap painted = bitmapFromImage(image);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            EXPECT_EQ(painted.GetPixel(x, y), raster.GetPixel(x, y)) << x << "," << y;
        }
    }
}

TEST(PainterBackend, TextAndKeyedPicturesReachTheDevice) {
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    TBitmap key(4, 4);
    key.Canvas().Brush.Color = clRed;
    key.Canvas().FillRect({0, 0, 4, 4});
    key.SetPixel(1, 1, clLime);
    key.Transparent = true;
    {
        PainterCanvas c(image);
        c.Font.Name = "Arial";
        c.Font.Height = -14;
        c.Brush.Style = TBrushStyle::bsClear;
        c.TextOut(2, 2, "Hello");
        c.Draw(40, 20, key);
        EXPECT_EQ(c.GetPixel(41, 21), clLime);
        EXPECT_EQ(c.GetPixel(40, 20), clWhite);
    }
    const TBitmap painted = bitmapFromImage(image);
    EXPECT_GT(countColor(painted, clBlack, {0, 0, 40, 30}), 10);
}
