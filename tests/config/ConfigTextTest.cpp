// The parameter-numbered and the positional text forms of a configuration.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

using platform::text::AtomicFileWriter;
using platform::text::LineReader;
using platform::text::RangeError;
using tbtest::crlf;
using tbtest::kResetText;
using tbtest::LanguageFiles;
using tbtest::TempFolder;

namespace {

class ConfigText : public ::testing::Test {
protected:
    void SetUp() override { c.ResetAll(1); }

    template <typename Write> std::vector<std::string> written(Write write) {
        {
            AtomicFileWriter file(folder / "out.txt");
            write(file);
            file.commit();
        }
        return platform::text::readAllLines(folder / "out.txt");
    }

    std::string writtenBytes(TBaseConfigCell& config) {
        {
            AtomicFileWriter file(folder / "out.txt");
            WriteParamBlock(config, file);
            file.commit();
        }
        return tbtest::readBytes(folder / "out.txt");
    }

    // Reads one parameter-numbered block from the lines; answers the reader's result.
    int readParams(TBaseConfigCell& config, const std::vector<std::string>& lines,
                   std::string* rest = nullptr) {
        tbtest::writeBytes(folder / "in.txt", crlf(lines));
        LineReader file(folder / "in.txt");
        const int result = ReadParamBlock(config, file);
        if (rest) {
            std::string_view next;
            *rest = file.next(next) ? std::string(next) : "<end>";
        }
        return result;
    }

    int readLegacy(TBaseConfigCell& config, const std::vector<std::string>& lines,
                   bool skipVersion = false, std::string* rest = nullptr,
                   TLegacyShape* shape = nullptr) {
        tbtest::writeBytes(folder / "in.txt", crlf(lines));
        LineReader file(folder / "in.txt");
        const int result = ReadLegacyBlock(config, file, skipVersion, shape);
        if (rest) {
            std::string_view next;
            *rest = file.next(next) ? std::string(next) : "<end>";
        }
        return result;
    }

