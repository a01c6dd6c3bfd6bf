// Display and raw strings of the parameters, and setting parameters from them.
#include "ConfigTestSupport.h"

#include "config/AuxilaryFunctionsUnit.h"

#include <gtest/gtest.h>

using platform::text::RangeError;
using tbtest::LanguageFiles;
using tbtest::ScopedSeparators;

namespace {

class ParamStrings : public ::testing::Test {
protected:
    void SetUp() override { c.ResetAll(1); }

    LanguageFiles texts;
    ScopedSeparators separators{'.'};
    TBaseConfigCell c{1, 1, 1};
};

} // namespace

TEST_F(ParamStrings, DisplayOfWordsAndTables) {
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_KURSORS_QUANT), "One");
    c.CursorCount = 1;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_KURSORS_QUANT), "Two");
    c.CursorCount = 2;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_KURSORS_QUANT), "");

    EXPECT_EQ(c.GetParamDisplayString(ASCAN_SCALE_DIMENSION), "us");
    c.ScaleDimension = 1;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_SCALE_DIMENSION), "mm");
    c.ScaleDimension = 2;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_SCALE_DIMENSION), "");

    c.FullOverviewPrint = 3;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_FULL_OVR_PRINT), "Both");
    c.FullOverviewPrint = 4;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_FULL_OVR_PRINT), "");

    EXPECT_EQ(c.GetParamDisplayString(GEN_TGV_ENABLED), "Off");
    c.TgvEnabled = 5;
    EXPECT_EQ(c.GetParamDisplayString(GEN_TGV_ENABLED), "On");
    c.FilterBandIndex = 1;
    EXPECT_EQ(c.GetParamDisplayString(ANL_FILTER_BAND_INDEX), "On");

    EXPECT_EQ(c.GetParamDisplayString(PRB_FREQ_INDEX), "20.0");
    c.ProbeFrequencyIndex = 15;
    EXPECT_EQ(c.GetParamDisplayString(PRB_FREQ_INDEX), "250.0");
    c.ProbeFrequencyIndex = 16;
    EXPECT_EQ(c.GetParamDisplayString(PRB_FREQ_INDEX), "");

    EXPECT_EQ(c.GetParamDisplayString(PRB_TYPE), "Single");
    c.ProbeType = 1;
    EXPECT_EQ(c.GetParamDisplayString(PRB_TYPE), "Dual");

    EXPECT_EQ(c.GetParamDisplayString(ANL_ZONDER_VOLTAGE_INDEX), "20");
    c.ZonderVoltageIndex = 2;
    EXPECT_EQ(c.GetParamDisplayString(ANL_ZONDER_VOLTAGE_INDEX), "200");
    c.ZonderVoltageIndex = 3;
    EXPECT_EQ(c.GetParamDisplayString(ANL_ZONDER_VOLTAGE_INDEX), "");

    EXPECT_EQ(c.GetParamDisplayString(ANL_AVERAGER_INDEX), "1");
    c.AveragerIndex = 4;
    EXPECT_EQ(c.GetParamDisplayString(ANL_AVERAGER_INDEX), "16");
    c.AveragerIndex = 5;
    EXPECT_EQ(c.GetParamDisplayString(ANL_AVERAGER_INDEX), "");
}

TEST_F(ParamStrings, DisplayOfNumbers) {
    EXPECT_EQ(c.GetParamDisplayString(ANL_ZONDER_PERIODS_QUANT), "0.5");
    // The attenuators show the gain they leave.
    EXPECT_EQ(c.GetParamDisplayString(ANL_ATTENUATOR_COUNT1), "70");
    EXPECT_EQ(c.GetParamDisplayString(ANL_ATTENUATOR_COUNT2), "10");
    c.MapVerticStep = 25;
    EXPECT_EQ(c.GetParamDisplayString(MAP_STEP), "25");
    c.StrobeBeginTime[0] = 30.99;
    c.StrobeLengthTime[0] = 100.5;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_STROB1_BEGIN_TIME), "30");
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_STROB1_LENGTH_TIME), "100");
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_STROB2_BEGIN_TIME), "50.0");
    c.CursorTime[1] = 12.34;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_KURSOR2_TIME), "12.3");
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_AUX_TIME), "0.0");
    c.StrobeLevel[1] = -5;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_STROB2_Y), "-5");
    c.ConfigStringsCount = 4;
    EXPECT_EQ(c.GetParamDisplayString(CONFIG_STRINGS_QUANT), "4");
    EXPECT_EQ(c.GetParamDisplayString(85), "");
    EXPECT_EQ(c.GetParamRawString(-1), "");
}

