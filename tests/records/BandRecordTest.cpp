// The band record: geometry, preparation after a transfer, the colour table and its palettes,
// the gradator's handles, the scan cursor and the shift range.
#include "RecordsTestSupport.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <stdexcept>

using platform::text::RangeError;

namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kBlack = 0x000000;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kThermalBlue = 0xEE1111;
constexpr TColor kThermalGreen = 0x22EE22;
constexpr TColor kThermalYellow = 0x22EEEE;
constexpr TColor kThermalRed = 0x1111FF;

TColor grey(int g) {
    return static_cast<TColor>(g | g << 8 | g << 16);
}

class Band : public ::testing::Test {
protected:
    void SetUp() override {
        b.Config->ResetAll(1);
        b.Config->AScanRange = 8;
    }

    TColor entry(std::size_t h) const { return b.ColorTable.at(h); }

    TBaseBandCell b;
};

// ---- Construction and geometry --------------------------------------------------------------

TEST_F(Band, ANewBandHasItsBinaryTableBuilt) {
    TBaseBandCell fresh;
    EXPECT_EQ(fresh.PaletteKind, PaletteBinary);
    EXPECT_EQ(fresh.HueLow, 0);
    EXPECT_EQ(fresh.HueHigh, 359);
    EXPECT_EQ(fresh.ColorTable[0], kWhite);
    EXPECT_EQ(fresh.ColorTable[358], kWhite);
    EXPECT_EQ(fresh.ColorTable[359], kBlack);
    EXPECT_EQ(fresh.BackgroundColor, kWhite);
    EXPECT_EQ(fresh.ScaleColor, 0x808080u);
    EXPECT_EQ(fresh.CursorColor, kRed);
    EXPECT_EQ(fresh.Count1, 1);
    EXPECT_EQ(fresh.Count2, 1);
    EXPECT_EQ(fresh.Scan(0, 0).size(), AScanSlotSamples);
}

TEST_F(Band, SetScanCountShapesTheBand) {
    b.SetScanCount(5);
    EXPECT_EQ(b.Count1, 1);
    EXPECT_EQ(b.Count2, 5);
    EXPECT_EQ(b.Config->BandLastAScan, 4);
    for (std::uint32_t j = 0; j < 5; ++j) {
        EXPECT_EQ(b.Scan(0, j).size(), 8u);
    }
    EXPECT_TRUE(b.Scan(0, 5).empty());
    EXPECT_THROW(b.SetScanCount(0), RangeError);
}

TEST_F(Band, SetScanCountKeepsSamplesOnlyWhileTheCountStays) {
    b.Scan(0, 0)[3] = 33; // a fresh band: its one A-scan is kept
    b.SetScanCount(3);
    EXPECT_EQ(b.Scan(0, 0)[3], 33);
    b.Scan(0, 2)[1] = 21;
    b.Config->AScanRange = 4; // same count, shorter A-scans: what fits stays
    b.SetScanCount(3);
    EXPECT_EQ(b.Scan(0, 0).size(), 4u);
    EXPECT_EQ(b.Scan(0, 0)[3], 33);
    EXPECT_EQ(b.Scan(0, 2)[1], 21);
    b.SetScanCount(4); // another count: a fresh start
    EXPECT_EQ(b.Scan(0, 0)[3], 0);
    EXPECT_EQ(b.Scan(0, 2)[1], 0);
}

TEST_F(Band, SetCurrentScanPastTheCountKeepsTheCurrentAScan) {
    b.SetScanCount(3);
    b.SetCurrentScan(2);
    EXPECT_EQ(b.Index2, 2);
    b.SetCurrentScan(3);
    EXPECT_EQ(b.Index2, 2);
}

TEST_F(Band, ClearDataReleasesTheSamplesButKeepsTheCounts) {
    b.SetScanCount(3);
    b.Config->BandCurrentAScan = 2;
    b.ClearData();
    EXPECT_TRUE(b.Scan(0, 0).empty());
    EXPECT_TRUE(b.Trace().empty());
    EXPECT_EQ(b.Config->BandLastAScan, 0);
    EXPECT_EQ(b.Config->BandCurrentAScan, 0);
    EXPECT_EQ(b.Count2, 3);
    // The decoder and the preparation find nothing to work on.
    b.DecodeRawBuffer(tbtest::encodeBlock({1, 2}, 0));
    b.ProcessReceived();
    EXPECT_EQ(b.GetAmplitude(), 0);
    b.SetScanCount(2);
    EXPECT_EQ(b.Scan(0, 1).size(), 8u);
}

