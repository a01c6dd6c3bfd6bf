// The arithmetic of the record views without any picture: ruler steps, label forms, the
// reduction of a trace to pixel columns, the strokes of a trace, the TVG curve's points, the merge
// and box smoothing of the work images, and the small position formulas.
#include "records/ViewMath.h"
#include "config/ConfigTestSupport.h"
#include "records/BaseAScanUnit.h"
#include "records/ImageFilters.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

// ---- Ruler steps ----------------------------------------------------------------------------

TEST(RulerStep, FiftyMicrosecondsOverFiveHundredSamplesOnFourHundredPixels) {
    const TRulerUnits units{false, 50.0, 5920.0};
    EXPECT_DOUBLE_EQ(GetRulerStep(units, 400.0, 500.0), 40.0);
}

TEST(RulerStep, MillimetresCountTheDepthTheSoundTravelsTo) {
    // 1000 samples at 4000 m/s are 2000 mm deep; steps of 100 mm on 500 pixels: 25 pixels.
    const TRulerUnits units{true, 100.0, 4000.0};
    EXPECT_DOUBLE_EQ(GetRulerStep(units, 500.0, 1000.0), 25.0);
}

TEST(RulerStep, AnEmptyRangeOrAStillSoundHasNoStep) {
    EXPECT_EQ(GetRulerStep(TRulerUnits{false, 50.0, 5920.0}, 400.0, 0.0), 0.0);
    EXPECT_EQ(GetRulerStep(TRulerUnits{false, 50.0, 5920.0}, 400.0, -20.0), 0.0);
    EXPECT_EQ(GetRulerStep(TRulerUnits{true, 10.0, 0.0}, 400.0, 500.0), 0.0);
}

TEST(RulerStep, StepIndexesOutsideTheirTablesTakeTheNearestEntry) {
    TBaseConfigCell c(0, 0, 0);
    c.Velocity = 5920;
    c.IndexMarkMks = 4;
    c.IndexMarkMm = 11;
    EXPECT_EQ(RulerUnitsOf(c, 0).Step, 200.0);
    EXPECT_FALSE(RulerUnitsOf(c, 0).Millimetres);
    EXPECT_EQ(RulerUnitsOf(c, 1).Step, 4000.0);
    EXPECT_TRUE(RulerUnitsOf(c, 1).Millimetres);
    c.IndexMarkMks = 99;
    c.IndexMarkMm = -3;
    EXPECT_EQ(RulerUnitsOf(c, 0).Step, 500.0);
    EXPECT_EQ(RulerUnitsOf(c, 1).Step, 2.0);
    // Scale dimensions other than 1 are microseconds.
    EXPECT_FALSE(RulerUnitsOf(c, 2).Millimetres);
}

TEST(ZoomRulerStep, AHundredMicrosecondsTakeStepsOfTen) {
    // On the 320-pixel scale: 25 us would stand 80 apart, 10 us 32 apart.
    const TZoomRulerStep z = GetZoomRulerStep(false, 5920.0, 105.0, 205.0, 320.0);
    EXPECT_EQ(z.Step, 10.0);
    EXPECT_EQ(z.TableIndex, 3);
    // The first label is 110, the first multiple of 10 inside the range, 5 us = 16 px in.
    EXPECT_EQ(z.FirstLabelIndex, 11);
    EXPECT_DOUBLE_EQ(z.FirstOffset, 16.0);
    EXPECT_DOUBLE_EQ(z.PixelsPerStep, 32.0);
}

TEST(ZoomRulerStep, ARangeStartingOnAMultipleLabelsItsLeftEdge) {
    const TZoomRulerStep z = GetZoomRulerStep(false, 5920.0, 1000.0, 1250.0, 500.0);
    EXPECT_EQ(z.Step, 25.0);
    EXPECT_EQ(z.FirstLabelIndex, 40);
    EXPECT_DOUBLE_EQ(z.FirstOffset, 0.0);
    EXPECT_DOUBLE_EQ(z.PixelsPerStep, 50.0);
}

