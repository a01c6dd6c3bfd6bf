#include "records/MapViews.h"

#include "records/AScanViews.h"
#include "records/BandViews.h"
#include "records/ImageFilters.h"
#include "records/Rulers.h"
#include "records/ViewMath.h"
#include "records/ViewSupport.h"

#include <algorithm>

using platform::gfx::PresentTarget;
using platform::gfx::ReportImageTarget;
using platform::gfx::TBitmap;
using platform::gfx::TCanvas;
using namespace views;

namespace {

// The C-scan smooths over a wider box than the slices: its cells are squares of many pixels.
constexpr int kCScanBox = 15;
constexpr int kSliceBox = 7;
// The C-scan shows at most this entry: the table's last one is left for the slices.
constexpr int kCScanLastEntry = 359;
// Half the stroke of a plus mark.
constexpr int kPlusArm = 2;

constexpr std::uint8_t kRowRulerEdges = FrameRight | FrameBottom | FrameLeft;
constexpr std::uint8_t kColumnRulerEdges = FrameTop | FrameRight | FrameBottom;

std::span<const std::int32_t> traceOf(const TBaseMapCell& map, std::uint32_t row,
                                      std::uint32_t column) {
    const auto scan = map.Scan(row, column);
    return scan.first(std::min<std::size_t>(map.SampleCount(), scan.size()));
}

int cellOf(const TBaseMapCell& map) {
    return std::max<int>(map.CellSize, 1);
}

// Cursor lines over a picture of the map: keyed on table entry 0's colour, in the cursor colour.
void drawLines(TBaseMapCell& map, CursorLayer& layer, int w, int h,
               const std::function<void(TCanvas&)>& lines) {
    layer.Draw(w, h, map.ColorTable[0], map.CursorColor, lines);
}

// Where cursor 1's depth lies along a view `extent` pixels deep, or nothing for N = 0.
bool depthPixel(const TBaseMapCell& map, int extent, int& at) {
    const double n = map.SampleCount();
    if (!(n > 0.0)) {
        return false;
    }
    at = Pixel(map.Config->CursorTime[0] / n * extent);
    return true;
}

// Shows the cached picture with the cursor lines drawn straight over it on the surface.
template <typename Overlay>
void presentCached(TBaseMapCell& map, const TBitmap& cache, PresentTarget& control, int w, int h,
                   Overlay overlay) {
    // The lines keep the cursors inside the map even when the surface cannot show them now.
    map.ClampCursors();
    PresentLayers(control, {&cache}, [&] {
        CursorLinesOnSurface lines(control);
        overlay(lines, w, h);
    });
}

// Renders into the cached picture, then shows it with fresh cursor lines.
template <typename Render, typename Overlay>
void drawCached(TBaseMapCell& map, std::unique_ptr<TBitmap>& cache, PresentTarget& control,
                Render render, Overlay overlay) {
    const int w = control.Width();
    const int h = control.Height();
    if (!cache) {
        cache = std::make_unique<TBitmap>();
    }
    render(*cache, w, h);
    presentCached(map, *cache, control, w, h, overlay);
}

template <typename Render, typename Overlay>
void redrawCached(TBaseMapCell& map, std::unique_ptr<TBitmap>& cache, PresentTarget& control,
                  Render render, Overlay overlay) {
    const int w = control.Width();
    const int h = control.Height();
    if (!cache || cache->Width() != w || cache->Height() != h) {
        // Nothing cached for this view yet: the picture is made with what the map holds.
        if (!cache) {
            cache = std::make_unique<TBitmap>();
        }
        render(*cache, w, h);
    }
    presentCached(map, *cache, control, w, h, overlay);
}

template <typename Render, typename Overlay>
void drawReport(ReportImageTarget& image, Render render, Overlay overlay) {
    const int w = image.Width();
    const int h = image.Height();
    TBitmap picture;
    render(picture, w, h);
    TBitmap bitmap;
    CursorPicture lines(bitmap);
    overlay(lines, w, h);
    platform::gfx::DrawOnReportImage(image, {&picture, &bitmap});
}

} // namespace

// ---- Pictures -------------------------------------------------------------------------------

