// Pixels and times, strobe limits, cursors, the TVG curve, cursor distances, gains and depths.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using tbtest::LanguageFiles;

namespace {

class Derived : public ::testing::Test {
protected:
    void SetUp() override { c.ResetAll(1); }

    LanguageFiles texts;
    TBaseConfigCell c{1, 1, 1};
};

double db(double gain) {
    return std::pow(10.0, gain / 20.0);
}

} // namespace

TEST_F(Derived, PixelAndTime) {
    EXPECT_EQ(c.TimeToPixel(16.0), 5);
    EXPECT_EQ(c.PixelToTime(5), 16.0);
    EXPECT_EQ(c.TimeToPixel(1.6), 0); // 0.5 to the even neighbour
    EXPECT_EQ(c.TimeToPixel(4.8), 2); // 1.5
    EXPECT_EQ(c.TimeToPixel(8.0), 2); // 2.5
    EXPECT_EQ(c.TimeToPixel(-16.0), -5);
    c.AScanRange = 1000;
    EXPECT_EQ(c.PixelToTime(1), 3.125);
    c.AScanRange = 0;
    EXPECT_EQ(c.TimeToPixel(100.0), 0);
    EXPECT_EQ(c.PixelToTime(100), 0.0);
}

TEST_F(Derived, StrobeTimesAndPixels) {
    c.StrobeTimesFromPixels(0); // pixels 30 and 100 at 1024 us
    EXPECT_EQ(c.StrobeBeginTime[0], 96.0);
    EXPECT_EQ(c.StrobeLengthTime[0], 224.0);
    c.StrobeTimesFromPixels(1); // 50 and 90
    EXPECT_EQ(c.StrobeBeginTime[1], 160.0);
    EXPECT_EQ(c.StrobeLengthTime[1], 128.0);

    c.StrobeBeginTime[1] = 64.0;
    c.StrobeLengthTime[1] = 0.0;
    c.StrobePixelsFromTimes(1);
    EXPECT_EQ(c.StrobeBeginPixel[1], 20);
    EXPECT_EQ(c.StrobeEndPixel[1], 21); // equal pixels: the end moves one on

    c.StrobeBeginTime[0] = 4000.0;
    c.StrobeLengthTime[0] = 500.0;
    c.StrobePixelsFromTimes(0);
    EXPECT_EQ(c.StrobeBeginPixel[0], 319);
    EXPECT_EQ(c.StrobeEndPixel[0], 320);

    EXPECT_THROW(c.StrobePixelsFromTimes(2), std::invalid_argument);
    EXPECT_THROW(c.StrobeTimesFromPixels(-1), std::invalid_argument);
}

TEST_F(Derived, LimitStrobeLength) {
    c.AScanRange = 320; // one microsecond per pixel
    double shortest = -1;
    double longest = -1;
    // Beginning at pixel 300 with 40 pixels: cut to 19.
    c.StrobeBeginTime[0] = 300.0;
    c.StrobeLengthTime[0] = 40.0;
    EXPECT_FALSE(c.LimitStrobeLength(0, shortest, longest));
    EXPECT_EQ(c.StrobeLengthTime[0], 19.0);
    EXPECT_EQ(shortest, 10.0);
    EXPECT_EQ(longest, 19.0);

    c.StrobeBeginTime[1] = 100.0;
    c.StrobeLengthTime[1] = 5.0;
    EXPECT_FALSE(c.LimitStrobeLength(1, shortest, longest));
    EXPECT_EQ(c.StrobeLengthTime[1], 10.0);
    EXPECT_EQ(longest, 219.0);

    c.StrobeLengthTime[1] = 50.0;
    EXPECT_TRUE(c.LimitStrobeLength(1, shortest, longest));
    EXPECT_EQ(c.StrobeLengthTime[1], 50.0);
    EXPECT_EQ(shortest, 10.0); // given also when nothing changed
    EXPECT_EQ(longest, 219.0);
}

TEST_F(Derived, LimitStrobeBegin) {
    c.AScanRange = 320;
    double earliest = -1;
    double latest = -1;
    c.StrobeBeginTime[0] = 100.0;
    c.StrobeLengthTime[0] = 40.0;
    EXPECT_TRUE(c.LimitStrobeBegin(0, earliest, latest));
    EXPECT_EQ(earliest, -1.0); // given only when the begin moved
    EXPECT_EQ(latest, -1.0);

    c.StrobeBeginTime[0] = 0.2;
    EXPECT_FALSE(c.LimitStrobeBegin(0, earliest, latest));
    EXPECT_EQ(c.StrobeBeginTime[0], 1.0);
    EXPECT_EQ(earliest, 1.0);
    EXPECT_EQ(latest, 279.0);

    c.StrobeBeginTime[0] = 300.0;
    EXPECT_FALSE(c.LimitStrobeBegin(0, earliest, latest));
    EXPECT_EQ(c.StrobeBeginTime[0], 279.0);
}

