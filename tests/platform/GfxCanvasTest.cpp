#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/QtImage.h"
#include "platform/gfx/RasterCanvas.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <set>
#include <vector>

using namespace platform::gfx;

namespace {

TBitmap whiteBitmap(int w, int h) {
    TBitmap b(w, h); // new pixels are white
    return b;
}

int countColor(TBitmap& b, TColor c, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            n += b.GetPixel(x, y) == c ? 1 : 0;
        }
    }
    return n;
}

} // namespace

TEST(Colors, SystemColoursComeFromTheFixedScheme) {
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), clWhite);
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(clWindowFrame), clBlack);
    EXPECT_EQ(ColorToRGB(clGrayText), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(clSystemColor | 200), clBlack);
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
    EXPECT_EQ(GetRValue(clRed), 255);
    EXPECT_EQ(GetBValue(clBlue), 255);
}

TEST(Fonts, SizeAndHeightFollowThePlatformRounding) {
    EXPECT_EQ(MulDiv(8, 96, 72), 11); // 10.67
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);  // halves go away from zero
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    TFont f;
    EXPECT_EQ(f.Size(), 8);
    f.SetSize(9);
    EXPECT_EQ(f.Height, -12);
    f.Height = -21;
    EXPECT_EQ(f.Size(), 16);
}

TEST(RasterLines, ALineLeavesOutItsEndPoint) {
    TBitmap b = whiteBitmap(20, 20);
    TCanvas& c = b.Canvas();
    c.MoveTo(2, 5);
    c.LineTo(10, 5);
    for (int x = 2; x < 10; ++x) {
        EXPECT_EQ(b.GetPixel(x, 5), clBlack) << x;
    }
    EXPECT_EQ(b.GetPixel(10, 5), clWhite);
    EXPECT_EQ(b.GetPixel(1, 5), clWhite);
    EXPECT_EQ(c.PenPos, (TPoint{10, 5}));

    c.MoveTo(12, 12);
    c.LineTo(16, 8); // diagonal up-right
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b.GetPixel(12 + i, 12 - i), clBlack);
    }
    EXPECT_EQ(b.GetPixel(16, 8), clWhite);

    c.MoveTo(3, 15);
    c.LineTo(3, 15); // nothing at all
    EXPECT_EQ(b.GetPixel(3, 15), clWhite);
}

TEST(RasterLines, OneStepPerMajorPixelWithHalvesKeptBack) {
    TBitmap b = whiteBitmap(12, 6);
    TCanvas& c = b.Canvas();
    c.MoveTo(0, 0);
    c.LineTo(4, 1);
    EXPECT_EQ(b.GetPixel(0, 0), clBlack);
    EXPECT_EQ(b.GetPixel(1, 0), clBlack);
    EXPECT_EQ(b.GetPixel(2, 0), clBlack); // exactly half way: stays on the start row
    EXPECT_EQ(b.GetPixel(3, 1), clBlack);
    EXPECT_EQ(countColor(b, clBlack, {0, 0, 12, 6}), 4);
}

TEST(RasterLines, DashAndDotPensFollowTheirPatternAndTheBrush) {
    TBitmap b = whiteBitmap(60, 4);
    TCanvas& c = b.Canvas();
    c.Pen.Style = TPenStyle::psDash;
    c.Pen.Color = clRed;
    c.Brush.Style = TBrushStyle::bsClear;
    c.MoveTo(0, 0);
    c.LineTo(50, 0);
    for (int x = 0; x < 18; ++x) {
        EXPECT_EQ(b.GetPixel(x, 0), clRed) << x;
    }
    for (int x = 18; x < 24; ++x) {
        EXPECT_EQ(b.GetPixel(x, 0), clWhite) << x;
    }
    EXPECT_EQ(b.GetPixel(24, 0), clRed);
    EXPECT_EQ(b.GetPixel(42, 0), clWhite);

    // A solid brush paints the gaps in its colour.
    c.Brush.Style = TBrushStyle::bsSolid;
    c.Brush.Color = clLime;
    c.Pen.Style = TPenStyle::psDot;
    c.MoveTo(0, 2);
    c.LineTo(12, 2);
    const TColor expected[] = {clRed, clRed, clRed, clLime, clLime, clLime,
                               clRed, clRed, clRed, clLime, clLime, clLime};
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(b.GetPixel(x, 2), expected[x]) << x;
    }
    EXPECT_EQ(b.GetPixel(12, 2), clWhite);
}