TEST(ZoomRulerStep, ShortMillimetreRangesUseHalfMillimetres) {
    // 10 samples at 1000 m/s are 5 mm: 0.5 mm stand 32 pixels apart on the 320 scale.
    const TZoomRulerStep z = GetZoomRulerStep(true, 1000.0, 20.0, 30.0, 320.0);
    EXPECT_EQ(z.Step, 0.5);
    EXPECT_EQ(z.TableIndex, 0);
    EXPECT_EQ(z.FirstLabelIndex, 20); // 20 samples are 10 mm
}

TEST(ZoomRulerStep, TinyRangesStopAtTheFirstEntry) {
    const TZoomRulerStep z = GetZoomRulerStep(false, 5920.0, 10.0, 11.0, 320.0);
    EXPECT_EQ(z.TableIndex, 0);
    EXPECT_EQ(z.Step, 1.0);
}

TEST(ZoomRulerStep, AnEmptyOrReversedRangeHasNoSpacing) {
    EXPECT_EQ(GetZoomRulerStep(false, 5920.0, 50.0, 50.0, 320.0).PixelsPerStep, 0.0);
    EXPECT_EQ(GetZoomRulerStep(false, 5920.0, 80.0, 50.0, 320.0).PixelsPerStep, 0.0);
    EXPECT_EQ(GetZoomRulerStep(true, 0.0, 50.0, 150.0, 320.0).PixelsPerStep, 0.0);
}

TEST(DepthRulerStep, TheLargestStepAtMostFiftyFivePixelsApart) {
    // 1000 us on 440 pixels: 150 us would be 66 pixels, 100 us are 44.
    TDepthRulerStep d = GetDepthRulerStep(false, 5920.0, 440.0, 1000.0);
    EXPECT_EQ(d.Step, 100.0);
    EXPECT_EQ(d.TableIndex, 2);
    EXPECT_DOUBLE_EQ(d.PixelsPerStep, 44.0);
    // 4095 us: even the table's last entry, 500, stands only 53.7 pixels apart.
    d = GetDepthRulerStep(false, 5920.0, 440.0, 4095.0);
    EXPECT_EQ(d.TableIndex, 7);
    // 1000 samples at 5920 m/s are 2960 mm: 250 mm stand 37 pixels apart, 500 mm 74.
    d = GetDepthRulerStep(true, 5920.0, 440.0, 1000.0);
    EXPECT_EQ(d.Step, 250.0);
    EXPECT_EQ(d.TableIndex, 7);
}

TEST(DepthRulerStep, TheSearchStopsAtTheTablesFirstEntry) {
    // 100 us on 440 pixels: even 25 us stand 110 pixels apart.
    const TDepthRulerStep d = GetDepthRulerStep(false, 5920.0, 440.0, 100.0);
    EXPECT_EQ(d.TableIndex, 0);
    EXPECT_EQ(d.Step, 25.0);
    EXPECT_DOUBLE_EQ(d.PixelsPerStep, 110.0);
}

TEST(DepthRulerStep, AnEmptyRangeDrawsNoTicks) {
    EXPECT_EQ(GetDepthRulerStep(false, 5920.0, 440.0, 0.0).PixelsPerStep, 0.0);
    EXPECT_EQ(GetDepthRulerStep(true, 0.0, 440.0, 1000.0).PixelsPerStep, 0.0);
}

TEST(RulerLabels, WholeNumbersBelowTwoHundredThenThousandsWithOneDecimal) {
    tbtest::ScopedSeparators separators('.');
    EXPECT_EQ(RulerLabelForm(false, 150.0).UnitText, 10);
    EXPECT_EQ(RulerLabelForm(true, 100.0).UnitText, 11);
    EXPECT_EQ(RulerLabelForm(false, 200.0).UnitText, 20);
    EXPECT_EQ(RulerLabelForm(true, 2000.0).UnitText, 19);
    EXPECT_EQ(RulerLabel(150.0, RulerLabelForm(false, 50.0)), "150");
    EXPECT_EQ(RulerLabel(400.0, RulerLabelForm(false, 200.0)), "0.4");
    EXPECT_EQ(RulerLabel(6000.0, RulerLabelForm(true, 2000.0)), "6.0");
    EXPECT_EQ(ZoomRulerLabelForm(true, 0.5).Decimals, 1);
    EXPECT_EQ(ZoomRulerLabelForm(true, 0.5).UnitText, 11);
    EXPECT_EQ(RulerLabel(10.5, ZoomRulerLabelForm(true, 0.5)), "10.5");
    EXPECT_EQ(RulerLabel(12.0, ZoomRulerLabelForm(true, 1.0)), "12");
}

