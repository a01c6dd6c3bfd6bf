// Map pictures probed pixel by pixel: C-scan cells in their table colours with plus marks only on
// cells holding a positive sample, the D- and B-scan slices, cursor lines on cell middles or
// edges, the row and column rulers, cached pictures that redraws and reports leave alone, and
// the composite picture.
#include "PictureTestSupport.h"

#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "records/MapViews.h"

#include <gtest/gtest.h>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;
using platform::gfx::TBitmap;

// A map whose cell (r, c) holds value(r, c) at every sample but the first, which is `first`:
// -1 keeps every sample of a non-positive cell below zero.
template <typename Value>
std::unique_ptr<TBaseMapCell> cells(std::uint16_t rows, std::uint16_t columns, Value value,
                                    std::uint8_t palette = PaletteThermal) {
    auto m = plainMap(rows, columns, 50,
                      [&](std::uint32_t r, std::uint32_t c, std::uint32_t) { return value(r, c); });
    m->Config->CursorTime[0] = 20.0;
    m->PaletteKind = palette;
    m->HueLow = 0;
    m->HueHigh = 359;
    m->BuildPalette(KeepPalette, KeepBound, KeepBound);
    return m;
}

TBitmap cscan(TBaseMapCell& m, int w, int h, std::uint8_t kind = KeepPalette) {
    TBitmap b;
    RenderCScan(m, b, kind, KeepScheme, w, h);
    return b;
}

TColor entry(const TBaseBandCell& band, int amplitude) {
    return band.ColorTable[static_cast<std::size_t>(amplitude)];
}

TEST(CScan, CellsShowTheirAmplitudeAtCursorOnesDepth) {
    auto m = cells(5, 5, [](std::uint32_t r, std::uint32_t c) { return -int(10 * (5 * r + c)); });
    m->Config->BandLastAScan = 0; // as read from a file of one column: no merging
    m->ComputeCellSize(50, 50);
    ASSERT_EQ(m->CellSize, 10);
    const TBitmap b = cscan(*m, 60, 55);
    EXPECT_TRUE(allColor(b, {0, 0, 10, 10}, entry(*m, 0)));
    EXPECT_TRUE(allColor(b, {30, 20, 40, 30}, entry(*m, 130))); // row 2, column 3
    EXPECT_TRUE(allColor(b, {40, 40, 50, 50}, entry(*m, 240)));
    // Beyond the grid: table entry 0.
    EXPECT_TRUE(allColor(b, {50, 0, 60, 55}, entry(*m, 0)));
    EXPECT_TRUE(allColor(b, {0, 50, 50, 55}, entry(*m, 0)));
}

TEST(CScan, TheLastTableEntryIsLeftForTheSlices) {
    auto m = cells(5, 5, [](std::uint32_t, std::uint32_t) { return -360; });
    m->Config->BandLastAScan = 0;
    m->ComputeCellSize(50, 50);
    EXPECT_TRUE(allColor(cscan(*m, 50, 50), {0, 0, 50, 50}, entry(*m, 359)));
}

TEST(CScan, PlusMarksOnlyOnCellsHoldingAPositiveSample) {
    // Cells of even columns hold a positive sample; odd ones only a positive last sample, which
    // does not count.
    auto m = plainMap(5, 6, 50, [](std::uint32_t, std::uint32_t c, std::uint32_t s) {
        if (c % 2 == 0) {
            return s == 3 ? 5 : -5;
        }
        return s == 49 ? 5 : -5;
    });
    m->Config->BandLastAScan = 0;
    m->ComputeCellSize(60, 50);
    ASSERT_EQ(m->CellSize, 10);
    const TBitmap b = cscan(*m, 60, 50);
    const TColor mark = m->CursorColor;
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 6; ++c) {
            const int xc = 10 * c + 5;
            const int yc = 10 * r + 5;
            const platform::gfx::TRect cell{10 * c, 10 * r, 10 * c + 10, 10 * r + 10};
            if (c % 2 == 0) {
                EXPECT_EQ(columnsOf(b, yc, mark, 10 * c, 10 * c + 10), range(xc - 2, xc + 2));
                EXPECT_EQ(rowsOf(b, xc, mark, 10 * r, 10 * r + 10), range(yc - 2, yc + 2));
                EXPECT_EQ(countColor(b, cell, mark), 7);
            } else {
                EXPECT_EQ(countColor(b, cell, mark), 0) << r << "," << c;
            }
        }
    }
}