TEST_F(Derived, Recalculate) {
    c.CursorPixel = {100, 33};
    c.ConfigStrings = {"x"};
    c.ConfigStringsCount = 1;
    c.Modified = 1;
    c.TgvCurve.clear();
    c.Recalculate();
    EXPECT_EQ(c.StrobeBeginTime[0], 96.0);
    EXPECT_EQ(c.StrobeLengthTime[1], 128.0);
    EXPECT_EQ(c.CursorTime[0], 320.0);
    EXPECT_EQ(c.CursorTime[1], 33.0 * 1024.0 / 320.0); // real arithmetic: 105.6
    EXPECT_TRUE(c.ConfigStrings.empty());
    EXPECT_EQ(c.ConfigStringsCount, 0);
    EXPECT_EQ(c.Modified, 0);
    EXPECT_EQ(c.TgvCurve.size(), 1025u);
}

TEST_F(Derived, UpdateCursors) {
    c.StrobeBeginTime[0] = 100.0;
    c.StrobeLengthTime[0] = 200.0;
    c.CursorTime = {150.0, 300.0};
    c.CursorZoomTime = {50.0, 250.0};
    c.Modified = 1;
    c.UpdateCursors();
    EXPECT_EQ(c.StrobeBeginPixel[0], 31); // 31.25
    EXPECT_EQ(c.StrobeEndPixel[0], 94);   // 93.75
    EXPECT_EQ(c.CursorZoomPixel[0], 60);  // 50 * 240 / 200
    EXPECT_EQ(c.CursorZoomPixel[1], 239); // 300 is beyond the zoom view
    EXPECT_EQ(c.CursorPixel[0], 47);      // 46.875
    EXPECT_EQ(c.CursorPixel[1], 94);      // 93.75
    EXPECT_EQ(c.CursorInZoom[0], 1);
    EXPECT_EQ(c.CursorInZoom[1], 0); // the end of the strobe is outside (strict)
    EXPECT_EQ(c.Modified, 0);

    c.StrobeLengthTime[0] = 0.0;
    c.CursorZoomTime = {12.5, 13.5};
    c.UpdateCursors();
    EXPECT_EQ(c.CursorZoomPixel[0], 12); // the zoom time itself, halves to even
    EXPECT_EQ(c.CursorZoomPixel[1], 14);

    // A tiny strobe does not overflow the zoom pixel.
    c.StrobeLengthTime[0] = 1e-300;
    c.UpdateCursors();
    EXPECT_EQ(c.CursorZoomPixel[0], 239);
}

TEST_F(Derived, TvgCurveOff) {
    c.TgvCurve.assign(2000, 7.0);
    c.TgvEnabled = 0;
    c.BuildTgvCurve();
    ASSERT_EQ(c.TgvCurve.size(), 2000u); // large enough already
    EXPECT_EQ(c.TgvCurve[0], 1.0);
    EXPECT_EQ(c.TgvCurve[1023], 1.0);
    EXPECT_EQ(c.TgvCurve[1024], 7.0); // the entry at the range keeps its value
}

TEST_F(Derived, TvgCurveWithAllGains28) {
    c.TgvEnabled = 1;
    c.TgvGain.fill(28);
    c.BuildTgvCurve();
    EXPECT_NEAR(c.TgvCurve[0], 25.12, 0.005);
    EXPECT_NEAR(c.TgvCurve[500], 25.12, 0.005);
    EXPECT_NEAR(c.TgvCurve[1023], 25.12, 0.005);
}

TEST_F(Derived, TvgCurveOfAResetConfiguration) {
    c.TgvEnabled = 1;
    c.BuildTgvCurve();
    // From 0 dB at sample 0 up to 28 dB at 64, then 28 dB.
    EXPECT_DOUBLE_EQ(c.TgvCurve[0], 1.0);
    EXPECT_DOUBLE_EQ(c.TgvCurve[32], db(14.0));
    EXPECT_DOUBLE_EQ(c.TgvCurve[64], db(28.0));
    EXPECT_DOUBLE_EQ(c.TgvCurve[1023], db(28.0));
}