// Level, upright and diagonal lines of styled pens, pixel for pixel against the pattern walked one
// pixel at a time: the pattern runs on across the joints of a polyline and across the parts of a
// line outside the clip rectangle, and a solid brush fills the gaps. A rectangle's outline is the
// closed polyline round its corners, clockwise from the top left.
TEST(RasterLines, StraightStyledLinesMatchThePatternPixelByPixel) {
    struct Style {
        TPenStyle style;
        std::vector<int> pattern; // pixels on, off, on, ...
    };
    const Style styles[] = {{TPenStyle::psSolid, {}},
                            {TPenStyle::psDash, {18, 6}},
                            {TPenStyle::psDot, {3, 3}},
                            {TPenStyle::psDashDot, {9, 6, 3, 6}},
                            {TPenStyle::psDashDotDot, {9, 3, 3, 3, 3, 3}}};
    const std::vector<std::vector<TPoint>> polylines = {
        {{-7, 5}, {66, 5}, {66, 44}, {3, 44}, {3, -9}},       // round the clip rectangle's edges
        {{60, 30}, {60, 2}, {2, 2}, {30, 30}, {1, 59}},       // upward, leftward, diagonals
        {{-30, 20}, {5, 55}, {5, 19}, {6, 19}, {6, 20}},      // from outside; one-pixel steps
        {{31, 17}, {31, 17}, {40, 17}, {40, 26}, {-50, -64}}, // an empty segment; far diagonal
    };
    // Rectangles as their outlines: corners (left, top), (right - 1, bottom - 1).
    const std::vector<std::vector<TPoint>> rectangles = {
        {{5, 6}, {50, 6}, {50, 40}, {5, 40}, {5, 6}},
        {{-20, -4}, {70, -4}, {70, 45}, {-20, 45}, {-20, -4}},
        {{9, 30}, {10, 30}, {10, 31}, {9, 31}, {9, 30}},
    };
    const TRect clip{2, 3, 58, 47};
    for (const Style& style : styles) {
        for (const bool opaque : {false, true}) {
            for (std::size_t k = 0; k < polylines.size() + rectangles.size(); ++k) {
                const bool rectangle = k >= polylines.size();
                const auto& points = rectangle ? rectangles[k - polylines.size()] : polylines[k];
                TBitmap drawn = whiteBitmap(64, 52);
                TCanvas& c = drawn.Canvas();
                c.Pen.Style = style.style;
                c.Pen.Color = clRed;
                c.Brush.Style = opaque ? TBrushStyle::bsSolid : TBrushStyle::bsClear;
                c.Brush.Color = clLime;
                c.SetClipRect(clip);
                TBitmap expected = whiteBitmap(64, 52);
                if (rectangle) {
                    c.Rectangle(points[0].X, points[0].Y, points[2].X + 1, points[2].Y + 1);
                    for (int y = points[0].Y + 1; opaque && y < points[2].Y; ++y) {
                        for (int x = points[0].X + 1; x < points[2].X; ++x) {
                            if (clip.Contains(x, y)) {
                                expected.SetPixel(x, y, clLime);
                            }
                        }
                    }
                } else {
                    c.Polyline(points);
                }

                int cycle = 0;
                for (const int p : style.pattern) {
                    cycle += p;
                }
                long long step = 0;
                for (std::size_t i = 1; i < points.size(); ++i) {
                    const TPoint a = points[i - 1];
                    const TPoint b = points[i];
                    const int n = std::max(std::abs(b.X - a.X), std::abs(b.Y - a.Y));
                    for (int j = 0; j < n; ++j, ++step) {
                        const int x = a.X + (b.X > a.X ? j : b.X < a.X ? -j : 0);
                        const int y = a.Y + (b.Y > a.Y ? j : b.Y < a.Y ? -j : 0);
                        bool on = true;
                        if (cycle > 0) {
                            int at = int(step % cycle);
                            std::size_t entry = 0;
                            while (at >= style.pattern[entry]) {
                                at -= style.pattern[entry++];
                            }
                            on = entry % 2 == 0;
                        }
                        if (clip.Contains(x, y) && (on || opaque)) {
                            expected.SetPixel(x, y, on ? clRed : clLime);
                        }
                    }
                }
                int red = 0;
                for (int y = 0; y < 52; ++y) {
                    for (int x = 0; x < 64; ++x) {
                        ASSERT_EQ(drawn.GetPixel(x, y), expected.GetPixel(x, y))
                            << int(style.style) << (opaque ? " opaque " : " clear ") << k << ": "
                            << x << "," << y;
                        red += drawn.GetPixel(x, y) == clRed ? 1 : 0;
                    }
                }
                EXPECT_GT(red, rectangle ? 1 : 10) << int(style.style) << " " << k;
            }
        }
    }
}