    LanguageFiles texts;
    TempFolder folder;
    TBaseConfigCell c{1, 1, 1};
};

// TVG points of a reset configuration.
const int kResetGains[32] = {0,  28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28,
                             28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 30, 28, 28};
const int kResetPositions[32] = {0,    64,   128,  192,  256,  320,  384,  448,  512,  576,  640,
                                 704,  768,  832,  896,  960,  1024, 1088, 1152, 1216, 1280, 1344,
                                 1408, 1472, 1536, 1600, 1664, 1728, 1792, 1024, 1920, 1984};

// The positional text of a configuration reset with number 1, worked out by hand.
std::vector<std::string> resetLegacyText() {
    std::vector<std::string> t = {"CONFIG_VERSION:1",
                                  "DEVICE_INDEX:0",
                                  "CONFIGURATION #:1",
                                  "CONFIGURATION INDEX:1",
                                  "CONFIGURATION_NAME",
                                  "78",
                                  "79",
                                  "78",
                                  "65",
                                  "77",
                                  "69"};
    for (int i = 0; i < 16; ++i) {
        t.push_back("32");
    }
    // clang-format off
    const std::vector<std::string> middle = {
        "MAP_VERTIC_POINTS_QUAN:10", "MAP_HORIZ_POINTS_QUAN:10", "MAP_VERTIC_STEP:10",
        "MAP_HORIZ_STEP:10", "MAP_SCANNING_ORDER:0", "MAP_KURSOR_VERTICAL_POINT:10",
        "MAP_KURSOR_HORIZON_POINT:10", "MAP_AUX_AREA_CONTENT:0", "BAND_LAST_ASCAN:0",
        "BAND_CURRENT_ASCAN:0", "BAND_STEP:10", "BAND_ELEMENT_WIDTH_INDEX:0", "BAND_AUTO_END:0",
        "BAND_SHIFT:0", "ASCAN_STROB1_BEGIN:30", "ASCAN_STROB2_BEGIN:50", "ASCAN_STROB1_END:100",
        "ASCAN_STROB2_END:90", "ASCAN_STROB1_Y:10", "ASCAN_STROB2_Y:30", "ASCAN_STROB1_ENABLED:0",
        "ASCAN_STROB2_ENABLED:0", "ASCAN_KURSORS_QUANT:0", "ASCAN_KURSOR1_ENABLED:100",
        "ASCAN_KURSOR2_ENABLED:100", "ASCAN_KURSOR1_IN_LUPA:0", "ASCAN_KURSOR2_IN_LUPA:0",
        "ASCAN_KURSOR1_LUPA_PIXEL_POS:100", "ASCAN_KURSOR2_LUPA_PIXEL_POS:100",
        "ASCAN_SCALE_DIMENSION:0", "ASCAN_FULL_OVR_PRINT:0", "ASCAN_PIXEL_LENGTH:1024",
        "ASCAN_SIGNAL_CATCH_ALGORYTHM:0", "GEN_SIGNAL_TYPE:0", "GEN_SCREEN_TYPE:0",
        "GEN_PREV_SCREEN_TYPE:0", "GEN_POISK_LEVEL:10", "GEN_CUTOFF_LEVEL:0",
        "GEN_INDEX_MARK_MKS:1", "GEN_INDEX_MARK_MM:0", "GEN_DOTS_PER_CELL:4000",
        "GEN_DOTS_PER_CELL_PREV:4000",
    };
    // clang-format on
    t.insert(t.end(), middle.begin(), middle.end());
    for (int i = 0; i < 32; ++i) {
        t.push_back("GEN_TGV_GAIN[" + std::to_string(i) + "]:" + std::to_string(kResetGains[i]));
    }
    for (int i = 0; i < 32; ++i) {
        t.push_back("GEN_TGV_POS[" + std::to_string(i) + "]:" + std::to_string(kResetPositions[i]));
    }
    // clang-format off
    const std::vector<std::string> tail = {
        "GEN_TGV_ENABLED:0", "GEN_TGV_PREV_STATE:0", "GEN_TGV_CURSOR_POS:30",
        "GEN_TGV_ACTIVE_PTS:30", "SYS_ILLUMIN_STATE:0", "SYS_CONTRAST_VALUE:0",
        "SYS_SOUND_ENABLED:0", "SYS_AUTO_SHUTDWN:0", "SYS_REFRESH_FREQ:10", "SYS_WARMING_ON:0",
        "PRB_FREQ_INDEX:1", "PRB_DELAY:30", "PRB_TYPE:0", "ANL_ZONDER_VOLTAGE_INDEX:0",
        "ANL_ZONDER_PERIODS_QUANT:50", "ANL_FILTER_BAND_INDEX:0", "ANL_ATTENUATOR_COUNT1:30",
        "ANL_ATTENUATOR_COUNT2:30", "ANL_AVERAGER_INDEX:0", "ANL_BARKER_ORDER:1",
        "OBJ_USONIC_VELOCITY:2700", "GTM_GLOBAL_WORKTIME:0", "GTM_SNAP_YEAR:7", "GTM_SNAP_MONTH:0",
        "GTM_SNAP_DAY:0", "GTM_SNAP_HOUR:0", "GTM_SNAP_MINUTE:0", "GTM_SNAP_SECOND:0",
    };
    // clang-format on
    t.insert(t.end(), tail.begin(), tail.end());
    return t;
}

} // namespace

// ---- Parameter-numbered form --------------------------------------------------------------------

TEST_F(ConfigText, GoldenNumberedTextOfAResetConfiguration) {
    c.Modified = 1;
    EXPECT_EQ(writtenBytes(c), crlf(kResetText));
    EXPECT_EQ(c.Modified, 0);
}

TEST_F(ConfigText, CommentLinesFollowLine80) {
    c.ConfigStrings = {"one", "two: three", ""};
    c.ConfigStringsCount = 3;
    const auto lines = written([this](AtomicFileWriter& f) { WriteParamBlock(c, f); });
    ASSERT_EQ(lines.size(), 89u);
    EXPECT_EQ(lines[80], "80:3");
    EXPECT_EQ(lines[81], "one");
    EXPECT_EQ(lines[82], "two: three");
    EXPECT_EQ(lines[83], "");
    EXPECT_EQ(lines[84], "81:40");
}

TEST_F(ConfigText, CountAboveTheListIsPaddedWithEmptyLines) {
    c.ConfigStrings = {"only"};
    c.ConfigStringsCount = 2;
    const auto lines = written([this](AtomicFileWriter& f) { WriteParamBlock(c, f); });
    ASSERT_EQ(lines.size(), 88u);
    EXPECT_EQ(lines[81], "only");
    EXPECT_EQ(lines[82], "");
    EXPECT_EQ(lines[83], "81:40");
}

