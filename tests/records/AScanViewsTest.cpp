// A-scan pictures probed pixel by pixel: the trace in each signal type, the overlays of the
// signal and zoom views, the TVG curve, the upright trace, colour schemes applied and given back,
// the way pictures reach surfaces and report images, and the composite picture.
#include "PictureTestSupport.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "records/AScanViews.h"
#include "records/Overlays.h"

#include <gtest/gtest.h>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;
using platform::gfx::TBitmap;
using platform::gfx::TRect;

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kTvgBlue = 0xF0CAA6;

// The longest run of `color` along row y from x0 to x1.
int longestRun(const TBitmap& b, int y, int x0, int x1, TColor color) {
    int best = 0;
    int run = 0;
    for (int x = x0; x < x1; ++x) {
        run = b.GetPixel(x, y) == color ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

TBitmap trace(TBaseAScanCell& r, int w, int h, std::uint8_t scheme = KeepScheme) {
    TBitmap b;
    RenderTrace(r, b, scheme, 0.0, r.SampleCount(), w, h);
    return b;
}

// ---- The trace ------------------------------------------------------------------------------

TEST(Trace, RectifiedBarsRiseFromTheBottomToTheirAmplitude) {
    auto r = flatAScan(100, 182); // 50 % of the amplitude reference
    const TBitmap b = trace(*r, 100, 200);
    ASSERT_EQ(b.Width(), 100);
    ASSERT_EQ(b.Height(), 200);
    for (const int x : {0, 37, 99}) {
        EXPECT_EQ(rowsOf(b, x, kGreen), range(101, 200)) << x;
        EXPECT_EQ(b.GetPixel(x, 100), kBlack);
    }
}

TEST(Trace, NegativeSamplesRiseAsHighAsPositiveOnes) {
    auto r = flatAScan(100, -182);
    EXPECT_EQ(rowsOf(trace(*r, 100, 200), 50, kGreen), range(101, 200));
}

TEST(Trace, ARectifiedTraceIsOnePixelWhereTheSignalIsFlat) {
    auto r = flatAScan(100, 182);
    r->Config->SignalType = 1;
    EXPECT_EQ(rowsOf(trace(*r, 100, 200), 40, kGreen), std::vector<int>{100});
}

TEST(Trace, TheRectifiedTraceStaysConnectedAcrossASteps) {
    auto r = flatAScan(100, 0);
    r->Trace()[50] = 182;
    r->Config->SignalType = 1;
    const TBitmap b = trace(*r, 100, 200);
    // Column 50 runs from the top of the step down to the previous column's level.
    EXPECT_EQ(rowsOf(b, 50, kGreen), range(100, 200));
    // A flat zero lies on the bottom edge, just outside the picture.
    EXPECT_TRUE(rowsOf(b, 49, kGreen).empty());
    EXPECT_TRUE(rowsOf(b, 51, kGreen).empty());
}

TEST(Trace, RadioFrequencyTraceStandsAboutTheMiddleLine) {
    auto r = flatAScan(100, 182);
    r->Config->SignalType = 2;
    EXPECT_EQ(rowsOf(trace(*r, 100, 200), 10, kGreen), std::vector<int>{50});
    auto n = flatAScan(100, -182);
    n->Config->SignalType = 2;
    EXPECT_EQ(rowsOf(trace(*n, 100, 200), 10, kGreen), std::vector<int>{150});
}

TEST(Trace, AnUnknownSignalTypeShowsOnlyTheBackground) {
    auto r = flatAScan(100, 182);
    r->Config->SignalType = 7;
    EXPECT_TRUE(allColor(trace(*r, 100, 200), {0, 0, 100, 200}, kBlack));
}

TEST(Trace, SamplesAboveTheTableAreLimitedToItsLastAmplitude) {
    auto r = flatAScan(400, 5000); // as after a strong TVG
    const TBitmap b = trace(*r, 100, 200);
    // 360 of 364.09 on 200 pixels: a bar 198 high, from row 200 up to row 2.
    EXPECT_EQ(rowsOf(b, 30, kGreen), range(3, 200));
}

TEST(Trace, InterpolatedTracesLeaveTheLastColumnEmpty) {
    auto r = flatAScan(30, 182); // a short A-scan on a wide view
    const TBitmap b = trace(*r, 592, 200);
    EXPECT_EQ(rowsOf(b, 590, kGreen), range(101, 200));
    EXPECT_TRUE(rowsOf(b, 591, kGreen).empty());
}

TEST(Trace, PrintColoursAreBlackOnWhiteAndTheRecordKeepsItsOwn) {
    auto r = flatAScan(100, 182);
    const auto own = r->Colors;
    const TBitmap print = trace(*r, 100, 200, 1);
    EXPECT_EQ(print.GetPixel(5, 150), kBlack);
    EXPECT_EQ(print.GetPixel(5, 50), kWhite);
    EXPECT_EQ(r->Colors, own);

    r->ColorScheme = 1;
    r->SetColorScheme(1);
    const TBitmap screen = trace(*r, 100, 200, 0);
    EXPECT_EQ(screen.GetPixel(5, 150), kGreen);
    EXPECT_EQ(screen.GetPixel(5, 50), kBlack);
    EXPECT_EQ(r->Color(6), kBlack); // print colours again
    // 254 keeps the record's own (now print) colours.
    EXPECT_EQ(trace(*r, 100, 200).GetPixel(5, 150), kBlack);
}

// ---- Overlays -------------------------------------------------------------------------------

// A zero trace with strobe 1 from 20 to 60 at 50 % and a 50-sample ruler step.
std::unique_ptr<TBaseAScanCell> overlayRecord(std::int32_t value = 0) {
    auto r = flatAScan(100, value);
    TBaseConfigCell& c = *r->Config;
    c.StrobeBeginTime[0] = 20.0;
    c.StrobeLengthTime[0] = 40.0;
    c.StrobeLevel[0] = 50;
    c.CursorTime = {25.0, 75.0};
    c.AuxTime = 40.0;
    return r;
}

TBitmap signalPicture(TBaseAScanCell& r, std::uint8_t scheme = KeepScheme) {
    TBitmap b;
    RenderSignalPicture(r, b, scheme, 0.0, r.SampleCount(), 100, 200);
    return b;
}

TEST(SignalOverlay, StrobeAtFiftyPercentOnRowHundredWithEndTicks) {
    auto r = overlayRecord();
    const TBitmap b = signalPicture(*r);
    EXPECT_EQ(columnsOf(b, 100, kYellow), range(20, 61));
    EXPECT_EQ(rowsOf(b, 20, kYellow), range(98, 102));
    EXPECT_EQ(rowsOf(b, 60, kYellow), range(98, 102));
    EXPECT_EQ(rowsOf(b, 40, kYellow), std::vector<int>{100});
}

TEST(SignalOverlay, TwoCursorsMarkCursorOneAtFourFifthsAndMeasureAtCursorTwo) {
    auto r = overlayRecord(91); // 25 %: the amplitude's row is 150
    r->Config->CursorCount = 1;
    const TBitmap b = signalPicture(*r);
    // Right of the percent labels, row 160 = (200 div 5) x 4 carries the mark from 22 to 28.
    EXPECT_EQ(columnsOf(b, 160, kWhite, 16, 70), range(22, 28));
    // The arrow head's tip stands on cursor 2 at the amplitude's row; cursor 2's line runs
    // through the rest of the column.
    EXPECT_EQ(rowsOf(b, 75, kRed), range(147, 151));
    EXPECT_EQ(rowsOf(b, 75, kWhite).size(), 196u);
    EXPECT_EQ(columnsOf(b, 147, kRed), range(72, 78));
    EXPECT_EQ(columnsOf(b, 149, kRed), range(74, 76));
    EXPECT_NE(b.GetPixel(40, 150), kRed); // nothing at the marker
}

TEST(SignalOverlay, OneCursorHasNoMarkAndMeasuresAtTheMarker) {
    auto r = overlayRecord(91);
    const TBitmap b = signalPicture(*r);
    EXPECT_EQ(columnsOf(b, 160, kWhite, 16, 100), std::vector<int>{25}); // cursor 1's line only
    EXPECT_TRUE(rowsOf(b, 75, kWhite).empty());                          // no cursor 2
    EXPECT_EQ(b.GetPixel(40, 150), kRed);
    EXPECT_NE(b.GetPixel(75, 150), kRed);
}

TEST(SignalOverlay, TheRadioFrequencyTraceHasNoArrow) {
    auto r = overlayRecord(91);
    r->Config->SignalType = 2;
    const TBitmap b = signalPicture(*r);
    EXPECT_EQ(countColor(b, {0, 0, 100, 200}, kRed), 0);
}

TEST(SignalOverlay, PrintGridIsDottedWithoutPercentLabels) {
    auto r = overlayRecord();
    const TBitmap screen = signalPicture(*r);
    const TColor grid = 0x808080;
    EXPECT_GE(longestRun(screen, 50, 55, 100, grid), 10);     // dashes
    EXPECT_GT(countColor(screen, {2, 2, 20, 15}, kWhite), 0); // "100"

    const TBitmap print = signalPicture(*r, 1);
    EXPECT_EQ(longestRun(print, 50, 55, 100, grid), 3); // dots
    EXPECT_TRUE(allColor(print, {2, 2, 20, 15}, kWhite));
}

TEST(SignalOverlay, GridLinesStandUnderTheLabelledTicks) {
    auto r = overlayRecord();
    r->Config->CursorTime = {0.0, 0.0};
    const TBitmap b = signalPicture(*r);
    // A step of 50 samples over 100 samples on 100 pixels: one line at x = 50.
    EXPECT_GE(rowsOf(b, 50, 0x808080).size(), 100u);
    EXPECT_TRUE(rowsOf(b, 49, 0x808080).size() <= 3u);
}

TEST(SignalOverlay, AnEmptyRangeDrawsNothingAndGivesTheSchemeBack) {
    auto r = overlayRecord();
    r->ColorScheme = 1;
    r->SetColorScheme(1);
    TBitmap b;
    RenderTrace(*r, b, 0, 0.0, 100.0, 100, 200);
    const TBitmap before = b;
    DrawSignalOverlay(*r, b, 0, 10.0, 10.0, 100, 200);
    EXPECT_EQ(b.Pixels(), before.Pixels());
    EXPECT_EQ(r->Color(5), kWhite); // print colours again
}

TEST(ZoomOverlay, StrobeAcrossTheViewAndCursorsOnlyInsideIt) {
    auto r = overlayRecord(91);
    r->Config->CursorTime = {30.0, 90.0}; // cursor 2 lies right of the strobe
    r->Config->AuxTime = 40.0;
    TBitmap b;
    RenderZoomPicture(*r, b, KeepScheme, 20.0, 60.0, 80, 200);
    // Cursor 1 at 30: a quarter of the strobe, x = 20, drawn over the strobe's line.
    EXPECT_EQ(rowsOf(b, 20, kWhite).size(), 200u);
    EXPECT_EQ(columnsOf(b, 100, kYellow).size(), 79u);
    EXPECT_EQ(countColor(b, {30, 0, 80, 200}, kWhite), 0); // no cursor 2
    // The marker at 40: halfway, x = 40, arrow tip at the amplitude's row.
    EXPECT_EQ(b.GetPixel(40, 150), kRed);
}

TEST(ZoomOverlay, AMarkerOutsideTheStrobeHasNoArrow) {
    auto r = overlayRecord(91);
    r->Config->AuxTime = 70.0;
    TBitmap b;
    RenderZoomPicture(*r, b, KeepScheme, 20.0, 60.0, 80, 200);
    EXPECT_EQ(countColor(b, {0, 0, 80, 200}, kRed), 0);
}

TEST(ZoomOverlay, AStrobeWithoutLengthDrawsNoCursors) {
    auto r = overlayRecord(91);
    r->Config->StrobeLengthTime[0] = 0.0;
    TBitmap b;
    RenderZoomPicture(*r, b, KeepScheme, 20.0, 60.0, 80, 200);
    EXPECT_EQ(countColor(b, {0, 0, 80, 200}, kRed), 0);
    EXPECT_EQ(columnsOf(b, 100, kYellow).size(), 80u);
}

// ---- TVG curve ------------------------------------------------------------------------------

TEST(TgvCurve, GainZeroAtAQuarterAndThirtyAtTheTopInTheMainView) {
    auto r = overlayRecord();
    TBaseConfigCell& c = *r->Config;
    c.CursorTime = {0.0, 0.0};
    c.StrobeLevel[0] = 10;
    c.TgvEnabled = 1;
    c.TgvActivePoints = 3;
    c.TgvPos[0] = 0;
    c.TgvGain[0] = 0;
    c.TgvPos[1] = 50;
    c.TgvGain[1] = 30;
    c.TgvPos[2] = 100;
    c.TgvGain[2] = 30;
    const TBitmap b = signalPicture(*r);
    // Climbing from (0, 150), then dotted along the top edge from x = 50.
    EXPECT_GT(countColor(b, {0, 145, 4, 151}, kTvgBlue), 0);
    EXPECT_EQ(countColor(b, {0, 0, 50, 1}, kTvgBlue), 0);
    EXPECT_GE(countColor(b, {50, 0, 100, 1}, kTvgBlue), 20);
    EXPECT_LE(countColor(b, {50, 0, 100, 1}, kTvgBlue), 30);
    EXPECT_EQ(countColor(b, {0, 151, 100, 200}, kTvgBlue), 0);

    c.TgvEnabled = 0;
    EXPECT_EQ(countColor(signalPicture(*r), {0, 0, 100, 200}, kTvgBlue), 0);
}

TEST(TgvCurve, DrawnInTheRecordsOwnColoursOverAPrintPicture) {
    auto r = overlayRecord();
    r->Config->TgvEnabled = 1;
    r->Config->TgvActivePoints = 2;
    r->Config->TgvPos[1] = 100;
    r->Config->TgvGain[1] = 0;
    const TBitmap print = signalPicture(*r, 1);
    EXPECT_GT(countColor(print, {0, 150, 100, 151}, kTvgBlue), 0);
}

// ---- Upright trace --------------------------------------------------------------------------

TEST(UprightTrace, BarsRunRightFromTheLeftEdge) {
    auto r = flatAScan(100, 182);
    TBitmap b;
    RenderVerticalTrace(*r, b, KeepScheme, 0.0, 100.0, 200, 100);
    EXPECT_EQ(columnsOf(b, 30, kGreen), range(0, 100));
    r->Config->SignalType = 2;
    RenderVerticalTrace(*r, b, KeepScheme, 0.0, 100.0, 200, 100);
    EXPECT_EQ(columnsOf(b, 30, kGreen), std::vector<int>{50});
}

TEST(UprightTrace, TheRectifiedTraceIsDrawnToo) {
    auto r = flatAScan(100, 182);
    r->Config->SignalType = 1;
    TBitmap b;
    RenderVerticalTrace(*r, b, KeepScheme, 0.0, 100.0, 200, 100);
    EXPECT_EQ(columnsOf(b, 30, kGreen), std::vector<int>{100});
}

TEST(UprightOverlay, CursorOneAcrossAndTheHueRangeInPrint) {
    auto r = overlayRecord();
    r->HueLow = 90;
    r->HueHigh = 270;
    TBitmap b;
    RenderVerticalSignalPicture(*r, b, KeepScheme, 0.0, 100.0, 200, 100);
    EXPECT_EQ(columnsOf(b, 25, kWhite).size(), 200u); // cursor 1 at 25 of 100 rows
    EXPECT_LT(rowsOf(b, 150, kWhite).size(), 100u);

    RenderVerticalSignalPicture(*r, b, 1, 0.0, 100.0, 200, 100);
    const TColor hue = 0x808080;                 // colour 7 in print
    EXPECT_EQ(rowsOf(b, 50, hue).size(), 100u);  // 90 of 360 on 200 pixels
    EXPECT_EQ(rowsOf(b, 150, hue).size(), 100u); // 270
}

// ---- Surfaces, reports, clipboard -----------------------------------------------------------

TEST(AScanSurfaces, ThePictureIsShownAtTheSurfacesSize) {
    auto r = overlayRecord(91);
    MemoryPresentTarget surface(100, 200);
    DrawSignalToSurfaceView(*r, surface, KeepScheme, 0.0, 100.0);
    EXPECT_EQ(surface.Flips(), 1);
    EXPECT_EQ(surface.Shown().Pixels(), signalPicture(*r).Pixels());

    surface.canDraw = false;
    DrawZoomToSurfaceView(*r, surface, KeepScheme, 20.0, 60.0);
    DrawVerticalSignalToSurfaceView(*r, surface, KeepScheme, 0.0, 100.0);
    BlankSurfaceView(surface);
    EXPECT_EQ(surface.Flips(), 1);
}

TEST(AScanSurfaces, BlankingFillsWithZero) {
    auto r = overlayRecord(91);
    MemoryPresentTarget surface(50, 40);
    DrawSignalToSurfaceView(*r, surface, KeepScheme, 0.0, 100.0);
    BlankSurfaceView(surface);
    EXPECT_EQ(surface.Flips(), 2);
    EXPECT_TRUE(allColor(surface.Shown(), {0, 0, 50, 40}, kBlack));
}

TEST(AScanReports, ThePictureGoesOntoTheImageWhichBecomesEightBit) {
    auto r = overlayRecord(91);
    MemoryReportImage image(100, 200);
    DrawSignalToReport(*r, image, 1, 0.0, 100.0);
    ASSERT_TRUE(image.HasPicture());
    EXPECT_EQ(image.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
    EXPECT_LE(image.Picture().Palette().size(), 256u);
    EXPECT_EQ(image.Picture().Pixels(), signalPicture(*r, 1).Pixels());
    EXPECT_EQ(r->Color(5), kBlack); // screen colours again

    MemoryReportImage zoom(80, 100);
    DrawZoomToReport(*r, zoom, 1, 20.0, 60.0);
    EXPECT_EQ(zoom.Picture().Width(), 80);
    MemoryReportImage upright(60, 100);
    DrawVerticalSignalToReport(*r, upright, 1, 0.0, 100.0);
    EXPECT_EQ(upright.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
}

TEST(AScanReports, AnImageHoldingAnotherGraphicIsLeftAlone) {
    auto r = overlayRecord(91);
    MemoryReportImage image(100, 200);
    image.holdsOtherGraphic = true;
    DrawSignalToReport(*r, image, 1, 0.0, 100.0);
    EXPECT_FALSE(image.HasPicture());
}

TEST(AScanClipboard, MainViewAndFramedRulerOrAllFourWithTheZoomView) {
    ProgramTexts texts;
    auto r = overlayRecord(91);
    TBitmap b;
    CopyAScanImageToClipboard(*r, b, 100, 200, 30, 80, 30);
    ASSERT_EQ(b.Width(), 100);
    ASSERT_EQ(b.Height(), 230);
    EXPECT_EQ(b.GetPixel(40, 150), kRed); // the main view's arrow
    // The ruler's frame: left, right and bottom edges, no top edge.
    EXPECT_TRUE(allColor(b, {0, 200, 1, 229}, kBlack));
    EXPECT_TRUE(allColor(b, {99, 200, 100, 229}, kBlack));
    EXPECT_TRUE(allColor(b, {0, 229, 99, 230}, kBlack));
    EXPECT_LT(columnsOf(b, 200, kBlack).size(), 50u);

    r->Config->ScreenType = 0x12; // only the low four bits count
    CopyAScanImageToClipboard(*r, b, 100, 200, 30, 80, 30);
    ASSERT_EQ(b.Height(), 340);
    EXPECT_TRUE(allColor(b, {0, 339, 99, 340}, kBlack));
    // The zoom view's arrow: the marker halfway along the strobe, 25 % up its 80 rows.
    EXPECT_EQ(b.GetPixel(50, 230 + 60), kRed);
}

} // namespace