TEST_F(ParamStrings, DerivedDisplays) {
    c.StrobeBeginTime[0] = 30.0;
    c.StrobeLengthTime[0] = 100.0;
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_STROB1_BEGIN_MM), "40"); // 40.5 truncated
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_STROB1_LENGTH_MM), "135");
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_STROB1_GAIN_DB), "95"); // 94.609
    EXPECT_EQ(c.GetParamRawString(ASCAN_STROB1_GAIN_DB), "95");
}

TEST_F(ParamStrings, DisplayUsesTheUsersSeparator) {
    ScopedSeparators comma(',', '.');
    EXPECT_EQ(c.GetParamDisplayString(ANL_ZONDER_PERIODS_QUANT), "0,5");
    EXPECT_EQ(c.GetParamDisplayString(ASCAN_STROB2_LENGTH_TIME), "90,0");
    c.SetParamDisplayString(ANL_ZONDER_PERIODS_QUANT, "2,5");
    EXPECT_EQ(c.ZonderPeriods, 2.5);
    c.SetParamDisplayString(ASCAN_KURSOR1_TIME, "12,5");
    EXPECT_EQ(c.CursorTime[0], 12.5);
    // Raw strings are integers whatever the separator.
    EXPECT_EQ(c.GetParamRawString(ANL_ZONDER_PERIODS_QUANT), "25");
}

TEST_F(ParamStrings, RawStrings) {
    c.CursorCount = 1;
    c.ScaleDimension = 1;
    c.FullOverviewPrint = 3;
    c.TgvEnabled = 1;
    c.FilterBandIndex = 1;
    c.ProbeFrequencyIndex = 13;
    c.ProbeType = 1;
    c.ZonderVoltageIndex = 2;
    EXPECT_EQ(c.GetParamRawString(ASCAN_KURSORS_QUANT), "1");
    EXPECT_EQ(c.GetParamRawString(ASCAN_SCALE_DIMENSION), "1");
    EXPECT_EQ(c.GetParamRawString(ASCAN_FULL_OVR_PRINT), "3");
    EXPECT_EQ(c.GetParamRawString(GEN_TGV_ENABLED), "1");
    EXPECT_EQ(c.GetParamRawString(ANL_FILTER_BAND_INDEX), "1");
    EXPECT_EQ(c.GetParamRawString(PRB_FREQ_INDEX), "13");
    EXPECT_EQ(c.GetParamRawString(PRB_TYPE), "1");
    EXPECT_EQ(c.GetParamRawString(ANL_ZONDER_VOLTAGE_INDEX), "2");
    // Edge cases of the parameter table.
    EXPECT_EQ(c.GetParamRawString(GEN_DOTS_PER_CELL), "40000");
    EXPECT_EQ(c.GetParamRawString(ANL_ZONDER_PERIODS_QUANT), "5");
    EXPECT_EQ(c.GetParamRawString(ANL_ATTENUATOR_COUNT1), "30");
    EXPECT_EQ(c.GetParamRawString(ANL_ATTENUATOR_COUNT2), "30");
    // The averager's raw string is its table value, like its display.
    c.AveragerIndex = 3;
    EXPECT_EQ(c.GetParamRawString(ANL_AVERAGER_INDEX), "8");
    EXPECT_EQ(c.GetParamRawString(ASCAN_STROB1_BEGIN_TIME), "3000");
    EXPECT_EQ(c.GetParamRawString(ASCAN_STROB2_LENGTH_TIME), "9000");
    c.CursorZoomTime[0] = 12.346; // hundredths, to the nearest
    EXPECT_EQ(c.GetParamRawString(ASCAN_KURSOR1_LUPA_TIME), "1235");
    EXPECT_EQ(c.GetParamRawString(ASCAN_AUX_TIME), "0");
}

