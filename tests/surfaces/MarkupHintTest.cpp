// Hint markup checked on measured sizes and on the pixels of the hint window's picture, the
// window's placement and shape, the tool-tip filter, and markup that is not well formed.
#include "surfaces/MarkupHint.h"

#include <QApplication>
#include <QBuffer>
#include <QHelpEvent>
#include <QImage>
#include <QScreen>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

using namespace platform::gfx;

namespace {

constexpr unsigned kLineFlags = DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS | DT_EXTERNALLEADING;
// Where the hint window starts its text: its 4-pixel margin and the renderer's first column.
constexpr int kTextLeft = 5;

TFont tahoma(int points = 0, bool bold = false) {
    TFont f;
    f.Name = "Tahoma";
    f.Color = clInfoText;
    if (points > 0) {
        f.SetSize(points);
    }
    f.Bold = bold;
    return f;
}

int lineHeight(const TFont& font) {
    TBitmap scratch(1, 1);
    scratch.Canvas().Font = font;
    TRect r{0, 0, 100, 0};
    scratch.Canvas().DrawText("gh", r, kLineFlags | DT_CALCRECT);
    return r.Height();
}

int textWidth(const TFont& font, std::string_view text) {
    TBitmap scratch(1, 1);
    scratch.Canvas().Font = font;
    return scratch.Canvas().TextWidth(text);
}

int countColour(const TBitmap& b, TColor colour, const TRect& area) {
    int n = 0;
    const TRect r = IntersectRect(area, {0, 0, b.Width(), b.Height()});
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            n += b.GetPixel(x, y) == ColorToRGB(colour) ? 1 : 0;
        }
    }
    return n;
}

class MarkupHintTest : public ::testing::Test {
protected:
    void SetUp() override { hint = &InstallMarkupHint(*qApp, form); }

    THTMLDrawResult measure(std::string_view text, int width = 1000) {
        TBitmap scratch(1, 1);
        scratch.Canvas().Font = hint->HintFont;
        THTMLDrawParams p;
        p.Rect = {0, 0, width, 0};
        p.MeasureOnly = true;
        p.PictureStore = &store;
        p.PictureCache = &hint->PictureCache();
        p.Images = &images;
        return HTMLDrawEx(scratch.Canvas(), text, p);
    }

    QWidget form;
    TMarkupHint* hint = nullptr;
    TPictureStore store;
    TImageList images;
};

} // namespace

TEST_F(MarkupHintTest, ComponentDefaultsAndTheTwoCreationErrors) {
    EXPECT_EQ(hint->HintFont, tahoma());
    EXPECT_EQ(hint->HintColor, clInfoBk);
    EXPECT_EQ(hint->HintColorTo, clNone);
    EXPECT_EQ(hint->ShadowColor, clGray);
    EXPECT_EQ(hint->ShadowOffset, 1);
    EXPECT_EQ(hint->Version(), "1.3.5.0");
    hint->SetPictureStore(&store);
    {
        TPictureStore gone;
        hint->SetPictureStore(&gone);
    }
    EXPECT_EQ(hint->PictureStore(), nullptr);

    QObject plain;
    QWidget child(&form);
    for (QObject* owner : {static_cast<QObject*>(nullptr), &plain, static_cast<QObject*>(&child)}) {
        try {
            TMarkupHint h(owner);
            ADD_FAILURE() << "made on a non-form owner";
        } catch (const EMarkupHintError& e) {
            EXPECT_STREQ(e.what(), "Control parent must be a form!");
        }
    }
    try {
        TMarkupHint second(&form);
        ADD_FAILURE() << "second instance made";
    } catch (const EMarkupHintError& e) {
        EXPECT_STREQ(e.what(), "Only one instance of TMarkupHint allowed on form");
    }
}