TEST(CScan, NoPositiveSampleNoMarks) {
    auto m = cells(6, 6, [](std::uint32_t, std::uint32_t) { return -100; });
    m->ComputeCellSize(60, 60);
    EXPECT_EQ(countColor(cscan(*m, 60, 60), {0, 0, 60, 60}, m->CursorColor), 0);
}

TEST(CScan, SmoothedOverFifteenPixelsExceptInTheBinaryPalette) {
    // One bright cell in a dark grid of 8 x 8 cells of 10 pixels.
    auto m =
        cells(8, 8, [](std::uint32_t r, std::uint32_t c) { return r == 4 && c == 4 ? -300 : -1; });
    m->ComputeCellSize(80, 80);
    const TBitmap grey = cscan(*m, 80, 80, PaletteDirectGrey);
    EXPECT_NE(grey.GetPixel(45, 45), entry(*m, 300));        // averaged with the dark cells
    EXPECT_NE(grey.GetPixel(38, 45), grey.GetPixel(30, 45)); // the blur reaches out
    m->HueHigh = 200;
    const TBitmap binary = cscan(*m, 80, 80, PaletteBinary);
    EXPECT_TRUE(allColor(binary, {41, 41, 49, 49}, 0x000000));
    EXPECT_TRUE(allColor(binary, {30, 30, 40, 40}, 0xFFFFFF));
}

TEST(CScan, ACursorDepthPastTheTraceLooksAtItsLastSample) {
    auto m = plainMap(5, 5, 50, [](std::uint32_t, std::uint32_t, std::uint32_t s) {
        return s == 49 ? -120 : -1;
    });
    m->Config->BandLastAScan = 0;
    m->Config->CursorTime[0] = 400.0;
    m->PaletteKind = PaletteThermal;
    m->BuildPalette(KeepPalette, KeepBound, KeepBound);
    m->ComputeCellSize(50, 50);
    EXPECT_TRUE(allColor(cscan(*m, 50, 50), {0, 0, 10, 10}, m->ColorTable[120]));
}

TEST(CScan, AStaleCellSizeNeverOutgrowsThePicture) {
    auto m = cells(40, 40, [](std::uint32_t, std::uint32_t) { return -50; });
    m->CellSize = 60000;
    const TBitmap b = cscan(*m, 30, 20);
    EXPECT_EQ(b.Width(), 30);
    EXPECT_LE(m->SliceImageA.Values.size(), 30u * 20u);
}

// ---- Overlays -------------------------------------------------------------------------------

TEST(MapOverlays, CursorLinesOnCellMiddles) {
    auto m = cells(5, 5, [](std::uint32_t, std::uint32_t) { return 0; });
    m->ComputeCellSize(50, 50);
    m->Config->MapCursorVertical = 1;
    m->Config->MapCursorHorizontal = 3;
    m->Config->CursorTime[0] = 25.0; // half of 50 samples
    TBitmap c;
    DrawCScanOverlay(*m, KeepScheme, 50, 50, c);
    EXPECT_TRUE(c.Transparent);
    EXPECT_EQ(columnsOf(c, 15, m->CursorColor).size(), 50u);
    EXPECT_EQ(rowsOf(c, 35, m->CursorColor).size(), 50u);
    TBitmap d;
    DrawDScanOverlay(*m, KeepScheme, 80, 50, d);
    EXPECT_EQ(rowsOf(d, 40, m->CursorColor).size(), 50u); // the depth, across the D-scan
    EXPECT_EQ(columnsOf(d, 15, m->CursorColor).size(), 80u);
    TBitmap bscan;
    m->DrawOverlay(KeepScheme, 50, 60, bscan);
    EXPECT_EQ(columnsOf(bscan, 30, m->CursorColor).size(), 50u); // the depth, down the B-scan
    EXPECT_EQ(rowsOf(bscan, 35, m->CursorColor).size(), 60u);
}

TEST(MapOverlays, OnePixelCellsPutTheLinesOnTheEdge) {
    auto m = cells(5, 5, [](std::uint32_t, std::uint32_t) { return 0; });
    m->CellSize = 1;
    m->Config->MapCursorVertical = 2;
    m->Config->MapCursorHorizontal = 4;
    TBitmap c;
    DrawCScanOverlay(*m, KeepScheme, 10, 10, c);
    EXPECT_EQ(columnsOf(c, 2, m->CursorColor).size(), 10u);
    EXPECT_EQ(rowsOf(c, 4, m->CursorColor).size(), 10u);
}