void RenderCScan(TBaseMapCell& map, TBitmap& bitmap, std::uint8_t kind, std::uint8_t scheme, int w,
                 int h) {
    const TSchemeOverride colors(map, scheme);
    const TPaletteOverride palette(map, kind);
    PreparePicture(bitmap, w, h, map.ColorTable[0]);
    w = bitmap.Width();
    h = bitmap.Height();
    const int rows = static_cast<int>(map.GridRows());
    const int columns = static_cast<int>(map.GridColumns());
    const int c = cellOf(map);
    // Cells beyond the picture are not shown, so the work area never outgrows it.
    const int W = std::min(columns * c, w);
    const int H = std::min(rows * c, h);
    bitmap.Canvas().FillRect({W, 0, w, h});
    bitmap.Canvas().FillRect({0, H, W, h});
    TWorkImage& imageA = map.SliceImageA;
    TWorkImage& imageB = map.SliceImageB;
    if (imageB.Width != W || imageB.Height != H || imageA.Width != W || imageA.Height != H) {
        imageA.Reallocate(W, H);
        imageB.Reallocate(W, H);
    }
    if (W == 0 || H == 0) {
        return;
    }
    for (int r = 0; r < rows && r * c < H; ++r) {
        const int y0 = r * c;
        const int y1 = std::min(y0 + c, H);
        for (int col = 0; col < columns && col * c < W; ++col) {
            const std::int32_t v = map.CScanValue(std::uint32_t(r), std::uint32_t(col));
            for (int x = col * c; x < std::min(col * c + c, W); ++x) {
                std::fill(imageA.Column(x).begin() + y0, imageA.Column(x).begin() + y1, v);
                std::fill(imageB.Column(x).begin() + y0, imageB.Column(x).begin() + y1, v);
            }
        }
    }
    map.FilterImage(imageB, imageA, W, H, kCScanBox, PaletteInEffect(map, kind) != PaletteBinary);
    PaintWorkImage(bitmap, imageB, W, H, map.ColorTable, kCScanLastEntry, false);

    TCanvas& canvas = bitmap.Canvas();
    SolidPen(canvas, map.CursorColor);
    for (int r = 0; r < rows; ++r) {
        for (int col = 0; col < columns; ++col) {
            if (!map.CellHasPositiveSample(std::uint32_t(r), std::uint32_t(col))) {
                continue;
            }
            const int xc = Pixel((col + 0.5) * c);
            const int yc = Pixel((r + 0.5) * c);
            Line(canvas, xc - kPlusArm, yc, xc + kPlusArm, yc);
            Line(canvas, xc, yc - kPlusArm, xc, yc + kPlusArm);
        }
    }
}

void RenderDScan(TBaseMapCell& map, TBitmap& bitmap, std::uint8_t kind, std::uint8_t scheme, int w,
                 int h) {
    const TSchemeOverride colors(map, scheme);
    const TPaletteOverride palette(map, kind);
    map.ClampCursors();
    PreparePicture(bitmap, w, h, map.ColorTable[0]);
    w = bitmap.Width();
    h = bitmap.Height();
    const int rows = static_cast<int>(map.GridRows());
    const int c = cellOf(map);
    const int lines = std::min(rows * c, h);
    bitmap.Canvas().FillRect({0, lines, w, h});
    const std::uint32_t column = map.Config->MapCursorHorizontal;
    // The slice images hold one line of w depth values per pixel row.
    TWorkImage& imageA = map.SliceImageA;
    TWorkImage& imageB = map.SliceImageB;
    if (imageB.Width != lines || imageB.Height != w || imageA.Width != lines ||
        imageA.Height != w) {
        imageA.Reallocate(lines, w);
        imageB.Reallocate(lines, w);
    }
    if (lines == 0 || w == 0) {
        return;
    }
    // As for bands: merged images come from the resampler at once.
    const bool merged = map.FiltersImages();
    const double n = map.SampleCount();
    // The smoothing reads only the first line of each cell.
    const bool smooth = merged && PaletteInEffect(map, kind) != PaletteBinary;
    for (int r = 0; r < rows && r * c < lines; ++r) {
        const int y = r * c;
        const auto trace = traceOf(map, std::uint32_t(r), column);
        if (merged) {
            ResampleMagnitudes(trace, 0.0, n, w, imageA.Column(y));
        } else {
            ResampleScan(trace, 0.0, n, w, imageB.Column(y), imageA.Column(y));
        }
        for (int k = 1; !smooth && k < c && y + k < lines; ++k) {
            std::ranges::copy(imageA.Column(y), imageA.Column(y + k).begin());
            if (!merged) {
                std::ranges::copy(imageB.Column(y), imageB.Column(y + k).begin());
            }
        }
    }
    const TWorkImage* shown = &imageB;
    if (smooth) {
        SmoothWorkImages(imageB, imageA, lines, w, kSliceBox, c);
    } else if (merged) {
        shown = &imageA;
    }
    PaintWorkImage(bitmap, *shown, w, lines, map.ColorTable, int(ColorTableSize) - 1, true);
}