TEST_F(ParamStrings, TgvPointLists) {
    EXPECT_EQ(c.GetParamDisplayString(GEN_TGV_GAIN),
              "0:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:"
              "28:28:28:30:28:28:");
    EXPECT_EQ(c.GetParamRawString(GEN_TGV_POS),
              "0:64:128:192:256:320:384:448:512:576:640:704:768:832:896:960:1024:1088:1152:"
              "1216:1280:1344:1408:1472:1536:1600:1664:1728:1792:1024:1920:1984:");

    c.SetParamDisplayString(GEN_TGV_GAIN, "1:2:3:");
    EXPECT_EQ(c.TgvGain[0], 1);
    EXPECT_EQ(c.TgvGain[2], 3);
    EXPECT_EQ(c.TgvGain[3], 28); // points not in the text keep their values
    c.SetParamDisplayString(GEN_TGV_POS, "5:x:7");
    EXPECT_EQ(c.TgvPos[0], 5);
    EXPECT_EQ(c.TgvPos[1], 0); // unreadable piece
    EXPECT_EQ(c.TgvPos[2], 7); // a last value without its colon counts

    // At most the 32 points are read, the text is not cut to 6 characters.
    std::string forty;
    for (int i = 0; i < 40; ++i) {
        forty += std::to_string(i + 1) + ":";
    }
    c.SetParamDisplayString(GEN_TGV_GAIN, forty);
    EXPECT_EQ(c.TgvGain[31], 32);
    EXPECT_EQ(c.TgvGain[10], 11);

    EXPECT_THROW(c.SetParamDisplayString(GEN_TGV_GAIN, "300:"), RangeError);
    EXPECT_THROW(c.SetParamRawString(GEN_TGV_POS, "70000:"), RangeError);
}

TEST_F(ParamStrings, PreparationCutsToSixCharactersAndDropsSpaces) {
    c.SetParamDisplayString(OBJ_USONIC_VELOCITY, "2 700");
    EXPECT_EQ(c.Velocity, 2700);
    c.SetParamDisplayString(OBJ_USONIC_VELOCITY, "0003210987");
    EXPECT_EQ(c.Velocity, 321); // "000321"
    // The name keeps its spaces and its length; validation cuts it.
    c.SetParamDisplayString(CONFIGURATION_NAME, " A NAME LONGER THAN TWENTY-TWO ");
    EXPECT_EQ(c.ConfigName, " A NAME LONGER THAN TWENTY-TWO ");
}

TEST_F(ParamStrings, WordChoicesCompareThePreparedText) {
    c.SetParamDisplayString(ASCAN_KURSORS_QUANT, "Two");
    EXPECT_EQ(c.CursorCount, 1);
    c.SetParamDisplayString(ASCAN_KURSORS_QUANT, "Three");
    EXPECT_EQ(c.CursorCount, 1); // no match leaves the value
    c.SetParamDisplayString(ASCAN_FULL_OVR_PRINT, "Full");
    EXPECT_EQ(c.FullOverviewPrint, 2);
    c.SetParamDisplayString(PRB_FREQ_INDEX, "125.0");
    EXPECT_EQ(c.ProbeFrequencyIndex, 13);
    c.SetParamDisplayString(PRB_FREQ_INDEX, "126");
    EXPECT_EQ(c.ProbeFrequencyIndex, 13);
    c.SetParamDisplayString(ANL_ZONDER_VOLTAGE_INDEX, "100");
    EXPECT_EQ(c.ZonderVoltageIndex, 1);
    c.SetParamDisplayString(ANL_AVERAGER_INDEX, "8");
    EXPECT_EQ(c.AveragerIndex, 3);
    c.SetParamDisplayString(ANL_AVERAGER_INDEX, "3");
    EXPECT_EQ(c.AveragerIndex, 3);
    c.SetParamDisplayString(PRB_TYPE, "Dual");
    EXPECT_EQ(c.ProbeType, 1);
    c.SetParamDisplayString(PRB_TYPE, "Anything");
    EXPECT_EQ(c.ProbeType, 0);
    c.SetParamDisplayString(ANL_FILTER_BAND_INDEX, "On");
    EXPECT_EQ(c.FilterBandIndex, 1);
    c.SetParamDisplayString(ANL_FILTER_BAND_INDEX, "Off");
    EXPECT_EQ(c.FilterBandIndex, 0);
    c.SetParamDisplayString(ASCAN_SCALE_DIMENSION, "mm");
    EXPECT_EQ(c.ScaleDimension, 1);
    c.SetParamDisplayString(ASCAN_SCALE_DIMENSION, "us");
    EXPECT_EQ(c.ScaleDimension, 0);
}

