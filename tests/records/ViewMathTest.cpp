// The arithmetic of the record views without any picture: ruler steps and labels, the reduction
// of a trace to pixel columns, the strokes of a trace, the TVG curve's points and the position
// formulas.
#include "records/ViewMath.h"
#include "config/ConfigTestSupport.h"
#include "records/BaseAScanUnit.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

using Ints = std::vector<std::int32_t>;

TEST(RulerStep, PixelsBetweenLabelledTicks) {
    // Step 50 over 500 samples on 400 pixels; 100 mm over 1000 samples (2000 mm at 4000 m/s) on
    // 500 pixels; nothing for an empty range or a still sound.
    EXPECT_DOUBLE_EQ(GetRulerStep(TRulerUnits{false, 50.0, 5920.0}, 400.0, 500.0), 40.0);
    EXPECT_DOUBLE_EQ(GetRulerStep(TRulerUnits{true, 100.0, 4000.0}, 500.0, 1000.0), 25.0);
    EXPECT_EQ(GetRulerStep(TRulerUnits{false, 50.0, 5920.0}, 400.0, 0.0), 0.0);
    EXPECT_EQ(GetRulerStep(TRulerUnits{false, 50.0, 5920.0}, 400.0, -20.0), 0.0);
    EXPECT_EQ(GetRulerStep(TRulerUnits{true, 10.0, 0.0}, 400.0, 500.0), 0.0);
}

TEST(RulerStep, StepIndexesOutsideTheirTablesTakeTheNearestEntry) {
    TBaseConfigCell c(0, 0, 0);
    const std::vector<std::tuple<int, int, int, double, bool>> cases = {{4, 11, 0, 200.0, false},
                                                                        {4, 11, 1, 4000.0, true},
                                                                        {99, -3, 0, 500.0, false},
                                                                        {99, -3, 1, 2.0, true},
                                                                        {0, 0, 2, 25.0, false}};
    for (const auto& [mks, mm, dimension, step, millimetres] : cases) {
        c.IndexMarkMks = static_cast<std::int16_t>(mks);
        c.IndexMarkMm = static_cast<std::int16_t>(mm);
        EXPECT_EQ(RulerUnitsOf(c, dimension).Step, step) << mks << " " << mm << " " << dimension;
        EXPECT_EQ(RulerUnitsOf(c, dimension).Millimetres, millimetres);
    }
}

TEST(ZoomRulerStep, LargestStepAtMostFortyPixelsApartOnTheInstrumentsScale) {
    struct Case {
        bool mm;
        double velocity, start, end, width;
        double step;
        std::int64_t firstLabel;
        double offset, spacing;
    };
    const std::vector<Case> cases = {
        {false, 5920, 105, 205, 320, 10, 11, 16, 32},  // 10 us stand 32 apart, 25 us 80
        {false, 5920, 1000, 1250, 500, 25, 40, 0, 50}, // starting on a multiple
        {true, 1000, 20, 30, 320, 0.5, 20, 0, 32},     // 5 mm: half millimetres
        {false, 5920, 10, 11, 320, 1, 10, 0, 320},     // stops at the first entry
        {false, 5920, 50, 50, 320, 1, 0, 0, 0},        // empty
        {false, 5920, 80, 50, 320, 1, 0, 0, 0},        // reversed
    };
    for (const Case& c : cases) {
        const TZoomRulerStep z = GetZoomRulerStep(c.mm, c.velocity, c.start, c.end, c.width);
        EXPECT_EQ(z.Step, c.step) << c.start << ".." << c.end;
        EXPECT_EQ(z.FirstLabelIndex, c.firstLabel) << c.start;
        EXPECT_DOUBLE_EQ(z.FirstOffset, c.offset) << c.start;
        EXPECT_DOUBLE_EQ(z.PixelsPerStep, c.spacing) << c.start;
    }
}

TEST(DepthRulerStep, LargestStepAtMostFiftyFivePixelsApartStoppingAtTheFirst) {
    struct Case {
        bool mm;
        double range;
        int index;
        double spacing;
    };
    // On 440 pixels at 5920 m/s: 150 us would stand 66 apart; at 4095 us even 500 us stand 53.7
    // apart; 2960 mm take 250 mm at 37; at 100 us even 25 us stand 110 apart.
    const std::vector<Case> cases = {{false, 1000, 2, 44},
                                     {false, 4095, 7, 440 * 500 / 4095.0},
                                     {true, 1000, 7, 37.1621621621621},
                                     {false, 100, 0, 110},
                                     {false, 0, 0, 0}};
    for (const Case& c : cases) {
        const TDepthRulerStep d = GetDepthRulerStep(c.mm, 5920.0, 440.0, c.range);
        EXPECT_EQ(d.TableIndex, c.index) << c.range;
        EXPECT_NEAR(d.PixelsPerStep, c.spacing, 1e-9) << c.range;
    }
    EXPECT_EQ(GetDepthRulerStep(true, 0.0, 440.0, 1000.0).PixelsPerStep, 0.0);
}