TEST_F(ConfigText, ReadingTheGoldenTextGivesTheResetConfiguration) {
    std::unique_ptr<TBaseConfigCell> slot;
    TBaseConfigCell& read = NewConfigCell(9, 9, 9, slot);
    read.Modified = 1;
    std::string rest;
    EXPECT_EQ(readParams(read, kResetText, &rest), 0);
    EXPECT_EQ(rest, "<end>");
    TBaseConfigCell expected = c;
    expected.DotsPerCellPrev = read.DotsPerCellPrev; // not part of this form
    EXPECT_EQ(tbtest::differences(expected, read), "");
    EXPECT_EQ(read.Modified, 0);
}

TEST_F(ConfigText, NumberedRoundTripOfAVariedConfiguration) {
    TBaseConfigCell sent = tbtest::variedConfig();
    const auto lines = written([&sent](AtomicFileWriter& f) { WriteParamBlock(sent, f); });
    TBaseConfigCell read(1, 1, 1);
    ASSERT_EQ(readParams(read, lines), 0);
    TBaseConfigCell expected = sent;
    expected.DotsPerCellPrev = read.DotsPerCellPrev;
    expected.TgvPrevState = read.TgvPrevState;
    EXPECT_EQ(tbtest::differences(expected, read), "");
    EXPECT_EQ(read.ConfigStrings, sent.ConfigStrings);
}

TEST_F(ConfigText, CommentLinesAreRead) {
    std::vector<std::string> lines = kResetText;
    lines[80] = "80:3";
    lines.insert(lines.begin() + 81, {"alpha", "85:not a parameter", "65534:"});
    std::string rest;
    EXPECT_EQ(readParams(c, lines, &rest), 0);
    EXPECT_EQ(c.ConfigStrings, (std::vector<std::string>{"alpha", "85:not a parameter", "65534:"}));
    EXPECT_EQ(c.ConfigStringsCount, 3);
    EXPECT_EQ(rest, "<end>");
}

TEST_F(ConfigText, NoCommentLinesWhenTheCountIsZero) {
    c.ConfigStrings = {"stale"};
    EXPECT_EQ(readParams(c, kResetText), 0);
    EXPECT_EQ(c.ConfigStringsCount, 0);
    EXPECT_TRUE(c.ConfigStrings.empty());
}

TEST_F(ConfigText, LinesInAnotherOrderReadTheSame) {
    std::vector<std::string> lines(kResetText.rbegin() + 1, kResetText.rend());
    lines.push_back("65534:");
    TBaseConfigCell read(1, 1, 1);
    EXPECT_EQ(readParams(read, lines), 0);
    TBaseConfigCell expected = c;
    expected.DotsPerCellPrev = read.DotsPerCellPrev;
    EXPECT_EQ(tbtest::differences(expected, read), "");
}

TEST_F(ConfigText, DerivedLinesAreNotApplied) {
    std::vector<std::string> lines = kResetText;
    lines[8] = "8:20";
    lines[9] = "9:30";
    lines[71] = "71:50";
    lines[81] = "81:999";
    lines[82] = "82:1";
    lines[84] = "84:150";
    EXPECT_EQ(readParams(c, lines), 0);
    EXPECT_EQ(c.MapVerticStep, 20);
    EXPECT_EQ(c.MapHorizStep, 30);
    EXPECT_EQ(c.StrobeBeginTime[0], 30.0);
    EXPECT_EQ(c.StrobeLengthTime[0], 100.0);
    EXPECT_EQ(c.StrobeLevel[0], 10);
}

TEST_F(ConfigText, ForeignAndMalformedLinesArePassedOver) {
    std::vector<std::string> lines = {"hello", "",       "85:7", "-1:5", "99999999999999999999:1",
                                      ":5",    "37:abc", "6:",   "12",   "63:3000"};
    c.AScanRange = 2000;
    c.MapVerticPoints = 20;
    c.MapCursorHorizontal = 4;
    lines.push_back("65534:");
    lines.push_back("6:25");
    std::string rest;
    EXPECT_EQ(readParams(c, lines, &rest), 0);
    EXPECT_EQ(c.AScanRange, 1024);        // unreadable: the default
    EXPECT_EQ(c.MapVerticPoints, 10);     // empty: the default
    EXPECT_EQ(c.MapCursorHorizontal, 10); // a line without a colon has an empty value
    EXPECT_EQ(c.Velocity, 3000);
    EXPECT_EQ(rest, "6:25"); // reading ends at the closing line
}