TEST(MapOverlays, CursorsOutsideTheGridAreBroughtInFirst) {
    auto m = cells(5, 5, [](std::uint32_t, std::uint32_t) { return 0; });
    m->ComputeCellSize(50, 50);
    m->Config->MapCursorVertical = 90;
    m->Config->MapCursorHorizontal = 7;
    TBitmap c;
    DrawCScanOverlay(*m, KeepScheme, 50, 50, c);
    EXPECT_EQ(columnsOf(c, 45, m->CursorColor).size(), 50u);
    EXPECT_EQ(rowsOf(c, 45, m->CursorColor).size(), 50u);
    EXPECT_EQ(m->Config->MapCursorVertical, 4);
}

// ---- Slices ---------------------------------------------------------------------------------

TEST(DScan, RowsStackedDepthRunningRight) {
    // Cursor column 2; row r echoes at sample 10 + 5 r.
    auto m = plainMap(4, 3, 50, [](std::uint32_t r, std::uint32_t c, std::uint32_t s) {
        return c == 2 && s == 10 + 5 * r ? 300 : 0;
    });
    m->Config->BandLastAScan = 0;
    m->Config->MapCursorHorizontal = 2;
    m->PaletteKind = PaletteInverseGrey;
    m->BuildPalette(KeepPalette, KeepBound, KeepBound);
    m->CellSize = 5;
    TBitmap b;
    RenderDScan(*m, b, KeepPalette, KeepScheme, 50, 30);
    for (int r = 0; r < 4; ++r) {
        for (int y = 5 * r; y < 5 * r + 5; ++y) {
            EXPECT_EQ(columnsOf(b, y, entry(*m, 300)), std::vector<int>{10 + 5 * r}) << y;
        }
    }
    // Below the grid's rows: table entry 0.
    EXPECT_TRUE(allColor(b, {0, 20, 50, 30}, entry(*m, 0)));
}

TEST(BScan, TheCursorRowsAScansSideBySide) {
    auto m = plainMap(3, 4, 50, [](std::uint32_t r, std::uint32_t c, std::uint32_t) {
        return r == 1 ? int(60 * (c + 1)) : 0;
    });
    m->Config->BandLastAScan = 0;
    m->Config->MapCursorVertical = 1;
    m->PaletteKind = PaletteThermal;
    m->BuildPalette(KeepPalette, KeepBound, KeepBound);
    m->CellSize = 6;
    std::unique_ptr<TBitmap> b;
    m->RenderImage(KeepPalette, KeepScheme, b, 40, 20);
    for (int c = 0; c < 4; ++c) {
        EXPECT_TRUE(allColor(*b, {6 * c, 0, 6 * c + 6, 20}, entry(*m, 60 * (c + 1)))) << c;
    }
    EXPECT_TRUE(allColor(*b, {24, 0, 40, 20}, entry(*m, 0)));
}

TEST(BScan, AOneColumnMapIsOneStripWithoutMerging) {
    // Upper 10, lower -300 in every row: unmerged the strip shows 10.
    auto m = plainMap(
        5, 1, 50, [](std::uint32_t, std::uint32_t, std::uint32_t s) { return s % 2 ? -300 : 10; });
    m->Config->BandLastAScan = 0;
    m->PaletteKind = PaletteThermal;
    m->BuildPalette(KeepPalette, KeepBound, KeepBound);
    m->ComputeCellSize(60, 50);
    ASSERT_EQ(m->CellSize, 10);
    std::unique_ptr<TBitmap> b;
    m->RenderImage(KeepPalette, KeepScheme, b, 60, 25);
    EXPECT_TRUE(allColor(*b, {0, 0, 10, 25}, entry(*m, 10)));
    EXPECT_TRUE(allColor(*b, {10, 0, 60, 25}, entry(*m, 0)));
}

// ---- Rulers ---------------------------------------------------------------------------------

// The lines of a ruler with a long mark (12 pixels from the edge) at q = i x cell.
std::vector<int> numbered(const TBitmap& b, int count, int cell, bool rows, TColor scale) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) {
        const int q = i * cell;
        const bool long12 = rows ? b.GetPixel(10, q) == scale : b.GetPixel(q, 10) == scale;
        if (long12) {
            out.push_back(i);
        }
    }
    return out;
}