TEST_F(Band, ProcessReceivedAppliesTheGainToEveryAScanAndStartsTheBinaryPalette) {
    b.SetScanCount(3);
    for (std::uint32_t j = 0; j < 3; ++j) {
        b.Scan(0, j)[2] = 100;
    }
    b.Config->TgvEnabled = 1;
    b.Config->TgvActivePoints = 1;
    b.Config->TgvGain[0] = 6; // a factor of 1.995
    b.Config->StrobeLevel[0] = 50;
    b.Config->BandShift = 7;
    b.PaletteKind = PaletteThermal;
    b.HueLow = 30;
    b.ProcessReceived();
    for (std::uint32_t j = 0; j < 3; ++j) {
        EXPECT_EQ(b.Scan(0, j)[2], 200) << "A-scan " << j;
    }
    EXPECT_EQ(b.Index2, 2);
    EXPECT_EQ(b.PaletteKind, PaletteBinary);
    EXPECT_EQ(b.HueLow, 0);
    EXPECT_EQ(b.HueHigh, 180); // 179.5 to the even neighbour
    EXPECT_EQ(b.Config->BandShift, 0);
    EXPECT_EQ(entry(179), kWhite);
    EXPECT_EQ(entry(180), kBlack);
}

// ---- Palettes -------------------------------------------------------------------------------

TEST_F(Band, BinaryPaletteThresholdIsTheUpperBound) {
    b.BuildPalette(PaletteBinary, 0, 359);
    EXPECT_EQ(entry(0), kWhite);
    EXPECT_EQ(entry(358), kWhite);
    EXPECT_EQ(entry(359), kBlack);
    EXPECT_EQ(entry(360), kBlack);
    b.BuildPalette(PaletteBinary, 50, 100);
    EXPECT_EQ(entry(99), kWhite);
    EXPECT_EQ(entry(100), kBlack);
    EXPECT_EQ(b.CursorColor, kRed);
    EXPECT_EQ(b.LowHandleColor, kRed);
    EXPECT_EQ(b.HighHandleColor, kRed);
}

TEST_F(Band, DirectGreyRunsFromWhiteAtTheLowerBoundToBlackAtTheUpper) {
    b.BuildPalette(PaletteDirectGrey, 100, 200);
    EXPECT_EQ(entry(0), kWhite);
    EXPECT_EQ(entry(99), kWhite);
    EXPECT_EQ(entry(100), kWhite);
    EXPECT_EQ(entry(150), grey(127)); // 255 - 127.5 rounded to 128
    EXPECT_EQ(entry(101), grey(252)); // 255 - 2.55 rounded to 3
    EXPECT_EQ(entry(200), kBlack);
    EXPECT_EQ(entry(201), kBlack);
    EXPECT_EQ(entry(360), kBlack);
    EXPECT_EQ(b.CursorColor, kRed);
}

TEST_F(Band, InverseGreyRunsFromBlackToWhite) {
    b.BuildPalette(PaletteInverseGrey, 100, 200);
    EXPECT_EQ(entry(99), kBlack);
    EXPECT_EQ(entry(100), kBlack);
    EXPECT_EQ(entry(150), grey(128));
    EXPECT_EQ(entry(200), kWhite);
    EXPECT_EQ(entry(360), kWhite);
    EXPECT_EQ(b.CursorColor, kGreen);
    EXPECT_EQ(b.LowHandleColor, kRed);
}

TEST_F(Band, ThermalAnchorsOverTheWholeRange) {
    b.BuildPalette(PaletteThermal, 0, 359);
    EXPECT_EQ(entry(0), kThermalBlue);
    EXPECT_EQ(entry(120), kThermalGreen);
    EXPECT_EQ(entry(240), kThermalYellow);
    EXPECT_EQ(entry(359), kThermalRed);
    EXPECT_EQ(entry(360), kThermalRed);
    // Between blue and green with the divisor 121: B 238 - 1.69, G 17 + 1.83, R 17 + 0.14.
    EXPECT_EQ(entry(1), 0xEC1311u);
    // The last entry before an anchor stops short of its colour: 119/121 of the way, B 238 -
    // 200.6, G 17 + 217.3, R 17 + 16.7.
    EXPECT_EQ(entry(119), 0x25EA22u);
    EXPECT_EQ(b.CursorColor, kWhite);
    EXPECT_EQ(b.LowHandleColor, kWhite);
    EXPECT_EQ(b.HighHandleColor, kBlack);
}

