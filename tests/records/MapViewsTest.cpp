// Map pictures probed pixel by pixel: C-scan cells in their table colours with plus marks only on
// cells holding a positive sample, the D- and B-scan slices, cursor lines on cell middles or
// edges, the row and column rulers, cached pictures that redraws and reports leave alone, and the
// composite picture.
#include "PictureTestSupport.h"

#include "platform/gfx/PresentTarget.h"
#include "platform/gfx/ReportImageTarget.h"
#include "records/MapViews.h"

#include <gtest/gtest.h>

namespace {

using namespace pictest;
using platform::gfx::MemoryPresentTarget;
using platform::gfx::MemoryReportImage;

// A map of 50 samples per A-scan, cell (r, c) holding value(r, c, s), in the thermal palette,
// drawn as read from a file of one column (no merging) unless `merged`.
template <typename Value>
std::unique_ptr<TBaseMapCell> grid(std::uint16_t rows, std::uint16_t columns, Value value,
                                   bool merged = false) {
    auto m = plainRecord<TBaseMapCell>(rows, columns, 50, value);
    if (!merged) {
        m->Config->BandLastAScan = 0;
    }
    setPalette(*m, PaletteThermal);
    return m;
}

TBitmap cscan(TBaseMapCell& m, int w, int h, std::uint8_t kind = KeepPalette) {
    TBitmap b;
    RenderCScan(m, b, kind, KeepScheme, w, h);
    return b;
}

TEST(CScan, CellsShowTheirAmplitudeAtCursorOnesDepth) {
    auto m = grid(5, 5, [](std::uint32_t r, std::uint32_t c, std::uint32_t s) {
        return s == 49 ? -120 : -int(10 * (5 * r + c));
    });
    m->ComputeCellSize(50, 50);
    ASSERT_EQ(m->CellSize, 10);
    TBitmap b = cscan(*m, 60, 55);
    EXPECT_TRUE(allColor(b, {30, 20, 40, 30}, entry(*m, 130))); // row 2, column 3
    EXPECT_TRUE(allColor(b, {40, 40, 50, 50}, entry(*m, 240)));
    EXPECT_TRUE(allColor(b, {50, 0, 60, 55}, entry(*m, 0))); // beyond the grid
    EXPECT_TRUE(allColor(b, {0, 50, 50, 55}, entry(*m, 0)));
    m->Config->CursorTime[0] = 400.0; // past the trace: its last sample
    EXPECT_TRUE(allColor(cscan(*m, 50, 50), {0, 0, 50, 50}, entry(*m, 120)));
    auto full = grid(5, 5, [](std::uint32_t, std::uint32_t, std::uint32_t) { return -360; });
    full->ComputeCellSize(50, 50);
    EXPECT_TRUE(allColor(cscan(*full, 50, 50), {0, 0, 50, 50}, entry(*full, 359)));
}

TEST(CScan, PlusMarksOnlyOnCellsHoldingAPositiveSample) {
    // Even columns hold a positive sample; odd ones only a positive last sample, which does not
    // count.
    auto m = grid(5, 6, [](std::uint32_t, std::uint32_t c, std::uint32_t s) {
        return s == (c % 2 == 0 ? 3u : 49u) ? 5 : -5;
    });
    m->ComputeCellSize(60, 50);
    const TBitmap b = cscan(*m, 60, 50);
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 6; ++c) {
            const int xc = 10 * c + 5;
            const int yc = 10 * r + 5;
            const int marks =
                countColor(b, {10 * c, 10 * r, 10 * c + 10, 10 * r + 10}, m->CursorColor);
            if (c % 2 != 0) {
                EXPECT_EQ(marks, 0) << r << "," << c;
                continue;
            }
            EXPECT_EQ(marks, 7) << r << "," << c;
            EXPECT_EQ(columnsOf(b, yc, m->CursorColor, 10 * c, 10 * c + 10), range(xc - 2, xc + 2));
            EXPECT_EQ(rowsOf(b, xc, m->CursorColor, 10 * r, 10 * r + 10), range(yc - 2, yc + 2));
        }
    }
}

