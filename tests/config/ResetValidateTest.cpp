// Resetting, validating and cycling parameters, and the editor description of each row.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

using tbtest::LanguageFiles;

namespace {

class ResetValidate : public ::testing::Test {
protected:
    void SetUp() override { c.ResetAll(1); }

    LanguageFiles texts;
    TBaseConfigCell c{1, 1, 1};
};

} // namespace

TEST(ResetAll, GivesEveryDefault) {
    LanguageFiles texts;
    TBaseConfigCell c(7, 8, 9);
    c.GlobalWorkTime = 77; // the instrument's, never reset
    c.ConfigStrings = {"a", "b"};
    c.ConfigStringsCount = 2;
    c.ResetAll(5);

    for (int n = 0; n < ParamCount; ++n) {
        std::string expected = tbtest::kResetText[static_cast<size_t>(n)];
        if (n == CONFIGURATION_NUMBER || n == CONFIGURATION_INDEX) {
            expected = std::to_string(n) + ":5";
        } else if (n == GTM_GLOBAL_WORKTIME) {
            expected = "64:77";
        }
        EXPECT_EQ(c.FormatParamLine(n), expected);
    }
    EXPECT_TRUE(c.ConfigStrings.empty());
    EXPECT_EQ(c.DotsPerCellPrev, 40.0);
    EXPECT_EQ(c.TgvPrevState, 0);
    // The curve follows: range + 1 entries, 1.0 with the TVG off, the extra entry new.
    ASSERT_EQ(c.TgvCurve.size(), 1025u);
    EXPECT_EQ(c.TgvCurve[0], 1.0);
    EXPECT_EQ(c.TgvCurve[1023], 1.0);
    EXPECT_EQ(c.TgvCurve[1024], 0.0);
}

TEST_F(ResetValidate, TvgPointsAfterReset) {
    const std::pair<int, int> expected[] = {{0, 0}, {28, 64}, {28, 128}, {28, 192}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(c.TgvGain[i], expected[i].first) << i;
        EXPECT_EQ(c.TgvPos[i], expected[i].second) << i;
    }
    EXPECT_EQ(c.TgvGain[28], 28);
    EXPECT_EQ(c.TgvPos[28], 1792);
    EXPECT_EQ(c.TgvGain[29], 30);
    EXPECT_EQ(c.TgvPos[29], 1024);
    EXPECT_EQ(c.TgvGain[31], 28);
    EXPECT_EQ(c.TgvPos[31], 1984);

    c.AScanRange = 2000;
    c.ResetParam(1, GEN_TGV_ACTIVE_PTS);
    EXPECT_EQ(c.TgvPos[29], 2000);
}

TEST_F(ResetValidate, ParametersThatResetDoesNotTouch) {
    c.TgvGain[3] = 5;
    c.MapVerticStep = 20;
    c.MapHorizStep = 30;
    c.ResetParam(1, GEN_TGV_GAIN);
    c.ResetParam(1, MAP_STEP);
    c.ResetParam(1, ASCAN_STROB1_GAIN_DB);
    EXPECT_EQ(c.TgvGain[3], 5);
    EXPECT_EQ(c.MapHorizStep, 30);
    c.ResetParam(1, 85); // ignored
}

TEST_F(ResetValidate, ResetAndVariedConfigurationsAreValid) {
    const TBaseConfigCell reset = c;
    EXPECT_TRUE(c.ValidateAll());
    EXPECT_EQ(tbtest::differences(reset, c), "");

    TBaseConfigCell varied = tbtest::variedConfig();
    const TBaseConfigCell before = varied;
    EXPECT_TRUE(varied.ValidateAll());
    EXPECT_EQ(tbtest::differences(before, varied), "");
}