TEST_F(MarkupHintTest, PlainTextIsOneLinePerCarriageReturnInTheHintFontOnTheInfoColour) {
    const TFont f = tahoma();
    const int lh = lineHeight(f);
    const THTMLDrawResult m = measure("first\r\nsecond line\rthird");
    EXPECT_EQ(m.Height, 3 * lh);
    EXPECT_EQ(m.Width, textWidth(f, "second line"));
    EXPECT_EQ(m.PlainText, "first\rsecond line\rthird");

    const TBitmap b = RenderHint(*hint, "first\r\nsecond line\rthird", 1000);
    ASSERT_EQ(b.Width(), m.Width + 16);
    ASSERT_EQ(b.Height(), m.Height + 4);
    EXPECT_EQ(b.GetPixel(0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(b.GetPixel(b.Width() - 1, b.Height() - 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(b.GetPixel(b.Width() - 3, 2), ColorToRGB(clInfoBk));
    const TRect inside{1, 1, b.Width() - 1, b.Height() - 1};
    const int ink = countColour(b, clInfoText, inside);
    EXPECT_EQ(ink + countColour(b, clInfoBk, inside), inside.Width() * inside.Height());
    for (int line = 0; line < 3; ++line) {
        EXPECT_GT(
            countColour(b, clInfoText, {kTextLeft, 2 + line * lh, b.Width(), 2 + (line + 1) * lh}),
            10)
            << line;
    }
    EXPECT_EQ(countColour(b, clInfoText, {0, 0, kTextLeft, b.Height()}), 0);
}

TEST_F(MarkupHintTest, EntitiesShowTheirCharactersAndEscapedTagsStayText) {
    struct Case {
        const char* markup;
        const char* shown;
    };
    for (const Case& c :
         {Case{"&amp;", "&"}, Case{"&lt;B&gt;x", "<B>x"}, Case{"a&nbsp;b &QUOT;", "a b \""},
          Case{"&amp;lt;", "&lt;"}, Case{"&euro;&trade;&sect;", "\x88\x99\xA7"},
          Case{"&bogus;", "bogus;"} /* a lone & marks the next letter */}) {
        const THTMLDrawResult m = measure(c.markup);
        EXPECT_EQ(m.PlainText, c.shown) << c.markup;
        EXPECT_EQ(m.Width, textWidth(tahoma(), c.shown)) << c.markup;
    }
}

TEST_F(MarkupHintTest, FontSizesAreListSizesOrPointsKeptToTheDrawableRange) {
    struct Case {
        const char* markup;
        int points;
    };
    for (const Case& c : {Case{"<FONT SIZE=3>Ag</FONT>", 12}, Case{"<font size=\"20\">Ag", 20},
                          Case{"<FONT SIZE=1>Ag", 8}, Case{"<FONT SIZE=9999>Ag", 512},
                          Case{"<FONT SIZE=0>Ag", 1}, Case{"<FONT SIZE=-40>Ag", 1}}) {
        const THTMLDrawResult m = measure(c.markup);
        EXPECT_EQ(m.Height, lineHeight(tahoma(c.points))) << c.markup;
        EXPECT_EQ(m.Width, textWidth(tahoma(c.points), "Ag")) << c.markup;
    }
    // After the closing tag the starting size is back.
    EXPECT_EQ(measure("<FONT SIZE=20>A</FONT>\rB<BR>C").Height,
              lineHeight(tahoma(20)) + 2 * lineHeight(tahoma()));
}

TEST_F(MarkupHintTest, BoldKeyAndTextKeepEveryBlankAndSizeTheWindow) {
    const char* text = "<B> F1</B>  Receive the configurations";
    const int expected =
        textWidth(tahoma(0, true), " F1") + textWidth(tahoma(), "  Receive the configurations");
    const THTMLDrawResult m = measure(text);
    EXPECT_EQ(m.Width, expected);
    EXPECT_EQ(m.PlainText, " F1  Receive the configurations");
    EXPECT_EQ(RenderHint(*hint, text, 1000).Width(), expected + 16);
    hint->XMargin = 3;
    hint->YMargin = 2;
    const TBitmap b = RenderHint(*hint, text, 1000);
    EXPECT_EQ(b.Width(), expected + 16 + 6);
    EXPECT_EQ(b.Height(), lineHeight(tahoma(0, true)) + 4 + 4);

    // Too narrow a hint wraps after a blank; a word cut by a tag stays in one piece.
    EXPECT_EQ(measure("aaa bbb", textWidth(tahoma(), "aaa b") + 1).Height,
              2 * lineHeight(tahoma()));
    EXPECT_EQ(measure("aaa<B>bbb</B>", textWidth(tahoma(), "aaa b") + 1).Height,
              lineHeight(tahoma(0, true)));
}

TEST_F(MarkupHintTest, ListItemsAreBulletedLinesIndentedByTheirLevel) {
    const THTMLDrawResult m = measure("<UL><LI>one</LI><LI>two</LI></UL>");
    TFont symbol = tahoma();
    symbol.Name = "Symbol";
    const int lh = std::max(lineHeight(tahoma()), lineHeight(symbol));
    EXPECT_EQ(m.Height, 2 * lh);
    EXPECT_EQ(m.Width, 12 + textWidth(symbol, "\x95") +
                           std::max(textWidth(tahoma(), " one"), textWidth(tahoma(), " two")));

    const TBitmap b = RenderHint(*hint, "<UL><LI>one</LI><LI>two</LI></UL>", 1000);
    const int bullet = textWidth(symbol, "\x95");
    for (int line = 0; line < 2; ++line) {
        const int top = 2 + line * lh;
        EXPECT_EQ(countColour(b, clInfoText, {1, top, kTextLeft + 12, top + lh}), 0) << line;
        EXPECT_GT(
            countColour(b, clInfoText, {kTextLeft + 12, top, kTextLeft + 12 + bullet, top + lh}), 0)
            << line;
        EXPECT_GT(countColour(b, clInfoText, {kTextLeft + 12 + bullet, top, b.Width(), top + lh}),
                  10)
            << line;
    }
    // Two items on one line are two lines; a nested list goes one step further in.
    EXPECT_EQ(measure("<UL><LI>a<LI>b</UL>").Height, 2 * lh);
    EXPECT_EQ(measure("<UL><UL><LI>a").Width,
              24 + textWidth(symbol, "o") + textWidth(tahoma(), " a"));
}

TEST_F(MarkupHintTest, TagsDrawTheirEffects) {
    struct Case {
        const char* markup;
        TColor colour;
        int atLeast;
    };
    for (const Case& c : {Case{"<SH>shadow</SH>", clGray, 10}, Case{"<E>wrong</E>", clRed, 15},
                          Case{"<HI>marked</HI>", clHighlight, 50},
                          Case{"<BODY BGCOLOR=\"clLime\">x", clLime, 200 * 30 - 100},
                          Case{"<P BGCOLOR=\"clAqua\">x</P>y", clAqua, 200 * 10},
                          Case{"<FONT BGCOLOR=\"clYellow\">back</FONT>", clYellow, 50},
                          Case{"x<HR>y", clBlack, 200}, Case{"<BLINK>x</BLINK>", clBlack, 5}}) {
        TBitmap b(202, 40);
        TCanvas& canvas = b.Canvas();
        canvas.Brush = {clWhite, TBrushStyle::bsSolid};
        canvas.FillRect({0, 0, 202, 40});
        canvas.Font = tahoma();
        canvas.Font.Color = clBlack;
        THTMLDrawParams p;
        p.Rect = {2, 5, 202, 35};
        HTMLDrawEx(canvas, c.markup, p);
        EXPECT_GE(countColour(b, c.colour, {0, 0, 202, 40}), c.atLeast) << c.markup;
    }

    // Links: the link colour, and the link under the point with its rectangle.
    TBitmap b(200, 20);
    b.Canvas().Font = tahoma();
    THTMLDrawParams p;
    p.Rect = {0, 0, 200, 20};
    p.URLColor = clBlue;
    p.Point = {textWidth(tahoma(), "go ") + 3, 8};
    const THTMLDrawResult r = HTMLDrawEx(b.Canvas(), "go <A HREF=\"next\">there</A> now", p);
    EXPECT_TRUE(r.OnLink);
    EXPECT_EQ(r.Anchor, "next");
    EXPECT_EQ(r.LinkCount, 1);
    EXPECT_EQ(r.LinkRect.Left, 1 + textWidth(tahoma(), "go "));
    EXPECT_EQ(r.LinkRect.Width(), textWidth(tahoma(), "there"));
    EXPECT_GT(countColour(b, clBlue, r.LinkRect), 10);
    EXPECT_EQ(countColour(b, clBlue, {r.LinkRect.Right, 0, 200, 20}), 0);
    // Hidden text takes no room; right alignment ends the line at the rectangle's edge.
    EXPECT_EQ(measure("<Z>hidden </Z>shown").Width, textWidth(tahoma(), "shown"));
    TBitmap right(100, 20);
    right.Canvas().Font = tahoma();
    p = {};
    p.Rect = {0, 0, 100, 20};
    HTMLDrawEx(right.Canvas(), "<P ALIGN=\"RIGHT\">x</P>", p);
    EXPECT_EQ(countColour(right, clInfoText, {0, 0, 100 - textWidth(tahoma(), "x"), 20}), 0);
    EXPECT_GT(countColour(right, clInfoText, {100 - textWidth(tahoma(), "x"), 0, 100, 20}), 3);
}

TEST_F(MarkupHintTest, ColoursByNumberAndNameAndBlackOtherwise) {
    struct Case {
        const char* value;
        TColor colour;
    };
    for (const Case& c :
         {Case{"#FF0000", clRed}, Case{"#00ff80", RGB(0, 255, 128)}, Case{"clRed", clRed},
          Case{"CLBLUE", clBlue}, Case{"clInfoBk", clInfoBk}, Case{"cl3DDkShadow", cl3DDkShadow},
          Case{"#FF00", clBlack}, Case{"#GG0000", clBlack}, Case{"#", clBlack},
          Case{"purple", clBlack}, Case{"", clBlack}}) {
        EXPECT_EQ(HTMLColor(c.value), c.colour) << c.value;
    }
    const TBitmap b =
        RenderHint(*hint, "<FONT COLOR=\"#FF0000\">red</FONT> <FONT color=\"clblue\">blue", 1000);
    EXPECT_GT(countColour(b, clRed, {0, 0, b.Width(), b.Height()}), 10);
    EXPECT_GT(countColour(b, clBlue, {0, 0, b.Width(), b.Height()}), 10);
    EXPECT_EQ(countColour(b, clInfoText, {1, 1, b.Width() - 1, b.Height() - 1}), 0);

    // Closing tags give back the colour of the level around them.
    const TBitmap n =
        RenderHint(*hint, "<FONT COLOR=\"clRed\">H<FONT COLOR=\"clBlue\">H</FONT>H</FONT>H", 1000);
    const int w = textWidth(tahoma(), "H");
    const TColor expected[] = {clRed, clBlue, clRed, clInfoText};
    for (int i = 0; i < 4; ++i) {
        const TRect letter{kTextLeft + i * w, 1, kTextLeft + (i + 1) * w, n.Height() - 1};
        EXPECT_GT(countColour(n, expected[i], letter), 5) << i;
    }
}

TEST_F(MarkupHintTest, GradientsStepEveryChannelByRoundedShares) {
    TBitmap b(4, 48);
    GradientFill(b.Canvas(), {0, 0, 4, 48}, clBlack, clWhite, 48, true, true);
    EXPECT_EQ(b.GetPixel(0, 0), clBlack);
    EXPECT_EQ(b.GetPixel(3, 1), RGB(5, 5, 5)); // round(255 / 47)
    EXPECT_EQ(b.GetPixel(0, 47), clWhite);
    TBitmap h(64, 2);
    GradientFill(h.Canvas(), {0, 0, 64, 2}, clBlack, clWhite, 64, false, false);
    EXPECT_EQ(h.GetPixel(1, 1), RGB(4, 4, 4)); // round(255 / 64)
    EXPECT_EQ(h.GetPixel(63, 0), RGB(251, 251, 251));

    hint->HintColorTo = clWhite;
    hint->HintColor = clBlack;
    const TBitmap w = RenderHint(*hint, "<Z>x</Z>", 1000);
    EXPECT_LT(GetRValue(w.GetPixel(w.Width() / 2, 1)), 40);
    EXPECT_GT(GetRValue(w.GetPixel(w.Width() / 2, w.Height() - 2)), 215);
}

TEST_F(MarkupHintTest, PicturesFromTheStoreTheListAndFilesTakeTheirRoom) {
    QImage png(7, 5, QImage::Format_RGB32);
    png.fill(Qt::red);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(png.save(&buffer, "PNG"));
    TPictureItem& logo = store.Items().Add();
    logo.Name = "Logo";
    logo.Picture().LoadFromBytes(std::vector<std::uint8_t>(data.begin(), data.end()));
    images.Items.emplace_back(9, 4);
    const auto bad = std::filesystem::temp_directory_path() /
                     ("tb-hint-bad-" + std::to_string(getpid()) + ".png");
    std::ofstream(bad) << "not a picture";
    const int gh = lineHeight(tahoma());
    struct Case {
        std::string markup;
        int width;
        int height;
    };
    for (const Case& c :
         {Case{"<IMG SRC=\"LOGO\">", 7, 5}, Case{"<IMG SRC=\"IDX:0\">", 9, 4},
          Case{"<IMG SRC=\"IDX:1\">", 0, gh}, Case{"<IMG SRC=\"IDX:-1\">", 0, gh},
          Case{"<IMG SRC=\"nobody\">", 0, gh}, Case{"<IMG SRC=\"SSYS:/tmp\">", 0, gh},
          Case{"<IMG SRC=\"logo\" WIDTH=\"20\" HEIGHT=\"30\">", 20, 30},
          Case{"<IMG SRC=\"file://" + bad.string() + "\">", 0, gh}}) {
        const THTMLDrawResult m = measure(c.markup);
        EXPECT_EQ(m.Width, c.width) << c.markup;
        EXPECT_EQ(m.Height, c.height) << c.markup;
    }
    // The file that does not decode is cached once, empty, and not read again.
    ASSERT_EQ(hint->PictureCache().Count(), 1);
    EXPECT_TRUE(hint->PictureCache().Items(0).Empty());
    measure("<IMG SRC=\"file://" + bad.string() + "\">");
    EXPECT_EQ(hint->PictureCache().Count(), 1);
    std::filesystem::remove(bad);

    hint->SetPictureStore(&store);
    const TBitmap b = RenderHint(*hint, "<IMG SRC=\"logo\">", 1000);
    EXPECT_EQ(countColour(b, clRed, {0, 0, b.Width(), b.Height()}), 7 * 5);
}

TEST_F(MarkupHintTest, TheWindowStaysOnItsMonitorAndTheRoundedStyleHasRoundCorners) {
    const THintWindowSize size = HintWindowSize({100, 20}, 2, 1);
    EXPECT_EQ(size.Text, (TSize{104, 22}));
    EXPECT_EQ(size.Window, (TSize{120, 26}));
    const TRect monitor{0, 0, 800, 600};
    EXPECT_EQ(PlaceHintWindow(size, {10, 20}, monitor), (TRect{10, 20, 130, 46}));
    EXPECT_EQ(PlaceHintWindow(size, {750, 20}, monitor), (TRect{678, 20, 798, 46}));
    EXPECT_EQ(PlaceHintWindow(size, {10, 590}, monitor), (TRect{10, 572, 130, 598}));
    EXPECT_EQ(PlaceHintWindow(HintWindowSize({5000, 9000}, 0, 0), {400, 300}, monitor),
              (TRect{0, 0, 800, 600}));

    hint->HintStyle = THintStyle::hsRounded;
    const TBitmap b = RenderHint(*hint, "Rounded hint", 1000);
    const QRegion shape = HintWindowRegion(THintStyle::hsRounded, b.Width(), b.Height());
    for (const TPoint p :
         {TPoint{b.Width() / 2, 0}, TPoint{0, b.Height() / 2},
          TPoint{b.Width() - 2, b.Height() / 2}, TPoint{b.Width() / 2, b.Height() - 2}}) {
        EXPECT_EQ(b.GetPixel(p.X, p.Y), clGray) << p.X << "," << p.Y;
        EXPECT_TRUE(shape.contains(QPoint(p.X, p.Y)));
    }
    for (const TPoint p : {TPoint{0, 0}, TPoint{1, 1}, TPoint{b.Width() - 1, b.Height() - 1}}) {
        EXPECT_FALSE(shape.contains(QPoint(p.X, p.Y))) << p.X << "," << p.Y;
        EXPECT_NE(b.GetPixel(p.X, p.Y), clGray);
    }
    EXPECT_EQ(HintWindowRegion(THintStyle::hsRectangle, 30, 20).rectCount(), 1);
}

TEST_F(MarkupHintTest, ToolTipRequestsShowTheHintWindowInsteadOfTheToolkits) {
    QWidget* button = new QWidget(&form);
    button->setGeometry(0, 0, 40, 20);
    button->setToolTip(QStringLiteral("<B> F1</B>  Receive"));
    form.resize(100, 50);
    form.show();
    int asked = 0;
    hint->MaxWidth = 300;
    hint->OnShowHint = [&](std::string& text, bool& canShow, THintInfo& info) {
        ++asked;
        EXPECT_EQ(info.HintMaxWidth, 300);
        EXPECT_EQ(info.HintColor, clInfoBk);
        canShow = text != "<B> F1</B>  Receive" || asked == 1;
    };
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QHelpEvent request(QEvent::ToolTip, QPoint(5, 5), QPoint(screen.right() - 10, 100));
    QApplication::sendEvent(button, &request);
    ASSERT_NE(hint->HintWindow(), nullptr);
    TMarkupHintWindow& window = *hint->HintWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Text(), "<B> F1</B>  Receive");
    EXPECT_EQ(hint->HintInfo().HintControl, button);
    // Near the right edge of the screen the hint ends 2 pixels before it.
    EXPECT_EQ(window.geometry().x() + window.width(), screen.x() + screen.width() - 2);
    const TBitmap picture = window.Picture();
    EXPECT_EQ(picture.Width(), window.width());
    EXPECT_GT(countColour(picture, clInfoText, {0, 0, picture.Width(), picture.Height()}), 20);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(window.isVisible());
    QApplication::sendEvent(button, &request);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(window.isVisible()); // the handler said no
}

TEST_F(MarkupHintTest, MalformedMarkupIsDrawnWithoutRunningAway) {
    std::string deep;
    for (int i = 0; i < 5000; ++i) {
        deep += "<UL><FONT SIZE=\"2\"><B><LI>";
    }
    std::string big;
    while (big.size() < 100 * 1024) {
        big += "<B>word</B> other &amp; <FONT COLOR=\"#12\">words</FONT>\r<I>more <E>text ";
    }
    std::string oneWord(100 * 1024, 'w');
    struct Case {
        std::string markup;
        std::optional<std::string> shown;
    };
    for (const Case& c :
         {Case{"<B", ""}, Case{"x<", "x"}, Case{"x<>", "x"}, Case{"a>b", "a>b"},
          Case{"<<B>>x", ">x"}, Case{"<#12>", "#12"}, Case{"<SUP><SUB>x", "x"},
          Case{"<FONT SIZE=99999999999999>x", "x"}, Case{"<IND x=\"9999999999\">x", "x"},
          Case{"<IMG SRC=\"IDX:99999999999\" WIDTH=\"-1\">", ""}, Case{"<R a=\"90\">up</R>", "up"},
          Case{"</UL></UL></FONT></A></R>x", "x"}, Case{deep, std::nullopt},
          Case{big, std::nullopt}, Case{oneWord, std::nullopt}}) {
        const THTMLDrawResult m = measure(c.markup, 300);
        if (c.shown) {
            EXPECT_EQ(m.PlainText, *c.shown) << c.markup;
        }
        EXPECT_GT(m.Height, 0);
        for (const bool ellipsis : {false, true}) {
            hint->Ellipsis = ellipsis;
            const TBitmap b = RenderHint(*hint, c.markup, 300, {0, 0, 640, 480});
            EXPECT_LE(b.Width(), 640);
            EXPECT_LE(b.Height(), 480);
        }
    }
    hint->Ellipsis = true;
    EXPECT_LE(MeasureHint(*hint, oneWord, 300).cx, 300 - 16);
}
