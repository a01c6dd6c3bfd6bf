// A-scan pictures probed pixel by pixel: the trace in each signal type, the overlays of the signal
// and zoom views, the TVG curve, the upright view, colour schemes applied and given back, and the
// way pictures reach surfaces, report images and the clipboard.
#include "PictureTestSupport.h"

#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "records/AScanViews.h"
#include "records/Overlays.h"

#include <gtest/gtest.h>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kGrey = 0x808080;
constexpr TColor kTvg = 0xF0CAA6;

TBitmap trace(TBaseAScanCell& r, int w, int h, std::uint8_t scheme = KeepScheme) {
    TBitmap b;
    RenderTrace(r, b, scheme, 0.0, r.SampleCount(), w, h);
    return b;
}

TEST(Trace, HeightsOfEachSignalType) {
    // 182 is 50 % of the amplitude reference: 100 of 200 pixels, 50 about the middle line.
    struct Case {
        std::uint8_t type;
        std::int32_t value;
        std::vector<int> rows;
    };
    const std::vector<Case> cases = {{0, 182, range(101, 200)}, {0, -182, range(101, 200)},
                                     {1, 182, {100}},           {2, 182, {50}},
                                     {2, -182, {150}},          {7, 182, {}},
                                     {0, 5000, range(3, 200)}}; // limited to 360: 198 pixels
    for (const Case& c : cases) {
        auto r = flatAScan(c.value == 5000 ? 400 : 100, c.value);
        r->Config->SignalType = c.type;
        const TBitmap b = trace(*r, 100, 200);
        ASSERT_EQ(b.Width(), 100);
        EXPECT_EQ(rowsOf(b, 37, kGreen), c.rows) << int(c.type) << " " << c.value;
    }
}

TEST(Trace, RectifiedTraceReachesThePreviousColumnShortTraceEndsEmpty) {
    auto r = flatAScan(100, 0);
    r->Trace()[50] = 182;
    r->Config->SignalType = 1;
    const TBitmap b = trace(*r, 100, 200);
    EXPECT_EQ(rowsOf(b, 50, kGreen), range(100, 200));
    EXPECT_TRUE(rowsOf(b, 51, kGreen).empty()); // zero lies just below the picture
    auto s = flatAScan(30, 182);                // N = 30 on 592 columns: the rightmost column is 0
    const TBitmap wide = trace(*s, 592, 200);
    EXPECT_EQ(rowsOf(wide, 590, kGreen), range(101, 200));
    EXPECT_TRUE(rowsOf(wide, 591, kGreen).empty());
}

TEST(Trace, SchemesAreAppliedForTheDrawingAndTheRecordKeepsItsOwn) {
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
    EXPECT_EQ(r->Color(6), kBlack);                          // print colours again
    EXPECT_EQ(trace(*r, 100, 200).GetPixel(5, 150), kBlack); // 254 keeps them
}

// ---- Overlays -------------------------------------------------------------------------------

