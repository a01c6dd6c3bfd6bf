// The descriptor table, the value tables, creation and the numeric values of parameters.
#include "ConfigTestSupport.h"

#include "config/BaseConfigObjectConstantsUnit.h"

#include <gtest/gtest.h>

using tbtest::LanguageFiles;

TEST(ParamDescriptorTable, KindsAsTheParameterTableLists) {
    int kinds[4] = {0, 0, 0, 0};
    for (const auto& d : ParamDescriptorTable) {
        ASSERT_GE(d.Kind, 0);
        ASSERT_LE(d.Kind, 3);
        ++kinds[d.Kind];
    }
    // Reals: 46, 56, 72..79, 81..84. Lists: 10, 13, 17, 18, 26, 31..36, 38, 39, 47..49, 52, 54,
    // 55, 58, 61, 62, 80. String: 5.
    EXPECT_EQ(kinds[PK_REAL], 14);
    EXPECT_EQ(kinds[PK_LIST], 23);
    EXPECT_EQ(kinds[PK_STRING], 1);
    EXPECT_EQ(kinds[PK_INTEGER], 47);
}

TEST(ParamDescriptorTable, SampleRows) {
    const auto& range = ParamDescriptorTable[ASCAN_PIXEL_LENGTH];
    EXPECT_EQ(range.Kind, PK_INTEGER);
    EXPECT_EQ(range.IntMin, 30);
    EXPECT_EQ(range.IntMax, 4095);
    EXPECT_EQ(range.IntDefault, 1024);

    const auto& name = ParamDescriptorTable[CONFIGURATION_NAME];
    EXPECT_EQ(name.Kind, PK_STRING);
    EXPECT_EQ(name.Choices, 22);

    const auto& dots = ParamDescriptorTable[GEN_DOTS_PER_CELL];
    EXPECT_EQ(dots.Kind, PK_REAL);
    EXPECT_EQ(dots.RealMin, 25.0);
    EXPECT_EQ(dots.RealMax, 60.0);
    EXPECT_EQ(dots.RealDefault, 40.0);

    const auto& periods = ParamDescriptorTable[ANL_ZONDER_PERIODS_QUANT];
    EXPECT_EQ(periods.RealMin, 0.5);
    EXPECT_EQ(periods.RealMax, 5.0);
    EXPECT_EQ(periods.RealDefault, 0.5);
    EXPECT_EQ(periods.Choices, 3);
    EXPECT_EQ(periods.IntMax, 1);
    EXPECT_EQ(periods.IntDefault, 30);

    const auto& barker = ParamDescriptorTable[ANL_BARKER_ORDER];
    EXPECT_EQ(barker.Kind, PK_LIST);
    EXPECT_EQ(barker.IntMin, 1);
    EXPECT_EQ(barker.IntMax, 13);
    EXPECT_EQ(barker.Choices, 4);

    const auto& strings = ParamDescriptorTable[CONFIG_STRINGS_QUANT];
    EXPECT_EQ(strings.IntMax, 20);
    EXPECT_EQ(strings.Choices, 21);

    const auto& gain = ParamDescriptorTable[ASCAN_STROB1_GAIN_DB];
    EXPECT_EQ(gain.RealMax, 150.0);
    EXPECT_EQ(gain.RealDefault, 1.0);
    EXPECT_EQ(gain.IntMax, 1000);
    EXPECT_EQ(gain.IntDefault, 100);

    EXPECT_EQ(ParamDescriptorTable[ASCAN_STROB1_BEGIN_TIME].IntMax, 4095);
    // The band line width names four choices (2, 4, 8, 16 pixels) and allows all four.
    const auto& lineWidth = ParamDescriptorTable[BAND_ELEMENT_WIDTH_INDEX];
    EXPECT_EQ(lineWidth.IntMax, 3);
    EXPECT_EQ(lineWidth.Choices, 4);
    EXPECT_EQ(ParamDescriptorTable[ASCAN_STROB2_LENGTH_TIME].IntDefault, 90);
    EXPECT_EQ(ParamDescriptorTable[DEVICE_VARIANT].IntDefault, 0);
    EXPECT_EQ(ParamDescriptorTable[GTM_SNAP_YEAR].IntDefault, 7);
    EXPECT_EQ(ParamDescriptorTable[GEN_TGV_ACTIVE_PTS].IntMax, 31);
}

TEST(ParamDescriptorTable, DefaultsLieInsideTheirRanges) {
    for (int n = 0; n < ParamCount; ++n) {
        const auto& d = ParamDescriptorTable[static_cast<size_t>(n)];
        if (d.Kind == PK_REAL) {
            EXPECT_LE(d.RealMin, d.RealDefault) << n;
            EXPECT_LE(d.RealDefault, d.RealMax) << n;
        } else if (d.Kind != PK_STRING) {
            EXPECT_LE(d.IntMin, d.IntDefault) << n;
            EXPECT_LE(d.IntDefault, d.IntMax) << n;
        }
    }
}