TEST(MapRulers, NumberingEveryLineEverySecondOrEveryFifth) {
    ProgramTexts texts;
    for (const auto& [n, expected] : std::vector<std::pair<std::uint16_t, std::vector<int>>>{
             {5, {0, 1, 2, 3, 4}}, {10, {0, 2, 4, 6, 8}}, {12, {0, 5, 10}}}) {
        auto m = cells(n, n, [](std::uint32_t, std::uint32_t) { return 0; });
        m->CellSize = 20;
        TBitmap rows;
        RenderRowMarkup(*m, rows, KeepScheme, 56, n * 20 + 40);
        EXPECT_EQ(numbered(rows, n, 20, true, m->ScaleColor), expected) << n;
        TBitmap columns;
        RenderColumnMarkup(*m, columns, KeepScheme, n * 20 + 40, 45);
        EXPECT_EQ(numbered(columns, n, 20, false, m->ScaleColor), expected) << n;
        // Short marks reach 7 pixels in from both edges.
        const int q = 20;
        if (n != 5) {
            EXPECT_EQ(rowsOf(columns, q, m->ScaleColor, 0, 12), range(0, 7)) << n;
            EXPECT_EQ(rowsOf(columns, q, m->ScaleColor, 30, 45), range(39, 45)) << n;
        }
    }
}