TEST(CScan, SmoothedOverFifteenPixelsExceptInTheBinaryPalette) {
    auto m = grid(
        8, 8,
        [](std::uint32_t r, std::uint32_t c, std::uint32_t) {
            return r == 4 && c == 4 ? -300 : -1;
        },
        true);
    m->ComputeCellSize(80, 80);
    const TBitmap grey = cscan(*m, 80, 80, PaletteDirectGrey);
    EXPECT_NE(grey.GetPixel(45, 45), grey.GetPixel(30, 45)); // the bright cell's neighbourhood
    EXPECT_NE(grey.GetPixel(38, 45), grey.GetPixel(30, 45)); // ... blurred outwards
    m->HueHigh = 200;
    const TBitmap binary = cscan(*m, 80, 80, PaletteBinary);
    EXPECT_TRUE(allColor(binary, {40, 40, 50, 50}, 0x000000));
    EXPECT_TRUE(allColor(binary, {30, 30, 40, 40}, 0xFFFFFF));
    m->CellSize = 60000; // a stale cell size never outgrows the picture
    EXPECT_EQ(cscan(*m, 30, 20).Width(), 30);
    EXPECT_LE(m->SliceImageA.Values.size(), 30u * 20u);
}

TEST(MapOverlays, CursorLinesOnCellMiddlesOrEdgesInsideTheGrid) {
    auto m = grid(5, 5, [](std::uint32_t, std::uint32_t, std::uint32_t) { return 0; });
    m->ComputeCellSize(50, 50);
    m->Config->MapCursorVertical = 1;
    m->Config->MapCursorHorizontal = 3;
    m->Config->CursorTime[0] = 25.0; // half of 50 samples
    TBitmap o;
    DrawCScanOverlay(*m, KeepScheme, 50, 50, o);
    EXPECT_TRUE(o.Transparent);
    EXPECT_EQ(columnsOf(o, 15, m->CursorColor).size(), 50u);
    EXPECT_EQ(rowsOf(o, 35, m->CursorColor).size(), 50u);
    DrawDScanOverlay(*m, KeepScheme, 80, 50, o);
    EXPECT_EQ(rowsOf(o, 40, m->CursorColor).size(), 50u); // the depth across the D-scan
    EXPECT_EQ(columnsOf(o, 15, m->CursorColor).size(), 80u);
    m->DrawOverlay(KeepScheme, 50, 60, o);
    EXPECT_EQ(columnsOf(o, 30, m->CursorColor).size(), 50u); // the depth down the B-scan
    EXPECT_EQ(rowsOf(o, 35, m->CursorColor).size(), 60u);
    m->CellSize = 1; // lines on the cells' edges
    DrawCScanOverlay(*m, KeepScheme, 10, 10, o);
    EXPECT_EQ(columnsOf(o, 1, m->CursorColor).size(), 10u);
    m->ComputeCellSize(50, 50);
    m->Config->MapCursorVertical = 90; // outside the grid: brought to its last row first
    DrawCScanOverlay(*m, KeepScheme, 50, 50, o);
    EXPECT_EQ(columnsOf(o, 45, m->CursorColor).size(), 50u);
    EXPECT_EQ(m->Config->MapCursorVertical, 4);
}

TEST(MapSlices, DScanStacksRowsBScanSetsColumnsSideBySide) {
    // Cursor column 2, row r echoing at sample 10 + 5 r: one depth per pixel across the D-scan.
    auto m = grid(4, 3, [](std::uint32_t r, std::uint32_t c, std::uint32_t s) {
        return c == 2 && s == 10 + 5 * r ? 300 : (r == 1 ? int(60 * (c + 1)) : 0);
    });
    m->Config->MapCursorHorizontal = 2;
    m->Config->MapCursorVertical = 1;
    m->CellSize = 5;
    TBitmap d;
    RenderDScan(*m, d, PaletteInverseGrey, KeepScheme, 50, 30);
    TBaseBandCell g;
    g.BuildPalette(PaletteInverseGrey, 0, 359);
    for (const int r : {0, 2, 3}) {
        for (int y = 5 * r; y < 5 * r + 5; ++y) {
            EXPECT_EQ(columnsOf(d, y, entry(g, 300)), std::vector<int>{10 + 5 * r}) << y;
        }
    }
    EXPECT_TRUE(allColor(d, {0, 20, 50, 30}, entry(g, 0))); // below the grid's rows
    // The B-scan of row 1: columns of 60, 120, 180 (and the echo of column 2), 5 pixels each.
    std::unique_ptr<TBitmap> b;
    m->RenderImage(KeepPalette, KeepScheme, b, 40, 20);
    for (int c = 0; c < 2; ++c) {
        EXPECT_TRUE(allColor(*b, {5 * c, 0, 5 * c + 5, 20}, entry(*m, 60 * (c + 1)))) << c;
    }
    EXPECT_TRUE(allColor(*b, {15, 0, 40, 20}, entry(*m, 0)));
}