TEST_F(ResetValidate, RangeMessagesAndDefaults) {
    struct Case {
        int number;
        std::int64_t bad;
        const char* message;
        std::int64_t kept;
    };
    const Case cases[] = {
        {MAP_VERTIC_POINTS_QUAN, 50, "[E24]5..40[E23]", 10},
        {MAP_HORIZ_STEP, 5, "[E29]10..100[E23]", 10},
        {BAND_ELEMENT_WIDTH_INDEX, 4, "[E37]0..3[E23]", 0},
        {BAND_ELEMENT_WIDTH_INDEX, 3, "", 3},
        {ASCAN_STROB2_BEGIN, 400, "Strobe 2 begin should be in range of 0..319[E23]", 50},
        {ASCAN_STROB1_Y, 0, "[E44]1..100[E23]", 10},
        {ASCAN_STROB2_Y, -56, "Strobe 2 level should be in range of 1..100[E23]", 30},
        {ASCAN_STROB2_ENABLED, 3, "Strobe 2 enabled flag should be in range of 0..2[E23]", 0},
        {ASCAN_PIXEL_LENGTH, 29, "[E60]30..4095[E23]", 1024},
        {GEN_INDEX_MARK_MKS, 8, "Mks markup index should be in range of 0..7[E23]", 1},
        {GEN_INDEX_MARK_MM, 12, "Mm markup index should be in range of 0..11[E23]", 0},
        {GEN_TGV_ACTIVE_PTS, 32, "[E69]0..31[E23]", 30},
        {SYS_REFRESH_FREQ, 0, "[E70]1..20[E23]", 10},
        {ANL_ATTENUATOR_COUNT1, 101, "[E78]0..100[E23]", 30},
        {ANL_BARKER_ORDER, 0, "Barker order should be in range of 1..13[E23]", 1},
        {OBJ_USONIC_VELOCITY, 999, "[E80]1000..9999[E23]", 2700},
        {GTM_SNAP_YEAR, 100, "Year should be in range of 0..99[E23]", 7},
        {GTM_SNAP_MONTH, 12, "Month should be in range of 0..11[E23]", 0},
        {GTM_SNAP_SECOND, 60, "Second should be in range of 0..59[E23]", 0},
        {CONFIG_STRINGS_QUANT, 21, "[E25]0..20[E23]", 0},
        {GEN_PREV_SCREEN_TYPE, 0, "", 0},
    };
    for (const Case& k : cases) {
        TBaseConfigCell t = c;
        if (k.number == ASCAN_STROB2_Y || k.number == ASCAN_STROB1_Y) {
            t.StrobeLevel[k.number - ASCAN_STROB1_Y] = static_cast<std::int16_t>(k.bad);
        } else {
            t.SetParamRawString(k.number, std::to_string(k.bad));
        }
        std::string message = "stale";
        const bool valid = t.ValidateParam(k.number, message);
        EXPECT_EQ(valid, *k.message == 0) << k.number;
        EXPECT_EQ(message, k.message) << k.number;
        EXPECT_EQ(t.GetParamValue(k.number), static_cast<double>(k.kept)) << k.number;
    }
}

TEST_F(ResetValidate, ScreenTypeIsTwoNibbles) {
    std::string message;
    c.ScreenType = 0x25;
    EXPECT_TRUE(c.ValidateParam(GEN_SCREEN_TYPE, message));
    c.ScreenType = 0x26;
    EXPECT_FALSE(c.ValidateParam(GEN_SCREEN_TYPE, message));
    EXPECT_EQ(message, "[E63]0..255[E23]");
    EXPECT_EQ(c.ScreenType, 0);
    c.ScreenType = 0xD0;
    EXPECT_FALSE(c.ValidateParam(GEN_SCREEN_TYPE, message));
    c.ScreenType = 0xC5;
    EXPECT_TRUE(c.ValidateParam(GEN_SCREEN_TYPE, message));
    // The previous screen type has the plain rule.
    c.PrevScreenType = 0xD0;
    EXPECT_TRUE(c.ValidateParam(GEN_PREV_SCREEN_TYPE, message));
}

TEST_F(ResetValidate, NeverValidatedParameters) {
    c.DeviceKind = 200;
    c.ConfigNumber = 999;
    c.ConfigIndex = 60000;
    c.GlobalWorkTime = 65535;
    c.TgvGain[0] = 255;
    std::string message;
    for (int n : {0, 1, 2, 3, 4, 47, 48, 64}) {
        EXPECT_TRUE(c.ValidateParam(n, message)) << n;
        EXPECT_TRUE(message.empty());
    }
    EXPECT_TRUE(c.ValidateParam(85, message));
    EXPECT_TRUE(c.ValidateParam(-1, message));
}

