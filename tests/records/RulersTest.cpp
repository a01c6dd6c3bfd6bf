// Rulers, amplitude scales and frames probed pixel by pixel: where the ticks stand, which labels
// are left out, what the print scheme adds, and which edges a frame closes.
#include "PictureTestSupport.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "records/Rulers.h"

#include <gtest/gtest.h>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;
using platform::gfx::TBitmap;

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;

class Rulers : public ::testing::Test {
protected:
    Rulers() : record_(flatAScan(500, 0)) {
        record_->Config->IndexMarkMks = 1; // 50 us
    }
    TBaseAScanCell& record() { return *record_; }

    ProgramTexts texts_;
    std::unique_ptr<TBaseAScanCell> record_;
};

TEST_F(Rulers, TicksEveryHalfStepLabelsEveryStep) {
    TBitmap b;
    RenderHorizMarkup(record(), b, KeepScheme, 0.0, 500.0, 400, 30);
    ASSERT_EQ(b.Width(), 400);
    // d = 40: short ticks at 20, 60, 100 (rows 0..2), long ones at 40, 80 (rows 0..6).
    for (const int x : {20, 60, 100, 340}) {
        EXPECT_EQ(rowsOf(b, x, kBlack), range(0, 3)) << x;
    }
    for (const int x : {40, 80, 360}) {
        EXPECT_TRUE(allColor(b, {x, 0, x + 1, 7}, kBlack)) << x;
        EXPECT_TRUE(allColor(b, {x, 7, x + 1, 12}, kWhite)) << x;
    }
    EXPECT_TRUE(allColor(b, {41, 0, 60, 12}, kWhite));
    // Labels stand under the long ticks: "50" about 40, "400" about 320.
    EXPECT_GT(countColor(b, {30, 12, 50, 30}, kBlack), 0);
    EXPECT_GT(countColor(b, {305, 12, 335, 30}, kBlack), 0);
    // "450" at 360 would reach the unit text at the right end: it is left out.
    const int unit = 400 - 2 * b.Canvas().TextWidth(GetTxtVarValueString(10));
    EXPECT_EQ(countColor(b, {341, 12, unit, 30}, kBlack), 0);
    EXPECT_GT(countColor(b, {unit, 12, 400, 30}, kBlack), 0);
    // "0" at the left edge.
    EXPECT_GT(countColor(b, {1, 12, 10, 30}, kBlack), 0);
}

TEST_F(Rulers, AnEmptyRangeShowsOnlyZeroAndTheUnit) {
    TBitmap b;
    RenderHorizMarkup(record(), b, KeepScheme, 0.0, 0.0, 400, 30);
    EXPECT_TRUE(allColor(b, {0, 0, 400, 12}, kWhite));
    EXPECT_GT(countColor(b, {1, 12, 10, 30}, kBlack), 0);
}

TEST_F(Rulers, ZoomRulerStartsOnTheFirstWholeMultiple) {
    TBitmap b;
    RenderZoomHorizMarkup(record(), b, KeepScheme, 105.0, 205.0, 320, 30);
    // Step 10: the label 110 stands 16 pixels in, then every 32 pixels.
    for (const int x : {16, 48, 80}) {
        EXPECT_TRUE(allColor(b, {x, 0, x + 1, 7}, kBlack)) << x;
    }
    for (const int x : {32, 64}) {
        EXPECT_EQ(rowsOf(b, x, kBlack), range(0, 3)) << x;
    }
    EXPECT_TRUE(allColor(b, {0, 0, 16, 8}, kWhite));
    // No "0" at the left edge.
    EXPECT_EQ(countColor(b, {0, 12, 4, 30}, kBlack), 0);
}

TEST_F(Rulers, DepthRulerTicksFromBothEdges) {
    TBitmap b;
    RenderInDepthMarkup(record(), b, KeepScheme, 0.0, 1000.0, 51, 440);
    // 1000 us on 440 pixels: 100 us every 44 pixels.
    // A tick from the right edge starts on the edge itself, just outside the picture.
    EXPECT_EQ(columnsOf(b, 22, kBlack), (std::vector<int>{0, 1, 2, 49, 50}));
    EXPECT_EQ(columnsOf(b, 44, kBlack, 0, 7), range(0, 7));
    EXPECT_EQ(columnsOf(b, 44, kBlack, 44, 51), range(45, 51));
    // The label "100" is centred on row 44 between the ticks.
    EXPECT_GT(countColor(b, {10, 36, 41, 52}, kBlack), 0);
}