TEST(MapSlices, OneColumnFromTheInstrumentIsNeitherMergedNorSmoothed) {
    // Four rows of one column, BAND_LAST_ASCAN 0 as the link sets it. Sample 1 holds the cell's
    // C-scan value; the other samples alternate -10 and -300, so an unmerged pixel of two
    // samples shows 10 and a merged one 300, and smoothing would blend the two.
    const auto value = [](std::uint32_t r, std::uint32_t, std::uint32_t s) {
        return s == 1 ? -int(60 * (r + 1)) : (s % 2 ? -300 : -10);
    };
    auto m = grid(4, 1, value);
    m->Config->CursorTime[0] = 1.0;
    m->ComputeCellSize(60, 120);
    ASSERT_EQ(m->CellSize, 30);
    ASSERT_FALSE(m->FiltersImages());
    // The C-scan: one column of cells, each in its own colour up to its edges.
    const TBitmap c = cscan(*m, 60, 120);
    for (int r = 0; r < 4; ++r) {
        EXPECT_TRUE(allColor(c, {0, 30 * r, 30, 30 * r + 30}, entry(*m, 60 * (r + 1)))) << r;
    }
    EXPECT_TRUE(allColor(c, {30, 0, 60, 120}, entry(*m, 0)));
    // The B-scan: one strip of upper values (two samples per row), the rest table entry 0.
    std::unique_ptr<TBitmap> b;
    m->RenderImage(KeepPalette, KeepScheme, b, 80, 25);
    EXPECT_TRUE(allColor(*b, {0, 0, 30, 25}, entry(*m, 10)));
    EXPECT_TRUE(allColor(*b, {30, 0, 80, 25}, entry(*m, 0)));
    // The D-scan: one sample per pixel, kept as it is.
    TBitmap d;
    RenderDScan(*m, d, KeepPalette, KeepScheme, 50, 120);
    for (const int y : {10, 45, 100}) {
        EXPECT_EQ(d.GetPixel(20, y), entry(*m, 10)) << y;
        EXPECT_EQ(d.GetPixel(21, y), entry(*m, 300)) << y;
    }
    // The same map counted as more than three A-scans is smoothed across the cell edges.
    m->Config->BandLastAScan = 3;
    EXPECT_NE(cscan(*m, 60, 120).GetPixel(15, 29), entry(*m, 60));
}