TEST(RasterLines, WidePensAreSolidAndCoverTheEndPoint) {
    TBitmap b = whiteBitmap(40, 20);
    TCanvas& c = b.Canvas();
    c.Pen.Width = 3;
    c.Pen.Style = TPenStyle::psDash;
    c.MoveTo(5, 10);
    c.LineTo(30, 10);
    for (int x = 5; x <= 30; ++x) {
        EXPECT_EQ(b.GetPixel(x, 9), clBlack) << x;
        EXPECT_EQ(b.GetPixel(x, 10), clBlack) << x;
        EXPECT_EQ(b.GetPixel(x, 11), clBlack) << x;
    }
    EXPECT_EQ(b.GetPixel(15, 8), clWhite);
    EXPECT_EQ(b.GetPixel(15, 12), clWhite);
}

// Lines reaching far outside the picture (a hostile page can ask for them) cost only their visible
// part, and leave exactly the pixels and dash phase of a picture big enough to hold them all.
TEST(RasterLines, FarOutsideLinesDrawTheirVisiblePartOnly) {
    struct Case {
        TPenStyle style;
        int width;
        std::vector<TPoint> points; // in the small picture's coordinates
    };
    const Case cases[] = {
        {TPenStyle::psDash, 1, {{-900, 7}, {30, 7}, {30, 25}, {-400, 300}}},
        {TPenStyle::psDashDot, 1, {{-700, -650}, {20, 20}, {700, 39}}},
        {TPenStyle::psSolid, 3, {{-800, 12}, {39, 12}, {39, -900}}},
        {TPenStyle::psDot, 1, {{5, -999}, {6, 999}}},
    };
    const int offset = 1000;
    for (const Case& c : cases) {
        TBitmap small = whiteBitmap(40, 40);
        TBitmap big = whiteBitmap(2 * offset + 40, 2 * offset + 40);
        for (TBitmap* b : {&small, &big}) {
            const int shift = b == &big ? offset : 0;
            TCanvas& canvas = b->Canvas();
            canvas.Pen.Style = c.style;
            canvas.Pen.Width = c.width;
            canvas.Brush.Style = TBrushStyle::bsClear;
            std::vector<TPoint> shifted;
            for (const TPoint& p : c.points) {
                shifted.push_back({p.X + shift, p.Y + shift});
            }
            canvas.Polyline(shifted);
        }
        int drawn = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                ASSERT_EQ(small.GetPixel(x, y), big.GetPixel(x + offset, y + offset))
                    << int(c.style) << ": " << x << "," << y;
                drawn += small.GetPixel(x, y) == clBlack ? 1 : 0;
            }
        }
        EXPECT_GT(drawn, 10);
    }
    // Rectangles and frames whose sides run far outside: the same, solid brush and dashed pen.
    for (const TRect r : {TRect{-900, -800, 30, 25}, TRect{10, -950, 900, 35}}) {
        TBitmap small = whiteBitmap(40, 40);
        TBitmap big = whiteBitmap(2 * offset + 40, 2 * offset + 40);
        for (TBitmap* b : {&small, &big}) {
            const int shift = b == &big ? offset : 0;
            TCanvas& canvas = b->Canvas();
            canvas.Pen.Style = TPenStyle::psDashDotDot;
            canvas.Brush.Color = clYellow;
            canvas.Rectangle(r.Left + shift, r.Top + shift, r.Right + shift, r.Bottom + shift);
            canvas.Brush.Color = clRed;
            canvas.FrameRect(
                {r.Left + 3 + shift, r.Top + 3 + shift, r.Right - 3 + shift, r.Bottom - 3 + shift});
        }
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                ASSERT_EQ(small.GetPixel(x, y), big.GetPixel(x + offset, y + offset))
                    << r.Left << ": " << x << "," << y;
            }
        }
    }
    // Four billion steps long: done at once.
    TBitmap b = whiteBitmap(20, 20);
    b.Canvas().Pen.Style = TPenStyle::psDash;
    b.Canvas().MoveTo(-2000000000, 5);
    b.Canvas().LineTo(2000000000, 5);
    EXPECT_GT(countColor(b, clBlack, {0, 0, 20, 20}), 5);
    b.Canvas().Rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(countColor(b, clWhite, {0, 0, 20, 20}), 400);
}

