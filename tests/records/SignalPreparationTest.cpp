// Time-varied gain, the echo search inside strobe 1, the marker from the mouse and the amplitude
// at the measuring point.
#include "RecordsTestSupport.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>

using platform::text::RangeError;

namespace {

class Prepare : public ::testing::Test {
protected:
    void SetUp() override {
        c().ResetAll(1);
        c().AScanRange = 40;
        c().TgvEnabled = 0;
        c().BuildTgvCurve();
        auto t = r.Trace();
        std::fill(t.begin(), t.end(), 0);
    }

    TBaseConfigCell& c() { return *r.Config; }

    void samples(std::uint32_t from, std::initializer_list<std::int32_t> values) {
        auto t = r.Trace();
        for (std::int32_t v : values) {
            t[from++] = v;
        }
    }

    // Strobe 1 from `begin` for `length` samples at `level` percent; cursor 1 at `cursor`.
    void strobe(double begin, double length, std::int16_t level, double cursor = 3.0) {
        c().StrobeBeginTime[0] = begin;
        c().StrobeLengthTime[0] = length;
        c().StrobeLevel[0] = level;
        c().CursorTime[0] = cursor;
        c().SignalCatchAlgorithm = 0;
    }

    TBaseAScanCell r;
};

// ---- Echo search ----------------------------------------------------------------------------

TEST_F(Prepare, TheMarkerGoesToTheFirstPeakOfTheFirstEcho) {
    strobe(10, 10, 50);
    samples(12, {100, 190, 250, 250, 170, 300});
    r.FindGateEcho();
    EXPECT_EQ(c().AuxTime, 14.0);
}

TEST_F(Prepare, AStrobeWithoutAnEchoLeavesTheMarkerAtCursorOne) {
    strobe(10, 10, 50, 7.5);
    samples(12, {100, 180, 182});
    samples(21, {400}); // just past the strobe's end
    r.FindGateEcho();
    EXPECT_EQ(c().AuxTime, 7.5);
}

TEST_F(Prepare, TheStrobeEndIsIncluded) {
    strobe(10, 10, 50);
    samples(20, {200});
    r.FindGateEcho();
    EXPECT_EQ(c().AuxTime, 20.0);
}

TEST_F(Prepare, NegativeHalfWavesNeverReachTheLevel) {
    strobe(10, 10, 50, 2.0);
    samples(12, {-300, -400});
    r.FindGateEcho();
    EXPECT_EQ(c().AuxTime, 2.0);
}

TEST_F(Prepare, CatchAlgorithmOneSwitchesTheSearchOff) {
    strobe(10, 10, 50, 6.0);
    c().SignalCatchAlgorithm = 1;
    samples(12, {300, 300});
    r.FindGateEcho();
    EXPECT_EQ(c().AuxTime, 6.0);
}

TEST_F(Prepare, AStrobeReachingPastTheTraceSearchesOnlyTheTrace) {
    strobe(35, 100, 50);
    samples(38, {100, 250});
    r.FindGateEcho();
    EXPECT_EQ(c().AuxTime, 39.0);
}

TEST_F(Prepare, AStrobeWhollyPastTheTraceChangesOnlyTheMarkerToCursorOne) {
    strobe(60, 10, 1, 4.0);
    samples(0, {300, 300, 300});
    r.FindGateEcho();
    EXPECT_EQ(c().AuxTime, 4.0);
}

TEST_F(Prepare, AnEmptyTraceFindsNothing) {
    strobe(0, 10, 1, 4.0);
    c().AScanRange = 0;
    r.FindGateEcho();
    EXPECT_EQ(c().AuxTime, 4.0);
}

TEST_F(Prepare, ProcessReceivedAppliesTheGainBeforeSearching) {
    strobe(10, 10, 50, 1.0);
    samples(15, {100}); // 100 x 2 = 200 reaches 182.04 only after the gain
    c().TgvEnabled = 1;
    c().TgvActivePoints = 1;
    c().TgvGain[0] = 6; // 10^(6/20) = 1.995...
    c().BuildTgvCurve();
    r.ProcessReceived();
    EXPECT_EQ(r.Trace()[15], 200);
    EXPECT_EQ(c().AuxTime, 15.0);
}

// ---- Time-varied gain -----------------------------------------------------------------------

TEST_F(Prepare, TvgRoundsHalvesToEven) {
    c().TgvCurve.assign(41, 1.5);
    samples(0, {1, 3, -1, 5});
    r.ApplyTVG();
    const auto t = r.Trace();
    EXPECT_EQ(t[0], 2);  // 1.5
    EXPECT_EQ(t[1], 4);  // 4.5
    EXPECT_EQ(t[2], -2); // -1.5
    EXPECT_EQ(t[3], 8);  // 7.5
}

TEST_F(Prepare, TvgOffLeavesTheSamples) {
    samples(0, {-512, 511, 7});
    r.ApplyTVG();
    EXPECT_EQ(r.Trace()[0], -512);
    EXPECT_EQ(r.Trace()[1], 511);
    EXPECT_EQ(r.Trace()[2], 7);
}

TEST_F(Prepare, MissingOrBrokenFactorsCountAsOne) {
    c().TgvCurve = {2.0, std::nan(""), INFINITY};
    samples(0, {10, 11, 12, 13});
    r.ApplyTVG();
    EXPECT_EQ(r.Trace()[0], 20);
    EXPECT_EQ(r.Trace()[1], 11);
    EXPECT_EQ(r.Trace()[2], 12);
    EXPECT_EQ(r.Trace()[3], 13);
}

TEST_F(Prepare, AProductBeyondThirtyTwoBitsIsARangeError) {
    c().TgvCurve.assign(41, 1.0e9);
    samples(0, {500});
    EXPECT_THROW(r.ApplyTVG(), RangeError);
}

// ---- Marker from the mouse ------------------------------------------------------------------

TEST_F(Prepare, ASignalViewClickMovesMarkerAndCursorOne) {
    c().CursorCount = 0;
    r.SetMarkerFromMouse(100, 400);
    EXPECT_EQ(c().AuxTime, 10.0);
    EXPECT_EQ(c().CursorTime[0], 10.0);
}

TEST_F(Prepare, WithTwoCursorsAClickMovesCursorTwo) {
    c().CursorCount = 1;
    c().CursorTime = {3.0, 4.0};
    r.SetMarkerFromMouse(200, 400);
    EXPECT_EQ(c().AuxTime, 20.0);
    EXPECT_EQ(c().CursorTime[0], 3.0);
    EXPECT_EQ(c().CursorTime[1], 20.0);
}

TEST_F(Prepare, AZoomClickLandsInsideStrobeOne) {
    strobe(10, 8, 50);
    c().CursorCount = 0;
    r.SetZoomMarkerFromMouse(60, 240);
    EXPECT_EQ(c().AuxTime, 12.0);
    EXPECT_EQ(c().CursorTime[0], 12.0);
}

TEST_F(Prepare, AViewOfNoWidthIgnoresClicks) {
    c().AuxTime = 5.0;
    r.SetMarkerFromMouse(10, 0);
    r.SetZoomMarkerFromMouse(10, 0);
    EXPECT_EQ(c().AuxTime, 5.0);
}

// ---- Amplitude ------------------------------------------------------------------------------

TEST_F(Prepare, AmplitudeInterpolatesBetweenSamples) {
    c().CursorCount = 0;
    samples(10, {100, 200});
    c().AuxTime = 10.5;
    EXPECT_EQ(r.GetAmplitude(), 150);
    c().AuxTime = 10.04;
    EXPECT_EQ(r.GetAmplitude(), 100);
    c().AuxTime = 10.25;
    EXPECT_EQ(r.GetAmplitude(), 125);
    c().AuxTime = 10.3; // 130 exactly
    EXPECT_EQ(r.GetAmplitude(), 130);
}

TEST_F(Prepare, AmplitudeInterpolationRoundsHalvesToEven) {
    c().CursorCount = 0;
    samples(10, {0, 5});
    c().AuxTime = 10.5; // 2.5
    EXPECT_EQ(r.GetAmplitude(), 2);
    samples(10, {1, 6});
    EXPECT_EQ(r.GetAmplitude(), 4); // 3.5
}

TEST_F(Prepare, WithTwoCursorsTheAmplitudeIsCursorTwos) {
    c().CursorCount = 1;
    c().AuxTime = 3.0;
    c().CursorTime[1] = 11.0;
    samples(3, {42});
    samples(11, {-77});
    EXPECT_EQ(r.GetAmplitude(), -77);
}

TEST_F(Prepare, AmplitudeAtAndPastTheEndReadsTheLastSample) {
    c().CursorCount = 0;
    samples(39, {123});
    c().AuxTime = 39.6;
    EXPECT_EQ(r.GetAmplitude(), 123);
    c().AuxTime = 500.0;
    EXPECT_EQ(r.GetAmplitude(), 123);
    samples(0, {-9});
    c().AuxTime = -3.0;
    EXPECT_EQ(r.GetAmplitude(), -9);
    c().AScanRange = 0;
    EXPECT_EQ(r.GetAmplitude(), 0);
}

TEST_F(Prepare, AmplitudeInDecibels) {
    c().CursorCount = 0;
    c().AttenuatorCount1 = 0;
    c().AuxTime = 0.0;
    samples(0, {0});
    EXPECT_DOUBLE_EQ(r.GetAmplitudeDb(), 100.0);
    samples(0, {1});
    EXPECT_DOUBLE_EQ(r.GetAmplitudeDb(), 100.0);
    samples(0, {-100});
    c().AttenuatorCount1 = 30;
    EXPECT_DOUBLE_EQ(r.GetAmplitudeDb(), 40.0 + 100.0 - 30.0);
}

TEST_F(Prepare, IsNonPositiveSkipsTheLastSample) {
    EXPECT_TRUE(r.IsNonPositive());
    samples(39, {5});
    EXPECT_TRUE(r.IsNonPositive());
    samples(38, {1});
    EXPECT_FALSE(r.IsNonPositive());
    c().AScanRange = 1;
    EXPECT_TRUE(r.IsNonPositive());
}

} // namespace