TEST(MapRulers, NumberingEveryLineEverySecondOrEveryFifthFramedOnSurfaces) {
    ProgramTexts texts;
    for (const auto& [n, numbered] : std::vector<std::pair<std::uint16_t, std::vector<int>>>{
             {5, {0, 1, 2, 3, 4}}, {10, {0, 2, 4, 6, 8}}, {12, {0, 5, 10}}}) {
        auto m = grid(n, n, [](std::uint32_t, std::uint32_t, std::uint32_t) { return 0; });
        m->CellSize = 20;
        TBitmap rows;
        TBitmap columns;
        RenderRowMarkup(*m, rows, KeepScheme, 56, n * 20 + 40);
        RenderColumnMarkup(*m, columns, KeepScheme, n * 20 + 40, 45);
        std::vector<int> longRows;
        std::vector<int> longColumns;
        for (int i = 0; i < n; ++i) { // long marks reach 12 pixels in, short ones 7
            if (rows.GetPixel(10, 20 * i) == m->ScaleColor) {
                longRows.push_back(i);
            }
            if (columns.GetPixel(20 * i, 10) == m->ScaleColor) {
                longColumns.push_back(i);
            }
        }
        EXPECT_EQ(longRows, numbered) << n;
        EXPECT_EQ(longColumns, numbered) << n;
    }
    auto m = grid(5, 5, [](std::uint32_t, std::uint32_t, std::uint32_t) { return 0; });
    m->CellSize = 20;
    MemoryPresentTarget rowSurface(56, 120);
    m->DrawCDVerticMarkupToSurfaceView(KeepScheme, rowSurface); // right, bottom, left
    EXPECT_TRUE(allColor(rowSurface.Shown(), {0, 119, 55, 120}, 0x000000));
    EXPECT_TRUE(allColor(rowSurface.Shown(), {20, 0, 40, 1}, 0xFFFFFF));
    MemoryPresentTarget columnSurface(120, 45);
    m->DrawCBHorizMarkupToSurfaceView(KeepScheme, columnSurface); // top, right, bottom
    EXPECT_TRUE(allColor(columnSurface.Shown(), {20, 0, 40, 1}, 0x000000));
    EXPECT_TRUE(allColor(columnSurface.Shown(), {0, 20, 1, 25}, 0xFFFFFF));
    MemoryReportImage image(120, 45);
    m->DrawCBHorizMarkupToReport(KeepScheme, image);
    EXPECT_TRUE(allColor(image.Picture(), {21, 0, 40, 1}, 0xFFFFFF));
}

// ---- Caches, reports, clipboard -------------------------------------------------------------

std::unique_ptr<TBaseMapCell> graded() {
    auto m = grid(
        6, 6, [](std::uint32_t r, std::uint32_t c, std::uint32_t) { return -int(20 * (r + c)); },
        true);
    m->ComputeCellSize(60, 60);
    m->Config->MapCursorVertical = 2;
    m->Config->MapCursorHorizontal = 2;
    return m;
}

TEST(MapSurfaces, RedrawsMoveOnlyTheCursorLinesReportsLeaveTheCachesAlone) {
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
    EXPECT_EQ(columnsOf(c.Shown(), 25, m->CursorColor).size(), 60u);
    const auto cachesKept = [&] {
        EXPECT_EQ(m->CScanPicture->Pixels(), cPicture.Pixels());
        EXPECT_EQ(m->DScanPicture->Pixels(), dPicture.Pixels());
        EXPECT_EQ(m->BandPicture->Pixels(), bPicture.Pixels());
    };

    m->Config->MapCursorVertical = 4;
    m->Config->MapCursorHorizontal = 0;
    m->RedrawCScanToSurfaceView(c);
    m->RedrawDScanToSurfaceView(d);
    m->RedrawToSurfaceView(b);
    cachesKept();
    EXPECT_EQ(columnsOf(c.Shown(), 45, m->CursorColor).size(), 60u);
    EXPECT_EQ(rowsOf(c.Shown(), 5, m->CursorColor).size(), 60u);
    EXPECT_EQ(c.Shown().GetPixel(30, 25), cPicture.GetPixel(30, 25));
    EXPECT_EQ(columnsOf(d.Shown(), 45, m->CursorColor).size(), 80u);
    EXPECT_EQ(rowsOf(b.Shown(), 5, m->CursorColor).size(), 40u);

    const auto table = m->ColorTable;
    MemoryReportImage cImage(90, 90);
    MemoryReportImage dImage(70, 50);
    MemoryReportImage bImage(90, 30);
    m->DrawCScanToReport(PaletteDirectGrey, 1, cImage);
    m->DrawDScanToReport(PaletteDirectGrey, 1, dImage);
    m->DrawToReport(PaletteDirectGrey, 1, bImage);
    cachesKept();
    EXPECT_EQ(m->ColorTable, table);
    for (const auto* image : {&cImage, &dImage, &bImage}) {
        EXPECT_EQ(image->Picture().PixelFormat(), platform::gfx::TPixelFormat::pf8bit);
    }
    c.canDraw = false;
    m->DrawCScanToSurfaceView(KeepPalette, KeepScheme, c);
    m->DrawCDVerticMarkupToSurfaceView(KeepScheme, c);
    EXPECT_EQ(c.Flips(), 2);
}