TEST(RulerLabels, TheDecimalSeparatorIsTheUsers) {
    tbtest::ScopedSeparators separators(',');
    EXPECT_EQ(RulerLabel(600.0, RulerLabelForm(false, 200.0)), "0,6");
}

TEST(RulerPeriods, ScanRulerMarksByPixelsPerAScan) {
    EXPECT_EQ(ScanRulerPeriods(0).Small, 10);
    EXPECT_EQ(ScanRulerPeriods(0).Numbered, 50);
    EXPECT_EQ(ScanRulerPeriods(1).Numbered, 25);
    EXPECT_EQ(ScanRulerPeriods(2).Small, 2);
    EXPECT_EQ(ScanRulerPeriods(3).Small, 1);
    EXPECT_EQ(ScanRulerPeriods(3).Numbered, 5);
    EXPECT_EQ(ScanRulerPeriods(7).Numbered, 5);
    EXPECT_EQ(ScanRulerPeriods(-1).Numbered, 50);
}

TEST(RulerPeriods, MapRulersNumberEveryLineSecondOrFifth) {
    EXPECT_EQ(MapRulerPeriod(5), 1);
    EXPECT_EQ(MapRulerPeriod(6), 1);
    EXPECT_EQ(MapRulerPeriod(7), 2);
    EXPECT_EQ(MapRulerPeriod(10), 2);
    EXPECT_EQ(MapRulerPeriod(11), 2);
    EXPECT_EQ(MapRulerPeriod(12), 5);
    EXPECT_EQ(MapRulerPeriod(40), 5);
}

// ---- Column reduction -----------------------------------------------------------------------

struct Columns {
    std::vector<std::int32_t> upper;
    std::vector<std::int32_t> lower;
};

Columns resample(const std::vector<std::int32_t>& trace, double start, double end, int width) {
    Columns c{std::vector<std::int32_t>(std::size_t(width), -7),
              std::vector<std::int32_t>(std::size_t(width), -7)};
    ResampleScan(trace, start, end, width, c.upper, c.lower);
    return c;
}

TEST(ResampleScan, AThousandSamplesOntoTwoHundredFiftyColumnsTakeTheExtremesOfFour) {
    std::vector<std::int32_t> trace(1000);
    for (std::size_t s = 0; s < trace.size(); ++s) {
        trace[s] = static_cast<std::int32_t>((s * 37) % 101) - 50;
    }
    trace[401] = 500;  // column 100
    trace[802] = -900; // column 200
    const Columns c = resample(trace, 0.0, 1000.0, 250);
    for (std::size_t p = 0; p < 250; ++p) {
        const auto first = trace.begin() + std::ptrdiff_t(4 * p);
        const auto [lo, hi] = std::minmax_element(first, first + 4);
        EXPECT_EQ(c.upper[p], std::clamp(*hi, -360, 360)) << p;
        EXPECT_EQ(c.lower[p], std::clamp(*lo, -360, 360)) << p;
    }
    EXPECT_EQ(c.upper[100], 360);
    EXPECT_EQ(c.lower[200], -360);
}

TEST(ResampleScan, UnevenColumnsEndOnTheRangesLastSample) {
    // 1000 samples onto 300 columns: the columns hold 4, 3, 3, 4, 3, 3, ... samples, counted
    // exactly, so that column 2 ends on sample 9 and the last column on sample 999.
    std::vector<std::int32_t> trace(1000, 0);
    trace[9] = 100;
    trace[10] = 200;
    trace[996] = 50;
    trace[999] = 300;
    const Columns c = resample(trace, 0.0, 1000.0, 300);
    EXPECT_EQ(c.upper[2], 100);
    EXPECT_EQ(c.upper[3], 200);
    EXPECT_EQ(c.upper[298], 50);
    EXPECT_EQ(c.upper[299], 300);
    EXPECT_EQ(std::count(c.upper.begin(), c.upper.end(), 0), 296);
}

