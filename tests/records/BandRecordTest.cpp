// The band record: geometry, preparation after a transfer, the colour table and its palettes,
// the gradator's handles, the scan cursor and the shift range.
#include "RecordsTestSupport.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

    // Entries of the table built with the arguments.
    std::vector<TColor> build(std::uint8_t kind, std::uint16_t low, std::uint16_t high,
                              std::initializer_list<std::size_t> entries) {
        b.BuildPalette(kind, low, high);
        std::vector<TColor> out;
        for (std::size_t h : entries) {
            out.push_back(b.ColorTable.at(h));
        }
        return out;
    }

    TBaseBandCell b;
};

using Colours = std::vector<TColor>;

TEST_F(Band, ANewBandHasItsBinaryTableBuilt) {
    const TBaseBandCell fresh;
    EXPECT_EQ(fresh.ColorTable[358], kWhite);
    EXPECT_EQ(fresh.ColorTable[359], kBlack);
    EXPECT_EQ(fresh.HueHigh, 359);
    EXPECT_EQ(fresh.CursorColor, kRed);
    EXPECT_EQ(fresh.BackgroundColor, kWhite);
    EXPECT_EQ(fresh.Scan(0, 0).size(), AScanSlotSamples);
}

TEST_F(Band, SetScanCountKeepsSamplesOnlyWhileTheCountStays) {
    b.Scan(0, 0)[3] = 33; // a fresh band's one A-scan is kept
    b.SetScanCount(3);
    EXPECT_EQ(b.Count2, 3);
    EXPECT_EQ(b.Config->BandLastAScan, 2);
    EXPECT_EQ(b.Scan(0, 2).size(), 8u);
    EXPECT_EQ(b.Scan(0, 0)[3], 33);
    b.Scan(0, 2)[1] = 21;
    b.Config->AScanRange = 4; // same count, shorter A-scans: what fits stays
    b.SetScanCount(3);
    EXPECT_EQ(b.Scan(0, 0).size(), 4u);
    EXPECT_EQ(b.Scan(0, 2)[1], 21);
    b.SetScanCount(4); // another count starts afresh
    EXPECT_EQ(b.Scan(0, 2)[1], 0);
    EXPECT_THROW(b.SetScanCount(0), platform::text::RangeError);
    b.SetCurrentScan(3);
    b.SetCurrentScan(4);
    EXPECT_EQ(b.Index2, 3);
}

TEST_F(Band, ClearDataReleasesTheSamplesButKeepsTheCounts) {
    b.SetScanCount(3);
    b.Config->BandCurrentAScan = 2;
    b.ClearData();
    EXPECT_TRUE(b.Trace().empty());
    EXPECT_EQ(b.Config->BandLastAScan, 0);
    EXPECT_EQ(b.Config->BandCurrentAScan, 0);
    EXPECT_EQ(b.Count2, 3);
    b.DecodeRawBuffer(tbtest::encodeBlock({1, 2}, 0)); // nothing to decode into
    b.ProcessReceived();
    EXPECT_EQ(b.GetAmplitude(), 0);
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
    EXPECT_EQ((Colours{b.ColorTable[179], b.ColorTable[180]}), (Colours{kWhite, kBlack}));
}

TEST_F(Band, PaletteEntries) {
    EXPECT_EQ(build(PaletteBinary, 0, 359, {0, 358, 359, 360}),
              (Colours{kWhite, kWhite, kBlack, kBlack}));
    EXPECT_EQ((Colours{b.CursorColor, b.LowHandleColor, b.HighHandleColor}),
              (Colours{kRed, kRed, kRed}));
    // 150: 255 - 127.5 rounded to the even 128; 101: 255 - 2.55 rounded to 3.
    EXPECT_EQ(build(PaletteDirectGrey, 100, 200, {99, 100, 101, 150, 200, 201}),
              (Colours{kWhite, kWhite, grey(252), grey(127), kBlack, kBlack}));
    EXPECT_EQ(b.CursorColor, kRed);
    EXPECT_EQ(build(PaletteInverseGrey, 100, 200, {99, 100, 150, 200, 360}),
              (Colours{kBlack, kBlack, grey(128), kWhite, kWhite}));
    EXPECT_EQ(b.CursorColor, kGreen);
}

TEST_F(Band, ThermalAnchors) {
    // Anchors at 0, 120, 240, 359; between two of them each channel moves by (h - a) / (b - a + 1)
    // of the way: entry 1 is B 238 - 1.7, G 17 + 1.8, R 17 + 0.1; entry 119 stops short of green.
    EXPECT_EQ(build(PaletteThermal, 0, 359, {0, 1, 119, 120, 240, 359, 360}),
              (Colours{kThermalBlue, 0xEC1311, 0x25EA22, kThermalGreen, kThermalYellow, kThermalRed,
                       kThermalRed}));
    EXPECT_EQ((Colours{b.CursorColor, b.LowHandleColor, b.HighHandleColor}),
              (Colours{kWhite, kWhite, kBlack}));
    // n = 101: anchors at 100, 134, 167, 200; outside the bounds the bounds' colours.
    EXPECT_EQ(build(PaletteThermal, 100, 200, {0, 99, 134, 167, 200, 360}),
              (Colours{kThermalBlue, kThermalBlue, kThermalGreen, kThermalYellow, kThermalRed,
                       kThermalRed}));
    EXPECT_EQ(build(9, 0, 359, {120}), (Colours{kThermalGreen})); // past the last kind
}