TEST(MapRulers, FramedOnSurfacesNotInReports) {
    auto m = cells(5, 5, [](std::uint32_t, std::uint32_t) { return 0; });
    m->CellSize = 20;
    MemoryPresentTarget rowSurface(56, 120);
    m->DrawCDVerticMarkupToSurfaceView(KeepScheme, rowSurface);
    EXPECT_TRUE(allColor(rowSurface.Shown(), {0, 119, 55, 120}, 0x000000)); // bottom edge
    EXPECT_TRUE(allColor(rowSurface.Shown(), {20, 0, 40, 1}, 0xFFFFFF));    // no top edge
    MemoryPresentTarget columnSurface(120, 45);
    m->DrawCBHorizMarkupToSurfaceView(KeepScheme, columnSurface);
    EXPECT_TRUE(allColor(columnSurface.Shown(), {20, 0, 40, 1}, 0x000000)); // top edge
    EXPECT_TRUE(allColor(columnSurface.Shown(), {0, 20, 1, 25}, 0xFFFFFF)); // no left edge
    MemoryReportImage image(120, 45);
    m->DrawCBHorizMarkupToReport(KeepScheme, image);
    EXPECT_TRUE(allColor(image.Picture(), {21, 0, 40, 1}, 0xFFFFFF));
    EXPECT_EQ(image.Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
    MemoryReportImage rowImage(56, 120);
    m->DrawCDVerticMarkupToReport(KeepScheme, rowImage);
    EXPECT_TRUE(allColor(rowImage.Picture(), {0, 119, 55, 120}, 0xFFFFFF));
}

// ---- Caches and reports ---------------------------------------------------------------------

std::unique_ptr<TBaseMapCell> graded() {
    auto m = cells(6, 6, [](std::uint32_t r, std::uint32_t c) { return -int(20 * (r + c)); });
    m->ComputeCellSize(60, 60);
    m->Config->MapCursorVertical = 2;
    m->Config->MapCursorHorizontal = 2;
    return m;
}

TEST(MapSurfaces, RedrawsMoveOnlyTheCursorLines) {
    auto m = graded();
    MemoryPresentTarget c(60, 60);
    MemoryPresentTarget d(80, 60);
    MemoryPresentTarget b(60, 40);
    m->DrawCScanToSurfaceView(KeepPalette, KeepScheme, c);
    m->DrawDScanToSurfaceView(KeepPalette, KeepScheme, d);
    m->DrawToSurfaceView(KeepPalette, KeepScheme, b);
    ASSERT_TRUE(m->CScanPicture && m->DScanPicture && m->BandPicture);
    const TBitmap cPicture = *m->CScanPicture;
    const TBitmap dPicture = *m->DScanPicture;
    const TBitmap bPicture = *m->BandPicture;
    EXPECT_EQ(columnsOf(c.Shown(), 25, m->CursorColor).size(), 60u);

    m->Config->MapCursorVertical = 4;
    m->Config->MapCursorHorizontal = 0;
    m->RedrawCScanToSurfaceView(c);
    m->RedrawDScanToSurfaceView(d);
    m->RedrawToSurfaceView(b);
    EXPECT_EQ(m->CScanPicture->Pixels(), cPicture.Pixels());
    EXPECT_EQ(m->DScanPicture->Pixels(), dPicture.Pixels());
    EXPECT_EQ(m->BandPicture->Pixels(), bPicture.Pixels());
    EXPECT_EQ(columnsOf(c.Shown(), 45, m->CursorColor).size(), 60u);
    EXPECT_EQ(rowsOf(c.Shown(), 5, m->CursorColor).size(), 60u);
    EXPECT_EQ(c.Shown().GetPixel(30, 25), cPicture.GetPixel(30, 25));
    EXPECT_EQ(columnsOf(d.Shown(), 45, m->CursorColor).size(), 80u);
    EXPECT_EQ(rowsOf(b.Shown(), 5, m->CursorColor).size(), 40u);
}

TEST(MapReports, ReportDrawingsLeaveTheCachedPicturesAlone) {
    auto m = graded();
    MemoryPresentTarget c(60, 60);
    MemoryPresentTarget d(80, 60);
    MemoryPresentTarget b(60, 40);
    m->DrawCScanToSurfaceView(KeepPalette, KeepScheme, c);
    m->DrawDScanToSurfaceView(KeepPalette, KeepScheme, d);
    m->DrawToSurfaceView(KeepPalette, KeepScheme, b);
    const TBitmap cPicture = *m->CScanPicture;
    const TBitmap dPicture = *m->DScanPicture;
    const TBitmap bPicture = *m->BandPicture;
    const auto table = m->ColorTable;

    MemoryReportImage cImage(90, 90);
    MemoryReportImage dImage(70, 50);
    MemoryReportImage bImage(90, 30);
    m->DrawCScanToReport(PaletteDirectGrey, 1, cImage);
    m->DrawDScanToReport(PaletteDirectGrey, 1, dImage);
    m->DrawToReport(PaletteDirectGrey, 1, bImage);
    EXPECT_EQ(m->CScanPicture->Pixels(), cPicture.Pixels());
    EXPECT_EQ(m->DScanPicture->Pixels(), dPicture.Pixels());
    EXPECT_EQ(m->BandPicture->Pixels(), bPicture.Pixels());
    EXPECT_EQ(m->ColorTable, table);
    for (const auto* image : {&cImage, &dImage, &bImage}) {
        ASSERT_TRUE(image->HasPicture());
        EXPECT_EQ(image->Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
    }
    EXPECT_EQ(cImage.Picture().Width(), 90);
}

TEST(MapSurfaces, NothingShownWhenTheSurfaceCannotDraw) {
    auto m = graded();
    MemoryPresentTarget c(60, 60);
    c.canDraw = false;
    m->DrawCScanToSurfaceView(KeepPalette, KeepScheme, c);
    m->RedrawDScanToSurfaceView(c);
    m->DrawCDVerticMarkupToSurfaceView(KeepScheme, c);
    m->DrawCBHorizMarkupToSurfaceView(KeepScheme, c);
    EXPECT_EQ(c.Flips(), 0);
}

// ---- Composite picture ----------------------------------------------------------------------

TEST(MapClipboard, AllViewsFramedInTheirPlaces) {
    ProgramTexts texts;
    auto m = graded();
    m->Config->CursorTime[0] = 25.0;
    const TMapClipboardSizes sizes{60, 20, 80, 60, 30, 40};
    TBitmap b;
    CopyMapImageToClipboard(*m, 0, b, sizes);
    ASSERT_EQ(b.Width(), 160);
    ASSERT_EQ(b.Height(), 130);
    // Frames on the C-scan's top edge, the D-scan's left edge and the B-scan's bottom edge.
    EXPECT_TRUE(allColor(b, {30, 0, 50, 1}, 0x000000));
    EXPECT_TRUE(allColor(b, {80, 35, 81, 55}, 0x000000));
    EXPECT_TRUE(allColor(b, {30, 129, 50, 130}, 0x000000));
    // The empty corner between the column ruler and the gradator.
    EXPECT_TRUE(allColor(b, {60, 60, 80, 90}, 0xFFFFFF));
    // Cursor lines over the C-scan (row 2, column 2: pixel 25) and the B-scan (depth 25 of 50).
    EXPECT_EQ(b.GetPixel(25, 40), m->CursorColor);
    EXPECT_EQ(b.GetPixel(40, 90 + 20), m->CursorColor);
    // The upright A-scan of the cursor's cell, in the map's screen colours.
    EXPECT_EQ(m->Index1, 2);
    EXPECT_EQ(m->Index2, 2);
    EXPECT_EQ(b.GetPixel(150, 100), 0x000000);
    EXPECT_FALSE(m->CScanPicture);

    TBitmap untouched(4, 4);
    CopyMapImageToClipboard(*m, 2, untouched, sizes);
    EXPECT_EQ(untouched.Width(), 4);
}

} // namespace