// Shapes from the far ends of the coordinate range (a page file can ask for them) draw on both
// backends exactly what shows of a shape reaching just outside the picture, however wide the pen:
// each case draws its shape at +-2^30 and a reference that looks the same within the picture.
// Dash patterns repeat every 24 pixels and 2^30 = 16 (mod 24), so the references keep their
// edges at the same place in the pattern.
TEST(CanvasExtremes, FarReachingShapesDrawTheirVisiblePart) {
    constexpr int G = 1 << 30;
    using Draw = std::function<void(TCanvas&)>;
    struct Case {
        const char* name;
        int penWidth;
        TPenStyle penStyle;
        Draw far;
        Draw near;
        bool visible; // something shows at all
    };
    const auto fillWith = [](TColor c) {
        return [c](TCanvas& canvas) {
            canvas.Brush.Color = c;
            canvas.FillRect({-5, -5, 50, 40});
        };
    };
    const TPoint diagonalFar[] = {{-G, -G}, {G, G}, {-G, G}};
    const TPoint diagonalNear[] = {{-40, -40}, {64, 64}, {-40, 64}};
    const TPoint bandFar[] = {{-G, 10}, {G, 10}, {G, G}, {-G, G}};
    const TPoint bandNear[] = {{-40, 10}, {64, 10}, {64, 64}, {-40, 64}};
    const TPoint lineFar[] = {{-G, 15}, {G, 15}};
    TBitmap picture(2, 2);
    picture.SetPixel(0, 0, clRed);
    picture.SetPixel(1, 0, clLime);
    picture.SetPixel(0, 1, clYellow);
    picture.SetPixel(1, 1, clFuchsia);
    const Case cases[] = {
        {"rectangle over all", 1, TPenStyle::psDash, [](TCanvas& c) { c.Rectangle(-G, -G, G, G); },
         [](TCanvas& c) { c.Rectangle(-40, -40, 64, 64); }, true},
        {"rectangle, top and left", 1, TPenStyle::psDashDot,
         [](TCanvas& c) { c.Rectangle(5, 4, G, G); }, [](TCanvas& c) { c.Rectangle(5, 4, 64, 64); },
         true},
        {"rectangle, right and bottom", 1, TPenStyle::psDot,
         [](TCanvas& c) { c.Rectangle(-G, -G, 30, 20); },
         [](TCanvas& c) { c.Rectangle(-40, -40, 30, 20); }, true},
        {"rectangle, wide pen", 7, TPenStyle::psSolid,
         [](TCanvas& c) { c.Rectangle(-G, 6, G, 20); },
         [](TCanvas& c) { c.Rectangle(-40, 6, 64, 20); }, true},
        {"rectangle, pen wider than all", 100000, TPenStyle::psSolid,
         [](TCanvas& c) { c.Rectangle(-G, 6, G, 20); }, fillWith(clRed), true},
        {"fill and frame", 1, TPenStyle::psSolid,
         [](TCanvas& c) {
             c.FillRect({-G, -G, G, 12});
             c.Brush.Color = clGreen;
             c.FrameRect({-G, 3, G, G});
         },
         [](TCanvas& c) {
             c.FillRect({-5, -5, 50, 12});
             c.Brush.Color = clGreen;
             c.FrameRect({-5, 3, 50, 50});
         },
         true},
        {"ellipse over all, wide pen", 1000, TPenStyle::psSolid,
         [](TCanvas& c) { c.Ellipse(-G, -G, G, G); }, fillWith(clBlue), true},
        {"flat ellipse", 1, TPenStyle::psSolid, [](TCanvas& c) { c.Ellipse(-G, 10, G, 20); },
         [](TCanvas& c) { c.Ellipse(-(1 << 20), 10, 1 << 20, 20); }, true},
        {"ellipse over all, wider pen", 5000, TPenStyle::psSolid,
         [](TCanvas& c) { c.Ellipse(-G, -G, G, G); }, fillWith(clBlue), true},
        {"rounded rectangle over all", 3, TPenStyle::psSolid,
         [](TCanvas& c) { c.RoundRect(-G, -G, G, G, INT_MAX, INT_MAX); },
         [](TCanvas& c) { c.Rectangle(-40, -40, 64, 64); }, true},
        {"rounded rectangle, top edge", 1, TPenStyle::psSolid,
         [](TCanvas& c) { c.RoundRect(-G, 5, G, G, 16, 16); },
         [](TCanvas& c) { c.Rectangle(-40, 5, 64, 64); }, true},
        {"pie quarter", 1, TPenStyle::psSolid,
         [](TCanvas& c) { c.Pie(20 - G, 15 - G, 20 + G, 15 + G, 20 + G, 15, 20, 15 - G); },
         [](TCanvas& c) { c.Pie(-30, -35, 70, 65, 70, 15, 20, -35); }, true},
        {"pie, wide pen", 1000, TPenStyle::psSolid,
         [](TCanvas& c) { c.Pie(20 - G, 15 - G, 20 + G, 15 + G, 20 + G, 15, 20, 15 - G); },
         [](TCanvas& c) { c.Pie(-30, -35, 70, 65, 70, 15, 20, -35); }, true},
        {"polygon, diagonal edge", 1, TPenStyle::psDashDotDot,
         [&](TCanvas& c) { c.Polygon(diagonalFar); }, [&](TCanvas& c) { c.Polygon(diagonalNear); },
         true},
        {"polygon, wide pen", 9, TPenStyle::psSolid, [&](TCanvas& c) { c.Polygon(bandFar); },
         [&](TCanvas& c) { c.Polygon(bandNear); }, true},
        {"line, pen wider than all", INT_MAX, TPenStyle::psSolid,
         [&](TCanvas& c) { c.Polyline(lineFar); }, fillWith(clRed), true},
        {"pictures", 1, TPenStyle::psSolid,
         [&](TCanvas& c) {
             c.StretchDraw({-G, -G, G, G}, picture);
             c.CopyRect({-G, 20, G, 24}, picture, {-G, 0, G, 2});
             c.Draw(INT_MAX - 1, INT_MAX - 1, picture);
         },
         [&](TCanvas& c) {
             c.StretchDraw({-40, -40, 40, 40}, picture);
             c.CopyRect({0, 20, 2, 24}, picture, {0, 0, 2, 2});
         },
         true},
        {"text beyond the ends", 1, TPenStyle::psSolid,
         [](TCanvas& c) {
             c.Font.Height = -12;
             c.DrawTextRun(G, 2, "far", std::string::npos, nullptr);
             c.DrawTextRun(2, INT_MAX - 3, "far", 0, nullptr);
             c.DrawTextRun(INT_MIN + 1, 2, "far", 0, nullptr);
             c.TextAlign = TA_RIGHT | TA_BOTTOM;
             c.TextOut(INT_MIN + 1, INT_MIN + 1, "far");
         },
         [](TCanvas&) {}, false},
    };
    constexpr int W = 40;
    constexpr int H = 30;
    const auto prepared = [](TCanvas& c, const Case& k) {
        c.Pen.Color = clRed;
        c.Pen.Width = k.penWidth;
        c.Pen.Style = k.penStyle;
        c.Brush.Color = clBlue;
        c.Brush.Style = TBrushStyle::bsSolid;
    };
    for (const Case& k : cases) {
        for (const bool painter : {false, true}) {
            TBitmap drawn[2];
            for (int i = 0; i < 2; ++i) {
                const Draw& draw = i == 0 ? k.far : k.near;
                if (painter) {
                    QImage image(W, H, QImage::Format_RGB32);
                    image.fill(Qt::white);
                    {
                        PainterCanvas c(image);
                        prepared(c, k);
                        draw(c);
                    }
                    drawn[i] = bitmapFromImage(image);
                } else {
                    drawn[i] = TBitmap(W, H);
                    prepared(drawn[i].Canvas(), k);
                    draw(drawn[i].Canvas());
                }
            }
            int shown = 0;
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    ASSERT_EQ(drawn[0].GetPixel(x, y), drawn[1].GetPixel(x, y))
                        << k.name << (painter ? " (painter) " : " (raster) ") << x << "," << y;
                    shown += drawn[0].GetPixel(x, y) != clWhite ? 1 : 0;
                }
            }
            EXPECT_EQ(shown > 0, k.visible) << k.name << (painter ? " (painter)" : " (raster)");
        }
    }
}