TEST_F(Band, ThermalOutsideTheBoundsTakesTheBoundsColours) {
    b.BuildPalette(PaletteThermal, 100, 200);
    // n = 101: anchors at 100, 134, 167, 200.
    EXPECT_EQ(entry(0), kThermalBlue);
    EXPECT_EQ(entry(99), kThermalBlue);
    EXPECT_EQ(entry(134), kThermalGreen);
    EXPECT_EQ(entry(167), kThermalYellow);
    EXPECT_EQ(entry(200), kThermalRed);
    EXPECT_EQ(entry(360), kThermalRed);
}

TEST_F(Band, EqualBoundsGiveAHardThreshold) {
    b.BuildPalette(PaletteDirectGrey, 150, 150);
    EXPECT_EQ(entry(149), kWhite);
    EXPECT_EQ(entry(150), kBlack);
    EXPECT_EQ(entry(360), kBlack);
    b.BuildPalette(PaletteInverseGrey, 150, 150);
    EXPECT_EQ(entry(149), kBlack);
    EXPECT_EQ(entry(150), kWhite);
    b.BuildPalette(PaletteThermal, 150, 150);
    EXPECT_EQ(entry(149), kThermalBlue);
    EXPECT_EQ(entry(150), kThermalRed);
    b.BuildPalette(PaletteBinary, 0, 0);
    EXPECT_EQ(entry(0), kBlack);
}

TEST_F(Band, ReversedBoundsAreBuiltSwappedAndKept) {
    b.HueLow = 200;
    b.HueHigh = 100;
    b.PaletteKind = PaletteDirectGrey;
    b.BuildPalette(KeepPalette, KeepBound, KeepBound);
    const auto reversed = b.ColorTable;
    b.BuildPalette(PaletteDirectGrey, 100, 200);
    EXPECT_EQ(reversed, b.ColorTable);
    EXPECT_EQ(b.HueLow, 200);
    EXPECT_EQ(b.HueHigh, 100);
}

TEST_F(Band, BuildArgumentsServeOneBuildOnly) {
    b.PaletteKind = PaletteInverseGrey;
    b.HueLow = 10;
    b.HueHigh = 20;
    b.BuildPalette(PaletteThermal, 0, 359);
    EXPECT_EQ(b.PaletteKind, PaletteInverseGrey);
    EXPECT_EQ(b.HueLow, 10);
    EXPECT_EQ(b.HueHigh, 20);
    b.BuildPalette(KeepPalette, KeepBound, 30);
    EXPECT_EQ(entry(10), kBlack);
    EXPECT_EQ(entry(30), kWhite);
}

TEST_F(Band, AKindPastTheLastPaletteBuildsTheThermalOne) {
    b.BuildPalette(9, 0, 359);
    EXPECT_EQ(entry(120), kThermalGreen);
}

TEST_F(Band, ColourLookupsStayInsideTheTable) {
    b.BuildPalette(PaletteThermal, 0, 359);
    EXPECT_EQ(b.ColorAt(-4), kThermalBlue);
    EXPECT_EQ(b.ColorAt(120), kThermalGreen);
    EXPECT_EQ(b.ColorAt(100000), kThermalRed);
}

TEST_F(Band, TheSchemeKeepsWhiteBackgroundAndRebuildsThePalette) {
    b.PaletteKind = PaletteInverseGrey;
    b.HueLow = 0;
    b.HueHigh = 359;
    b.SetColorScheme(1);
    EXPECT_EQ(b.Color(5), kWhite);
    EXPECT_EQ(b.Color(6), kBlack);
    EXPECT_EQ(b.BackgroundColor, kWhite);
    EXPECT_EQ(entry(0), kBlack);
    EXPECT_EQ(b.CursorColor, kGreen);
}

// ---- Overrides for one drawing --------------------------------------------------------------

