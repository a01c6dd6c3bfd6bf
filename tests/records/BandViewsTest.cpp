// Band pictures probed pixel by pixel: colours from the band's table, strips of every width,
// merging and smoothing only where they belong, table entry 0 where no A-scan is, the cursor
// lines, the ruler and gradator, overrides given back on every way out, and report drawings that
// leave the page's cached picture alone.
#include "PictureTestSupport.h"

#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "platform/text/Numbers.h"
#include "records/BandViews.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;

// A band whose A-scan j holds values[j] at every sample, in the given palette over 0..359.
std::unique_ptr<TBaseBandCell> stripes(const std::vector<std::int32_t>& values,
                                       std::uint8_t palette = PaletteThermal,
                                       std::uint16_t samples = 100) {
    auto b = plainRecord<TBaseBandCell>(
        1, static_cast<std::uint16_t>(values.size()), samples,
        [&](std::uint32_t, std::uint32_t j, std::uint32_t) { return values[j]; });
    setPalette(*b, palette);
    return b;
}

TBitmap picture(TBaseBandCell& band, int w, int h, std::uint8_t kind = KeepPalette) {
    std::unique_ptr<TBitmap> b;
    band.RenderImage(kind, KeepScheme, b, w, h);
    return *b;
}

TColor grey(int amplitude) {
    TBaseBandCell g;
    g.BuildPalette(PaletteDirectGrey, 0, 359);
    return entry(g, amplitude);
}

TEST(BandPicture, StripsInTheColourOfTheirAmplitudeThenTableEntryZero) {
    struct Case {
        std::vector<std::int32_t> values;
        std::uint8_t widthIndex, palette;
        std::uint16_t shift;
        int w, stripWidth, shown;
    };
    // Up to three A-scans as resampled; a smoothed uniform band keeps its colour; one strip;
    // wide strips; a shifted band; a band shifted past its end.
    const std::vector<Case> cases = {
        {{50, 180, -300}, 0, PaletteThermal, 0, 20, 2, 3},
        {std::vector<std::int32_t>(40, 120), 0, PaletteThermal, 0, 80, 2, 40},
        {{200}, 0, PaletteInverseGrey, 0, 30, 2, 1},
        {{50, 180, 300}, 2, PaletteThermal, 0, 40, 8, 3},
        {std::vector<std::int32_t>(10, 250), 0, PaletteInverseGrey, 5, 40, 2, 5},
        {std::vector<std::int32_t>(10, 250), 0, PaletteInverseGrey, 30, 40, 2, 0},
    };
    for (const Case& c : cases) {
        auto band = stripes(c.values, c.palette);
        band->Config->BandElementWidthIndex = c.widthIndex;
        band->Config->BandShift = c.shift;
        const TBitmap b = picture(*band, c.w, 30);
        for (int i = 0; i < c.shown; ++i) {
            const int value = std::abs(c.values[std::size_t(c.shift + i)]);
            EXPECT_TRUE(
                allColor(b, {i * c.stripWidth, 0, (i + 1) * c.stripWidth, 30}, entry(*band, value)))
                << c.values.size() << " A-scans, strip " << i;
        }
        EXPECT_TRUE(allColor(b, {c.shown * c.stripWidth, 0, c.w, 30}, entry(*band, 0)))
            << c.values.size() << " A-scans shifted by " << c.shift;
    }
}

TEST(BandPicture, MergedOnlyBeyondThreeAScansSmoothedOnlyOutsideTheBinaryPalette) {
    // Samples alternate 10 and -300: unmerged a pixel shows 10, merged 300.
    const auto alternating = [](std::uint16_t scans) {
        auto b = plainRecord<TBaseBandCell>(
            1, scans, 100,
            [](std::uint32_t, std::uint32_t, std::uint32_t s) { return s % 2 ? -300 : 10; });
        setPalette(*b, PaletteBinary, 0, 200);
        return b;
    };
    EXPECT_TRUE(allColor(picture(*alternating(3), 6, 50), {0, 0, 6, 50}, 0xFFFFFF));
    EXPECT_TRUE(allColor(picture(*alternating(4), 8, 50), {0, 0, 8, 50}, 0x000000));
    // One strong depth: binary keeps it one row; a grey palette for the drawing smooths it over
    // seven rows (7 x 300 / 49 = 42), and the band's own palette comes back.
    auto band =
        plainRecord<TBaseBandCell>(1, 20, 100, [](std::uint32_t, std::uint32_t, std::uint32_t s) {
            return s == 50 ? 300 : 0;
        });
    setPalette(*band, PaletteBinary, 0, 100);
    EXPECT_EQ(rowsOf(picture(*band, 40, 100), 20, 0x000000), std::vector<int>{50});
    TBaseBandCell g;
    g.BuildPalette(PaletteDirectGrey, 0, 100);
    EXPECT_EQ(rowsOf(picture(*band, 40, 100, PaletteDirectGrey), 20, entry(g, 42)), range(47, 54));
    EXPECT_EQ(entry(*band, 150), 0x000000);
}