TEST(RasterShapes, RectangleExcludesItsRightAndBottomEdges) {
    TBitmap b = whiteBitmap(12, 10);
    TCanvas& c = b.Canvas();
    c.Pen.Color = clRed;
    c.Brush.Color = clBlue;
    c.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(b.GetPixel(2, 2), clRed);
    EXPECT_EQ(b.GetPixel(7, 2), clRed);
    EXPECT_EQ(b.GetPixel(7, 5), clRed);
    EXPECT_EQ(b.GetPixel(2, 5), clRed);
    EXPECT_EQ(b.GetPixel(8, 5), clWhite);
    EXPECT_EQ(b.GetPixel(7, 6), clWhite);
    EXPECT_EQ(b.GetPixel(3, 3), clBlue);
    EXPECT_EQ(b.GetPixel(6, 4), clBlue);
    EXPECT_EQ(countColor(b, clRed, {0, 0, 12, 10}), 16);
    EXPECT_EQ(countColor(b, clBlue, {0, 0, 12, 10}), 8);
}

TEST(RasterShapes, AClearPenMakesTheRectangleOnePixelSmaller) {
    TBitmap b = whiteBitmap(12, 10);
    TCanvas& c = b.Canvas();
    c.Pen.Style = TPenStyle::psClear;
    c.Brush.Color = clBlue;
    c.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(countColor(b, clBlue, {0, 0, 12, 10}), 5 * 3);
    EXPECT_EQ(b.GetPixel(6, 4), clBlue);
    EXPECT_EQ(b.GetPixel(7, 4), clWhite);
    EXPECT_EQ(b.GetPixel(6, 5), clWhite);
}