TEST_F(Band, EqualBoundsGiveAHardThresholdAndReversedOnesAreSwapped) {
    EXPECT_EQ(build(PaletteDirectGrey, 150, 150, {149, 150, 360}),
              (Colours{kWhite, kBlack, kBlack}));
    EXPECT_EQ(build(PaletteInverseGrey, 150, 150, {149, 150}), (Colours{kBlack, kWhite}));
    EXPECT_EQ(build(PaletteThermal, 150, 150, {149, 150}), (Colours{kThermalBlue, kThermalRed}));
    EXPECT_EQ(build(PaletteBinary, 0, 0, {0}), (Colours{kBlack}));

    b.BuildPalette(PaletteDirectGrey, 100, 200);
    const auto ordered = b.ColorTable;
    b.PaletteKind = PaletteDirectGrey;
    b.HueLow = 200;
    b.HueHigh = 100;
    b.BuildPalette(KeepPalette, KeepBound, KeepBound);
    EXPECT_EQ(b.ColorTable, ordered);
    EXPECT_EQ(b.HueLow, 200); // the stored bounds stay as they were
}

TEST_F(Band, BuildArgumentsServeOneBuildOnly) {
    b.PaletteKind = PaletteInverseGrey;
    b.HueLow = 10;
    b.HueHigh = 20;
    b.BuildPalette(PaletteThermal, 0, 359);
    EXPECT_EQ(b.PaletteKind, PaletteInverseGrey);
    EXPECT_EQ(b.HueHigh, 20);
    EXPECT_EQ(build(KeepPalette, KeepBound, 30, {10, 30}), (Colours{kBlack, kWhite}));
    EXPECT_EQ(b.ColorAt(-4), b.ColorTable[0]);
    EXPECT_EQ(b.ColorAt(100000), b.ColorTable[360]);
}

TEST_F(Band, OverridesAreRestoredOnEveryWayOut) {
    b.ColorScheme = 0;
    b.SetColorScheme(0);
    const auto colours = b.Colors;
    const auto table = b.ColorTable;
    try {
        TSchemeOverride scheme(b, 1);
        TPaletteOverride palette(b, PaletteThermal);
        EXPECT_EQ(b.Color(5), kWhite);
        EXPECT_EQ(b.ColorTable[0], kThermalBlue);
        throw std::runtime_error("drawing failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(b.Colors, colours);
    EXPECT_EQ(b.ColorTable, table);
    b.SetColorScheme(1); // colours that are not the record's own scheme stay with "keep"
    {
        TSchemeOverride scheme(b, KeepScheme);
        TPaletteOverride palette(b, KeepPalette);
    }
    EXPECT_EQ(b.Color(5), kWhite);
}

TEST_F(Band, ShiftRangeOfA592PixelView) {
    b.Config->BandElementWidthIndex = 0; // 2 pixels per A-scan: 296 fit
    std::uint16_t positions = 77;
    b.Config->BandLastAScan = 295;
    EXPECT_FALSE(b.GetShiftRange(592, positions));
    EXPECT_EQ(positions, 77);
    b.Config->BandLastAScan = 296;
    EXPECT_TRUE(b.GetShiftRange(592, positions));
    EXPECT_EQ(positions, 1);
    b.Config->BandElementWidthIndex = 9; // outside the table: its last entry, 16 pixels
    b.Config->BandLastAScan = 100;
    EXPECT_TRUE(b.GetShiftRange(592, positions));
    EXPECT_EQ(positions, 64);
}

TEST_F(Band, CursorsFollowTheMouse) {
    b.Config->BandElementWidthIndex = 1; // 4 pixels
    b.Config->BandShift = 10;
    b.Config->BandLastAScan = 20;
    b.SetCursorColumnFromMouse(9);
    EXPECT_EQ(b.Config->BandCurrentAScan, 12);
    b.SetCursorColumnFromMouse(4000);
    EXPECT_EQ(b.Config->BandCurrentAScan, 20);
    b.Config->CursorCount = 1; // a depth click moves cursor 1 whatever the count
    b.SetMarkerFromMouse(50, 200);
    EXPECT_EQ(b.Config->AuxTime, 2.0);
    EXPECT_EQ(b.Config->CursorTime[0], 2.0);
}

TEST_F(Band, GradatorHandles) {
    // 361 pixels: hue h sits at x = h + 1.
    b.HueLow = 10;
    b.HueHigh = 300;
    EXPECT_EQ(b.HitColorGradator(361, 12), 1);
    EXPECT_EQ(b.HitColorGradator(361, 13), 0);
    EXPECT_EQ(b.HitColorGradator(361, 300), 2);
    b.DragColorGradator(361, 1, 51);
    EXPECT_EQ(b.HueLow, 50);
    b.DragColorGradator(361, 1, 290); // within 20 of the upper bound
    EXPECT_EQ(b.HueLow, 50);
    b.DragColorGradator(361, 2, 400);
    EXPECT_EQ(b.HueHigh, 359);
    b.DragColorGradator(200, 1, 100); // 99 x 359 / 198 = 179.5
    EXPECT_EQ(b.HueLow, 180);
    b.DragColorGradator(2, 1, 1); // too narrow to hold hues
    EXPECT_EQ(b.HueLow, 180);
    b.HueHigh = 181;
    EXPECT_EQ(b.HitColorGradator(361, 181), 1); // the lower handle wins
}

} // namespace