void DrawCScanCursors(TBaseMapCell& map, std::uint8_t scheme, int w, int h, CursorLayer& layer) {
    const TSchemeOverride colors(map, scheme);
    map.ClampCursors();
    const int y = MapCursorPixel(map.Config->MapCursorVertical, cellOf(map));
    const int x = MapCursorPixel(map.Config->MapCursorHorizontal, cellOf(map));
    drawLines(map, layer, w, h, [&](TCanvas& c) {
        Line(c, 0, y, w, y);
        Line(c, x, 0, x, h);
    });
}

void DrawDScanCursors(TBaseMapCell& map, std::uint8_t scheme, int w, int h, CursorLayer& layer) {
    const TSchemeOverride colors(map, scheme);
    map.ClampCursors();
    int x = 0;
    const bool depth = depthPixel(map, w, x);
    const int y = MapCursorPixel(map.Config->MapCursorVertical, cellOf(map));
    drawLines(map, layer, w, h, [&](TCanvas& c) {
        if (depth) {
            Line(c, x, 0, x, h);
        }
        Line(c, 0, y, w, y);
    });
}

void DrawCScanOverlay(TBaseMapCell& map, std::uint8_t scheme, int w, int h, TBitmap& bitmap) {
    CursorPicture layer(bitmap);
    DrawCScanCursors(map, scheme, w, h, layer);
}

void DrawDScanOverlay(TBaseMapCell& map, std::uint8_t scheme, int w, int h, TBitmap& bitmap) {
    CursorPicture layer(bitmap);
    DrawDScanCursors(map, scheme, w, h, layer);
}

// ---- Rulers ---------------------------------------------------------------------------------

void RenderRowMarkup(TBaseMapCell& map, TBitmap& bitmap, std::uint8_t scheme, int w, int h) {
    const TSchemeOverride colors(map, scheme);
    StartPicture(bitmap, w, h, map.BackgroundColor);
    TCanvas& c = bitmap.Canvas();
    SolidPen(c, map.ScaleColor);
    RulerFont(c, map.ScaleColor);
    ClearBrush(c);
    const int n = static_cast<int>(map.GridRows());
    const int cell = cellOf(map);
    const int period = MapRulerPeriod(n);
    const int letterHeight = c.TextHeight("Y");
    for (int i = 0; i < n; ++i) {
        const int q = i * cell;
        const int mark = i % period == 0 ? kLongMark : kShortMark;
        Line(c, 0, q, mark, q);
        Line(c, w, q, w - mark, q);
        if (i % period != 0) {
            continue;
        }
        const std::string number = std::to_string(i);
        const int tw = c.TextWidth(number);
        if (i == 0) {
            c.TextOut((w - tw) / 2, 2, number);
            continue;
        }
        const int top = q - c.TextHeight(number) / 2;
        if (top < h - letterHeight - kLetterGap) {
            c.TextOut((w - tw) / 2, top, number);
        }
    }
    c.TextOut((w - c.TextWidth("Y")) / 2, h - letterHeight - kLetterGap, "Y");
}

void RenderColumnMarkup(TBaseMapCell& map, TBitmap& bitmap, std::uint8_t scheme, int w, int h) {
    const TSchemeOverride colors(map, scheme);
    StartPicture(bitmap, w, h, map.BackgroundColor);
    TCanvas& c = bitmap.Canvas();
    SolidPen(c, map.ScaleColor);
    RulerFont(c, map.ScaleColor);
    ClearBrush(c);
    const int n = static_cast<int>(map.GridColumns());
    const int cell = cellOf(map);
    const int period = MapRulerPeriod(n);
    const int letterWidth = c.TextWidth("X");
    const int textHeight = c.TextHeight("0");
    for (int i = 0; i < n; ++i) {
        const int q = i * cell;
        const int mark = i % period == 0 ? kLongMark : kShortMark;
        Line(c, q, 0, q, mark);
        Line(c, q, h, q, h - mark);
        if (i % period != 0) {
            continue;
        }
        const std::string number = std::to_string(i);
        if (i == 0) {
            c.TextOut(2, (h - textHeight) / 2, number);
            continue;
        }
        const int left = q - c.TextWidth(number) / 2;
        if (left < w - letterWidth - kLetterGap) {
            c.TextOut(left, (h - textHeight) / 2, number);
        }
    }
    c.TextOut(w - letterWidth - kLetterGap, (h - textHeight) / 2, "X");
}