TEST(MapClipboard, AllViewsFramedInTheirPlaces) {
    ProgramTexts texts;
    auto m = graded();
    m->Config->CursorTime[0] = 25.0;
    const TMapClipboardSizes sizes{60, 20, 80, 60, 30, 40};
    TBitmap b;
    CopyMapImageToClipboard(*m, 0, b, sizes);
    ASSERT_EQ(b.Width(), 160);
    ASSERT_EQ(b.Height(), 130);
    EXPECT_TRUE(allColor(b, {30, 0, 50, 1}, 0x000000));     // the C-scan's top edge
    EXPECT_TRUE(allColor(b, {80, 35, 81, 55}, 0x000000));   // the D-scan's left edge
    EXPECT_TRUE(allColor(b, {30, 129, 50, 130}, 0x000000)); // the B-scan's bottom edge
    EXPECT_TRUE(allColor(b, {60, 60, 80, 90}, 0xFFFFFF));   // the empty corner
    EXPECT_EQ(b.GetPixel(25, 40), m->CursorColor);          // over the C-scan
    EXPECT_EQ(b.GetPixel(40, 110), m->CursorColor);         // the depth over the B-scan
    EXPECT_EQ(m->Index1, 2);                                // the cursor's A-scan, upright
    EXPECT_EQ(m->Index2, 2);
    EXPECT_EQ(b.GetPixel(150, 100), 0x000000);
    EXPECT_FALSE(m->CScanPicture);
    TBitmap untouched(4, 4);
    CopyMapImageToClipboard(*m, 2, untouched, sizes);
    EXPECT_EQ(untouched.Width(), 4);
}

} // namespace

namespace {

// The cached picture with the keyed picture of cursor lines laid over it.
TBitmap composed(const TBitmap& picture, const TBitmap& lines) {
    TBitmap b = picture;
    b.Canvas().Draw(0, 0, lines);
    return b;
}

} // namespace

TEST(MapOverlays, SurfacesShowTheLinesAsTheKeyedPictureLaysThemOverTheCache) {
    auto m = grid(5, 5, [](std::uint32_t r, std::uint32_t c, std::uint32_t s) {
        return -int((7 * r + 11 * c + s) % 300);
    });
    m->ComputeCellSize(50, 50);
    m->Config->MapCursorVertical = 2;
    m->Config->MapCursorHorizontal = 3;
    m->Config->CursorTime[0] = 20.0;
    for (const bool keyColoured : {false, true}) {
        SCOPED_TRACE(keyColoured ? "cursor in the key colour" : "cursor in its own colour");
        if (keyColoured) {
            m->CursorColor = m->ColorTable[0];
        }
        MemoryPresentTarget cSurface(50, 50);
        MemoryPresentTarget dSurface(80, 50);
        MemoryPresentTarget bSurface(50, 60);
        m->DrawCScanToSurfaceView(KeepPalette, KeepScheme, cSurface);
        m->DrawDScanToSurfaceView(KeepPalette, KeepScheme, dSurface);
        m->DrawToSurfaceView(KeepPalette, KeepScheme, bSurface);
        TBitmap lines;
        DrawCScanOverlay(*m, KeepScheme, 50, 50, lines);
        EXPECT_EQ(cSurface.Shown().Pixels(), composed(*m->CScanPicture, lines).Pixels());
        DrawDScanOverlay(*m, KeepScheme, 80, 50, lines);
        EXPECT_EQ(dSurface.Shown().Pixels(), composed(*m->DScanPicture, lines).Pixels());
        m->DrawOverlay(KeepScheme, 50, 60, lines);
        EXPECT_EQ(bSurface.Shown().Pixels(), composed(*m->BandPicture, lines).Pixels());
        // The redraws move the lines over the same cached pictures.
        m->Config->MapCursorVertical = 4;
        m->RedrawCScanToSurfaceView(cSurface);
        DrawCScanOverlay(*m, KeepScheme, 50, 50, lines);
        EXPECT_EQ(cSurface.Shown().Pixels(), composed(*m->CScanPicture, lines).Pixels());
        EXPECT_EQ(keyColoured, cSurface.Shown().Pixels() == m->CScanPicture->Pixels());
        m->Config->MapCursorVertical = 2;
    }
}