TEST(RasterShapes, FillRectAndFrameRectUseTheBrush) {
    TBitmap b = whiteBitmap(10, 10);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clGreen;
    c.FillRect({1, 1, 4, 3});
    EXPECT_EQ(countColor(b, clGreen, {0, 0, 10, 10}), 6);
    EXPECT_EQ(b.GetPixel(4, 1), clWhite);
    c.Brush.Style = TBrushStyle::bsClear;
    c.FillRect({5, 5, 9, 9});
    EXPECT_EQ(b.GetPixel(6, 6), clWhite);
    c.Brush.Style = TBrushStyle::bsSolid;
    c.Brush.Color = clRed;
    c.FrameRect({5, 5, 9, 9});
    EXPECT_EQ(countColor(b, clRed, {0, 0, 10, 10}), 12);
    EXPECT_EQ(b.GetPixel(6, 6), clWhite);
}

TEST(RasterShapes, EllipseStaysInsideItsBoxAndIsSymmetric) {
    TBitmap b = whiteBitmap(14, 12);
    TCanvas& c = b.Canvas();
    c.Pen.Color = clRed;
    c.Brush.Color = clBlue;
    c.Ellipse(1, 1, 11, 9);
    EXPECT_EQ(b.GetPixel(1, 1), clWhite);                // corner outside
    EXPECT_EQ(b.GetPixel(5, 4), clBlue);                 // inside
    EXPECT_EQ(countColor(b, clRed, {11, 0, 14, 12}), 0); // right edge excluded
    EXPECT_EQ(countColor(b, clRed, {0, 9, 14, 12}), 0);  // bottom edge excluded
    EXPECT_GT(countColor(b, clRed, {10, 0, 11, 12}), 0); // last column reached
    EXPECT_GT(countColor(b, clRed, {0, 8, 14, 9}), 0);   // last row reached
    for (int y = 1; y < 9; ++y) {
        for (int x = 1; x < 11; ++x) {
            EXPECT_EQ(b.GetPixel(x, y), b.GetPixel(11 - x, y)) << x << "," << y;
            EXPECT_EQ(b.GetPixel(x, y), b.GetPixel(x, 9 - y)) << x << "," << y;
        }
    }
}

TEST(RasterShapes, SmallEllipsesKeepTheirRoundShape) {
    TBitmap b = whiteBitmap(6, 5);
    TCanvas& c = b.Canvas();
    c.Pen.Color = clRed;
    c.Brush.Color = clRed;
    c.Ellipse(1, 1, 5, 4); // 4 x 3
    const char* rows[] = {"......", "..##..", ".####.", "..##..", "......"};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(b.GetPixel(x, y) == clRed, rows[y][x] == '#') << x << "," << y;
        }
    }
}

TEST(RasterShapes, PolygonWithoutPenCoversLikeFillRect) {
    TBitmap a = whiteBitmap(16, 16);
    TBitmap b = whiteBitmap(16, 16);
    a.Canvas().Pen.Style = TPenStyle::psClear;
    a.Canvas().Brush.Color = clNavy;
    const TPoint square[] = {{2, 3}, {12, 3}, {12, 11}, {2, 11}};
    a.Canvas().Polygon(square);
    b.Canvas().Brush.Color = clNavy;
    b.Canvas().FillRect({2, 3, 12, 11});
    EXPECT_EQ(a.Pixels(), b.Pixels());
}

TEST(RasterShapes, PolygonOutlineClosesTheShape) {
    TBitmap b = whiteBitmap(16, 16);
    TCanvas& c = b.Canvas();
    c.Pen.Color = clRed;
    c.Brush.Color = clBlue;
    const TPoint tri[] = {{2, 2}, {12, 2}, {2, 12}};
    c.Polygon(tri);
    EXPECT_EQ(b.GetPixel(2, 2), clRed);
    EXPECT_EQ(b.GetPixel(12, 2), clRed);
    EXPECT_EQ(b.GetPixel(2, 12), clRed);
    EXPECT_EQ(b.GetPixel(2, 7), clRed);
    EXPECT_EQ(b.GetPixel(4, 4), clBlue);
    EXPECT_EQ(b.GetPixel(10, 10), clWhite);
}