// A flat trace with strobe 1 from 20 to 60 at 50 %, cursors at 25 and 75, the marker at 40.
std::unique_ptr<TBaseAScanCell> overlayRecord(std::int32_t value = 0) {
    auto r = flatAScan(100, value);
    TBaseConfigCell& c = *r->Config;
    c.StrobeBeginTime[0] = 20.0;
    c.StrobeLengthTime[0] = 40.0;
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

TEST(SignalOverlay, TwoCursorsMarkCursorOneAndMeasureAtCursorTwo) {
    auto r = overlayRecord(91); // 25 %: the amplitude's row is 150
    r->Config->CursorCount = 1;
    TBitmap b = signalPicture(*r);
    // Row (200 div 5) x 4 carries the mark across cursor 1 (right of the percent labels).
    EXPECT_EQ(columnsOf(b, 160, kWhite, 16, 70), range(22, 28));
    EXPECT_EQ(rowsOf(b, 75, kRed), range(147, 151)); // the arrow head's tip on cursor 2
    EXPECT_EQ(rowsOf(b, 75, kWhite).size(), 196u);   // cursor 2's line around it
    EXPECT_EQ(columnsOf(b, 147, kRed), range(72, 78));
    EXPECT_NE(b.GetPixel(40, 150), kRed);

    r->Config->CursorCount = 0; // one cursor: no mark, measured at the marker
    b = signalPicture(*r);
    EXPECT_EQ(columnsOf(b, 160, kWhite, 16, 100), std::vector<int>{25});
    EXPECT_TRUE(rowsOf(b, 75, kWhite).empty());
    EXPECT_EQ(b.GetPixel(40, 150), kRed);

    r->Config->SignalType = 2; // no arrow for the radio-frequency trace
    EXPECT_EQ(countColor(signalPicture(*r), {0, 0, 100, 200}, kRed), 0);
}

TEST(SignalOverlay, PrintGridIsDottedWithoutPercentLabels) {
    auto r = overlayRecord();
    const TBitmap screen = signalPicture(*r);
    EXPECT_EQ(longestRun(screen, 50, 55, 100, kGrey), 18);    // dashes
    EXPECT_GT(countColor(screen, {2, 2, 20, 15}, kWhite), 0); // "100"
    EXPECT_GE(rowsOf(screen, 50, kGrey).size(), 100u);        // the vertical line at one step
    const TBitmap print = signalPicture(*r, 1);
    EXPECT_EQ(longestRun(print, 50, 55, 100, kGrey), 3); // dots
    EXPECT_TRUE(allColor(print, {2, 2, 20, 15}, kWhite));
}

TEST(SignalOverlay, AnEmptyRangeDrawsNothingAndGivesTheSchemeBack) {
    auto r = overlayRecord();
    r->ColorScheme = 1;
    r->SetColorScheme(1);
    TBitmap b = trace(*r, 100, 200, 0);
    const TBitmap before = b;
    DrawSignalOverlay(*r, b, 0, 10.0, 10.0, 100, 200);
    EXPECT_EQ(b.Pixels(), before.Pixels());
    EXPECT_EQ(r->Color(5), kWhite);
}

TEST(ZoomOverlay, StrobeAcrossCursorsAndMarkerOnlyInsideIt) {
    auto r = overlayRecord(91);
    r->Config->CursorTime = {30.0, 90.0}; // cursor 2 lies right of the strobe
    TBitmap b;
    RenderZoomPicture(*r, b, KeepScheme, 20.0, 60.0, 80, 200);
    EXPECT_EQ(rowsOf(b, 20, kWhite).size(), 200u); // cursor 1: a quarter in, over the strobe
    EXPECT_EQ(columnsOf(b, 100, kYellow).size(), 79u);
    EXPECT_EQ(countColor(b, {30, 0, 80, 200}, kWhite), 0);
    EXPECT_EQ(b.GetPixel(40, 150), kRed); // the marker halfway
    r->Config->AuxTime = 70.0;
    RenderZoomPicture(*r, b, KeepScheme, 20.0, 60.0, 80, 200);
    EXPECT_EQ(countColor(b, {0, 0, 80, 200}, kRed), 0);
    r->Config->StrobeLengthTime[0] = 0.0; // no zoom coordinates at all
    RenderZoomPicture(*r, b, KeepScheme, 20.0, 60.0, 80, 200);
    EXPECT_EQ(countColor(b, {22, 0, 80, 200}, kWhite), 0);
    EXPECT_EQ(columnsOf(b, 100, kYellow).size(), 80u);
}

TEST(TgvCurve, GainZeroAtAQuarterThirtyAtTheTopInTheRecordsOwnColours) {
    auto r = overlayRecord();
    TBaseConfigCell& c = *r->Config;
    c.CursorTime = {0.0, 0.0};
    c.StrobeLevel[0] = 10;
    c.TgvEnabled = 1;
    c.TgvActivePoints = 3;
    c.TgvPos = {0, 50, 100};
    c.TgvGain = {0, 30, 30};
    TBitmap b = signalPicture(*r);
    EXPECT_GT(countColor(b, {0, 145, 4, 151}, kTvg), 0); // climbing from (0, 150)
    EXPECT_EQ(countColor(b, {0, 0, 50, 1}, kTvg), 0);
    EXPECT_GE(countColor(b, {50, 0, 100, 1}, kTvg), 20); // dotted along the top from x = 50
    EXPECT_EQ(countColor(b, {0, 151, 100, 200}, kTvg), 0);
    b = signalPicture(*r, 1); // over a print picture, still the screen colour
    EXPECT_GE(countColor(b, {50, 0, 100, 1}, kTvg), 20);
    c.TgvEnabled = 0;
    EXPECT_EQ(countColor(signalPicture(*r), {0, 0, 100, 200}, kTvg), 0);
}

TEST(UprightView, EveryTypeRunsRightAndTheOverlayShowsCursorAndHueRange) {
    auto r = overlayRecord(182);
    r->HueLow = 90;
    r->HueHigh = 270;
    TBitmap b;
    for (const auto& [type, columns] : std::vector<std::pair<std::uint8_t, std::vector<int>>>{
             {0, range(0, 100)}, {1, {100}}, {2, {50}}}) {
        r->Config->SignalType = type;
        RenderVerticalTrace(*r, b, KeepScheme, 0.0, 100.0, 200, 100);
        EXPECT_EQ(columnsOf(b, 30, kGreen), columns) << int(type);
    }
    RenderVerticalSignalPicture(*r, b, KeepScheme, 0.0, 100.0, 200, 100);
    EXPECT_EQ(columnsOf(b, 25, kWhite).size(), 200u); // cursor 1 at 25 of 100 rows
    RenderVerticalSignalPicture(*r, b, 1, 0.0, 100.0, 200, 100);
    EXPECT_EQ(rowsOf(b, 50, kGrey).size(), 100u);  // hue 90 of 360 on 200 pixels
    EXPECT_EQ(rowsOf(b, 150, kGrey).size(), 100u); // hue 270
}

// ---- Surfaces, reports, clipboard -----------------------------------------------------------

TEST(AScanTargets, SurfacesShowTheRenderedPictureReportsKeepItAtEightBits) {
    auto r = overlayRecord(91);
    MemoryPresentTarget surface(100, 200);
    DrawSignalToSurfaceView(*r, surface, KeepScheme, 0.0, 100.0);
    EXPECT_EQ(surface.Flips(), 1);
    EXPECT_EQ(surface.Shown().Pixels(), signalPicture(*r).Pixels());
    BlankSurfaceView(surface);
    EXPECT_TRUE(allColor(surface.Shown(), {0, 0, 100, 200}, kBlack));
    surface.canDraw = false;
    DrawZoomToSurfaceView(*r, surface, KeepScheme, 20.0, 60.0);
    DrawVerticalSignalToSurfaceView(*r, surface, KeepScheme, 0.0, 100.0);
    BlankSurfaceView(surface);
    EXPECT_EQ(surface.Flips(), 2);

    MemoryReportImage image(100, 200);
    DrawSignalToReport(*r, image, 1, 0.0, 100.0);
    EXPECT_EQ(image.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
    EXPECT_EQ(image.Picture().Pixels(), signalPicture(*r, 1).Pixels());
    EXPECT_EQ(r->Color(5), kBlack); // screen colours again
    MemoryReportImage other(100, 200);
    other.holdsOtherGraphic = true;
    DrawSignalToReport(*r, other, 1, 0.0, 100.0);
    EXPECT_FALSE(other.HasPicture());
}

TEST(AScanClipboard, MainViewAndFramedRulerOrAllFourWithTheZoomView) {
    ProgramTexts texts;
    auto r = overlayRecord(91);
    TBitmap b;
    CopyAScanImageToClipboard(*r, b, 100, 200, 30, 80, 30);
    ASSERT_EQ(b.Height(), 230);
    EXPECT_EQ(b.GetPixel(40, 150), kRed);
    // The ruler's frame: left, right and bottom edges, no top edge.
    EXPECT_TRUE(allColor(b, {0, 200, 1, 229}, kBlack));
    EXPECT_TRUE(allColor(b, {99, 200, 100, 229}, kBlack));
    EXPECT_TRUE(allColor(b, {0, 229, 99, 230}, kBlack));
    EXPECT_LT(columnsOf(b, 200, kBlack).size(), 50u);
    r->Config->ScreenType = 0x12; // only the low four bits count
    CopyAScanImageToClipboard(*r, b, 100, 200, 30, 80, 30);
    ASSERT_EQ(b.Height(), 340);
    EXPECT_EQ(b.GetPixel(50, 230 + 60), kRed); // the zoom view's marker: halfway, 25 % up
    EXPECT_TRUE(allColor(b, {0, 339, 99, 340}, kBlack));
}

} // namespace