// ---- The map's operations -------------------------------------------------------------------

void TBaseMapCell::RenderImage(std::uint8_t kind, std::uint8_t scheme,
                               std::unique_ptr<TBitmap>& bitmap, int w, int h) {
    const TSchemeOverride colors(*this, scheme);
    const TPaletteOverride palette(*this, kind);
    ClampCursors();
    if (!bitmap) {
        bitmap = std::make_unique<TBitmap>();
    }
    const std::uint32_t row = Config->MapCursorVertical;
    RenderStrips(*this, *bitmap, w, h, static_cast<int>(GridColumns()), cellOf(*this),
                 PaletteInEffect(*this, kind) != PaletteBinary,
                 [this, row](int i) { return traceOf(*this, row, std::uint32_t(i)); });
}

void TBaseMapCell::DrawCursorLines(std::uint8_t scheme, int w, int h, CursorLayer& layer) {
    const TSchemeOverride colors(*this, scheme);
    ClampCursors();
    int y = 0;
    const bool depth = depthPixel(*this, h, y);
    const int x = MapCursorPixel(Config->MapCursorHorizontal, cellOf(*this));
    drawLines(*this, layer, w, h, [&](TCanvas& c) {
        if (depth) {
            Line(c, 0, y, w, y);
        }
        Line(c, x, 0, x, h);
    });
}

void TBaseMapCell::DrawCScanToSurfaceView(std::uint8_t kind, std::uint8_t scheme,
                                          PresentTarget& control) {
    drawCached(
        *this, CScanPicture, control,
        [&](TBitmap& b, int w, int h) { RenderCScan(*this, b, kind, scheme, w, h); },
        [&](CursorLayer& lines, int w, int h) {
            const TPaletteOverride palette(*this, kind);
            DrawCScanCursors(*this, scheme, w, h, lines);
        });
}

void TBaseMapCell::RedrawCScanToSurfaceView(PresentTarget& control) {
    redrawCached(
        *this, CScanPicture, control,
        [&](TBitmap& b, int w, int h) { RenderCScan(*this, b, KeepPalette, KeepScheme, w, h); },
        [&](CursorLayer& lines, int w, int h) {
            DrawCScanCursors(*this, KeepScheme, w, h, lines);
        });
}

void TBaseMapCell::DrawCScanToReport(std::uint8_t kind, std::uint8_t scheme,
                                     ReportImageTarget& image) {
    drawReport(
        image, [&](TBitmap& b, int w, int h) { RenderCScan(*this, b, kind, scheme, w, h); },
        [&](CursorLayer& lines, int w, int h) {
            const TPaletteOverride palette(*this, kind);
            DrawCScanCursors(*this, scheme, w, h, lines);
        });
}

void TBaseMapCell::DrawDScanToSurfaceView(std::uint8_t kind, std::uint8_t scheme,
                                          PresentTarget& control) {
    drawCached(
        *this, DScanPicture, control,
        [&](TBitmap& b, int w, int h) { RenderDScan(*this, b, kind, scheme, w, h); },
        [&](CursorLayer& lines, int w, int h) {
            const TPaletteOverride palette(*this, kind);
            DrawDScanCursors(*this, scheme, w, h, lines);
        });
}

void TBaseMapCell::RedrawDScanToSurfaceView(PresentTarget& control) {
    redrawCached(
        *this, DScanPicture, control,
        [&](TBitmap& b, int w, int h) { RenderDScan(*this, b, KeepPalette, KeepScheme, w, h); },
        [&](CursorLayer& lines, int w, int h) {
            DrawDScanCursors(*this, KeepScheme, w, h, lines);
        });
}

void TBaseMapCell::DrawDScanToReport(std::uint8_t kind, std::uint8_t scheme,
                                     ReportImageTarget& image) {
    drawReport(
        image, [&](TBitmap& b, int w, int h) { RenderDScan(*this, b, kind, scheme, w, h); },
        [&](CursorLayer& lines, int w, int h) {
            const TPaletteOverride palette(*this, kind);
            DrawDScanCursors(*this, scheme, w, h, lines);
        });
}