TEST(RasterShapes, PieFillsOnlyItsSector) {
    TBitmap b = whiteBitmap(45, 45);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clLime;
    // From 3 o'clock counter-clockwise to 12 o'clock: the upper right quarter.
    c.Pie(0, 0, 41, 41, 41, 20, 20, 0);
    EXPECT_EQ(b.GetPixel(30, 10), clLime);
    EXPECT_EQ(b.GetPixel(10, 10), clWhite);
    EXPECT_EQ(b.GetPixel(10, 30), clWhite);
    EXPECT_EQ(b.GetPixel(30, 30), clWhite);
    EXPECT_EQ(b.GetPixel(20, 20), clBlack); // the centre lies on the outline
    EXPECT_EQ(b.GetPixel(30, 20), clBlack); // the start ray
    EXPECT_EQ(b.GetPixel(20, 8), clBlack);  // the end ray

    // The other way round: three quarters.
    TBitmap d = whiteBitmap(45, 45);
    d.Canvas().Brush.Color = clLime;
    d.Canvas().Pie(0, 0, 41, 41, 20, 0, 41, 20);
    EXPECT_EQ(d.GetPixel(30, 10), clWhite);
    EXPECT_EQ(d.GetPixel(10, 10), clLime);
    EXPECT_EQ(d.GetPixel(10, 30), clLime);
    EXPECT_EQ(d.GetPixel(30, 30), clLime);
}

TEST(RasterShapes, RoundRectCutsItsCorners) {
    TBitmap b = whiteBitmap(24, 20);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clBlue;
    c.RoundRect(0, 0, 20, 16, 8, 8);
    EXPECT_EQ(b.GetPixel(0, 0), clWhite);
    EXPECT_EQ(b.GetPixel(19, 15), clWhite);
    EXPECT_EQ(b.GetPixel(10, 0), clBlack);
    EXPECT_EQ(b.GetPixel(0, 8), clBlack);
    EXPECT_EQ(b.GetPixel(19, 8), clBlack);
    EXPECT_EQ(b.GetPixel(10, 8), clBlue);
    EXPECT_EQ(countColor(b, clBlack, {20, 0, 24, 20}), 0);
}

TEST(RasterCanvasClip, DrawingStaysInsideTheClipRectangle) {
    TBitmap b = whiteBitmap(10, 10);
    TCanvas& c = b.Canvas();
    c.SetClipRect({0, 0, 5, 5});
    c.Brush.Color = clRed;
    c.FillRect({0, 0, 10, 10});
    EXPECT_EQ(countColor(b, clRed, {0, 0, 10, 10}), 25);
    EXPECT_EQ(c.GetPixel(7, 7), CLR_INVALID);
    c.ResetClip();
    EXPECT_EQ(c.GetPixel(7, 7), clWhite);
    EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 10, 10}));
}

TEST(Pixels, ReadAndWriteThroughTheCanvas) {
    TBitmap b = whiteBitmap(3, 3);
    b.Canvas().SetPixel(1, 2, RGB(1, 2, 3));
    EXPECT_EQ(b.Canvas().GetPixel(1, 2), RGB(1, 2, 3));
    EXPECT_EQ(b.GetPixel(3, 0), CLR_INVALID);
    b.Canvas().SetPixel(-1, 0, clRed); // outside: nothing happens
    EXPECT_EQ(countColor(b, clRed, {0, 0, 3, 3}), 0);
}

TEST(Frame3DTest, TopLeftAndBottomRightLinesAndTheShrunkRectangle) {
    TBitmap b = whiteBitmap(12, 12);
    TCanvas& c = b.Canvas();
    b.Canvas().Brush.Color = clGray;
    b.Canvas().FillRect({0, 0, 12, 12});
    TRect r{0, 0, 10, 10};
    Frame3D(c, r, clWhite, clBlack, 1);
    EXPECT_EQ(r, (TRect{1, 1, 9, 9}));
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(b.GetPixel(i, 0), clWhite) << i;
        EXPECT_EQ(b.GetPixel(0, i), clWhite) << i;
    }
    EXPECT_EQ(b.GetPixel(9, 0), clBlack); // top-right corner belongs to the lower colour
    EXPECT_EQ(b.GetPixel(0, 9), clBlack); // so does the bottom-left corner
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(b.GetPixel(9, i), clBlack) << i;
        EXPECT_EQ(b.GetPixel(i, 9), clBlack) << i;
    }
    EXPECT_EQ(b.GetPixel(10, 10), clGray);
    EXPECT_EQ(b.GetPixel(1, 1), clGray);

    TRect r2{0, 0, 12, 12};
    Frame3D(c, r2, clRed, clBlue, 2);
    EXPECT_EQ(r2, (TRect{2, 2, 10, 10}));
    EXPECT_EQ(b.GetPixel(1, 1), clRed);
    EXPECT_EQ(b.GetPixel(10, 10), clBlue);
    EXPECT_EQ(b.GetPixel(10, 1), clBlue);
}

