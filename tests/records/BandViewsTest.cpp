// Band pictures probed pixel by pixel: colours from the band's table, strips of every width,
// merging and smoothing only where they belong, the colour of table entry 0 where no A-scan is,
// the cursor lines, the ruler and gradator, overrides given back on every way out, and report
// drawings that leave the page's cached picture alone.
#include "PictureTestSupport.h"

#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "platform/text/Numbers.h"
#include "records/BandViews.h"
#include "records/ViewMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;
using platform::gfx::TBitmap;

// A band whose A-scan j holds `values[j]` at every sample, in the given palette over 0..359.
std::unique_ptr<TBaseBandCell> stripes(const std::vector<std::int32_t>& values,
                                       std::uint8_t palette = PaletteThermal,
                                       std::uint16_t samples = 100) {
    auto b = plainBand(static_cast<std::uint16_t>(values.size()), samples,
                       [&](std::uint32_t j, std::uint32_t) { return values[j]; });
    b->PaletteKind = palette;
    b->HueLow = 0;
    b->HueHigh = 359;
    b->BuildPalette(KeepPalette, KeepBound, KeepBound);
    return b;
}

TBitmap picture(TBaseBandCell& band, int w, int h, std::uint8_t kind = KeepPalette,
                std::uint8_t scheme = KeepScheme) {
    std::unique_ptr<TBitmap> b;
    band.RenderImage(kind, scheme, b, w, h);
    return *b;
}

TColor entry(const TBaseBandCell& band, int amplitude) {
    return band.ColorTable[static_cast<std::size_t>(amplitude)];
}

TEST(BandPicture, EachAScanIsAStripInTheColourOfItsAmplitude) {
    auto band = stripes({50, 180, -300}); // three A-scans: shown as resampled
    const TBitmap b = picture(*band, 20, 30);
    ASSERT_EQ(b.Width(), 20);
    ASSERT_EQ(b.Height(), 30);
    EXPECT_TRUE(allColor(b, {0, 0, 2, 30}, entry(*band, 50)));
    EXPECT_TRUE(allColor(b, {2, 0, 4, 30}, entry(*band, 180)));
    EXPECT_TRUE(allColor(b, {4, 0, 6, 30}, entry(*band, 300)));
    // Right of the last A-scan: table entry 0.
    EXPECT_TRUE(allColor(b, {6, 0, 20, 30}, entry(*band, 0)));
}

TEST(BandPicture, WiderStripsFillAllTheirColumns) {
    auto band = stripes({50, 180, 300});
    band->Config->BandElementWidthIndex = 2; // 8 pixels per A-scan
    const TBitmap b = picture(*band, 40, 10);
    EXPECT_TRUE(allColor(b, {0, 0, 8, 10}, entry(*band, 50)));
    EXPECT_TRUE(allColor(b, {8, 0, 16, 10}, entry(*band, 180)));
    EXPECT_TRUE(allColor(b, {16, 0, 24, 10}, entry(*band, 300)));
    EXPECT_TRUE(allColor(b, {24, 0, 40, 10}, entry(*band, 0)));
}

TEST(BandPicture, ASmoothedUniformBandKeepsItsColour) {
    auto band = stripes(std::vector<std::int32_t>(40, 120));
    const TBitmap b = picture(*band, 80, 60);
    EXPECT_TRUE(allColor(b, {0, 0, 80, 60}, entry(*band, 120)));
}

TEST(BandPicture, OneAScanDrawsOneStrip) {
    auto band = stripes({200}, PaletteInverseGrey);
    const TBitmap b = picture(*band, 30, 10);
    EXPECT_TRUE(allColor(b, {0, 0, 2, 10}, entry(*band, 200)));
    EXPECT_TRUE(allColor(b, {2, 0, 30, 10}, 0x000000)); // inverse grey starts black
}