TEST(BandPicture, AmplitudesBeyondTheTableOrNoSamples) {
    auto band = stripes({5000, 5000, 5000}, PaletteThermal, 30); // interpolated, unlimited
    EXPECT_TRUE(allColor(picture(*band, 6, 200), {0, 0, 6, 199}, entry(*band, 360)));
    band->Config->AScanRange = 0;
    EXPECT_TRUE(allColor(picture(*band, 10, 10), {0, 0, 10, 10}, entry(*band, 0)));
}

TEST(BandOverlay, MarkerAcrossAndScanCursorDown) {
    auto band = stripes(std::vector<std::int32_t>(20, 0), PaletteBinary);
    band->Config->CursorTime[0] = 25.0; // a quarter of 100 samples
    band->Config->BandCurrentAScan = 7;
    band->Config->BandShift = 2;
    TBitmap o;
    band->DrawOverlay(KeepScheme, 40, 80, o);
    EXPECT_TRUE(o.Transparent);
    EXPECT_EQ(o.TransparentColor(), entry(*band, 0));
    EXPECT_EQ(rowsOf(o, 30, band->CursorColor), std::vector<int>{20});
    EXPECT_EQ(columnsOf(o, 60, band->CursorColor), std::vector<int>{10}); // (7 - 2) x 2
    band->Config->BandElementWidthIndex = 1; // 4 pixels: the middle of the strip
    band->DrawOverlay(KeepScheme, 40, 80, o);
    EXPECT_EQ(columnsOf(o, 60, band->CursorColor), std::vector<int>{22});
    band->Config->BandShift = 8; // the scan cursor lies left of the view
    band->DrawOverlay(KeepScheme, 40, 80, o);
    EXPECT_TRUE(columnsOf(o, 60, band->CursorColor).empty());
    EXPECT_EQ(columnsOf(o, 20, band->CursorColor).size(), 40u);
}

// ---- Surfaces, caches, reports --------------------------------------------------------------

TEST(BandSurfaces, DrawRendersTheCacheRedrawOnlyMovesTheCursors) {
    auto band = stripes({40, 90, 140, 190, 240, 290});
    band->Config->CursorTime[0] = 10.0;
    band->Config->BandCurrentAScan = 1;
    MemoryPresentTarget surface(30, 50);
    band->DrawToSurfaceView(KeepPalette, KeepScheme, surface);
    ASSERT_TRUE(band->BandPicture);
    const TBitmap cached = *band->BandPicture;
    EXPECT_EQ(surface.Shown().GetPixel(3, 5), band->CursorColor);
    band->Config->CursorTime[0] = 60.0;
    band->Config->BandCurrentAScan = 4;
    band->RedrawToSurfaceView(surface);
    EXPECT_EQ(surface.Flips(), 2);
    EXPECT_EQ(band->BandPicture->Pixels(), cached.Pixels());
    EXPECT_EQ(surface.Shown().GetPixel(3, 5), cached.GetPixel(3, 5));
    EXPECT_EQ(rowsOf(surface.Shown(), 9, band->CursorColor), std::vector<int>{30});
    EXPECT_EQ(rowsOf(surface.Shown(), 8, band->CursorColor).size(), 50u);
    auto fresh = stripes({40, 90});
    fresh->RedrawToSurfaceView(surface); // nothing cached yet: rendered
    EXPECT_TRUE(fresh->BandPicture);
    fresh->ClearSurface(surface);
    EXPECT_TRUE(allColor(surface.Shown(), {0, 0, 30, 50}, 0xFFFFFF));
}

TEST(BandSurfaces, OverridesShowAndTheBandsOwnComesBackEvenWhenDrawingFails) {
    auto band = stripes({40, 90, 140});
    band->Config->BandCurrentAScan = 2; // the scan cursor away from the probe
    const auto table = band->ColorTable;
    const auto colors = band->Colors;
    MemoryPresentTarget surface(6, 10);
    band->DrawToSurfaceView(PaletteDirectGrey, 1, surface);
    EXPECT_EQ(surface.Shown().GetPixel(0, 3), grey(40));
    EXPECT_EQ(band->ColorTable, table);
    EXPECT_EQ(band->Colors, colors);
    band->Config->CursorTime[0] = std::numeric_limits<double>::quiet_NaN();
    MemoryReportImage image(20, 20);
    EXPECT_THROW(band->DrawToReport(PaletteBinary, 1, image), platform::text::RangeError);
    EXPECT_THROW(band->DrawToSurfaceView(PaletteInverseGrey, 1, surface),
                 platform::text::RangeError);
    EXPECT_EQ(band->ColorTable, table);
    EXPECT_EQ(band->Colors, colors);
}