TEST(BitmapDraw, ColourKeyedPixelsAreNotDrawn) {
    TBitmap src(4, 4);
    src.Canvas().Brush.Color = clRed;
    src.Canvas().FillRect({0, 0, 4, 4});
    src.Canvas().Brush.Color = clYellow;
    src.Canvas().FillRect({1, 1, 3, 3});
    TBitmap dst(6, 6);
    dst.Canvas().Brush.Color = clBlue;
    dst.Canvas().FillRect({0, 0, 6, 6});

    dst.Canvas().Draw(1, 1, src); // not transparent: everything
    EXPECT_EQ(dst.GetPixel(1, 1), clRed);

    dst.Canvas().FillRect({0, 0, 6, 6});
    src.Transparent = true; // automatic key: the bottom-left pixel (red)
    EXPECT_EQ(src.TransparentColor(), clRed);
    dst.Canvas().Draw(1, 1, src);
    EXPECT_EQ(dst.GetPixel(1, 1), clBlue);
    EXPECT_EQ(dst.GetPixel(2, 2), clYellow);
    EXPECT_EQ(dst.GetPixel(4, 4), clBlue);

    src.SetTransparentColor(clYellow);
    EXPECT_EQ(src.TransparentMode(), TTransparentMode::tmFixed);
    dst.Canvas().FillRect({0, 0, 6, 6});
    dst.Canvas().Draw(1, 1, src);
    EXPECT_EQ(dst.GetPixel(1, 1), clRed);
    EXPECT_EQ(dst.GetPixel(2, 2), clBlue);

    dst.Canvas().FillRect({0, 0, 6, 6});
    dst.Canvas().StretchDraw({0, 0, 6, 6}, src);
    EXPECT_EQ(dst.GetPixel(0, 0), clRed);
    EXPECT_EQ(dst.GetPixel(3, 3), clBlue); // keyed yellow centre
}

TEST(BitmapDraw, StretchDrawTakesTheNearestSourcePixel) {
    TBitmap src(2, 2);
    src.SetPixel(0, 0, clRed);
    src.SetPixel(1, 0, clLime);
    src.SetPixel(0, 1, clBlue);
    src.SetPixel(1, 1, clYellow);
    TBitmap dst(4, 4);
    dst.Canvas().StretchDraw({0, 0, 4, 4}, src);
    EXPECT_EQ(dst.GetPixel(0, 0), clRed);
    EXPECT_EQ(dst.GetPixel(1, 1), clRed);
    EXPECT_EQ(dst.GetPixel(2, 0), clLime);
    EXPECT_EQ(dst.GetPixel(0, 3), clBlue);
    EXPECT_EQ(dst.GetPixel(3, 3), clYellow);

    TBitmap copy(4, 4);
    copy.Canvas().CopyRect({0, 0, 2, 2}, dst, {2, 2, 4, 4});
    EXPECT_EQ(copy.GetPixel(0, 0), clYellow);
    EXPECT_EQ(copy.GetPixel(2, 2), clWhite);
}

TEST(BitmapPixels, ResizingKeepsTheOverlapAndRefusesGiants) {
    TBitmap b(3, 3);
    b.SetPixel(1, 1, clRed);
    b.SetSize(5, 2);
    EXPECT_EQ(b.GetPixel(1, 1), clRed);
    EXPECT_EQ(b.GetPixel(4, 1), clWhite);
    b.SetSize(-4, 3);
    EXPECT_TRUE(b.Empty());
    EXPECT_THROW(b.SetSize(70000, 70000), GraphicError);
}

TEST(BitmapPixels, EightBitFormKeepsFewColoursExactly) {
    TBitmap b(4, 1);
    b.SetPixel(0, 0, clRed);
    b.SetPixel(1, 0, clBlue);
    b.SetPixel(2, 0, clRed);
    b.SetPixel(3, 0, clGreen);
    const auto before = b.Pixels();
    b.SetPixelFormat(TPixelFormat::pf8bit);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(b.Palette(), (std::vector<TColor>{clRed, clBlue, clGreen}));
    EXPECT_EQ(b.PaletteIndices(), (std::vector<std::uint8_t>{0, 1, 0, 2}));
    EXPECT_EQ(b.Pixels(), before);
}

TEST(BitmapPixels, EightBitFormOfAManyColouredPictureUsesTheFixedPalette) {
    TBitmap b(300, 1);
    for (int x = 0; x < 300; ++x) {
        b.SetPixel(x, 0, RGB(std::uint8_t(x % 256), std::uint8_t(x / 2), 7));
    }
    b.SetPixelFormat(TPixelFormat::pf8bit);
    EXPECT_EQ(b.Palette().size(), 256u);
    std::set<TColor> colours;
    for (int x = 0; x < 300; ++x) {
        colours.insert(b.GetPixel(x, 0));
    }
    EXPECT_LE(colours.size(), 256u);
    for (TColor c : colours) {
        EXPECT_NE(std::find(b.Palette().begin(), b.Palette().end(), c), b.Palette().end());
    }
    EXPECT_EQ(b.GetPixel(0, 0), RGB(0, 0, 0)); // (0, 0, 7) snaps to black
    b.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_TRUE(b.Palette().empty());
}