TEST(BandPicture, AShiftedBandShowsTableEntryZeroRightOfItsLastAScan) {
    auto band = stripes(std::vector<std::int32_t>(10, 250), PaletteInverseGrey);
    band->Config->BandShift = 5;
    const TBitmap b = picture(*band, 40, 20);
    EXPECT_TRUE(allColor(b, {0, 0, 10, 20}, entry(*band, 250)));
    EXPECT_TRUE(allColor(b, {10, 0, 40, 20}, entry(*band, 0)));
    // Shifted past the end: nothing but entry 0.
    band->Config->BandShift = 30;
    EXPECT_TRUE(allColor(picture(*band, 40, 20), {0, 0, 40, 20}, entry(*band, 0)));
}

// A-scans whose samples alternate between `high` and `low`: each pixel row takes both.
std::unique_ptr<TBaseBandCell> alternating(std::uint16_t scans, std::int32_t high, std::int32_t low,
                                           std::uint8_t palette) {
    auto b =
        plainBand(scans, 100, [&](std::uint32_t, std::uint32_t s) { return s % 2 ? low : high; });
    b->PaletteKind = palette;
    b->HueLow = 0;
    b->HueHigh = 200;
    b->BuildPalette(KeepPalette, KeepBound, KeepBound);
    return b;
}

TEST(BandPicture, UpToThreeAScansAreNotMerged) {
    // The upper value of each pixel is 10, the lower -300: unmerged, the picture shows 10.
    auto three = alternating(3, 10, -300, PaletteBinary);
    EXPECT_TRUE(allColor(picture(*three, 6, 50), {0, 0, 6, 50}, 0xFFFFFF));
    auto four = alternating(4, 10, -300, PaletteBinary);
    EXPECT_TRUE(allColor(picture(*four, 8, 50), {0, 0, 8, 50}, 0x000000));
}

TEST(BandPicture, TheBinaryPaletteIsMergedButNotSmoothed) {
    // One strong depth in a quiet band: binary keeps it one row, grey smooths it over seven.
    auto band =
        plainBand(20, 100, [](std::uint32_t, std::uint32_t s) { return s == 50 ? 300 : 0; });
    band->HueHigh = 100;
    band->BuildPalette(KeepPalette, KeepBound, KeepBound);
    const TBitmap binary = picture(*band, 40, 100);
    EXPECT_EQ(rowsOf(binary, 20, 0x000000), std::vector<int>{50});
    const TBitmap grey = picture(*band, 40, 100, PaletteDirectGrey);
    // Seven rows carry 7 x 300 / 49 = 42; the others stay at entry 0's white.
    EXPECT_EQ(rowsOf(grey, 20, band->ColorTable[0]).size(), 93u);
    EXPECT_EQ(band->PaletteKind, PaletteBinary);
    EXPECT_EQ(entry(*band, 150), 0x000000); // the band's own palette again
}

TEST(BandPicture, AmplitudesAboveTheTableTakeItsLastEntry) {
    // Interpolated (fewer samples than rows), values are not limited before the lookup.
    auto band = stripes({5000, 5000, 5000}, PaletteThermal, 30);
    const TBitmap b = picture(*band, 6, 200);
    EXPECT_TRUE(allColor(b, {0, 0, 6, 199}, entry(*band, 360)));
}

TEST(BandPicture, NoAScansNoSamples) {
    auto band = stripes({100, 100}, PaletteThermal);
    band->Config->AScanRange = 0;
    EXPECT_TRUE(allColor(picture(*band, 10, 10), {0, 0, 10, 10}, entry(*band, 0)));
}

// ---- Cursor lines ---------------------------------------------------------------------------