TEST_F(ResetValidate, NameLongerThan22IsCut) {
    c.ConfigName = "ABCDEFGHIJKLMNOPQRSTUVW"; // 23
    std::string message;
    EXPECT_FALSE(c.ValidateParam(CONFIGURATION_NAME, message));
    EXPECT_EQ(message, "[E21]22[E22]");
    EXPECT_EQ(c.ConfigName, "ABCDEFGHIJKLMNOPQRSTUV");
}

TEST_F(ResetValidate, ValidateAllKeepsARepairThatMadeTheValueValid) {
    c.ConfigName = "ABCDEFGHIJKLMNOPQRSTUVW";
    EXPECT_FALSE(c.ValidateAll());
    EXPECT_EQ(c.ConfigName, "ABCDEFGHIJKLMNOPQRSTUV");
}

TEST_F(ResetValidate, ValidateAllResetsWhatFailed) {
    c.ConfigNumber = 4;
    c.MapVerticPoints = 50;
    c.AScanRange = 10;
    c.TgvEnabled = 3;
    c.TgvPrevState = 3;
    c.ConfigStrings = std::vector<std::string>(25, "x");
    c.ConfigStringsCount = 25;
    EXPECT_FALSE(c.ValidateAll());
    EXPECT_EQ(c.MapVerticPoints, 10);
    EXPECT_EQ(c.AScanRange, 1024);
    EXPECT_EQ(c.TgvEnabled, 0);
    EXPECT_EQ(c.TgvPrevState, 0);
    EXPECT_EQ(c.ConfigStringsCount, 0);
    EXPECT_TRUE(c.ConfigStrings.empty());
    EXPECT_EQ(c.ConfigNumber, 4);
    std::string message;
    for (int n = 0; n < ParamCount; ++n) {
        EXPECT_TRUE(c.ValidateParam(n, message)) << n << " " << message;
    }
}

TEST_F(ResetValidate, ValidateAllLaysOutTheTvgPointsAgainWithTheActivePoints) {
    c.AScanRange = 2000;
    c.TgvActivePoints = 35;
    c.TgvGain.fill(7);
    c.TgvPos.fill(3);
    EXPECT_FALSE(c.ValidateAll());
    EXPECT_EQ(c.TgvActivePoints, 30);
    EXPECT_EQ(c.TgvGain[0], 0);
    EXPECT_EQ(c.TgvPos[0], 0);
    EXPECT_EQ(c.TgvGain[1], 28);
    EXPECT_EQ(c.TgvPos[1], 64);
    EXPECT_EQ(c.TgvGain[29], 30);
    EXPECT_EQ(c.TgvPos[29], 2000);
    EXPECT_EQ(c.TgvPos[31], 31 * 64);
}

TEST_F(ResetValidate, RealRanges) {
    std::string message;
    c.DotsPerCell = 70.0;
    c.DotsPerCellPrev = 70.0;
    EXPECT_FALSE(c.ValidateParam(GEN_DOTS_PER_CELL, message));
    EXPECT_EQ(message, "Dots per cell \"mm\" should be in range of 25.0..60.0[E23]");
    EXPECT_EQ(c.DotsPerCell, 40.0);
    EXPECT_EQ(c.DotsPerCellPrev, 40.0);

    c.ZonderPeriods = 6.0;
    EXPECT_FALSE(c.ValidateParam(ANL_ZONDER_PERIODS_QUANT, message));
    EXPECT_EQ(message, "[E75]0.5..5.0[E23]");
    EXPECT_EQ(c.ZonderPeriods, 0.5);

    c.CursorZoomTime[1] = -0.5;
    EXPECT_FALSE(c.ValidateParam(ASCAN_KURSOR2_LUPA_TIME, message));
    EXPECT_EQ(message, "[E53]0.0..4095.0[E23]");
    EXPECT_EQ(c.CursorZoomTime[1], 1.0);

    c.StrobeLengthTime[1] = 5000.0;
    EXPECT_FALSE(c.ValidateParam(ASCAN_STROB2_LENGTH_TIME, message));
    EXPECT_EQ(message, "Strobe 2 length should be in range of 0.0..4095.0[E23]");

    c.AuxTime = 4095.0;
    EXPECT_TRUE(c.ValidateParam(ASCAN_AUX_TIME, message));
}