TEST(ResampleScan, AHundredSamplesOntoFourHundredColumnsInterpolateFourPerSample) {
    std::vector<std::int32_t> trace(100);
    for (std::size_t s = 0; s < trace.size(); ++s) {
        trace[s] = static_cast<std::int32_t>(s % 2 ? 40 : 0);
    }
    trace[50] = 1000; // interpolation has no limit
    const Columns c = resample(trace, 0.0, 100.0, 400);
    EXPECT_EQ(c.upper[0], 0);
    EXPECT_EQ(c.upper[1], 10);
    EXPECT_EQ(c.upper[2], 20); // 0 + 2 x 40 / 4
    EXPECT_EQ(c.upper[3], 30);
    EXPECT_EQ(c.upper[4], 40);
    EXPECT_EQ(c.upper[5], 30);
    EXPECT_EQ(c.upper[200], 1000);
    EXPECT_EQ(c.upper, c.lower);
    EXPECT_EQ(c.upper[399], 0); // the rightmost column is 0
    EXPECT_EQ(c.upper[396], 40);
}

TEST(ResampleScan, AnEmptyOrReversedRangeGivesColumnsOfZero) {
    const std::vector<std::int32_t> trace(50, 77);
    Columns c = resample(trace, 10.0, 10.0, 20);
    EXPECT_EQ(c.upper, std::vector<std::int32_t>(20, 0));
    EXPECT_EQ(c.lower, std::vector<std::int32_t>(20, 0));
    c = resample(trace, 30.0, 10.0, 20);
    EXPECT_EQ(c.upper, std::vector<std::int32_t>(20, 0));
    c = resample({}, 0.0, 10.0, 20);
    EXPECT_EQ(c.upper, std::vector<std::int32_t>(20, 0));
}

TEST(ResampleScan, TheRangeIsTakenToTheNearestSampleHalvesToEven) {
    std::vector<std::int32_t> trace(40);
    std::iota(trace.begin(), trace.end(), 0);
    // 2.5 -> 2 and 12.5 -> 12: ten samples 2..11 onto five columns.
    const Columns c = resample(trace, 2.5, 12.5, 5);
    EXPECT_EQ(c.lower[0], 2);
    EXPECT_EQ(c.upper[4], 11);
}

TEST(ResampleScan, IndexesOutsideTheTraceReadItsEdgeSamples) {
    // A short trace (N = 30) over a range that reaches beyond both of its ends.
    std::vector<std::int32_t> trace(30);
    std::iota(trace.begin(), trace.end(), 100);
    Columns c = resample(trace, -10.0, 40.0, 5);
    EXPECT_EQ(c.lower[0], 100);
    EXPECT_EQ(c.upper[0], 100);
    EXPECT_EQ(c.upper[4], 129);
    EXPECT_EQ(c.lower[4], 129);
    // Interpolated onto many columns: the last samples' neighbour past the end is the end.
    c = resample(trace, 0.0, 30.0, 592);
    EXPECT_EQ(c.upper[590], 129);
    EXPECT_EQ(c.upper[591], 0);
}

TEST(ResampleScan, OnlyTheColumnsAskedForAreWritten) {
    const std::vector<std::int32_t> trace(100, 5);
    std::vector<std::int32_t> upper(8, -1);
    std::vector<std::int32_t> lower(8, -1);
    ResampleScan(trace, 0.0, 100.0, 6, upper, lower);
    EXPECT_EQ(upper[5], 5);
    EXPECT_EQ(upper[6], -1);
    // Arrays shorter than the width bound it.
    std::vector<std::int32_t> shortUpper(3, -1);
    std::vector<std::int32_t> shortLower(3, -1);
    ResampleScan(trace, 0.0, 100.0, 50, shortUpper, shortLower);
    EXPECT_EQ(shortUpper, std::vector<std::int32_t>(3, 5));
}

// ---- Trace strokes --------------------------------------------------------------------------

TEST(TraceStrokes, BarsRiseFromTheBottomEdgeByTheLargerMagnitude) {
    const std::vector<std::int32_t> upper{182, 10, 0, 400};
    const std::vector<std::int32_t> lower{-20, -182, 0, 0};
    const auto s = TraceStrokes(upper, lower, 200, 0, false);
    // 182 of 364.09 on 200 pixels: 100 pixels, from row 200 to row 100 (not included).
    EXPECT_EQ(s[0].Kind, TStrokeKind::Line);
    EXPECT_EQ(s[0].From, 200);
    EXPECT_EQ(s[0].To, 100);
    EXPECT_EQ(s[1].To, 100);
    EXPECT_EQ(s[2].To, 200); // no height: nothing to see
    EXPECT_EQ(s[3].To, -1);  // beyond the top: pulled to just outside
}