TEST(RulerLabels, WholeNumbersBelowTwoHundredThenThousandsWithOneDecimal) {
    tbtest::ScopedSeparators separators(',');
    EXPECT_EQ(RulerLabelForm(false, 150.0).UnitText, 10);
    EXPECT_EQ(RulerLabelForm(true, 100.0).UnitText, 11);
    EXPECT_EQ(RulerLabelForm(false, 200.0).UnitText, 20);
    EXPECT_EQ(RulerLabelForm(true, 2000.0).UnitText, 19);
    EXPECT_EQ(RulerLabel(150.0, RulerLabelForm(false, 50.0)), "150");
    EXPECT_EQ(RulerLabel(400.0, RulerLabelForm(false, 200.0)), "0,4");
    EXPECT_EQ(RulerLabel(10.5, ZoomRulerLabelForm(true, 0.5)), "10,5");
    EXPECT_EQ(ZoomRulerLabelForm(true, 0.5).UnitText, 11);
    EXPECT_EQ(RulerLabel(12.0, ZoomRulerLabelForm(true, 1.0)), "12");
}

TEST(RulerPeriods, ScanRulerByStripWidthMapRulersByCount) {
    const std::vector<std::tuple<int, int, int>> scan = {{0, 10, 50}, {1, 5, 25}, {2, 2, 10},
                                                         {3, 1, 5},   {7, 1, 5},  {-1, 10, 50}};
    for (const auto& [index, small, numbered] : scan) {
        EXPECT_EQ(ScanRulerPeriods(index).Small, small) << index;
        EXPECT_EQ(ScanRulerPeriods(index).Numbered, numbered) << index;
    }
    for (const auto& [count, period] :
         std::vector<std::pair<int, int>>{{5, 1}, {6, 1}, {7, 2}, {11, 2}, {12, 5}, {40, 5}}) {
        EXPECT_EQ(MapRulerPeriod(count), period) << count;
    }
}

// ---- Column reduction -----------------------------------------------------------------------

struct Columns {
    Ints upper;
    Ints lower;
};

Columns resample(const Ints& trace, double start, double end, int width) {
    Columns c{Ints(std::size_t(width), -7), Ints(std::size_t(width), -7)};
    ResampleScan(trace, start, end, width, c.upper, c.lower);
    return c;
}

TEST(ResampleScan, AThousandSamplesOntoTwoHundredFiftyColumnsTakeTheExtremesOfFour) {
    Ints trace(1000);
    for (std::size_t s = 0; s < trace.size(); ++s) {
        trace[s] = static_cast<std::int32_t>((s * 37) % 101) - 50;
    }
    trace[401] = 500;
    trace[802] = -900;
    const Columns c = resample(trace, 0.0, 1000.0, 250);
    for (std::size_t p = 0; p < 250; ++p) {
        const auto first = trace.begin() + std::ptrdiff_t(4 * p);
        const auto [lo, hi] = std::minmax_element(first, first + 4);
        EXPECT_EQ(c.upper[p], std::clamp(*hi, -360, 360)) << p;
        EXPECT_EQ(c.lower[p], std::clamp(*lo, -360, 360)) << p;
    }
    EXPECT_EQ(c.upper[100], 360); // a sample of 500 is drawn as 360
    EXPECT_EQ(c.lower[200], -360);
}

TEST(ResampleScan, LongColumnsTakeTheExtremesOfAllTheirSamples) {
    Ints trace(4095);
    for (std::size_t s = 0; s < trace.size(); ++s) {
        trace[s] = static_cast<std::int32_t>((s * 7919) % 701) - 350;
    }
    for (const int width : {7, 13, 440}) {
        const Columns c = resample(trace, 0.0, 4095.0, width);
        for (int p = 0; p < width; ++p) {
            const auto first = trace.begin() + (std::int64_t(p) * 4095 + width - 1) / width;
            const auto last = trace.begin() + (std::int64_t(p + 1) * 4095 + width - 1) / width;
            const auto [lo, hi] = std::minmax_element(first, last);
            EXPECT_EQ(c.upper[std::size_t(p)], *hi) << width << " " << p;
            EXPECT_EQ(c.lower[std::size_t(p)], *lo) << width << " " << p;
        }
    }
}

