// Properties over all 85 parameters: a raw string set back changes nothing, and a display string
// set back changes nothing beyond the quantisation its display documents.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using tbtest::LanguageFiles;

namespace {

// Every field at an end of its range (or of its field where the range does not bind).
TBaseConfigCell extremeConfig() {
    TBaseConfigCell c(1, 1, 1);
    c.ResetAll(20);
    c.DeviceKind = 255;
    c.DeviceVersion = 0;
    c.DeviceVariant = 2;
    c.ConfigIndex = 100;
    c.ConfigName = "A B C D E F G H I J KL"; // 22 with spaces
    c.ConfigStrings.assign(20, "line");
    c.ConfigStringsCount = 20;
    c.MapVerticPoints = 40;
    c.MapHorizPoints = 5;
    c.MapVerticStep = 100;
    c.MapHorizStep = 100;
    c.MapScanningOrder = 2;
    c.MapCursorVertical = 40;
    c.MapCursorHorizontal = 0;
    c.MapAuxAreaContent = 2;
    c.BandLastAScan = 900;
    c.BandCurrentAScan = 900;
    c.BandStep = 100;
    c.BandElementWidthIndex = 2;
    c.BandAutoEnd = 2;
    c.BandShift = 900;
    c.StrobeBeginPixel = {319, 0};
    c.StrobeEndPixel = {319, 1};
    c.StrobeBeginTime = {4095.0, 0.0};
    c.StrobeLengthTime = {4095.0, 4095.0};
    c.AuxTime = 4095.0;
    c.StrobeLevel = {100, 1};
    c.CursorCount = 1;
    c.CursorPixel = {4095, 0};
    c.CursorTime = {4095.0, 0.0};
    c.CursorZoomPixel = {319, 0};
    c.CursorZoomTime = {4095.0, 0.0};
    c.CursorInZoom = {1, 1};
    c.StrobeEnabled = {2, 2};
    c.ScaleDimension = 1;
    c.FullOverviewPrint = 3;
    c.AScanRange = 30;
    c.SignalCatchAlgorithm = 1;
    c.SignalType = 2;
    c.ScreenType = 0xC5;
    c.PrevScreenType = 255;
    c.SearchLevel = 100;
    c.CutOffLevel = 99;
    c.IndexMarkMks = 7;
    c.IndexMarkMm = 11;
    c.DotsPerCell = 60.0;
    c.DotsPerCellPrev = 25.0;
    c.TgvGain.fill(255);
    c.TgvPos.fill(65535);
    c.TgvEnabled = 1;
    c.TgvPrevState = 1;
    c.TgvCursorPos = 4095;
    c.TgvActivePoints = 31;
    c.ProbeFrequencyIndex = 15;
    c.ProbeDelay = 139;
    c.ProbeType = 1;
    c.ZonderVoltageIndex = 2;
    c.ZonderPeriods = 5.0;
    c.RefreshFrequency = 20;
    c.FilterBandIndex = 1;
    c.AttenuatorCount1 = 100;
    c.AttenuatorCount2 = 40;
    c.AveragerIndex = 4;
    c.BarkerOrder = 13;
    c.Velocity = 9999;
    c.GlobalWorkTime = 9000;
    c.SnapYear = 99;
    c.SnapMonth = 11;
    c.SnapDay = 30;
    c.SnapHour = 23;
    c.SnapMinute = 59;
    c.SnapSecond = 59;
    c.BuildTgvCurve();
    return c;
}

std::vector<TBaseConfigCell> samples() {
    TBaseConfigCell reset(1, 1, 1);
    reset.ResetAll(1);
    return {reset, tbtest::variedConfig(), extremeConfig()};
}

// What setting a derived depth back leaves: the depth truncated to millimetres, as a time.
void expectDepthSetBack(TBaseConfigCell& expected, bool begin) {
    double& t = begin ? expected.StrobeBeginTime[0] : expected.StrobeLengthTime[0];
    const double mm = std::min(std::trunc(expected.Velocity * t / 2000.0), 4095.0);
    t = mm * 2000.0 / expected.Velocity;
    expected.StrobePixelsFromTimes(0);
}

void expectGainSetBack(TBaseConfigCell& expected) {
    const double db = std::nearbyint(expected.CountToGainDb(expected.StrobeLevel[0]));
    expected.StrobeLevel[0] =
        static_cast<std::int16_t>(std::clamp(expected.GainDbToCount(db), 1, 100));
}

double oneDecimal(double v) {
    return std::stod(platform::text::formatFixed(v, 1, '.', 10));
}

} // namespace