TEST(TraceStrokes, TheRectifiedTraceReachesThePreviousColumn) {
    const std::vector<std::int32_t> upper{91, 182, 0, 0};
    const std::vector<std::int32_t> lower{91, -182, 0, 0};
    const auto s = TraceStrokes(upper, lower, 200, 1, false);
    EXPECT_EQ(s[0].Kind, TStrokeKind::Dot);
    EXPECT_EQ(s[0].From, 150);
    // Column 1: 182 and 182; l is held to the previous high (91).
    EXPECT_EQ(s[1].Kind, TStrokeKind::Line);
    EXPECT_EQ(s[1].From, 100);
    EXPECT_EQ(s[1].To, 150);
    // Column 2 reaches back up from 0 to the previous low (91).
    EXPECT_EQ(s[2].From, 150);
    EXPECT_EQ(s[2].To, 200);
    EXPECT_EQ(s[3].Kind, TStrokeKind::Dot);
    EXPECT_EQ(s[3].From, 200);
}

TEST(TraceStrokes, RadioFrequencyTraceSpansHalfTheHeightAboutTheMiddle) {
    const std::vector<std::int32_t> upper{182, 0};
    const std::vector<std::int32_t> lower{182, -182};
    const auto s = TraceStrokes(upper, lower, 200, 2, false);
    EXPECT_EQ(s[0].Kind, TStrokeKind::Dot);
    EXPECT_EQ(s[0].From, 50); // U = 50 above the middle line at 100
    // Column 1 reaches up to the previous low (182) and down to -182.
    EXPECT_EQ(s[1].Kind, TStrokeKind::Line);
    EXPECT_EQ(s[1].From, 50);
    EXPECT_EQ(s[1].To, 150);
}

TEST(TraceStrokes, UprightTracesRunFromTheLeftEdge) {
    const std::vector<std::int32_t> upper{182, 91};
    const std::vector<std::int32_t> lower{0, 91};
    auto s = TraceStrokes(upper, lower, 200, 0, true);
    EXPECT_EQ(s[0].From, 0);
    EXPECT_EQ(s[0].To, 100);
    s = TraceStrokes(upper, lower, 200, 2, true);
    EXPECT_EQ(s[1].Kind, TStrokeKind::Dot); // a flat stretch still shows
    EXPECT_EQ(s[1].From, 100 - 25);
    s = TraceStrokes(upper, lower, 200, 1, true);
    EXPECT_EQ(s[0].Kind, TStrokeKind::Line);
    EXPECT_EQ(s[0].From, 100);
}

TEST(TraceStrokes, OtherSignalTypesDrawNothing) {
    const std::vector<std::int32_t> v{100, 200};
    for (const auto& s : TraceStrokes(v, v, 200, 3, false)) {
        EXPECT_EQ(s.Kind, TStrokeKind::None);
    }
}

TEST(TraceStrokes, ExtremeSamplesStayNearThePicture) {
    const std::vector<std::int32_t> upper{2147483647, -2147483647 - 1};
    const std::vector<std::int32_t> lower{-2147483647 - 1, 2147483647};
    for (int type = 0; type <= 2; ++type) {
        for (const auto& s : TraceStrokes(upper, lower, 300, type, false)) {
            EXPECT_GE(s.From, -1);
            EXPECT_LE(s.From, 300);
            EXPECT_GE(s.To, -1);
            EXPECT_LE(s.To, 300);
        }
    }
}

// ---- TVG curve ------------------------------------------------------------------------------

TBaseConfigCell tvgConfig(std::uint16_t samples, std::vector<std::pair<int, int>> points) {
    TBaseConfigCell c(0, 0, 0);
    c.AScanRange = samples;
    c.TgvActivePoints = static_cast<std::uint8_t>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        c.TgvPos[i] = static_cast<std::uint16_t>(points[i].first);
        c.TgvGain[i] = static_cast<std::uint8_t>(points[i].second);
    }
    return c;
}

