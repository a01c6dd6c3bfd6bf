// Rulers, amplitude scales and frames probed pixel by pixel: where the ticks stand, which labels
// are left out, what the print scheme adds, and which edges a frame closes.
#include "PictureTestSupport.h"

#include "config/ConfigTestSupport.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "records/Rulers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;

class Rulers : public ::testing::Test {
protected:
    ProgramTexts texts_;
    std::unique_ptr<TBaseAScanCell> record_ = flatAScan(500, 0); // steps of 50 us
    TBaseAScanCell& record() { return *record_; }
};

TEST_F(Rulers, TicksEveryHalfStepLabelsEveryStepClearOfTheUnit) {
    TBitmap b;
    RenderHorizMarkup(record(), b, KeepScheme, 0.0, 500.0, 400, 30);
    // d = 40: short ticks at 20, 60, ... (rows 0..2), long ones at 40, 80, ... (rows 0..6).
    for (const int x : {20, 60, 100, 340}) {
        EXPECT_EQ(rowsOf(b, x, kBlack), range(0, 3)) << x;
    }
    for (const int x : {40, 80, 360}) {
        EXPECT_EQ(rowsOf(b, x, kBlack, 0, 12), range(0, 7)) << x;
    }
    EXPECT_GT(countColor(b, {30, 12, 50, 30}, kBlack), 0);   // "50" under 40
    EXPECT_GT(countColor(b, {305, 12, 335, 30}, kBlack), 0); // "400" under 320
    EXPECT_GT(countColor(b, {1, 12, 10, 30}, kBlack), 0);    // "0"
    // "450" under 360 would reach the unit text: left out.
    const int unit = 400 - 2 * b.Canvas().TextWidth(GetTxtVarValueString(10));
    EXPECT_EQ(countColor(b, {341, 12, unit, 30}, kBlack), 0);
    EXPECT_GT(countColor(b, {unit, 12, 400, 30}, kBlack), 0);
    // An empty range: only "0" and the unit.
    RenderHorizMarkup(record(), b, KeepScheme, 0.0, 0.0, 400, 30);
    EXPECT_TRUE(allColor(b, {0, 0, 400, 12}, kWhite));
}

TEST_F(Rulers, StepsFromTwoHundredWriteThousandsWithOneDecimal) {
    tbtest::ScopedSeparators separators('.');
    record().Config->IndexMarkMks = 4; // 200 us: d = 400 / (2000 / 200) = 40
    TBitmap b;
    RenderHorizMarkup(record(), b, KeepScheme, 0.0, 2000.0, 400, 30);
    // Writing the expected texts over the ruler in its own font and background changes nothing:
    // "0.2" under 40, "0.4" under 80 and unit text 20 (not "200", "400" and unit text 10).
    TBitmap expected = b;
    platform::gfx::TCanvas& c = expected.Canvas();
    c.Brush.Color = kWhite;
    c.Brush.Style = platform::gfx::TBrushStyle::bsSolid;
    c.Font = platform::gfx::TFont{};
    c.Font.Name = "Arial";
    c.Font.SetSize(9);
    c.Font.Color = kBlack;
    const std::string unit = GetTxtVarValueString(20);
    ASSERT_NE(unit, GetTxtVarValueString(10));
    c.TextOut(400 - 2 * c.TextWidth(unit), 12, unit);
    for (const auto& [x, label] :
         std::vector<std::pair<int, std::string>>{{40, "0.2"}, {80, "0.4"}}) {
        c.TextOut(int(std::nearbyint(x - c.TextWidth(label) / 2.0)), 12, label);
    }
    EXPECT_EQ(expected.Pixels(), b.Pixels());
    EXPECT_GT(countColor(b, {30, 12, 50, 30}, kBlack), 0);
}