TEST(BandOverlay, MarkerAcrossAndScanCursorDown) {
    auto band = stripes(std::vector<std::int32_t>(20, 0), PaletteBinary);
    band->Config->CursorTime[0] = 25.0; // a quarter of 100 samples
    band->Config->BandCurrentAScan = 7;
    band->Config->BandShift = 2;
    TBitmap o;
    band->DrawOverlay(KeepScheme, 40, 80, o);
    EXPECT_TRUE(o.Transparent);
    EXPECT_EQ(o.TransparentColor(), band->ColorTable[0]);
    EXPECT_EQ(rowsOf(o, 30, band->CursorColor), std::vector<int>{20});
    EXPECT_EQ(columnsOf(o, 60, band->CursorColor), std::vector<int>{10}); // (7 - 2) x 2
    EXPECT_EQ(rowsOf(o, 10, band->CursorColor).size(), 80u);

    band->Config->BandElementWidthIndex = 1; // 4 pixels: the middle of the strip
    band->DrawOverlay(KeepScheme, 40, 80, o);
    EXPECT_EQ(columnsOf(o, 60, band->CursorColor), std::vector<int>{22});

    band->Config->BandShift = 8; // the cursor lies left of the view
    band->DrawOverlay(KeepScheme, 40, 80, o);
    EXPECT_EQ(columnsOf(o, 60, band->CursorColor), std::vector<int>{});
    EXPECT_EQ(columnsOf(o, 20, band->CursorColor).size(), 40u);
}

// ---- Surfaces, caches, reports --------------------------------------------------------------

TEST(BandSurfaces, DrawRendersTheCacheRedrawOnlyMovesTheCursors) {
    auto band = stripes({40, 90, 140, 190, 240, 290}, PaletteThermal);
    band->Config->CursorTime[0] = 10.0;
    band->Config->BandCurrentAScan = 1;
    MemoryPresentTarget surface(30, 50);
    band->DrawToSurfaceView(KeepPalette, KeepScheme, surface);
    ASSERT_TRUE(band->BandPicture);
    EXPECT_EQ(surface.Flips(), 1);
    const TBitmap cached = *band->BandPicture;
    EXPECT_EQ(cached.Width(), 30);
    EXPECT_EQ(surface.Shown().GetPixel(3, 5), band->CursorColor);

    band->Config->CursorTime[0] = 60.0;
    band->Config->BandCurrentAScan = 4;
    band->RedrawToSurfaceView(surface);
    EXPECT_EQ(surface.Flips(), 2);
    EXPECT_EQ(band->BandPicture->Pixels(), cached.Pixels());
    EXPECT_EQ(surface.Shown().GetPixel(3, 30), band->CursorColor);
    EXPECT_EQ(surface.Shown().GetPixel(3, 5), cached.GetPixel(3, 5));
    EXPECT_EQ(rowsOf(surface.Shown(), 9, band->CursorColor), std::vector<int>{30});
    EXPECT_EQ(rowsOf(surface.Shown(), 8, band->CursorColor).size(), 50u);
}

TEST(BandSurfaces, RedrawWithoutACacheRendersOne) {
    auto band = stripes({40, 90}, PaletteThermal);
    MemoryPresentTarget surface(10, 10);
    band->RedrawToSurfaceView(surface);
    ASSERT_TRUE(band->BandPicture);
    EXPECT_EQ(surface.Flips(), 1);
}

TEST(BandSurfaces, AnOverridePaletteShowsAndTheBandsOwnComesBack) {
    auto band = stripes({40, 90, 140}, PaletteThermal);
    const auto own = band->ColorTable;
    band->Config->BandCurrentAScan = 2; // the scan cursor away from the probe
    MemoryPresentTarget surface(6, 10);
    band->DrawToSurfaceView(PaletteDirectGrey, 1, surface);
    TBaseBandCell grey;
    grey.BuildPalette(PaletteDirectGrey, 0, 359);
    EXPECT_EQ(surface.Shown().GetPixel(0, 3), grey.ColorTable[40]);
    EXPECT_EQ(band->ColorTable, own);
    EXPECT_EQ(band->Colors, TBaseBandCell().Colors);
}