void TBaseMapCell::DrawCDVerticMarkupToSurfaceView(std::uint8_t scheme, PresentTarget& control) {
    if (!control.CanDraw()) {
        return;
    }
    TBitmap ruler;
    const int w = control.Width();
    const int h = control.Height();
    RenderRowMarkup(*this, ruler, scheme, w, h);
    DrawFrame(*this, ruler, scheme, 0, kRowRulerEdges, w, h);
    PresentLayers(control, {&ruler});
}

void TBaseMapCell::DrawCDVerticMarkupToReport(std::uint8_t scheme, ReportImageTarget& image) {
    TBitmap ruler;
    RenderRowMarkup(*this, ruler, scheme, image.Width(), image.Height());
    platform::gfx::DrawOnReportImage(image, {&ruler});
}

void TBaseMapCell::DrawCBHorizMarkupToSurfaceView(std::uint8_t scheme, PresentTarget& control) {
    if (!control.CanDraw()) {
        return;
    }
    TBitmap ruler;
    const int w = control.Width();
    const int h = control.Height();
    RenderColumnMarkup(*this, ruler, scheme, w, h);
    DrawFrame(*this, ruler, scheme, 0, kColumnRulerEdges, w, h);
    PresentLayers(control, {&ruler});
}

void TBaseMapCell::DrawCBHorizMarkupToReport(std::uint8_t scheme, ReportImageTarget& image) {
    TBitmap ruler;
    RenderColumnMarkup(*this, ruler, scheme, image.Width(), image.Height());
    platform::gfx::DrawOnReportImage(image, {&ruler});
}

// ---- Composite picture ----------------------------------------------------------------------

void CopyMapImageToClipboard(TBaseMapCell& map, std::uint8_t selector, TBitmap& bitmap,
                             const TMapClipboardSizes& sizes) {
    if (selector != 0) {
        return;
    }
    const int wc = std::max(sizes.CScanWidth, 0);
    const int wr = std::max(sizes.RulerWidth, 0);
    const int wd = std::max(sizes.DScanWidth, 0);
    const int hc = std::max(sizes.CScanHeight, 0);
    const int hr = std::max(sizes.RulerHeight, 0);
    const int hb = std::max(sizes.BScanHeight, 0);
    const double n = map.SampleCount();
    StartPicture(bitmap, wc + wr + wd, hc + hr + hb, platform::gfx::clWhite);
    TCanvas& c = bitmap.Canvas();
    TBitmap piece;
    TBitmap lines;
    const auto framed = [&](int x, int y, int w, int h) {
        DrawFrame(map, piece, KeepScheme, 0, FrameAll, w, h);
        c.Draw(x, y, piece);
    };

    RenderCScan(map, piece, KeepPalette, KeepScheme, wc, hc);
    framed(0, 0, wc, hc);
    DrawCScanOverlay(map, KeepScheme, wc, hc, lines);
    c.Draw(0, 0, lines);
    RenderRowMarkup(map, piece, KeepScheme, wr, hc);
    framed(wc, 0, wr, hc);
    RenderDScan(map, piece, KeepPalette, KeepScheme, wd, hc);
    framed(wc + wr, 0, wd, hc);
    DrawDScanOverlay(map, KeepScheme, wd, hc, lines);
    c.Draw(wc + wr, 0, lines);

    RenderColumnMarkup(map, piece, KeepScheme, wc, hr);
    framed(0, hc, wc, hr);
    RenderColorGradator(map, piece, KeepPalette, wd, hr);
    framed(wc + wr, hc, wd, hr);

    // Rendered apart from the page's cached B-scan, which keeps showing on the page.
    std::unique_ptr<TBitmap> bscan = std::make_unique<TBitmap>();
    map.RenderImage(KeepPalette, KeepScheme, bscan, wc, hb);
    piece = std::move(*bscan);
    framed(0, hc + hr, wc, hb);
    map.DrawOverlay(KeepScheme, wc, hb, lines);
    c.Draw(0, hc + hr, lines);
    RenderInDepthMarkup(map, piece, KeepScheme, 0.0, n, wr, hb);
    framed(wc, hc + hr, wr, hb);
    map.SetCurrentRow(map.Config->MapCursorVertical);
    map.SetCurrentScan(map.Config->MapCursorHorizontal);
    RenderVerticalSignalPicture(map, piece, KeepScheme, 0.0, n, wd, hb);
    framed(wc + wr, hc + hr, wd, hb);
}