TEST(TgvCurve, GainZeroAtAQuarterOfTheHeightAndThirtyAtTheTop) {
    const auto points = TgvCurvePoints(tvgConfig(1000, {{0, 0}, {500, 30}, {1000, 15}}), 400, 200);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0], (platform::gfx::TPoint{0, 150}));
    EXPECT_EQ(points[1], (platform::gfx::TPoint{200, 0}));
    // Gain 15: 50 + 75 pixels above the bottom.
    EXPECT_EQ(points[2], (platform::gfx::TPoint{400, 75}));
}

TEST(TgvCurve, ASegmentPastTheRightEdgeEndsOnItAndEndsTheCurve) {
    const auto points =
        TgvCurvePoints(tvgConfig(1000, {{0, 0}, {500, 0}, {1500, 30}, {2000, 0}}), 400, 200);
    ASSERT_EQ(points.size(), 3u);
    // Halfway along the segment from (200, 150) to (600, 0).
    EXPECT_EQ(points[2].X, 400);
    EXPECT_EQ(points[2].Y, 75);
}

TEST(TgvCurve, OnlyActivePointsTakePart) {
    TBaseConfigCell c = tvgConfig(1000, {{0, 0}, {400, 30}});
    c.TgvPos[2] = 0; // an inactive point would draw a line back to the left edge
    c.TgvGain[2] = 0;
    EXPECT_EQ(TgvCurvePoints(c, 400, 200).size(), 2u);
    c.TgvActivePoints = 200; // more than the 32 points there are
    EXPECT_LE(TgvCurvePoints(c, 400, 200).size(), std::size_t(TgvPointCount));
    c.TgvActivePoints = 1;
    EXPECT_TRUE(TgvCurvePoints(c, 400, 200).empty());
    c.TgvActivePoints = 2;
    c.AScanRange = 0;
    EXPECT_TRUE(TgvCurvePoints(c, 400, 200).empty());
}

// ---- Merge and smoothing --------------------------------------------------------------------

TWorkImage image(int w, int h, std::int32_t value) {
    TWorkImage i;
    i.Reallocate(w, h);
    std::fill(i.Values.begin(), i.Values.end(), value);
    return i;
}

TEST(FilterImage, MergeKeepsTheLargerMagnitudeInBoth) {
    TWorkImage b = image(4, 3, 0);
    TWorkImage a = image(4, 3, 0);
    b.At(1, 1) = 30;
    a.At(1, 1) = -90;
    b.At(2, 0) = -50;
    a.At(2, 0) = 10;
    FilterWorkImages(b, a, 4, 3, 7, false);
    EXPECT_EQ(b.At(1, 1), 90);
    EXPECT_EQ(a.At(1, 1), 90);
    EXPECT_EQ(b.At(2, 0), 50);
    EXPECT_EQ(a.At(2, 0), 50);
}

TEST(FilterImage, AnImpulseThroughTheSevenBySevenBoxFillsItsBlock) {
    const int w = 20;
    const int h = 20;
    TWorkImage b = image(w, h, 0);
    TWorkImage a = image(w, h, 0);
    a.At(10, 9) = 49 * 3;
    FilterWorkImages(b, a, w, h, 7, true);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const bool smoothed = x >= 3 && x <= w - 4 && y >= 3 && y <= h - 5;
            const bool inBlock = std::abs(x - 10) <= 3 && std::abs(y - 9) <= 3;
            int expected = 0;
            if (smoothed) {
                expected = inBlock ? 3 : 0;
            } else if (x == 10 && y == 9) {
                expected = 147;
            }
            EXPECT_EQ(b.At(x, y), expected) << x << "," << y;
        }
    }
    // A keeps the merged values.
    EXPECT_EQ(a.At(10, 9), 147);
    EXPECT_EQ(a.At(10, 10), 0);
}