TEST_F(Derived, TvgCurveInterpolatesAndHoldsTheLastGain) {
    c.AScanRange = 300;
    c.TgvEnabled = 1;
    c.TgvActivePoints = 3;
    c.TgvGain[0] = 0;
    c.TgvGain[1] = 10;
    c.TgvGain[2] = 20;
    c.TgvPos[0] = 0;
    c.TgvPos[1] = 100;
    c.TgvPos[2] = 200;
    c.BuildTgvCurve();
    ASSERT_EQ(c.TgvCurve.size(), 1025u);
    EXPECT_DOUBLE_EQ(c.TgvCurve[50], db(5.0));
    EXPECT_DOUBLE_EQ(c.TgvCurve[150], db(15.0));
    EXPECT_DOUBLE_EQ(c.TgvCurve[250], db(20.0));
    EXPECT_DOUBLE_EQ(c.TgvCurve[299], db(20.0));
}

TEST_F(Derived, TvgCurveWithFewOrEqualPoints) {
    c.AScanRange = 300;
    c.TgvEnabled = 1;
    c.TgvActivePoints = 0;
    c.BuildTgvCurve();
    EXPECT_EQ(c.TgvCurve[10], 1.0);

    c.TgvActivePoints = 1;
    c.TgvGain[0] = 6;
    c.BuildTgvCurve();
    EXPECT_DOUBLE_EQ(c.TgvCurve[0], db(6.0));
    EXPECT_DOUBLE_EQ(c.TgvCurve[299], db(6.0));

    // Two points at the same position make a step.
    c.TgvActivePoints = 4;
    c.TgvGain[0] = 0;
    c.TgvGain[1] = 10;
    c.TgvGain[2] = 20;
    c.TgvGain[3] = 30;
    c.TgvPos[0] = 0;
    c.TgvPos[1] = 100;
    c.TgvPos[2] = 100;
    c.TgvPos[3] = 200;
    c.BuildTgvCurve();
    EXPECT_DOUBLE_EQ(c.TgvCurve[100], db(10.0));
    EXPECT_DOUBLE_EQ(c.TgvCurve[101], db(20.0));
    EXPECT_DOUBLE_EQ(c.TgvCurve[150], db(25.0));
    for (double f : c.TgvCurve) {
        EXPECT_TRUE(std::isfinite(f));
    }

    // More active points than the table holds use the table.
    c.TgvActivePoints = 200;
    c.BuildTgvCurve();
    EXPECT_TRUE(std::isfinite(c.TgvCurve[299]));
}

TEST_F(Derived, CursorDistance) {
    c.Velocity = 2000;
    c.CursorTime = {10.0, 30.0};
    c.CursorZoomTime = {4.0, 6.0};
    c.CursorInZoom = {0, 1};
    c.CursorCount = 0;
    EXPECT_EQ(c.GetCursorDistance(false), 10.0);
    EXPECT_EQ(c.GetCursorDistance(true), 10.0);
    c.CursorCount = 1;
    EXPECT_EQ(c.GetCursorDistance(false), 20.0);
    EXPECT_EQ(c.GetCursorDistance(true), 20.0);

    // Zoom screen: a cursor inside the zoom view is measured there, one outside by its time.
    c.ScreenType = 2;
    EXPECT_EQ(c.GetCursorDistance(false), 4.0); // |6 - 10|
    c.CursorCount = 0;
    EXPECT_EQ(c.GetCursorDistance(false), 10.0); // cursor 1 outside: its time
    c.CursorInZoom[0] = 1;
    EXPECT_EQ(c.GetCursorDistance(true), 4.0);
    // Only exactly 2 is the zoom screen.
    c.ScreenType = 0x12;
    EXPECT_EQ(c.GetCursorDistance(false), 10.0);
}

TEST_F(Derived, GainAndDepth) {
    EXPECT_NEAR(c.CountToGainDb(10), 94.609, 0.0005); // gain 10 with attenuator 30
    EXPECT_EQ(c.GainDbToCount(94.609), 10);
    c.AttenuatorCount1 = 0;
    EXPECT_NEAR(c.CountToGainDb(10), 124.609, 0.0005);
    EXPECT_EQ(c.CountToGainDb(-1), 0.0); // no gain for a negative count
    EXPECT_EQ(c.StrobeBeginMm(), 40.5);
    EXPECT_EQ(c.StrobeLengthMm(), 135.0);
}