TEST(BandReports, ReportDrawingsLeaveTheCachedPictureAlone) {
    auto band = stripes({40, 90, 140, 190, 240, 290});
    MemoryPresentTarget surface(30, 50);
    band->DrawToSurfaceView(KeepPalette, KeepScheme, surface);
    const TBitmap cached = *band->BandPicture;
    MemoryReportImage image(60, 40);
    band->DrawToReport(PaletteDirectGrey, 1, image);
    EXPECT_EQ(band->BandPicture->Width(), 30);
    EXPECT_EQ(band->BandPicture->Pixels(), cached.Pixels());
    EXPECT_EQ(image.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
    EXPECT_EQ(image.Picture().GetPixel(1, 20), grey(40));
}

// ---- Ruler, gradator, clipboard -------------------------------------------------------------

TEST(ScanRuler, AShiftedBandStartsWithItsNumberedAScanFramedOnlyOnASurface) {
    auto band = stripes(std::vector<std::int32_t>(200, 0));
    band->Config->BandShift = 50;
    const TColor scale = band->ScaleColor;
    TBitmap upper;
    RenderScanMarkup(*band, upper, KeepScheme, 0, 300, 34);
    // Long marks hang from the bottom at A-scans 50 and 100, short ones every 10 (20 pixels).
    EXPECT_EQ(rowsOf(upper, 0, scale, 22, 34), range(23, 34));
    EXPECT_EQ(rowsOf(upper, 100, scale, 22, 34), range(23, 34));
    EXPECT_EQ(rowsOf(upper, 20, scale), range(28, 34));
    EXPECT_GT(countColor(upper, {0, 0, 8, 22}, scale), 0); // "50", partly outside
    TBitmap lower;
    RenderScanMarkup(*band, lower, KeepScheme, 1, 300, 26);
    EXPECT_EQ(rowsOf(lower, 0, scale, 0, 12), range(0, 12));
    EXPECT_EQ(rowsOf(lower, 20, scale), range(0, 7));
    MemoryPresentTarget surface(100, 30);
    band->DrawScanMarkupToSurfaceView(KeepScheme, 0, surface); // right and bottom edges
    EXPECT_EQ(rowsOf(surface.Shown(), 99, 0x000000, 0, 29), range(0, 29));
    EXPECT_EQ(columnsOf(surface.Shown(), 29, 0x000000, 0, 99), range(0, 99));
    MemoryReportImage image(100, 30);
    band->DrawScanMarkupToReport(KeepScheme, 0, image);
    EXPECT_TRUE(rowsOf(image.Picture(), 99, 0x000000).empty());
}

TEST(Gradator, TheTableAcrossTheStripWithItsHandles) {
    auto band = stripes({0});
    setPalette(*band, PaletteThermal, 60, 300);
    TBitmap g;
    RenderColorGradator(*band, g, KeepPalette, 363, 20); // one hue per pixel
    for (const int x : {0, 100, 200, 360}) {
        EXPECT_EQ(g.GetPixel(x + 1, 10), entry(*band, x)) << x;
    }
    EXPECT_EQ(rowsOf(g, 61, band->LowHandleColor, 2, 19).size(), 17u);
    EXPECT_EQ(rowsOf(g, 301, band->HighHandleColor, 2, 19).size(), 17u);
    EXPECT_EQ(columnsOf(g, 1, 0xFFFFFF, 1, 362).size(), 361u); // the borders, colour 2
    EXPECT_EQ(columnsOf(g, 19, 0xFFFFFF, 1, 362).size(), 361u);
    RenderColorGradator(*band, g, PaletteInverseGrey, 363, 20); // another palette for it
    EXPECT_EQ(g.GetPixel(11, 10), 0x000000);
    EXPECT_EQ(entry(*band, 10), TColor(0xEE1111));     // the band's own again
    RenderColorGradator(*band, g, KeepPalette, 3, 10); // too narrow for hues
    EXPECT_EQ(g.Width(), 3);
}

TEST(BandClipboard, ThePiecesStandWhereThePageShowsThem) {
    ProgramTexts texts;
    auto band = stripes(std::vector<std::int32_t>(30, 200));
    band->Config->BandCurrentAScan = 3;
    band->Config->CursorTime[0] = 50.0;
    TBitmap b;
    CopyBandImageToClipboard(*band, 0, b, {100, 30, 60, 20, 80});
    ASSERT_EQ(b.Width(), 190);
    ASSERT_EQ(b.Height(), 100);
    EXPECT_EQ(b.GetPixel(30, 40), entry(*band, 200));
    EXPECT_EQ(b.GetPixel(30, 60), band->CursorColor);      // the marker line
    EXPECT_TRUE(allColor(b, {7, 20, 99, 21}, 0x000000));   // the picture's frame
    EXPECT_EQ(b.GetPixel(131, 30), 0x00FF00);              // the upright A-scan
    EXPECT_TRUE(allColor(b, {100, 0, 130, 20}, 0xFFFFFF)); // the empty corner
    EXPECT_FALSE(band->BandPicture);                       // no cache made
    TBitmap untouched(5, 5);
    CopyBandImageToClipboard(*band, 1, untouched, {100, 30, 60, 20, 80});
    EXPECT_EQ(untouched.Width(), 5);
}

} // namespace