TEST(ParamStringsWords, LongOrSpacedWordsNeverMatch) {
    {
        LanguageFiles texts({}, {}, {{10, "microseconds"}});
        TBaseConfigCell c(1, 1, 1);
        c.ResetAll(1);
        ASSERT_EQ(c.GetParamDisplayString(ASCAN_SCALE_DIMENSION), "microseconds");
        c.SetParamDisplayString(ASCAN_SCALE_DIMENSION, "microseconds");
        EXPECT_EQ(c.ScaleDimension, 1);
    }
    {
        LanguageFiles texts({}, {}, {{10, "u s"}});
        TBaseConfigCell c(1, 1, 1);
        c.ResetAll(1);
        c.SetParamDisplayString(ASCAN_SCALE_DIMENSION, "u s");
        EXPECT_EQ(c.ScaleDimension, 1);
    }
}

TEST_F(ParamStrings, ScaleDimensionSwitchesTheMeasureConditionUnits) {
    c.SetParamDisplayString(ASCAN_SCALE_DIMENSION, "mm");
    EXPECT_EQ(MeasureConditionParams[0], ASCAN_STROB1_BEGIN_MM);
    EXPECT_EQ(MeasureConditionParams[1], ASCAN_STROB1_LENGTH_MM);
    c.SetParamRawString(ASCAN_SCALE_DIMENSION, "0");
    EXPECT_EQ(MeasureConditionParams[0], ASCAN_STROB1_BEGIN_TIME);
    EXPECT_EQ(MeasureConditionParams[1], ASCAN_STROB1_LENGTH_TIME);
    c.SetParamRawString(ASCAN_SCALE_DIMENSION, "1");
    EXPECT_EQ(MeasureConditionParams[0], ASCAN_STROB1_BEGIN_MM);
    SetMeasureConditionUnits(0);
}

TEST_F(ParamStrings, IntegersAndTheirFallbacks) {
    c.SetParamDisplayString(ASCAN_PIXEL_LENGTH, "2000");
    EXPECT_EQ(c.AScanRange, 2000);
    c.SetParamDisplayString(ASCAN_PIXEL_LENGTH, "abc");
    EXPECT_EQ(c.AScanRange, 1024);
    c.SetParamDisplayString(BAND_ELEMENT_WIDTH_INDEX, "2");
    EXPECT_EQ(c.BandElementWidthIndex, 2);
    c.SetParamDisplayString(CONFIG_STRINGS_QUANT, "3");
    EXPECT_EQ(c.ConfigStringsCount, 3);
    // Levels are the instrument's signed bytes.
    c.SetParamDisplayString(ASCAN_STROB1_Y, "200");
    EXPECT_EQ(c.StrobeLevel[0], -56);
    c.SetParamDisplayString(ASCAN_STROB2_Y, "-5");
    EXPECT_EQ(c.StrobeLevel[1], -5);
    c.SetParamDisplayString(ASCAN_STROB2_Y, "x");
    EXPECT_EQ(c.StrobeLevel[1], 30);
    // Too wide for the field.
    EXPECT_THROW(c.SetParamDisplayString(MAP_SCANNING_ORDER, "300"), RangeError);
    EXPECT_THROW(c.SetParamDisplayString(MAP_VERTIC_POINTS_QUAN, "-1"), RangeError);
}

TEST_F(ParamStrings, MapStepSetsBothSteps) {
    c.SetParamDisplayString(MAP_STEP, "20");
    EXPECT_EQ(c.MapVerticStep, 20);
    EXPECT_EQ(c.MapHorizStep, 20);
}