TEST_F(ConfigText, ReadValuesAreValidated) {
    std::vector<std::string> lines = kResetText;
    lines[6] = "6:50";
    lines[37] = "37:5000";
    lines[5] = "5:ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    lines[51] = "51:35";
    EXPECT_EQ(readParams(c, lines), 0);
    EXPECT_EQ(c.MapVerticPoints, 10);
    EXPECT_EQ(c.AScanRange, 1024);
    EXPECT_EQ(c.ConfigName, "ABCDEFGHIJKLMNOPQRSTUV");
    EXPECT_EQ(c.TgvActivePoints, 30);
    EXPECT_EQ(c.TgvCurve.size(), 1025u);
}

TEST_F(ConfigText, ValueTooWideForItsFieldIsARangeError) {
    std::vector<std::string> lines = kResetText;
    lines[37] = "37:70000";
    EXPECT_THROW(readParams(c, lines), RangeError);
    lines = kResetText;
    lines[10] = "10:-1";
    EXPECT_THROW(readParams(c, lines), RangeError);
}

TEST_F(ConfigText, BlockWithoutItsClosingLineIsIncomplete) {
    std::vector<std::string> lines(kResetText.begin(), kResetText.begin() + 40);
    lines[6] = "6:20";
    EXPECT_EQ(readParams(c, lines), 1);
    EXPECT_EQ(c.MapVerticPoints, 20); // what was read stays
    EXPECT_EQ(readParams(c, {}), 1);
}

TEST_F(ConfigText, CommentLinesCutByTheEndOfTheFile) {
    std::vector<std::string> lines(kResetText.begin(), kResetText.begin() + 81);
    lines[80] = "80:3";
    lines.push_back("only one");
    EXPECT_EQ(readParams(c, lines), 1);
}

TEST_F(ConfigText, MoreCommentLinesThanAConfigurationMayCarry) {
    std::vector<std::string> lines = kResetText;
    lines[80] = "80:21";
    lines.insert(lines.begin() + 81, 21, "comment");
    EXPECT_EQ(readParams(c, lines), 1);
    EXPECT_LE(c.ConfigStrings.size(), 20u);

    lines = kResetText;
    lines[80] = "80:20";
    lines.insert(lines.begin() + 81, 20, "comment");
    EXPECT_EQ(readParams(c, lines), 0);
    EXPECT_EQ(c.ConfigStrings.size(), 20u);
}

TEST_F(ConfigText, FormatAndParseOneLine) {
    EXPECT_EQ(c.FormatParamLine(63), "63:2700");
    EXPECT_EQ(c.FormatParamLine(5), "5:NONAME");
    EXPECT_EQ(c.ParseParamLine("63:1500"), 63);
    EXPECT_EQ(c.Velocity, 1500);
    EXPECT_EQ(c.ParseParamLine("5:A:B"), 5);
    EXPECT_EQ(c.ConfigName, "A:B"); // only the first colon separates
    EXPECT_EQ(c.ParseParamLine("word:1"), 65535);
    EXPECT_EQ(c.ParseParamLine("65534:"), 65534);
    EXPECT_EQ(c.ParseParamLine(""), 65535);
}

// ---- Positional form ----------------------------------------------------------------------------

TEST_F(ConfigText, GoldenPositionalTextOfAResetConfiguration) {
    const auto lines = written([this](AtomicFileWriter& f) { WriteLegacyBlock(c, f); });
    EXPECT_EQ(lines, resetLegacyText());
    EXPECT_EQ(lines.size(), 161u);
}

TEST_F(ConfigText, PositionalNameLines) {
    c.ConfigName = "WELD";
    const auto lines = written([this](AtomicFileWriter& f) { WriteLegacyBlock(c, f); });
    EXPECT_EQ(lines[5], "87");
    EXPECT_EQ(lines[6], "69");
    EXPECT_EQ(lines[7], "76");
    EXPECT_EQ(lines[8], "68");
    for (int i = 9; i < 27; ++i) {
        EXPECT_EQ(lines[static_cast<size_t>(i)], "32");
    }
    // The padding blanks do not come back.
    TBaseConfigCell read(1, 1, 1);
    EXPECT_EQ(readLegacy(read, lines), 0);
    EXPECT_EQ(read.ConfigName, "WELD");
}