TEST_F(ResetValidate, StrobeOneLimits) {
    std::string message;
    // Begin at pixel 0: moved to pixel 1; the latest begin leaves room for 31 pixels.
    c.StrobeBeginTime[0] = 0.0;
    EXPECT_FALSE(c.ValidateParam(ASCAN_STROB1_BEGIN_TIME, message));
    EXPECT_EQ(message, "[E40]3..921[E23]");
    EXPECT_EQ(c.StrobeBeginTime[0], 3.2);

    // The same in millimetres at 2700 m/s: 4.32 .. 1244.16.
    c.StrobeBeginTime[0] = 0.0;
    EXPECT_FALSE(c.ValidateParam(ASCAN_STROB1_BEGIN_MM, message));
    EXPECT_EQ(message, "[E40]4..1244[E23]");

    // A strobe running off the picture is cut at pixel 319.
    c.StrobeBeginTime[0] = 30.0;
    c.StrobeLengthTime[0] = 2000.0;
    EXPECT_FALSE(c.ValidateParam(ASCAN_STROB1_LENGTH_TIME, message));
    EXPECT_EQ(message, "[E42]32..992[E23]");
    EXPECT_EQ(c.StrobeLengthTime[0], 992.0);

    EXPECT_TRUE(c.ValidateParam(ASCAN_STROB1_LENGTH_TIME, message));
    EXPECT_TRUE(c.ValidateParam(ASCAN_STROB1_LENGTH_MM, message));
}

TEST_F(ResetValidate, ValidateAllKeepsAStrobeMovedOntoThePicture) {
    c.StrobeBeginTime[0] = 0.0;
    EXPECT_FALSE(c.ValidateAll());
    EXPECT_EQ(c.StrobeBeginTime[0], 3.2);
}

TEST_F(ResetValidate, GainInDbChecksTheLevel) {
    std::string message;
    c.StrobeLevel[0] = 0;
    EXPECT_FALSE(c.ValidateParam(ASCAN_STROB1_GAIN_DB, message));
    EXPECT_EQ(message, "[E44]78..114[E23]"); // 78.30 and 114.14 dB at attenuator 30
    EXPECT_EQ(c.StrobeLevel[0], 10);
    EXPECT_TRUE(c.ValidateParam(ASCAN_STROB1_GAIN_DB, message));
}

TEST_F(ResetValidate, MapStepChecksTheHorizontalStep) {
    std::string message;
    c.MapVerticStep = 50;
    c.MapHorizStep = 5;
    EXPECT_FALSE(c.ValidateParam(MAP_STEP, message));
    EXPECT_EQ(message, "[E28]10..100[E23]");
    EXPECT_EQ(c.MapVerticStep, 10);
    EXPECT_EQ(c.MapHorizStep, 10);
}