TEST(BandReports, ReportDrawingsLeaveTheCachedPictureAlone) {
    auto band = stripes({40, 90, 140, 190, 240, 290}, PaletteThermal);
    MemoryPresentTarget surface(30, 50);
    band->DrawToSurfaceView(KeepPalette, KeepScheme, surface);
    const TBitmap cached = *band->BandPicture;
    MemoryReportImage image(60, 40);
    band->DrawToReport(PaletteDirectGrey, 1, image);
    EXPECT_EQ(band->BandPicture->Width(), 30);
    EXPECT_EQ(band->BandPicture->Pixels(), cached.Pixels());
    ASSERT_TRUE(image.HasPicture());
    EXPECT_EQ(image.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
    TBaseBandCell grey;
    grey.BuildPalette(PaletteDirectGrey, 0, 359);
    EXPECT_EQ(image.Picture().GetPixel(1, 20), grey.ColorTable[40]);
}

TEST(BandReports, OverridesComeBackWhenADrawingFails) {
    auto band = stripes({40, 90, 140, 190}, PaletteThermal);
    band->ColorScheme = 1;
    band->SetColorScheme(1);
    const auto table = band->ColorTable;
    const auto colors = band->Colors;
    band->Config->CursorTime[0] = std::numeric_limits<double>::quiet_NaN();
    MemoryReportImage image(20, 20);
    EXPECT_THROW(band->DrawToReport(PaletteBinary, 0, image), platform::text::RangeError);
    EXPECT_EQ(band->ColorTable, table);
    EXPECT_EQ(band->Colors, colors);
    MemoryPresentTarget surface(20, 20);
    EXPECT_THROW(band->DrawToSurfaceView(PaletteInverseGrey, 0, surface),
                 platform::text::RangeError);
    EXPECT_EQ(band->ColorTable, table);
    EXPECT_EQ(band->Colors, colors);
}

TEST(BandSurfaces, ClearingShowsTheBackground) {
    auto band = stripes({40});
    MemoryPresentTarget surface(8, 8);
    band->ClearSurface(surface);
    EXPECT_TRUE(allColor(surface.Shown(), {0, 0, 8, 8}, 0xFFFFFF));
    surface.canDraw = false;
    band->ClearSurface(surface);
    EXPECT_EQ(surface.Flips(), 1);
}

// ---- Ruler and gradator ---------------------------------------------------------------------

TEST(ScanRuler, AShiftedBandStartsWithItsNumberedAScan) {
    auto band = stripes(std::vector<std::int32_t>(200, 0));
    band->Config->BandShift = 50;
    TBitmap upper;
    RenderScanMarkup(*band, upper, KeepScheme, 0, 300, 34);
    const TColor scale = band->ScaleColor;
    // A long mark at x = 0 hanging from the bottom, short ones every 10 A-scans (20 pixels).
    EXPECT_EQ(rowsOf(upper, 0, scale, 22, 34), range(23, 34));
    EXPECT_EQ(rowsOf(upper, 20, scale), range(28, 34));
    EXPECT_EQ(rowsOf(upper, 100, scale, 22, 34), range(23, 34)); // A-scan 100
    // "50" centred on x = 0, partly outside the picture.
    EXPECT_GT(countColor(upper, {0, 0, 8, 22}, scale), 0);

    TBitmap lower;
    RenderScanMarkup(*band, lower, KeepScheme, 1, 300, 26);
    EXPECT_EQ(rowsOf(lower, 0, scale, 0, 12), range(0, 12));
    EXPECT_EQ(rowsOf(lower, 20, scale), range(0, 7));
}

TEST(ScanRuler, FramedOnTheSurfaceNotInTheReport) {
    auto band = stripes(std::vector<std::int32_t>(20, 0));
    MemoryPresentTarget surface(100, 30);
    band->DrawScanMarkupToSurfaceView(KeepScheme, 0, surface);
    EXPECT_EQ(rowsOf(surface.Shown(), 99, 0x000000, 0, 29), range(0, 29));    // right edge
    EXPECT_EQ(columnsOf(surface.Shown(), 29, 0x000000, 0, 99), range(0, 99)); // bottom edge
    MemoryReportImage image(100, 30);
    band->DrawScanMarkupToReport(KeepScheme, 0, image);
    EXPECT_TRUE(rowsOf(image.Picture(), 99, 0x000000).empty());
}

TEST(Gradator, TheTableAcrossTheStripWithItsHandles) {
    auto band = stripes({0}, PaletteThermal);
    band->HueLow = 60;
    band->HueHigh = 300;
    band->BuildPalette(KeepPalette, KeepBound, KeepBound);
    TBitmap g;
    RenderColorGradator(*band, g, KeepPalette, 363, 20); // one hue per pixel
    for (const int x : {0, 100, 200, 360}) {
        if (x != 60 && x != 300) {
            EXPECT_EQ(g.GetPixel(x + 1, 10), entry(*band, x)) << x;
        }
    }
    EXPECT_EQ(rowsOf(g, 61, band->LowHandleColor, 2, 19).size(), 17u);
    EXPECT_EQ(rowsOf(g, 301, band->HighHandleColor, 2, 19).size(), 17u);
    EXPECT_EQ(columnsOf(g, 1, 0xFFFFFF, 1, 362).size(), 361u); // the border, screen colour 2
    EXPECT_EQ(columnsOf(g, 19, 0xFFFFFF, 1, 362).size(), 361u);

    // Another palette for the drawing; the band's own afterwards.
    RenderColorGradator(*band, g, PaletteInverseGrey, 363, 20);
    EXPECT_EQ(g.GetPixel(11, 10), 0x000000);
    EXPECT_EQ(band->PaletteKind, PaletteThermal);
    EXPECT_EQ(entry(*band, 10), TColor(0xEE1111));
}

TEST(Gradator, TooNarrowForHuesKeepsItsBorders) {
    auto band = stripes({0});
    TBitmap g;
    RenderColorGradator(*band, g, KeepPalette, 3, 10);
    EXPECT_EQ(g.Width(), 3);
    MemoryPresentTarget surface(40, 10);
    band->DrawColorGradatorToSurfaceView(surface);
    EXPECT_EQ(rowsOf(surface.Shown(), 0, 0x000000).size() >= 9u, true); // left frame edge
}

// ---- Composite picture ----------------------------------------------------------------------

TEST(BandClipboard, ThePiecesStandWhereThePageShowsThem) {
    ProgramTexts texts;
    auto band = stripes(std::vector<std::int32_t>(30, 200), PaletteThermal);
    band->Config->BandCurrentAScan = 3;
    band->Config->CursorTime[0] = 50.0;
    const TBandClipboardSizes sizes{100, 30, 60, 20, 80};
    TBitmap b;
    CopyBandImageToClipboard(*band, 0, b, sizes);
    ASSERT_EQ(b.Width(), 190);
    ASSERT_EQ(b.Height(), 100);
    // The band picture inside its frame, the marker line across its middle.
    EXPECT_EQ(b.GetPixel(30, 40), entry(*band, 200));
    EXPECT_EQ(b.GetPixel(30, 20 + 40), band->CursorColor);
    EXPECT_TRUE(allColor(b, {7, 20, 99, 21}, 0x000000)); // the scan cursor crosses at x = 6
    // The upright A-scan: its background and bars.
    EXPECT_EQ(b.GetPixel(185, 30), 0x000000);
    EXPECT_EQ(b.GetPixel(131, 30), 0x00FF00);
    // The corner above the depth ruler stays empty.
    EXPECT_TRUE(allColor(b, {100, 0, 130, 20}, 0xFFFFFF));
    // The page's cached picture is not made or touched.
    EXPECT_FALSE(band->BandPicture);

    TBitmap untouched(5, 5);
    CopyBandImageToClipboard(*band, 1, untouched, sizes);
    EXPECT_EQ(untouched.Width(), 5);
}

} // namespace