TEST_F(Rulers, ZoomRulerStartsOnTheFirstWholeMultiple) {
    TBitmap b;
    RenderZoomHorizMarkup(record(), b, KeepScheme, 105.0, 205.0, 320, 30);
    // Steps of 10: the label 110 stands 16 pixels in, then every 32; no "0" at the left.
    for (const int x : {16, 48, 80}) {
        EXPECT_EQ(rowsOf(b, x, kBlack, 0, 12), range(0, 7)) << x;
    }
    EXPECT_EQ(rowsOf(b, 32, kBlack), range(0, 3));
    EXPECT_TRUE(allColor(b, {0, 0, 16, 8}, kWhite));
    EXPECT_EQ(countColor(b, {0, 12, 4, 30}, kBlack), 0);
}

TEST_F(Rulers, DepthRulerTicksFromBothEdgesFramedOnASurfaceOnly) {
    TBitmap b;
    RenderInDepthMarkup(record(), b, KeepScheme, 0.0, 1000.0, 51, 440);
    // 100 us every 44 pixels; a tick from the right edge starts just outside the picture.
    EXPECT_EQ(columnsOf(b, 22, kBlack), (std::vector<int>{0, 1, 2, 49, 50}));
    EXPECT_EQ(columnsOf(b, 44, kBlack, 0, 7), range(0, 7));
    EXPECT_EQ(columnsOf(b, 44, kBlack, 44, 51), range(45, 51));
    EXPECT_GT(countColor(b, {10, 36, 41, 52}, kBlack), 0); // "100"
    MemoryPresentTarget surface(51, 200);
    DrawInDepthMarkupToSurfaceView(record(), surface, KeepScheme, 0.0, 500.0);
    EXPECT_TRUE(allColor(surface.Shown(), {0, 0, 50, 1}, kBlack));
    MemoryReportImage image(51, 200);
    DrawInDepthMarkupToReport(record(), image, KeepScheme, 0.0, 500.0);
    EXPECT_TRUE(allColor(image.Picture(), {0, 0, 51, 1}, kWhite));
    EXPECT_EQ(image.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
}

TEST_F(Rulers, VerticalAmplitudeScaleTicksTheInnerQuarters) {
    TBitmap b;
    RenderVerticMarkup(record(), b, 1, 60, 200);
    for (const int y : {50, 100, 150}) {
        EXPECT_EQ(columnsOf(b, y, kBlack, 47, 60), range(51, 60)) << y;
    }
    EXPECT_TRUE(allColor(b, {47, 0, 60, 45}, kWhite));
    EXPECT_TRUE(allColor(b, {47, 160, 60, 200}, kWhite));
    EXPECT_GT(countColor(b, {0, 40, 46, 60}, kBlack), 0); // "75"
}

// The width of the ink in a rectangle.
int inkWidth(const TBitmap& b, const platform::gfx::TRect& r) {
    std::vector<int> columns;
    for (int x = r.Left; x < r.Right; ++x) {
        if (countColor(b, {x, r.Top, x + 1, r.Bottom}, kBlack) > 0) {
            columns.push_back(x);
        }
    }
    return columns.empty() ? 0 : columns.back() - columns.front() + 1;
}

TEST_F(Rulers, MagnitudeScaleLabelsQuartersBelowOrAbove) {
    TBitmap b;
    RenderMagnitudeMarkup(record(), b, 1, 0, 400, 40);
    for (const int x : {100, 200, 300}) {
        EXPECT_EQ(rowsOf(b, x, kBlack, 0, 11), range(0, 10)) << x;
    }
    const int narrow = inkWidth(b, {280, 11, 320, 40}); // "75"
    record().Config->SignalType = 2;                    // 50, 100, 150
    RenderMagnitudeMarkup(record(), b, 1, 0, 400, 40);
    EXPECT_GT(inkWidth(b, {280, 11, 320, 40}), narrow); // "150"
    RenderMagnitudeMarkup(record(), b, 1, 1, 400, 40);  // above the A-scan: ticked at the bottom
    EXPECT_EQ(rowsOf(b, 200, kBlack, 29, 40), range(31, 40));
    EXPECT_TRUE(allColor(b, {190, 0, 210, 5}, kWhite));
}

TEST_F(Rulers, PrintMagnitudeScaleMarksTheHueRange) {
    record().HueHigh = 359; // at 398.9 -> 399, cut by the right edge; HueLow 0 by the left
    TBitmap b;
    RenderMagnitudeMarkup(record(), b, 1, 0, 400, 40);
    EXPECT_EQ(rowsOf(b, 399, kBlack, 0, 6), range(0, 6));
    EXPECT_EQ(rowsOf(b, 397, kBlack, 0, 6), range(2, 6));
    EXPECT_EQ(columnsOf(b, 5, kBlack, 390, 400), range(394, 400));
    EXPECT_EQ(columnsOf(b, 5, kBlack, 0, 10), range(0, 5));
    RenderMagnitudeMarkup(record(), b, 1, 1, 400, 40); // mirrored onto the bottom edge
    EXPECT_EQ(rowsOf(b, 399, kBlack, 30, 40), range(35, 40));
    EXPECT_EQ(columnsOf(b, 35, kBlack, 390, 400), range(394, 400));

    record().HueLow = 90;
    record().HueHigh = 270;
    RenderMagnitudeMarkup(record(), b, 1, 0, 400, 40);
    EXPECT_EQ(columnsOf(b, 5, kBlack, 290, 310), range(295, 305));
    EXPECT_EQ(columnsOf(b, 2, kBlack, 290, 310), range(298, 303));
    // The record's own print scheme shows them with 254 too.
    record().ColorScheme = 1;
    record().SetColorScheme(1);
    TBitmap kept;
    RenderMagnitudeMarkup(record(), kept, KeepScheme, 0, 400, 40);
    EXPECT_EQ(kept.Pixels(), b.Pixels());
}

TEST_F(Rulers, FrameEdges) {
    const auto framed = [&](std::uint8_t scheme, int style, std::uint8_t edges) {
        TBitmap b(20, 10);
        DrawFrame(record(), b, scheme, style, edges, 20, 10);
        return b;
    };
    EXPECT_TRUE(allColor(framed(KeepScheme, 0, 0), {0, 0, 20, 10}, kWhite));
    const TBitmap all = framed(KeepScheme, 0, FrameAll);
    EXPECT_TRUE(allColor(all, {0, 0, 19, 1}, kBlack));
    EXPECT_TRUE(allColor(all, {0, 9, 19, 10}, kBlack));
    EXPECT_TRUE(allColor(all, {0, 0, 1, 9}, kBlack));
    EXPECT_TRUE(allColor(all, {19, 0, 20, 9}, kBlack));
    EXPECT_TRUE(allColor(all, {1, 1, 19, 9}, kWhite));
    const TBitmap three = framed(KeepScheme, 0, FrameRight | FrameBottom | FrameLeft);
    EXPECT_TRUE(allColor(three, {1, 0, 19, 1}, kWhite));
    // Style 1 draws in colour 2: silver in print; the record keeps its screen colours.
    EXPECT_TRUE(allColor(framed(1, 1, FrameTop), {0, 0, 19, 1}, 0xC0C0C0));
    EXPECT_EQ(record().Color(2), kWhite);
}

TEST_F(Rulers, SurfacesAndReportsGetTheRenderedRuler) {
    TBitmap expected;
    RenderHorizMarkup(record(), expected, 1, 0.0, 500.0, 400, 30);
    MemoryPresentTarget surface(400, 30);
    DrawHorizMarkupToSurfaceView(record(), surface, 1, 0.0, 500.0);
    EXPECT_EQ(surface.Shown().Pixels(), expected.Pixels());
    MemoryReportImage image(400, 30);
    DrawHorizMarkupToReport(record(), image, 1, 0.0, 500.0);
    EXPECT_EQ(image.Picture().Pixels(), expected.Pixels());
    RenderZoomHorizMarkup(record(), expected, 1, 100.0, 200.0, 320, 30);
    MemoryPresentTarget zoom(320, 30);
    DrawZoomHorizMarkupToSurfaceView(record(), zoom, 1, 100.0, 200.0);
    EXPECT_EQ(zoom.Shown().Pixels(), expected.Pixels());
}

} // namespace