TEST(ResampleScan, UnevenColumnsAreCountedExactly) {
    // 1000 onto 300: columns of 4, 3, 3, 4, ...; column 2 ends on sample 9, the last on 999.
    Ints trace(1000, 0);
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
    Ints trace(100);
    for (std::size_t s = 0; s < trace.size(); ++s) {
        trace[s] = static_cast<std::int32_t>(s % 2 ? 40 : 0);
    }
    trace[50] = 1000; // interpolation has no limit
    const Columns c = resample(trace, 0.0, 100.0, 400);
    EXPECT_EQ(Ints(c.upper.begin(), c.upper.begin() + 6), (Ints{0, 10, 20, 30, 40, 30}));
    EXPECT_EQ(c.upper[200], 1000);
    EXPECT_EQ(c.upper[396], 40);
    EXPECT_EQ(c.upper[399], 0); // the rightmost column is 0
    EXPECT_EQ(c.upper, c.lower);
}

TEST(ResampleScan, EmptyReversedOrOutsideRanges) {
    const Ints flat(50, 77);
    EXPECT_EQ(resample(flat, 10.0, 10.0, 20).upper, Ints(20, 0));
    EXPECT_EQ(resample(flat, 30.0, 10.0, 20).lower, Ints(20, 0));
    EXPECT_EQ(resample({}, 0.0, 10.0, 20).upper, Ints(20, 0));
    Ints trace(30); // a short A-scan (N = 30)
    std::iota(trace.begin(), trace.end(), 100);
    // 2.5 -> 2 and 12.5 -> 12; beyond both ends the edge samples are read.
    EXPECT_EQ(resample(trace, 2.5, 12.5, 5).lower[0], 102);
    const Columns outside = resample(trace, -10.0, 40.0, 5);
    EXPECT_EQ(outside.upper[0], 100);
    EXPECT_EQ(outside.lower[4], 129);
    const Columns wide = resample(trace, 0.0, 30.0, 592);
    EXPECT_EQ(wide.upper[590], 129);
    EXPECT_EQ(wide.upper[591], 0);
    // Arrays shorter than the width bound it.
    Ints upper(3, -1);
    Ints lower(3, -1);
    ResampleScan(flat, 0.0, 50.0, 50, upper, lower);
    EXPECT_EQ(upper, Ints(3, 77));
}

// ---- Trace strokes --------------------------------------------------------------------------

TEST(TraceStrokes, EachSignalTypeAndOrientation) {
    struct Case {
        int type;
        bool upright;
        Ints upper, lower;
        std::vector<TTraceStroke> expected;
    };
    using K = TStrokeKind;
    // 182 of 364.09 on 200 pixels is 100 pixels (50 for the radio-frequency trace).
    const std::vector<Case> cases = {
        {0,
         false,
         {182, 10, 0, 400},
         {-20, -182, 0, 0},
         {{K::Line, 200, 100}, {K::Line, 200, 100}, {K::Line, 200, 200}, {K::Line, 200, -1}}},
        {1,
         false,
         {91, 182, 0, 0},
         {91, -182, 0, 0},
         {{K::Dot, 150, 150}, {K::Line, 100, 150}, {K::Line, 150, 200}, {K::Dot, 200, 200}}},
        {2, false, {182, 0}, {182, -182}, {{K::Dot, 50, 50}, {K::Line, 50, 150}}},
        {0, true, {182, 91}, {0, 91}, {{K::Line, 0, 100}, {K::Line, 0, 50}}},
        {1, true, {182, 91}, {0, 91}, {{K::Line, 100, 0}, {K::Dot, 50, 50}}},
        {2, true, {182, 91}, {0, 91}, {{K::Line, 50, 100}, {K::Dot, 75, 75}}},
        {3, false, {182}, {182}, {{K::None, 0, 0}}},
    };
    for (const Case& c : cases) {
        const auto s = TraceStrokes(c.upper, c.lower, 200, c.type, c.upright);
        ASSERT_EQ(s.size(), c.expected.size());
        for (std::size_t x = 0; x < s.size(); ++x) {
            EXPECT_EQ(s[x].Kind, c.expected[x].Kind) << c.type << c.upright << " " << x;
            EXPECT_EQ(s[x].From, c.expected[x].From) << c.type << c.upright << " " << x;
            if (s[x].Kind == K::Line) {
                EXPECT_EQ(s[x].To, c.expected[x].To) << c.type << c.upright << " " << x;
            }
        }
    }
}