TEST_F(ParamStrings, AttenuatorsStoreTheInverseOfTheirDisplay) {
    c.SetParamDisplayString(ANL_ATTENUATOR_COUNT1, "70");
    EXPECT_EQ(c.AttenuatorCount1, 30);
    c.SetParamDisplayString(ANL_ATTENUATOR_COUNT1, "100");
    EXPECT_EQ(c.AttenuatorCount1, 0);
    c.SetParamDisplayString(ANL_ATTENUATOR_COUNT2, "15");
    EXPECT_EQ(c.AttenuatorCount2, 25);
    c.SetParamDisplayString(ANL_ATTENUATOR_COUNT2, "none");
    EXPECT_EQ(c.AttenuatorCount2, 30); // unreadable: the default count
    // A display value beyond the range is refused by validation, not by the field.
    c.SetParamDisplayString(ANL_ATTENUATOR_COUNT2, "50");
    std::string message;
    EXPECT_FALSE(c.ValidateParam(ANL_ATTENUATOR_COUNT2, message));
    EXPECT_EQ(message, "[E77]0..40[E23]");
    EXPECT_EQ(c.AttenuatorCount2, 30);
    // The raw path keeps the count.
    c.SetParamRawString(ANL_ATTENUATOR_COUNT1, "45");
    EXPECT_EQ(c.AttenuatorCount1, 45);
}

TEST_F(ParamStrings, DotsPerCell) {
    c.SetParamDisplayString(GEN_DOTS_PER_CELL, "33125");
    EXPECT_EQ(c.DotsPerCell, 33.125);
    c.SetParamDisplayString(GEN_DOTS_PER_CELL, "99999");
    EXPECT_EQ(c.DotsPerCell, 60.0);
    c.SetParamDisplayString(GEN_DOTS_PER_CELL, "100");
    EXPECT_EQ(c.DotsPerCell, 25.0);
    c.SetParamDisplayString(GEN_DOTS_PER_CELL, "dots");
    EXPECT_EQ(c.DotsPerCell, 40.0);
    c.SetParamRawString(GEN_DOTS_PER_CELL, "50000");
    EXPECT_EQ(c.DotsPerCell, 50.0);
    c.SetParamRawString(GEN_DOTS_PER_CELL, "");
    EXPECT_EQ(c.DotsPerCell, 40.0);
    c.SetParamRawString(GEN_DOTS_PER_CELL, "10000");
    EXPECT_EQ(c.DotsPerCell, 25.0);
}

TEST_F(ParamStrings, PulserPeriodsInHalves) {
    c.SetParamDisplayString(ANL_ZONDER_PERIODS_QUANT, "2.7");
    EXPECT_EQ(c.ZonderPeriods, 2.5);
    c.SetParamDisplayString(ANL_ZONDER_PERIODS_QUANT, "2.8");
    EXPECT_EQ(c.ZonderPeriods, 3.0);
    // Halves of halves go to the even neighbour.
    c.SetParamDisplayString(ANL_ZONDER_PERIODS_QUANT, "0.75");
    EXPECT_EQ(c.ZonderPeriods, 1.0);
    c.SetParamDisplayString(ANL_ZONDER_PERIODS_QUANT, "1.25");
    EXPECT_EQ(c.ZonderPeriods, 1.0);
    c.SetParamDisplayString(ANL_ZONDER_PERIODS_QUANT, "abc");
    EXPECT_EQ(c.ZonderPeriods, 10.0);
    c.SetParamDisplayString(ANL_ZONDER_PERIODS_QUANT, "9e99");
    EXPECT_EQ(c.ZonderPeriods, 9e99);
    c.SetParamRawString(ANL_ZONDER_PERIODS_QUANT, "25");
    EXPECT_EQ(c.ZonderPeriods, 2.5);
    c.SetParamRawString(ANL_ZONDER_PERIODS_QUANT, "?");
    EXPECT_EQ(c.ZonderPeriods, 1.0);
}

TEST_F(ParamStrings, StrobeTimesMoveThePixelsOnlyFromTheDisplay) {
    c.SetParamDisplayString(ASCAN_STROB1_BEGIN_TIME, "45");
    EXPECT_EQ(c.StrobeBeginTime[0], 45.0);
    EXPECT_EQ(c.StrobeBeginPixel[0], 14); // 14.0625
    EXPECT_EQ(c.StrobeEndPixel[0], 45);   // 145 us: 45.3125
    c.SetParamDisplayString(ASCAN_STROB1_LENGTH_TIME, "junk");
    EXPECT_EQ(c.StrobeLengthTime[0], 100.0);

    c.SetParamRawString(ASCAN_STROB1_BEGIN_TIME, "4550");
    EXPECT_EQ(c.StrobeBeginTime[0], 45.5);
    EXPECT_EQ(c.StrobeBeginPixel[0], 14);
    c.SetParamRawString(ASCAN_STROB1_BEGIN_TIME, "x");
    EXPECT_EQ(c.StrobeBeginTime[0], 30.0); // the real default

    c.SetParamDisplayString(ASCAN_STROB2_BEGIN_TIME, "12.5");
    EXPECT_EQ(c.StrobeBeginTime[1], 12.5);
    c.SetParamDisplayString(ASCAN_AUX_TIME, "-");
    EXPECT_EQ(c.AuxTime, 0.0);
    // A time far off the picture does not overflow the pixels.
    c.SetParamDisplayString(ASCAN_STROB1_BEGIN_TIME, "9e99");
    EXPECT_EQ(c.StrobeBeginPixel[0], 319);
    EXPECT_EQ(c.StrobeEndPixel[0], 320);
}