TEST_F(Band, OverridesAreRestoredOnEveryWayOut) {
    b.ColorScheme = 0;
    b.SetColorScheme(0);
    const auto colours = b.Colors;
    const auto table = b.ColorTable;
    try {
        TSchemeOverride scheme(b, 1);
        TPaletteOverride palette(b, PaletteThermal);
        EXPECT_EQ(b.Color(5), kWhite);
        EXPECT_EQ(entry(0), kThermalBlue);
        throw std::runtime_error("drawing failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(b.Colors, colours);
    EXPECT_EQ(b.ColorTable, table);
}

TEST_F(Band, KeepArgumentsChangeNothing) {
    b.SetColorScheme(1); // colours that are not the record's own scheme
    const auto colours = b.Colors;
    {
        TSchemeOverride scheme(b, KeepScheme);
        TPaletteOverride palette(b, KeepPalette);
    }
    EXPECT_EQ(b.Colors, colours);
}

// ---- Cursors, shift and gradator ------------------------------------------------------------

TEST_F(Band, ShiftRangeOfA592PixelView) {
    b.Config->BandElementWidthIndex = 0; // 2 pixels per A-scan: 296 fit
    std::uint16_t positions = 77;
    b.Config->BandLastAScan = 295;
    EXPECT_FALSE(b.GetShiftRange(592, positions));
    EXPECT_EQ(positions, 77);
    b.Config->BandLastAScan = 296;
    EXPECT_TRUE(b.GetShiftRange(592, positions));
    EXPECT_EQ(positions, 1);
    b.Config->BandElementWidthIndex = 3; // 16 pixels: 37 fit
    b.Config->BandLastAScan = 100;
    EXPECT_TRUE(b.GetShiftRange(592, positions));
    EXPECT_EQ(positions, 64);
}

TEST_F(Band, AWidthIndexOutsideTheTableTakesItsLastEntry) {
    b.Config->BandElementWidthIndex = 9;
    EXPECT_EQ(b.PixelsPerAScan(), 16u);
}

TEST_F(Band, TheScanCursorFollowsTheMouseWithinTheBand) {
    b.Config->BandElementWidthIndex = 1; // 4 pixels
    b.Config->BandShift = 10;
    b.Config->BandLastAScan = 20;
    b.SetCursorColumnFromMouse(9);
    EXPECT_EQ(b.Config->BandCurrentAScan, 12);
    b.SetCursorColumnFromMouse(4000);
    EXPECT_EQ(b.Config->BandCurrentAScan, 20);
}

TEST_F(Band, ADepthClickAlwaysMovesCursorOne) {
    b.Config->CursorCount = 1;
    b.Config->CursorTime = {1.0, 2.0};
    b.SetMarkerFromMouse(50, 200); // N = 8
    EXPECT_EQ(b.Config->AuxTime, 2.0);
    EXPECT_EQ(b.Config->CursorTime[0], 2.0);
    EXPECT_EQ(b.Config->CursorTime[1], 2.0);
    b.SetMarkerFromMouse(50, 0);
    EXPECT_EQ(b.Config->CursorTime[0], 2.0);
}

TEST_F(Band, GradatorHitsTheHandleNearTheMouse) {
    // 361 pixels: hue h sits at x = h + 1.
    b.HueLow = 10;
    b.HueHigh = 300;
    EXPECT_EQ(b.HitColorGradator(361, 11), 1);
    EXPECT_EQ(b.HitColorGradator(361, 12), 1);
    EXPECT_EQ(b.HitColorGradator(361, 13), 0);
    EXPECT_EQ(b.HitColorGradator(361, 300), 2);
    EXPECT_EQ(b.HitColorGradator(361, 150), 0);
    b.HueHigh = 11;
    EXPECT_EQ(b.HitColorGradator(361, 12), 1); // the lower handle wins
}

TEST_F(Band, GradatorDragsKeepTheHandlesApart) {
    b.HueLow = 10;
    b.HueHigh = 300;
    b.DragColorGradator(361, 1, 51);
    EXPECT_EQ(b.HueLow, 50);
    b.DragColorGradator(361, 1, 290); // would come within 20 of the upper bound
    EXPECT_EQ(b.HueLow, 50);
    b.DragColorGradator(361, 2, 60);
    EXPECT_EQ(b.HueHigh, 300);
    b.DragColorGradator(361, 2, 400);
    EXPECT_EQ(b.HueHigh, 359);
    b.DragColorGradator(361, 1, 0);
    EXPECT_EQ(b.HueLow, 0);
    b.DragColorGradator(2, 1, 1); // a gradator too narrow to hold hues
    EXPECT_EQ(b.HueLow, 0);
}

TEST_F(Band, GradatorDragsRoundTheHue) {
    b.HueLow = 0;
    b.HueHigh = 359;
    b.DragColorGradator(200, 1, 100); // 99 x 359 / 198 = 179.5
    EXPECT_EQ(b.HueLow, 180);
}

TEST_F(Band, ErasingAnEntryClosesTheGap) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1));
    list.push_back(tbtest::makeBand(2));
    list.push_back(tbtest::makeBand(3));
    std::uint16_t count = 3;
    EXPECT_FALSE(EraseBand(list, 1, count));
    ASSERT_EQ(count, 2);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->BandRecordIndex, 51);
    EXPECT_EQ(list[1]->BandRecordIndex, 53);
    EXPECT_TRUE(EraseBand(list, 2, count));
    std::uint16_t wrong = 3;
    EXPECT_TRUE(EraseBand(list, 0, wrong));
    EXPECT_EQ(list.size(), 2u);
}

} // namespace