TEST(FilterImage, EdgesKeepTheirMergedValues) {
    // Stripes: 98 on even rows, 0 on odd ones. Seven rows about an odd row hold four stripes
    // (mean 56), about an even row three (mean 42). The first half rows and columns, the last
    // half columns and the last half + 1 rows keep their merged values.
    const int w = 12;
    const int h = 12;
    TWorkImage b = image(w, h, 0);
    TWorkImage a = image(w, h, 0);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; y += 2) {
            a.At(x, y) = 98;
        }
    }
    FilterWorkImages(b, a, w, h, 7, true);
    EXPECT_EQ(b.At(3, 3), 56);
    EXPECT_EQ(b.At(3, 4), 42);
    EXPECT_EQ(b.At(2, 3), 0);      // first half columns
    EXPECT_EQ(b.At(3, 2), 98);     // first half rows
    EXPECT_EQ(b.At(3, 7), 56);     // h - half - 2 = 7 is the last smoothed row
    EXPECT_EQ(b.At(3, 8), 98);     // ... row 8 is not
    EXPECT_EQ(b.At(w - 4, 3), 56); // the last smoothed column
    EXPECT_EQ(b.At(w - 3, 3), 0);
}

TEST(FilterImage, TheFifteenBoxDividesByTwoHundredTwentyFive) {
    TWorkImage b = image(40, 40, 0);
    TWorkImage a = image(40, 40, 0);
    for (int x = 0; x < 40; ++x) {
        for (int y = 0; y < 40; ++y) {
            a.At(x, y) = x < 20 ? 450 : 0;
        }
    }
    FilterWorkImages(b, a, 40, 40, 15, true);
    EXPECT_EQ(b.At(12, 20), 450);
    // Centred on column 20: 7 columns of 450 of 15.
    EXPECT_EQ(b.At(20, 20), 7 * 15 * 450 / 225);
    EXPECT_EQ(b.At(27, 20), 0);
}

TEST(FilterImage, TooSmallForTheBoxOnlyMerges) {
    TWorkImage b = image(5, 5, -100);
    TWorkImage a = image(5, 5, 0);
    FilterWorkImages(b, a, 5, 5, 7, true);
    EXPECT_EQ(b.At(2, 2), 100);
}

TEST(FilterImage, SizesAreKeptInsideBothImages) {
    TWorkImage b = image(6, 6, -1);
    TWorkImage a = image(4, 4, 0);
    FilterWorkImages(b, a, 100, 100, 7, true);
    EXPECT_EQ(b.At(3, 3), 1);
    EXPECT_EQ(b.At(5, 5), -1); // outside A: untouched
}

TEST(FilterImage, HugeValuesCannotOverflowTheBoxSums) {
    TWorkImage b = image(30, 30, 2147483647);
    TWorkImage a = image(30, 30, -2147483647 - 1);
    FilterWorkImages(b, a, 30, 30, 15, true);
    EXPECT_EQ(b.At(15, 15), MergedLimit);
    EXPECT_GT(b.At(15, 15), 360);
}

// ---- Positions ------------------------------------------------------------------------------

TEST(MapCursorPixel, CellMiddlesOrEdgesForOnePixelCells) {
    EXPECT_EQ(MapCursorPixel(0, 10), 5);
    EXPECT_EQ(MapCursorPixel(3, 10), 35);
    EXPECT_EQ(MapCursorPixel(3, 5), 18); // 17.5 to the even neighbour
    EXPECT_EQ(MapCursorPixel(4, 1), 4);
}

TEST(Gradator, EntriesAcrossTheStrip) {
    EXPECT_EQ(GradatorEntry(0, 363), 0);
    EXPECT_EQ(GradatorEntry(180, 363), 180);
    EXPECT_EQ(GradatorEntry(360, 363), 360);
    EXPECT_EQ(GradatorEntry(337, 340), 360);
    EXPECT_EQ(GradatorEntry(5, 3), 0);
}

TEST(Pixel, NearestWithHalvesToEvenAndFarValuesPulledIn) {
    EXPECT_EQ(Pixel(2.5), 2);
    EXPECT_EQ(Pixel(3.5), 4);
    EXPECT_EQ(Pixel(-0.5), 0);
    EXPECT_EQ(Pixel(1e300), 16777216);
    EXPECT_THROW(Pixel(std::nan("")), platform::text::RangeError);
    EXPECT_EQ(TimeToView(50.0, 0.0, 400.0), 0.0);
    EXPECT_EQ(TimeToView(50.0, 100.0, 400.0), 200.0);
}

} // namespace