TEST_F(ConfigText, ReadingTheGoldenPositionalText) {
    TBaseConfigCell read(1, 1, 1);
    read.ConfigStrings = {"x"};
    read.Modified = 1;
    std::string rest;
    EXPECT_EQ(readLegacy(read, resetLegacyText(), false, &rest), 0);
    EXPECT_EQ(rest, "<end>");
    // Times follow the pixels of this form.
    TBaseConfigCell expected = c;
    expected.StrobeBeginTime = {96.0, 160.0};
    expected.StrobeLengthTime = {224.0, 128.0};
    expected.CursorTime = {320.0, 320.0};
    expected.CursorZoomTime = read.CursorZoomTime;
    EXPECT_EQ(tbtest::differences(expected, read), "");
}

TEST_F(ConfigText, PositionalRoundTripOfAVariedConfiguration) {
    const TBaseConfigCell sent = tbtest::variedConfig();
    const auto lines = written([&sent](AtomicFileWriter& f) { WriteLegacyBlock(sent, f); });
    EXPECT_EQ(lines[2], "CONFIGURATION #:7");     // written unchanged
    EXPECT_EQ(lines[141], "SYS_REFRESH_FREQ:15"); // the parameter's value
    TBaseConfigCell read(1, 1, 1);
    EXPECT_EQ(readLegacy(read, lines), 0);
    TBaseConfigCell expected = sent;
    expected.DeviceKind = expected.DeviceVersion = expected.DeviceVariant = 1;
    expected.CursorTime = {200.0 * 2048 / 320, 300.0 * 2048 / 320};
    expected.CursorZoomTime = {0.0, 0.0};
    expected.AuxTime = 0.0;
    expected.ConfigStrings.clear();
    expected.ConfigStringsCount = 0;
    EXPECT_EQ(tbtest::differences(expected, read), "");
}

TEST_F(ConfigText, PositionalReaderIgnoresTheKeys) {
    std::vector<std::string> lines = resetLegacyText();
    for (auto& line : lines) {
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            line = "X" + line.substr(colon);
        }
    }
    lines[29] = "anything:20"; // MAP_VERTIC_STEP by position
    TBaseConfigCell read(1, 1, 1);
    EXPECT_EQ(readLegacy(read, lines), 0);
    EXPECT_EQ(read.MapVerticStep, 20);
    EXPECT_EQ(read.AScanRange, 1024);
}

TEST_F(ConfigText, PositionalVersionMustBeOne) {
    std::vector<std::string> lines = resetLegacyText();
    lines[0] = "CONFIG_VERSION:2";
    TBaseConfigCell read(1, 1, 1);
    read.ConfigName = "UNTOUCHED";
    std::string rest;
    EXPECT_EQ(readLegacy(read, lines, false, &rest), 1);
    EXPECT_EQ(read.ConfigName, "UNTOUCHED");
    EXPECT_EQ(rest, "DEVICE_INDEX:0"); // only the version line was read

    EXPECT_EQ(readLegacy(read, {"CONFIG_VERSION"}), 1);
    EXPECT_EQ(readLegacy(read, {}), 1);

    // A caller that consumed the version line skips it.
    lines.erase(lines.begin());
    EXPECT_EQ(readLegacy(read, lines, true), 0);
    EXPECT_EQ(read.ConfigName, "NONAME");
}

TEST_F(ConfigText, PositionalConfigurationNumberOfOlderPrograms) {
    std::vector<std::string> lines = resetLegacyText();
    lines[2] = "CONFIGURATION #:21";
    TBaseConfigCell read(1, 1, 1);
    EXPECT_EQ(readLegacy(read, lines), 0);
    EXPECT_EQ(read.ConfigNumber, 20);
    lines[2] = "CONFIGURATION #:0";
    EXPECT_EQ(readLegacy(read, lines), 0);
    EXPECT_EQ(read.ConfigNumber, 1);
    lines[2] = "CONFIGURATION #:6";
    EXPECT_EQ(readLegacy(read, lines), 0);
    EXPECT_EQ(read.ConfigNumber, 6);
}