TEST(TraceStrokes, ExtremeSamplesStayNearThePicture) {
    const Ints upper{2147483647, -2147483647 - 1};
    const Ints lower{-2147483647 - 1, 2147483647};
    for (int type = 0; type <= 2; ++type) {
        for (const auto& s : TraceStrokes(upper, lower, 300, type, false)) {
            EXPECT_TRUE(s.From >= -1 && s.From <= 300 && s.To >= -1 && s.To <= 300) << type;
        }
    }
}

// ---- TVG curve ------------------------------------------------------------------------------

TBaseConfigCell tvgConfig(std::vector<std::pair<int, int>> points) {
    TBaseConfigCell c(0, 0, 0);
    c.AScanRange = 1000;
    c.TgvActivePoints = static_cast<std::uint8_t>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        c.TgvPos[i] = static_cast<std::uint16_t>(points[i].first);
        c.TgvGain[i] = static_cast<std::uint8_t>(points[i].second);
    }
    return c;
}

TEST(TgvCurve, GainZeroAtAQuarterThirtyAtTheTopEndingOnTheRightEdge) {
    using P = platform::gfx::TPoint;
    // 400 x 200 over 1000 samples; gain 15 stands 50 + 75 pixels above the bottom.
    EXPECT_EQ(TgvCurvePoints(tvgConfig({{0, 0}, {500, 30}, {1000, 15}}), 400, 200),
              (std::vector<P>{{0, 150}, {200, 0}, {400, 75}}));
    // The segment towards (600, 0) ends halfway up on the edge, and the curve with it.
    EXPECT_EQ(TgvCurvePoints(tvgConfig({{0, 0}, {500, 0}, {1500, 30}, {2000, 0}}), 400, 200),
              (std::vector<P>{{0, 150}, {200, 150}, {400, 75}}));
}

// Points 0 .. the active count: the point after the last active one ends the curve.
TEST(TgvCurve, ThePointAfterTheLastActiveOneEndsTheCurve) {
    using P = platform::gfx::TPoint;
    TBaseConfigCell c = tvgConfig({{0, 0}, {250, 30}, {500, 0}});
    c.TgvActivePoints = 2;
    EXPECT_EQ(TgvCurvePoints(c, 400, 200), (std::vector<P>{{0, 150}, {100, 0}, {200, 150}}));
    c.TgvActivePoints = 1;
    EXPECT_EQ(TgvCurvePoints(c, 400, 200), (std::vector<P>{{0, 150}, {100, 0}}));
    c.TgvActivePoints = 0;
    EXPECT_TRUE(TgvCurvePoints(c, 400, 200).empty());
    // Only a point leading back left is left out; the curve goes on from the one before it.
    c = tvgConfig({{0, 0}, {500, 30}, {250, 0}, {750, 0}});
    c.TgvActivePoints = 3;
    EXPECT_EQ(TgvCurvePoints(c, 400, 200), (std::vector<P>{{0, 150}, {200, 0}, {300, 150}}));
    c.TgvActivePoints = 2; // point 3 would be the end, point 2 is left out
    EXPECT_EQ(TgvCurvePoints(c, 400, 200), (std::vector<P>{{0, 150}, {200, 0}}));
    // Never beyond the table's last point.
    c.TgvActivePoints = 200;
    for (std::size_t i = 4; i < TgvPointCount; ++i) {
        c.TgvPos[i] = static_cast<std::uint16_t>(750 + i);
    }
    EXPECT_EQ(TgvCurvePoints(c, 400, 200).size(), std::size_t(TgvPointCount) - 1);
    c.AScanRange = 0;
    EXPECT_TRUE(TgvCurvePoints(c, 400, 200).empty());
}

// ---- Positions ------------------------------------------------------------------------------

TEST(Positions, MapCursorsGradatorEntriesAndPixels) {
    EXPECT_EQ(MapCursorPixel(0, 10), 5);
    EXPECT_EQ(MapCursorPixel(3, 5), 18); // 17.5 to the even neighbour
    EXPECT_EQ(MapCursorPixel(4, 1), 4);  // cells of one pixel: the edge
    EXPECT_EQ(GradatorEntry(0, 363), 0);
    EXPECT_EQ(GradatorEntry(180, 363), 180);
    EXPECT_EQ(GradatorEntry(337, 340), 360);
    EXPECT_EQ(GradatorEntry(5, 3), 0);
    EXPECT_EQ(Pixel(2.5), 2);
    EXPECT_EQ(Pixel(3.5), 4);
    EXPECT_EQ(Pixel(1e300), 16777216);
    EXPECT_THROW(Pixel(std::nan("")), platform::text::RangeError);
    EXPECT_EQ(TimeToView(50.0, 0.0, 400.0), 0.0);
    EXPECT_EQ(TimeToView(50.0, 100.0, 400.0), 200.0);
}

} // namespace