TEST_F(ResetValidate, Cycling) {
    auto cycle = [this](int n, int times) {
        std::vector<int> seen;
        for (int i = 0; i < times; ++i) {
            c.CycleParam(n);
            seen.push_back(static_cast<int>(c.GetParamValue(n)));
        }
        return seen;
    };
    EXPECT_EQ(cycle(ASCAN_KURSORS_QUANT, 3), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(cycle(ASCAN_STROB1_ENABLED, 4), (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(cycle(ASCAN_SIGNAL_CATCH_ALGORYTHM, 2), (std::vector<int>{1, 0}));
    EXPECT_EQ(cycle(GEN_SIGNAL_TYPE, 4), (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(cycle(GEN_SCREEN_TYPE, 3), (std::vector<int>{1, 2, 1}));
    c.ScreenType = 0x25;
    c.CycleParam(GEN_SCREEN_TYPE);
    EXPECT_EQ(c.ScreenType, 1);
    c.TgvEnabled = 3;
    EXPECT_EQ(cycle(GEN_TGV_ENABLED, 2), (std::vector<int>{0, 1}));

    c.Modified = 0;
    c.CycleParam(MAP_VERTIC_POINTS_QUAN);
    EXPECT_EQ(c.MapVerticPoints, 10);
    EXPECT_EQ(c.Modified, 1);
}

TEST_F(ResetValidate, EditorRows) {
    EXPECT_EQ(c.SetupEditorItem(DEVICE_KIND).EditMask, "0");
    EXPECT_EQ(c.SetupEditorItem(CONFIGURATION_NUMBER).EditMask, "99");
    EXPECT_EQ(c.SetupEditorItem(MAP_STEP).EditMask, "99");
    EXPECT_EQ(c.SetupEditorItem(BAND_LAST_ASCAN).EditMask, "999");
    EXPECT_EQ(c.SetupEditorItem(ASCAN_STROB2_LENGTH_TIME).EditMask, "999");
    EXPECT_EQ(c.SetupEditorItem(GEN_TGV_POS).EditMask, "9999");
    EXPECT_EQ(c.SetupEditorItem(GEN_INDEX_MARK_MM).EditMask, "9");
    EXPECT_EQ(c.SetupEditorItem(ANL_ZONDER_PERIODS_QUANT).EditMask, "cccc");
    EXPECT_EQ(c.SetupEditorItem(ASCAN_AUX_TIME).EditMask, "cccccc");
    EXPECT_EQ(c.SetupEditorItem(CONFIGURATION_NAME).EditMask, std::string(22, 'c'));

    const TEditorItem order = c.SetupEditorItem(MAP_SCANNING_ORDER);
    EXPECT_TRUE(order.ReadOnly);
    EXPECT_EQ(order.EditMask, "");
    EXPECT_EQ(order.PickList, (std::vector<std::string>{"Cap186", "Cap187"}));
    EXPECT_EQ(c.SetupEditorItem(BAND_ELEMENT_WIDTH_INDEX).PickList,
              (std::vector<std::string>{"1", "2", "4", "8"}));
    EXPECT_EQ(c.SetupEditorItem(ASCAN_STROB2_ENABLED).PickList,
              (std::vector<std::string>{"Off", "On"}));
    EXPECT_EQ(c.SetupEditorItem(ASCAN_KURSORS_QUANT).PickList,
              (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(c.SetupEditorItem(ASCAN_SCALE_DIMENSION).PickList,
              (std::vector<std::string>{"us", "mm"}));
    EXPECT_EQ(c.SetupEditorItem(GEN_PREV_SCREEN_TYPE).PickList,
              (std::vector<std::string>{"Cap197", "Cap188", "Cap198", "Cap199"}));
    EXPECT_EQ(c.SetupEditorItem(GEN_SIGNAL_TYPE).PickList,
              (std::vector<std::string>{"Cap194", "Cap195", "Cap196"}));
    EXPECT_EQ(c.SetupEditorItem(PRB_FREQ_INDEX).PickList.size(), 16u);
    EXPECT_EQ(c.SetupEditorItem(PRB_TYPE).PickList, (std::vector<std::string>{"Single", "Dual"}));
    EXPECT_EQ(c.SetupEditorItem(ANL_ZONDER_VOLTAGE_INDEX).PickList,
              (std::vector<std::string>{"20", "100", "200"}));
    EXPECT_EQ(c.SetupEditorItem(ANL_AVERAGER_INDEX).PickList,
              (std::vector<std::string>{"1", "2", "4", "8", "16"}));

    // Every row is a mask edit or a pick list, except the four with neither.
    int masks = 0;
    int lists = 0;
    std::vector<int> neither;
    for (int n = 0; n < ParamCount; ++n) {
        const TEditorItem item = c.SetupEditorItem(n);
        EXPECT_FALSE(!item.EditMask.empty() && !item.PickList.empty()) << n;
        EXPECT_EQ(item.ReadOnly, !item.PickList.empty()) << n;
        masks += item.EditMask.empty() ? 0 : 1;
        lists += item.PickList.empty() ? 0 : 1;
        if (item.EditMask.empty() && item.PickList.empty()) {
            neither.push_back(n);
        }
    }
    EXPECT_EQ(masks, 60);
    EXPECT_EQ(lists, 21);
    EXPECT_EQ(neither, (std::vector<int>{80, 81, 82, 84}));
    EXPECT_TRUE(c.SetupEditorItem(85).EditMask.empty());
}