TEST_F(ConfigText, PositionalNameCodes) {
    std::vector<std::string> lines = resetLegacyText();
    lines[5] = "47"; // '/' is passed over
    lines[6] = "x";  // so is a line that is not a number
    lines[7] = "192";
    TBaseConfigCell read(1, 1, 1);
    EXPECT_EQ(readLegacy(read, lines), 0);
    EXPECT_EQ(read.ConfigName, "\xC0"
                               "AME");
    lines[7] = "256";
    EXPECT_THROW(readLegacy(read, lines), RangeError);
}

TEST_F(ConfigText, PositionalBadValues) {
    std::vector<std::string> lines = resetLegacyText();
    lines[27] = "MAP_VERTIC_POINTS_QUAN:many"; // unreadable: the default
    lines[58] = "ASCAN_PIXEL_LENGTH";          // no value: the default
    lines[67] = "GEN_DOTS_PER_CELL:";
    lines[147] = "ANL_ZONDER_PERIODS_QUANT:x";
    lines[29] = "MAP_VERTIC_STEP:500"; // out of range: validated
    TBaseConfigCell read(1, 1, 1);
    EXPECT_EQ(readLegacy(read, lines), 0);
    EXPECT_EQ(read.MapVerticPoints, 10);
    EXPECT_EQ(read.AScanRange, 1024);
    EXPECT_EQ(read.DotsPerCell, 40.0);
    EXPECT_EQ(read.ZonderPeriods, 0.5);
    EXPECT_EQ(read.MapVerticStep, 10);

    lines = resetLegacyText();
    lines[58] = "ASCAN_PIXEL_LENGTH:65536";
    EXPECT_THROW(readLegacy(read, lines), RangeError);
}

TEST_F(ConfigText, PositionalBlockCutShort) {
    std::vector<std::string> lines = resetLegacyText();
    lines.resize(150);
    TBaseConfigCell read(1, 1, 1);
    EXPECT_EQ(readLegacy(read, lines), 1);
}

TEST_F(ConfigText, PositionalTimesFollowThePixelsThatValidationLeaves) {
    TBaseConfigCell sent = c;
    sent.AScanRange = 5000; // beyond the range: validation puts back 1024
    sent.StrobeBeginPixel[0] = 32;
    sent.StrobeEndPixel[0] = 64;
    sent.CursorPixel = {100, 200};
    auto lines = written([&sent](AtomicFileWriter& f) { WriteLegacyBlock(sent, f); });
    TBaseConfigCell read(1, 1, 1);
    ASSERT_EQ(readLegacy(read, lines), 0);
    EXPECT_EQ(read.AScanRange, 1024);
    EXPECT_EQ(read.StrobeBeginPixel[0], 32);
    EXPECT_DOUBLE_EQ(read.StrobeBeginTime[0], 102.4);
    EXPECT_DOUBLE_EQ(read.StrobeLengthTime[0], 102.4);
    EXPECT_DOUBLE_EQ(read.CursorTime[0], 320.0);
    EXPECT_DOUBLE_EQ(read.CursorTime[1], 640.0);
    EXPECT_EQ(read.Modified, 0);
}

TEST_F(ConfigText, PositionalShapeIsReportedAsWrittenBeforeValidation) {
    TBaseConfigCell sent = c;
    sent.MapVerticPoints = 3; // fewer rows than a configuration keeps
    sent.MapHorizPoints = 41;
    sent.AScanRange = 4097;
    sent.BandLastAScan = 900;
    auto lines = written([&sent](AtomicFileWriter& f) { WriteLegacyBlock(sent, f); });
    TBaseConfigCell read(1, 1, 1);
    TLegacyShape shape;
    ASSERT_EQ(readLegacy(read, lines, false, nullptr, &shape), 0);
    EXPECT_EQ(shape.Rows, 3);
    EXPECT_EQ(shape.Columns, 41);
    EXPECT_EQ(shape.Samples, 4097);
    EXPECT_EQ(shape.BandLastScan, 900);
    // The configuration itself holds validated values.
    EXPECT_NE(read.MapVerticPoints, 3);
    EXPECT_NE(read.AScanRange, 4097);

    // A shape line without a number is reported as missing, not as the default.
    for (auto& line : lines) {
        if (line.rfind("ASCAN_PIXEL_LENGTH:", 0) == 0) {
            line = "ASCAN_PIXEL_LENGTH:many";
        }
    }
    ASSERT_EQ(readLegacy(read, lines, false, nullptr, &shape), 0);
    EXPECT_FALSE(shape.Samples.has_value());
    EXPECT_EQ(shape.Rows, 3);
}