TEST(ValueTables, ContentsAndSafeLookups) {
    EXPECT_STREQ(ProbeFrequencyStrings[0], "15.0");
    EXPECT_STREQ(ProbeFrequencyStrings[11], "85.0");
    EXPECT_STREQ(ProbeFrequencyStrings[15], "250.0");
    EXPECT_EQ(ZonderVoltageTable[1], 100);
    EXPECT_EQ(AveragerTable[4], 16);
    EXPECT_EQ(PixelsPerScanTable[3], 16);
    EXPECT_STREQ(MaxMksRangeStrings[4], "1600");

    EXPECT_EQ(ProbeFrequencyString(13), "125.0");
    EXPECT_EQ(ProbeFrequencyString(16), "");
    EXPECT_EQ(ProbeFrequencyString(-1), "");
    EXPECT_EQ(MaxMksRangeString(2), "800");
    EXPECT_EQ(MaxMksRangeString(7), "");
    EXPECT_EQ(ZonderVoltage(9), 200);
    EXPECT_EQ(Averager(-4), 1);
    EXPECT_EQ(PixelsPerScan(3), 16);
    EXPECT_EQ(PixelsPerScan(200), 16);
    EXPECT_EQ(PixelsPerScan(0), 2);
}

TEST(ConfigCreation, SetsIdentityAndOneCommentLine) {
    LanguageFiles texts;
    TBaseConfigCell c(2, 3, 4);
    EXPECT_EQ(c.DeviceKind, 2);
    EXPECT_EQ(c.DeviceVersion, 3);
    EXPECT_EQ(c.DeviceVariant, 4);
    EXPECT_EQ(c.ConfigStrings, std::vector<std::string>{"Comment"});
    EXPECT_EQ(c.ConfigStringsCount, 1);
    EXPECT_EQ(c.Modified, 0);
    EXPECT_EQ(c.AScanRange, 0);
    EXPECT_TRUE(c.ConfigName.empty());
    EXPECT_TRUE(c.TgvCurve.empty());
}

TEST(ConfigCreation, NewConfigCellFillsAndRefillsASlot) {
    LanguageFiles texts;
    std::unique_ptr<TBaseConfigCell> slot;
    TBaseConfigCell& first = NewConfigCell(1, 2, 3, slot);
    ASSERT_TRUE(slot);
    EXPECT_EQ(&first, slot.get());
    first.ConfigName = "OLD";
    TBaseConfigCell& second = NewConfigCell(4, 5, 6, slot);
    EXPECT_EQ(&second, slot.get());
    EXPECT_EQ(second.DeviceKind, 4);
    EXPECT_EQ(second.DeviceVariant, 6);
    EXPECT_TRUE(second.ConfigName.empty());
}

TEST(ParamValues, NumericValues) {
    LanguageFiles texts;
    TBaseConfigCell c(1, 1, 1);
    c.ResetAll(1);
    EXPECT_EQ(c.GetParamValue(CONFIGURATION_NAME), 6.0); // "NONAME"
    EXPECT_EQ(c.GetParamValue(ASCAN_PIXEL_LENGTH), 1024.0);
    EXPECT_EQ(c.GetParamValue(GEN_DOTS_PER_CELL), 40.0);
    EXPECT_EQ(c.GetParamValue(ASCAN_STROB1_Y), 10.0);
    EXPECT_EQ(c.GetParamValue(GEN_TGV_GAIN, 1), 28.0);
    EXPECT_EQ(c.GetParamValue(GEN_TGV_GAIN, 29), 30.0);
    EXPECT_EQ(c.GetParamValue(GEN_TGV_POS, 29), 1024.0);
    // Only the active points have values.
    EXPECT_EQ(c.GetParamValue(GEN_TGV_GAIN, 30), 0.0);
    EXPECT_EQ(c.GetParamValue(GEN_TGV_POS, -1), 0.0);
    c.MapVerticStep = 20;
    c.MapHorizStep = 30;
    EXPECT_EQ(c.GetParamValue(MAP_STEP), 30.0);
    EXPECT_EQ(c.GetParamValue(ASCAN_STROB1_BEGIN_MM), 2700.0 * 30.0 / 2000.0);
    EXPECT_EQ(c.GetParamValue(ASCAN_STROB1_LENGTH_MM), 135.0);
    EXPECT_NEAR(c.GetParamValue(ASCAN_STROB1_GAIN_DB), 94.609, 0.0005);
    EXPECT_EQ(c.GetParamValue(ANL_ATTENUATOR_COUNT1), 30.0); // the count, not its display
    EXPECT_EQ(c.GetParamValue(85), 0.0);
    EXPECT_EQ(c.GetParamValue(-1), 0.0);
}

TEST(ParamCaptions, FromTheCaptionColumn) {
    LanguageFiles texts;
    TBaseConfigCell c(1, 1, 1);
    EXPECT_EQ(c.GetParamCaption(DEVICE_KIND), "Cap60");
    EXPECT_EQ(c.GetParamCaption(MAP_SCANNING_ORDER), "");
    EXPECT_EQ(c.GetParamCaption(ASCAN_STROB1_BEGIN), "Cap118");
    EXPECT_EQ(c.GetParamCaption(CONFIG_STRINGS_QUANT), "Cap157");
    EXPECT_EQ(c.GetParamCaption(ASCAN_STROB1_GAIN_DB), "Cap348");
    EXPECT_EQ(c.GetParamCaption(85), "");
    EXPECT_EQ(c.GetParamCaption(-3), "");
}
