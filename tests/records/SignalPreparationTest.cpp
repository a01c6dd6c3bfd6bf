// Time-varied gain, the echo search inside strobe 1, the marker from the mouse and the amplitude
// at the measuring point.
#include "RecordsTestSupport.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Prepare : public ::testing::Test {
protected:
    void SetUp() override {
        c().ResetAll(1);
        c().AScanRange = 40;
        c().TgvEnabled = 0;
        c().BuildTgvCurve();
    }

    TBaseConfigCell& c() { return *r.Config; }

    void samples(std::uint32_t from, std::initializer_list<std::int32_t> values) {
        auto t = r.Trace();
        for (std::int32_t v : values) {
            t[from++] = v;
        }
    }

    // Strobe 1 and cursor 1; the echo search then runs.
    double search(double begin, double length, std::int16_t level, double cursor = 3.0) {
        c().StrobeBeginTime[0] = begin;
        c().StrobeLengthTime[0] = length;
        c().StrobeLevel[0] = level;
        c().CursorTime[0] = cursor;
        r.FindGateEcho();
        return c().AuxTime;
    }

    TBaseAScanCell r;
};

TEST_F(Prepare, TheMarkerGoesToThePeakOfTheFirstEcho) {
    samples(12, {100, 190, 250, 250, 170, 300});
    EXPECT_EQ(search(10, 10, 50), 14.0);
}

TEST_F(Prepare, WithoutAnEchoTheMarkerStaysAtCursorOne) {
    samples(12, {100, 180, -400});
    samples(21, {400}); // just past the strobe, whose end is included
    EXPECT_EQ(search(10, 10, 50, 7.5), 7.5);
    samples(20, {200});
    EXPECT_EQ(search(10, 10, 50), 20.0);
    c().SignalCatchAlgorithm = 1;
    EXPECT_EQ(search(10, 10, 50, 6.0), 6.0);
}

TEST_F(Prepare, TheSearchStaysInsideTheTrace) {
    samples(38, {100, 250});
    EXPECT_EQ(search(35, 100, 50), 39.0);
    EXPECT_EQ(search(60, 10, 1, 4.0), 4.0);
    c().AScanRange = 0;
    EXPECT_EQ(search(0, 10, 1, 5.0), 5.0);
}

TEST_F(Prepare, ProcessReceivedAppliesTheGainBeforeSearching) {
    samples(15, {100}); // reaches the level (182.04) only after the gain
    c().TgvEnabled = 1;
    c().TgvActivePoints = 1;
    c().TgvGain[0] = 6; // a factor of 1.995
    c().BuildTgvCurve();
    c().StrobeBeginTime[0] = 10;
    c().StrobeLengthTime[0] = 10;
    c().StrobeLevel[0] = 50;
    r.ProcessReceived();
    EXPECT_EQ(r.Trace()[15], 200);
    EXPECT_EQ(c().AuxTime, 15.0);
}

TEST_F(Prepare, TvgRoundsHalvesToEvenAndSkipsBrokenFactors) {
    c().TgvCurve.assign(41, 1.5);
    c().TgvCurve[4] = std::nan("");
    c().TgvCurve.resize(5);
    samples(0, {1, 3, -1, 5, 9, 10});
    r.ApplyTVG();
    const auto t = r.Trace();
    EXPECT_EQ((std::vector<std::int32_t>(t.begin(), t.begin() + 6)),
              (std::vector<std::int32_t>{2, 4, -2, 8, 9, 10}));
    c().TgvCurve.assign(41, 1.0e9);
    EXPECT_THROW(r.ApplyTVG(), platform::text::RangeError);
}

TEST_F(Prepare, ClicksMoveTheMarkerAndTheActiveCursor) {
    c().CursorCount = 0;
    r.SetMarkerFromMouse(100, 400);
    EXPECT_EQ(c().AuxTime, 10.0);
    EXPECT_EQ(c().CursorTime[0], 10.0);
    c().CursorCount = 1;
    c().StrobeBeginTime[0] = 10;
    c().StrobeLengthTime[0] = 8;
    r.SetZoomMarkerFromMouse(60, 240);
    EXPECT_EQ(c().AuxTime, 12.0);
    EXPECT_EQ(c().CursorTime[0], 10.0);
    EXPECT_EQ(c().CursorTime[1], 12.0);
    r.SetMarkerFromMouse(10, 0);
    r.SetZoomMarkerFromMouse(10, 0);
    EXPECT_EQ(c().AuxTime, 12.0);
}

TEST_F(Prepare, AmplitudeInterpolatesBetweenSamples) {
    c().CursorCount = 0;
    samples(10, {100, 200});
    samples(0, {-9});
    samples(39, {123});
    for (const auto& [marker, expected] : std::vector<std::pair<double, std::int32_t>>{
             {10.5, 150}, {10.04, 100}, {10.25, 125}, {39.6, 123}, {500.0, 123}, {-3.0, -9}}) {
        c().AuxTime = marker;
        EXPECT_EQ(r.GetAmplitude(), expected) << marker;
    }
    samples(10, {1, 6});
    c().AuxTime = 10.5; // 3.5 to the even neighbour
    EXPECT_EQ(r.GetAmplitude(), 4);
    c().CursorCount = 1;
    c().CursorTime[1] = 11.0;
    EXPECT_EQ(r.GetAmplitude(), 6);
    c().AScanRange = 0;
    EXPECT_EQ(r.GetAmplitude(), 0);
}

TEST_F(Prepare, AmplitudeInDecibels) {
    c().CursorCount = 0;
    c().AuxTime = 0.0;
    c().AttenuatorCount1 = 0;
    EXPECT_DOUBLE_EQ(r.GetAmplitudeDb(), 100.0); // 0 counts as 1
    samples(0, {-100});
    c().AttenuatorCount1 = 30;
    EXPECT_DOUBLE_EQ(r.GetAmplitudeDb(), 110.0);
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