TEST_F(ParamStrings, DepthsSetTimes) {
    c.SetParamDisplayString(ASCAN_STROB1_BEGIN_MM, "81");
    EXPECT_DOUBLE_EQ(c.StrobeBeginTime[0], 60.0); // 81 mm at 2700 m/s
    EXPECT_EQ(c.StrobeBeginPixel[0], 19);         // 18.75
    c.SetParamDisplayString(ASCAN_STROB1_LENGTH_MM, "5000");
    EXPECT_DOUBLE_EQ(c.StrobeLengthTime[0], 4095.0 * 2000.0 / 2700.0);
    c.SetParamDisplayString(ASCAN_STROB1_BEGIN_MM, "?");
    EXPECT_DOUBLE_EQ(c.StrobeBeginTime[0], 2000.0 / 2700.0);
    // Without a velocity a depth has no time: nothing changes.
    c.Velocity = 0;
    c.SetParamDisplayString(ASCAN_STROB1_BEGIN_MM, "10");
    EXPECT_DOUBLE_EQ(c.StrobeBeginTime[0], 2000.0 / 2700.0);
}

TEST_F(ParamStrings, GainInDbSetsTheLevel) {
    c.SetParamDisplayString(ASCAN_STROB1_GAIN_DB, "95");
    EXPECT_EQ(c.StrobeLevel[0], 10); // 10.49
    c.SetParamDisplayString(ASCAN_STROB1_GAIN_DB, "105");
    EXPECT_EQ(c.StrobeLevel[0], 35); // (10^1.75 - 1) / 1.6 = 34.52
    c.SetParamDisplayString(ASCAN_STROB1_GAIN_DB, "200");
    EXPECT_EQ(c.StrobeLevel[0], 100);
    c.SetParamDisplayString(ASCAN_STROB1_GAIN_DB, "999999");
    EXPECT_EQ(c.StrobeLevel[0], 100);
    c.SetParamDisplayString(ASCAN_STROB1_GAIN_DB, "0");
    EXPECT_EQ(c.StrobeLevel[0], 1);
}

TEST_F(ParamStrings, RawPathStoresListIndicesDirectly) {
    c.Modified = 0;
    c.SetParamRawString(ASCAN_KURSORS_QUANT, "1");
    EXPECT_EQ(c.CursorCount, 1);
    c.SetParamRawString(GEN_SCREEN_TYPE, "37");
    EXPECT_EQ(c.ScreenType, 37);
    c.SetParamRawString(PRB_FREQ_INDEX, "bad");
    EXPECT_EQ(c.ProbeFrequencyIndex, 1);
    EXPECT_EQ(c.Modified, 0);
    EXPECT_THROW(c.SetParamRawString(MAP_SCANNING_ORDER, "256"), RangeError);
    // Other numbers go through the display path, which marks the configuration.
    c.SetParamRawString(ANL_AVERAGER_INDEX, "16");
    EXPECT_EQ(c.AveragerIndex, 4);
    EXPECT_EQ(c.Modified, 1);
}

TEST_F(ParamStrings, NumbersOutsideTheTableChangeNothing) {
    const TBaseConfigCell before = c;
    c.SetParamDisplayString(85, "1");
    c.SetParamRawString(-1, "1");
    c.SetParamDisplayString(65534, "");
    EXPECT_EQ(tbtest::differences(before, c), "");
}

TEST_F(ParamStrings, DisplaySettingMarksTheConfiguration) {
    c.Modified = 0;
    c.SetParamDisplayString(ASCAN_KURSORS_QUANT, "no match");
    EXPECT_EQ(c.Modified, 1);
}