TEST(ParamProperties, RawStringSetBackChangesNothing) {
    LanguageFiles texts;
    tbtest::ScopedSeparators separators('.');
    int sample = 0;
    for (const TBaseConfigCell& c : samples()) {
        for (int n = 0; n < ParamCount; ++n) {
            TBaseConfigCell t = c;
            t.SetParamRawString(n, c.GetParamRawString(n));
            t.Modified = c.Modified;
            TBaseConfigCell expected = c;
            // The derived parameters carry less than they derive from; setting them back
            // applies exactly what their text holds.
            switch (n) {
            case MAP_STEP:
                expected.MapHorizStep = c.MapVerticStep;
                break;
            case ASCAN_STROB1_BEGIN_MM:
                expectDepthSetBack(expected, true);
                break;
            case ASCAN_STROB1_LENGTH_MM:
                expectDepthSetBack(expected, false);
                break;
            case ASCAN_STROB1_GAIN_DB:
                expectGainSetBack(expected);
                break;
            default:
                break;
            }
            EXPECT_EQ(tbtest::differences(expected, t), "")
                << "sample " << sample << ", parameter " << n << " raw '" << c.GetParamRawString(n)
                << "'";
        }
        ++sample;
    }
}

TEST(ParamProperties, DisplayStringSetBackChangesNothingBeyondItsQuantisation) {
    LanguageFiles texts;
    for (char separator : {'.', ','}) {
        tbtest::ScopedSeparators separators(separator, separator == '.' ? ',' : '.');
        int sample = 0;
        for (const TBaseConfigCell& c : samples()) {
            for (int n = 0; n < ParamCount; ++n) {
                if (n == GEN_TGV_ENABLED) {
                    // Shown as a word but set from a number; no grid edits it (its button
                    // cycles it).
                    continue;
                }
                TBaseConfigCell t = c;
                t.Modified = 0;
                t.SetParamDisplayString(n, c.GetParamDisplayString(n));
                EXPECT_EQ(t.Modified, 1) << n;
                t.Modified = c.Modified;

                TBaseConfigCell expected = c;
                switch (n) {
                case MAP_STEP:
                    expected.MapHorizStep = c.MapVerticStep;
                    break;
                case ASCAN_STROB1_BEGIN_TIME:
                    expected.StrobeBeginTime[0] = std::trunc(c.StrobeBeginTime[0]);
                    expected.StrobePixelsFromTimes(0);
                    break;
                case ASCAN_STROB1_LENGTH_TIME:
                    expected.StrobeLengthTime[0] = std::trunc(c.StrobeLengthTime[0]);
                    expected.StrobePixelsFromTimes(0);
                    break;
                case ASCAN_STROB2_BEGIN_TIME:
                    expected.StrobeBeginTime[1] = oneDecimal(c.StrobeBeginTime[1]);
                    break;
                case ASCAN_STROB2_LENGTH_TIME:
                    expected.StrobeLengthTime[1] = oneDecimal(c.StrobeLengthTime[1]);
                    break;
                case ASCAN_KURSOR1_TIME:
                    expected.CursorTime[0] = oneDecimal(c.CursorTime[0]);
                    break;
                case ASCAN_KURSOR2_TIME:
                    expected.CursorTime[1] = oneDecimal(c.CursorTime[1]);
                    break;
                case ASCAN_KURSOR1_LUPA_TIME:
                    expected.CursorZoomTime[0] = oneDecimal(c.CursorZoomTime[0]);
                    break;
                case ASCAN_KURSOR2_LUPA_TIME:
                    expected.CursorZoomTime[1] = oneDecimal(c.CursorZoomTime[1]);
                    break;
                case ASCAN_AUX_TIME:
                    expected.AuxTime = oneDecimal(c.AuxTime);
                    break;
                case ASCAN_STROB1_BEGIN_MM:
                    expectDepthSetBack(expected, true);
                    break;
                case ASCAN_STROB1_LENGTH_MM:
                    expectDepthSetBack(expected, false);
                    break;
                case ASCAN_STROB1_GAIN_DB:
                    expectGainSetBack(expected);
                    break;
                default:
                    break;
                }
                EXPECT_EQ(tbtest::differences(expected, t), "")
                    << "separator " << separator << ", sample " << sample << ", parameter " << n
                    << " display '" << c.GetParamDisplayString(n) << "'";
            }
            ++sample;
        }
    }
}

TEST(ParamProperties, QuantisedDisplaysAreStableOnceApplied) {
    LanguageFiles texts;
    tbtest::ScopedSeparators separators('.');
    TBaseConfigCell c = tbtest::variedConfig();
    for (int n : {ASCAN_STROB1_BEGIN_TIME, ASCAN_STROB1_LENGTH_TIME, ASCAN_STROB2_BEGIN_TIME,
                  ASCAN_KURSOR1_TIME, ASCAN_AUX_TIME, ASCAN_STROB1_GAIN_DB, MAP_STEP}) {
        c.SetParamDisplayString(n, c.GetParamDisplayString(n));
        const TBaseConfigCell once = c;
        c.SetParamDisplayString(n, c.GetParamDisplayString(n));
        EXPECT_EQ(tbtest::differences(once, c), "") << n;
    }
}