TEST_F(Rulers, DepthRulerIsFramedOnASurfaceOnly) {
    MemoryPresentTarget surface(51, 200);
    DrawInDepthMarkupToSurfaceView(record(), surface, KeepScheme, 0.0, 500.0);
    EXPECT_EQ(rowsOf(surface.Shown(), 0, kBlack).size() >= 199u, true);
    EXPECT_TRUE(allColor(surface.Shown(), {0, 0, 50, 1}, kBlack));
    MemoryReportImage image(51, 200);
    DrawInDepthMarkupToReport(record(), image, KeepScheme, 0.0, 500.0);
    EXPECT_EQ(image.Picture().GetPixel(25, 0), kWhite);
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

// The horizontal extent of the black pixels in a rectangle, or 0.
int inkWidth(const TBitmap& b, int x0, int x1, int y0, int y1) {
    int first = x1;
    int last = x0 - 1;
    for (int x = x0; x < x1; ++x) {
        if (countColor(b, {x, y0, x + 1, y1}, kBlack) > 0) {
            first = std::min(first, x);
            last = x;
        }
    }
    return last >= first ? last - first + 1 : 0;
}

TEST_F(Rulers, MagnitudeScaleLabelsQuartersBelowOrAbove) {
    TBitmap b;
    RenderMagnitudeMarkup(record(), b, 1, 0, 400, 40);
    for (const int x : {100, 200, 300}) {
        EXPECT_EQ(rowsOf(b, x, kBlack, 0, 11), range(0, 10)) << x;
    }
    const int narrow = inkWidth(b, 280, 320, 11, 40); // "75"
    EXPECT_GT(narrow, 0);

    record().Config->SignalType = 2; // 50, 100, 150
    RenderMagnitudeMarkup(record(), b, 1, 0, 400, 40);
    EXPECT_GT(inkWidth(b, 280, 320, 11, 40), narrow); // "150"

    RenderMagnitudeMarkup(record(), b, 1, 1, 400, 40);
    EXPECT_EQ(rowsOf(b, 200, kBlack, 29, 40), range(31, 40));
    EXPECT_TRUE(allColor(b, {190, 0, 210, 5}, kWhite));
}

TEST_F(Rulers, PrintMagnitudeScaleMarksTheHueRange) {
    record().HueLow = 0;
    record().HueHigh = 359;
    TBitmap b;
    RenderMagnitudeMarkup(record(), b, 1, 0, 400, 40);
    // HueHigh at 398.9 -> 399, cut by the right edge: column 399 from row 0, the base row 5.
    EXPECT_EQ(rowsOf(b, 399, kBlack, 0, 6), range(0, 6));
    EXPECT_EQ(rowsOf(b, 397, kBlack, 0, 6), range(2, 6));
    EXPECT_EQ(columnsOf(b, 5, kBlack, 390, 400), range(394, 400));
    // HueLow at 0, cut by the left edge.
    EXPECT_EQ(rowsOf(b, 0, kBlack, 0, 6), range(0, 6));
    EXPECT_EQ(columnsOf(b, 5, kBlack, 0, 10), range(0, 5));

    // Style 1 mirrors the marks onto the bottom edge.
    RenderMagnitudeMarkup(record(), b, 1, 1, 400, 40);
    EXPECT_EQ(rowsOf(b, 399, kBlack, 30, 40), range(35, 40));
    EXPECT_EQ(columnsOf(b, 35, kBlack, 390, 400), range(394, 400));
}

TEST_F(Rulers, HueMarksStandWhereTheRangeEnds) {
    record().HueLow = 90;
    record().HueHigh = 270;
    TBitmap b;
    RenderMagnitudeMarkup(record(), b, 1, 0, 400, 40);
    EXPECT_EQ(rowsOf(b, 100, kBlack, 0, 11), range(0, 10)); // 90 of 360: the first tick
    EXPECT_EQ(columnsOf(b, 5, kBlack, 290, 310), range(295, 305));
    EXPECT_EQ(columnsOf(b, 2, kBlack, 290, 310), range(298, 303));
    // The record's own print scheme shows them with 254 too; the screen scheme does not.
    record().ColorScheme = 1;
    record().SetColorScheme(1);
    TBitmap kept;
    RenderMagnitudeMarkup(record(), kept, KeepScheme, 0, 400, 40);
    EXPECT_EQ(kept.Pixels(), b.Pixels());
}

TEST_F(Rulers, FrameEdges) {
    TBitmap b;
    const auto fresh = [&] {
        b.SetSize(0, 0);
        b.SetSize(20, 10);
    };
    fresh();
    DrawFrame(record(), b, KeepScheme, 0, 0, 20, 10);
    EXPECT_TRUE(allColor(b, {0, 0, 20, 10}, kWhite));
    DrawFrame(record(), b, KeepScheme, 0, FrameAll, 20, 10);
    EXPECT_TRUE(allColor(b, {0, 0, 19, 1}, kBlack));
    EXPECT_TRUE(allColor(b, {0, 9, 19, 10}, kBlack));
    EXPECT_TRUE(allColor(b, {0, 0, 1, 9}, kBlack));
    EXPECT_TRUE(allColor(b, {19, 0, 20, 9}, kBlack));
    EXPECT_TRUE(allColor(b, {1, 1, 19, 9}, kWhite));

    fresh();
    DrawFrame(record(), b, KeepScheme, 0, FrameRight | FrameBottom | FrameLeft, 20, 10);
    EXPECT_TRUE(allColor(b, {1, 0, 19, 1}, kWhite));
    EXPECT_TRUE(allColor(b, {0, 9, 19, 10}, kBlack));

    fresh();
    DrawFrame(record(), b, 1, 1, FrameTop, 20, 10); // style 1: colour 2, silver in print
    EXPECT_TRUE(allColor(b, {0, 0, 19, 1}, 0xC0C0C0));
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
    EXPECT_EQ(image.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);

    RenderZoomHorizMarkup(record(), expected, 1, 100.0, 200.0, 320, 30);
    MemoryReportImage zoom(320, 30);
    DrawZoomHorizMarkupToReport(record(), zoom, 1, 100.0, 200.0);
    EXPECT_EQ(zoom.Picture().Pixels(), expected.Pixels());
    MemoryPresentTarget zoomSurface(320, 30);
    DrawZoomHorizMarkupToSurfaceView(record(), zoomSurface, 1, 100.0, 200.0);
    EXPECT_EQ(zoomSurface.Shown().Pixels(), expected.Pixels());

    MemoryReportImage scale(60, 100);
    DrawVerticMarkupToReport(record(), scale, 1);
    DrawMagnitudeMarkupToReport(record(), scale, 1, 0);
    EXPECT_EQ(scale.Picture().Width(), 60);
}

} // namespace
