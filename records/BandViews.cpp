#include "records/BandViews.h"

#include "records/AScanViews.h"
#include "records/ImageFilters.h"
#include "records/Rulers.h"
#include "records/ViewMath.h"
#include "records/ViewSupport.h"

#include <algorithm>
#include <bit>

using platform::gfx::PresentTarget;
using platform::gfx::ReportImageTarget;
using platform::gfx::TBitmap;
using platform::gfx::TCanvas;
using namespace views;

namespace {

// The box of the band picture's smoothing.
constexpr int kBandBox = 7;

// Frame edges of the band page's rulers and gradator on their surfaces.
constexpr std::uint8_t kUpperRulerEdges = FrameRight | FrameBottom;
constexpr std::uint8_t kLowerRulerEdges = FrameTop | FrameRight;
constexpr std::uint8_t kGradatorEdges = FrameTop | FrameLeft;
constexpr std::uint8_t kClipboardGradatorEdges = FrameTop | FrameRight | FrameLeft;

// The first N samples of A-scan (row, column), or nothing when the record does not hold it.
std::span<const std::int32_t> traceOf(const TBaseBandCell& band, std::uint32_t row,
                                      std::uint32_t column) {
    const auto scan = band.Scan(row, column);
    return scan.first(std::min<std::size_t>(band.SampleCount(), scan.size()));
}

} // namespace

// ---- Shared pieces --------------------------------------------------------------------------

void PaintWorkImage(TBitmap& bitmap, const TWorkImage& image, int W, int h,
                    const std::array<TColor, ColorTableSize>& table, int maxEntry, bool lines) {
    const auto limit = static_cast<std::uint32_t>(std::clamp(maxEntry, 0, int(ColorTableSize) - 1));
    // The table padded with its last colour up to the next power of two: any value whose bits
    // all lie below that picks its colour directly.
    constexpr std::uint32_t kPadded = std::bit_ceil(std::uint32_t(ColorTableSize));
    std::array<std::uint32_t, kPadded> pixels{};
    {
        const auto entries = PixelTable(table);
        for (std::uint32_t i = 0; i < kPadded; ++i) {
            pixels[i] = entries[std::min(i, limit)];
        }
    }
    const auto colorOf = [&pixels, limit](std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        const std::uint32_t magnitude = v < 0 ? 0u - u : u;
        return pixels[std::min(magnitude, limit)];
    };
    // Whether count values all index the padded table as they stand (as pictures' values but
    // for unmerged ones do).
    const auto inTable = [](const std::int32_t* in, int count) {
        std::uint32_t bits = 0;
        for (int i = 0; i < count; ++i) {
            bits |= static_cast<std::uint32_t>(in[i]);
        }
        return bits < kPadded;
    };
    if (lines) {
        W = std::min({W, bitmap.Width(), image.Height});
        h = std::min({h, bitmap.Height(), image.Width});
        for (int y = 0; y < h; ++y) {
            const std::int32_t* in = image.Column(y).data();
            std::uint32_t* out = bitmap.ScanLine(y);
            // Looked up as they stand, then again the proper way when some did not index the
            // table.
            std::uint32_t bits = 0;
            for (int x = 0; x < W; ++x) {
                const auto v = static_cast<std::uint32_t>(in[x]);
                bits |= v;
                out[x] = pixels[v & (kPadded - 1)];
            }
            if (bits < kPadded) {
                continue;
            }
            for (int x = 0; x < W; ++x) {
                out[x] = colorOf(in[x]);
            }
        }
        return;
    }
    W = std::min({W, bitmap.Width(), image.Width});
    h = std::min({h, bitmap.Height(), image.Height});
    if (W <= 0 || h <= 0) {
        return;
    }
    // Columns of the image become columns of the picture: a block of columns is read down
    // together, so that each row of the picture gets a run of whole pixels at a time.
    constexpr int kBlock = 16;
    for (int x0 = 0; x0 < W; x0 += kBlock) {
        const int n = std::min(kBlock, W - x0);
        std::array<const std::int32_t*, kBlock> in{};
        bool direct = true;
        for (int j = 0; j < n; ++j) {
            in[std::size_t(j)] = image.Column(x0 + j).data();
            direct = direct && inTable(in[std::size_t(j)], h);
        }
        if (direct && n == kBlock) {
            for (int y = 0; y < h; ++y) {
                std::uint32_t* out = bitmap.ScanLine(y) + x0;
                for (int j = 0; j < kBlock; ++j) {
                    out[j] = pixels[static_cast<std::uint32_t>(in[std::size_t(j)][y])];
                }
            }
            continue;
        }
        for (int y = 0; y < h; ++y) {
            std::uint32_t* out = bitmap.ScanLine(y) + x0;
            for (int j = 0; j < n; ++j) {
                out[j] = colorOf(in[std::size_t(j)][y]);
            }
        }
    }
}

std::uint8_t PaletteInEffect(const TBaseBandCell& band, std::uint8_t kind) {
    return std::min<std::uint8_t>(kind == KeepPalette ? band.PaletteKind : kind, PaletteThermal);
}

void RenderStrips(TBaseBandCell& band, TBitmap& bitmap, int w, int h, int count, int stripWidth,
                  bool smooth, const std::function<std::span<const std::int32_t>(int)>& scanOf) {
    PreparePicture(bitmap, w, h, band.ColorTable[0]);
    w = bitmap.Width();
    h = bitmap.Height();
    TWorkImage& imageA = band.WorkImageA;
    TWorkImage& imageB = band.WorkImageB;
    if (imageB.Empty() || imageB.Width != w || imageB.Height != h || imageA.Width != w ||
        imageA.Height != h) {
        imageA.Reallocate(w, h);
        imageB.Reallocate(w, h);
    }
    count = stripWidth > 0 ? std::clamp(count, 0, w / stripWidth) : 0;
    const int W = count * stripWidth;
    bitmap.Canvas().FillRect({W, 0, w, h});
    if (W == 0 || h == 0) {
        return;
    }
    // Bands of more than three A-scans are merged (each pixel the larger magnitude of its two
    // values), which the resampler can give at once; smaller ones show their upper values.
    const bool merged = band.FiltersImages();
    const double n = band.SampleCount();
    // The smoothing reads only the first column of each strip.
    const bool copies = !(merged && smooth);
    for (int i = 0; i < count; ++i) {
        const int x = i * stripWidth;
        if (merged) {
            ResampleMagnitudes(scanOf(i), 0.0, n, h, imageA.Column(x));
        } else {
            ResampleScan(scanOf(i), 0.0, n, h, imageB.Column(x), imageA.Column(x));
        }
        for (int k = 1; copies && k < stripWidth; ++k) {
            std::ranges::copy(imageA.Column(x), imageA.Column(x + k).begin());
            if (!merged) {
                std::ranges::copy(imageB.Column(x), imageB.Column(x + k).begin());
            }
        }
    }
    const TWorkImage* shown = &imageB;
    if (merged && smooth) {
        SmoothWorkImages(imageB, imageA, W, h, kBandBox, stripWidth);
    } else if (merged) {
        shown = &imageA; // merged, not smoothed: both images would hold the same values
    }
    PaintWorkImage(bitmap, *shown, W, h, band.ColorTable, int(ColorTableSize) - 1, false);
}

void RenderScanMarkup(TBaseBandCell& band, TBitmap& bitmap, std::uint8_t scheme, int variant, int w,
                      int h) {
    const TSchemeOverride colors(band, scheme);
    StartPicture(bitmap, w, h, band.BackgroundColor);
    TCanvas& c = bitmap.Canvas();
    SolidPen(c, band.ScaleColor);
    RulerFont(c, band.ScaleColor);
    ClearBrush(c);
    const TBaseConfigCell& config = *band.Config;
    const int pps = static_cast<int>(band.PixelsPerAScan());
    const TScanRulerPeriods periods = ScanRulerPeriods(config.BandElementWidthIndex);
    const int shift = config.BandShift;
    const int last = std::min(shift + w / pps, int(config.BandLastAScan));
    const bool above = variant == 0;
    const int letterWidth = c.TextWidth("X");
    const int textHeight = c.TextHeight("0");
    const int numberTop = above ? h - kLongMark - textHeight : kLongMark;
    const auto mark = [&](int x, int length) {
        if (above) {
            Line(c, x, h, x, h - length);
        } else {
            Line(c, x, 0, x, length);
        }
    };
    for (int i = shift; i <= last; ++i) {
        const int x = pps * (i - shift);
        if (i % periods.Numbered == 0) {
            mark(x, kLongMark);
            if (i == 0) {
                c.TextOut(2, numberTop, "0");
                continue;
            }
            const std::string number = std::to_string(i);
            const int tw = c.TextWidth(number);
            if (x + tw / 2.0 < w - letterWidth - kLetterGap) {
                c.TextOut(x - tw / 2, numberTop, number);
            }
        } else if (i % periods.Small == 0) {
            mark(x, kShortMark);
        }
    }
    c.TextOut(w - letterWidth - kLetterGap, (h - textHeight) / 2, "X");
}

void RenderColorGradator(TBaseBandCell& band, TBitmap& bitmap, std::uint8_t kind, int w, int h) {
    const TPaletteOverride palette(band, kind);
    StartPicture(bitmap, w, h, band.BackgroundColor);
    TCanvas& c = bitmap.Canvas();
    for (int x = 0; x <= w - 3; ++x) {
        SolidPen(c, band.ColorTable[static_cast<std::size_t>(GradatorEntry(x, w))]);
        Line(c, x + 1, 0, x + 1, h);
    }
    const double s = (w - 3) / 360.0;
    if (s > 0.0) {
        SolidPen(c, band.LowHandleColor);
        const int low = Pixel(band.HueLow * s) + 1;
        Line(c, low, 0, low, h);
        SolidPen(c, band.HighHandleColor);
        const int high = Pixel(band.HueHigh * s) + 1;
        Line(c, high, 0, high, h);
    }
    SolidPen(c, band.Color(2));
    Line(c, 1, 1, w - 1, 1);
    Line(c, 1, h - 1, w - 1, h - 1);
}

void CopyBandImageToClipboard(TBaseBandCell& band, std::uint8_t selector, TBitmap& bitmap,
                              const TBandClipboardSizes& sizes) {
    if (selector != 0) {
        return;
    }
    const int wb = std::max(sizes.PictureWidth, 0);
    const int wr = std::max(sizes.RulerWidth, 0);
    const int wa = std::max(sizes.AScanWidth, 0);
    const int hu = std::max(sizes.UpperHeight, 0);
    const int hp = std::max(sizes.PictureHeight, 0);
    const double n = band.SampleCount();
    StartPicture(bitmap, wb + wr + wa, hu + hp, platform::gfx::clWhite);
    TCanvas& c = bitmap.Canvas();

    TBitmap piece;
    RenderScanMarkup(band, piece, KeepScheme, 0, wb, hu);
    DrawFrame(band, piece, KeepScheme, 0, FrameAll, wb, hu);
    c.Draw(0, 0, piece);
    RenderColorGradator(band, piece, KeepPalette, wa, hu);
    DrawFrame(band, piece, KeepScheme, 0, kClipboardGradatorEdges, wa, hu);
    c.Draw(wb + wr, 0, piece);

    // Rendered apart from the page's cached picture, which keeps showing on the page.
    std::unique_ptr<TBitmap> picture;
    band.RenderImage(KeepPalette, KeepScheme, picture, wb, hp);
    DrawFrame(band, *picture, KeepScheme, 0, FrameAll, wb, hp);
    c.Draw(0, hu, *picture);
    band.DrawOverlay(KeepScheme, wb, hp, piece);
    c.Draw(0, hu, piece);

    RenderInDepthMarkup(band, piece, KeepScheme, 0.0, n, wr, hp);
    DrawFrame(band, piece, KeepScheme, 0, FrameAll, wr, hp);
    c.Draw(wb, hu, piece);
    band.SetCurrentScan(band.Config->BandCurrentAScan);
    RenderVerticalSignalPicture(band, piece, KeepScheme, 0.0, n, wa, hp);
    c.Draw(wb + wr, hu, piece);
}

// ---- The band's operations ------------------------------------------------------------------

bool TBaseBandCell::FiltersImages() const {
    // Bands of up to three A-scans are shown as they were resampled.
    return Config->BandLastAScan > 2;
}

void TBaseBandCell::FilterImage(TWorkImage& imageB, TWorkImage& imageA, int W, int h, int k,
                                bool smooth) {
    if (FiltersImages()) {
        FilterWorkImages(imageB, imageA, W, h, k, smooth);
    }
}

void TBaseBandCell::RenderImage(std::uint8_t kind, std::uint8_t scheme,
                                std::unique_ptr<TBitmap>& bitmap, int w, int h) {
    const TSchemeOverride colors(*this, scheme);
    const TPaletteOverride palette(*this, kind);
    if (!bitmap) {
        bitmap = std::make_unique<TBitmap>();
    }
    const TBaseConfigCell& config = *Config;
    const int pps = static_cast<int>(PixelsPerAScan());
    const int shift = config.BandShift;
    const int last = std::min(shift + std::max(w, 0) / pps - 1, int(config.BandLastAScan));
    // A binary picture shows a threshold: smoothing would blur it.
    const bool smooth = PaletteInEffect(*this, kind) != PaletteBinary;
    RenderStrips(*this, *bitmap, w, h, last - shift + 1, pps, smooth, [this, shift](int i) {
        return traceOf(*this, 0, static_cast<std::uint32_t>(shift + i));
    });
}

void TBaseBandCell::DrawOverlay(std::uint8_t scheme, int w, int h, TBitmap& bitmap) {
    CursorPicture layer(bitmap);
    DrawCursorLines(scheme, w, h, layer);
}

void TBaseBandCell::DrawCursorLines(std::uint8_t scheme, int w, int h, CursorLayer& layer) {
    const TSchemeOverride colors(*this, scheme);
    layer.Draw(w, h, ColorTable[0], CursorColor, [&](TCanvas& c) {
        const TBaseConfigCell& config = *Config;
        const double n = SampleCount();
        if (n > 0.0) {
            const int y = Pixel(config.CursorTime[0] / n * h);
            Line(c, 0, y, w, y);
        }
        if (config.BandCurrentAScan >= config.BandShift) {
            const double offset = double(config.BandCurrentAScan) - config.BandShift;
            const double pps = PixelsPerAScan();
            // Wide strips carry the cursor in their middle.
            const int x =
                Pixel(config.BandElementWidthIndex == 0 ? offset * pps : (offset + 0.5) * pps);
            Line(c, x, 0, x, h);
        }
    });
}

void TBaseBandCell::DrawToSurfaceView(std::uint8_t kind, std::uint8_t scheme,
                                      PresentTarget& control) {
    const int w = control.Width();
    const int h = control.Height();
    RenderImage(kind, scheme, BandPicture, w, h);
    // The cursor lines go straight onto the surface over the picture.
    PresentLayers(control, {BandPicture.get()}, [&] {
        const TPaletteOverride palette(*this, kind);
        CursorLinesOnSurface lines(control);
        DrawCursorLines(scheme, w, h, lines);
    });
}

void TBaseBandCell::RedrawToSurfaceView(PresentTarget& control) {
    const int w = control.Width();
    const int h = control.Height();
    if (!BandPicture || BandPicture->Width() != w || BandPicture->Height() != h) {
        // Nothing cached for this view yet: the picture is made with what the band holds.
        RenderImage(KeepPalette, KeepScheme, BandPicture, w, h);
    }
    PresentLayers(control, {BandPicture.get()}, [&] {
        CursorLinesOnSurface lines(control);
        DrawCursorLines(KeepScheme, w, h, lines);
    });
}

void TBaseBandCell::DrawToReport(std::uint8_t kind, std::uint8_t scheme, ReportImageTarget& image) {
    const int w = image.Width();
    const int h = image.Height();
    std::unique_ptr<TBitmap> picture;
    RenderImage(kind, scheme, picture, w, h);
    TBitmap overlay;
    {
        const TPaletteOverride palette(*this, kind);
        DrawOverlay(scheme, w, h, overlay);
    }
    platform::gfx::DrawOnReportImage(image, {picture.get(), &overlay});
}

void TBaseBandCell::ClearSurface(PresentTarget& control) {
    if (!control.CanDraw()) {
        return;
    }
    control.Fill(platform::gfx::colorToArgb(BackgroundColor) & 0xFFFFFFu);
    control.Flip();
}

void TBaseBandCell::DrawScanMarkupToSurfaceView(std::uint8_t scheme, int variant,
                                                PresentTarget& control) {
    if (!control.CanDraw()) {
        return;
    }
    TBitmap ruler;
    const int w = control.Width();
    const int h = control.Height();
    RenderScanMarkup(*this, ruler, scheme, variant, w, h);
    DrawFrame(*this, ruler, scheme, 0, variant == 0 ? kUpperRulerEdges : kLowerRulerEdges, w, h);
    PresentLayers(control, {&ruler});
}

void TBaseBandCell::DrawScanMarkupToReport(std::uint8_t scheme, int variant,
                                           ReportImageTarget& image) {
    TBitmap ruler;
    RenderScanMarkup(*this, ruler, scheme, variant, image.Width(), image.Height());
    platform::gfx::DrawOnReportImage(image, {&ruler});
}

void TBaseBandCell::DrawColorGradatorToSurfaceView(PresentTarget& control, std::uint8_t kind) {
    if (!control.CanDraw()) {
        return;
    }
    TBitmap gradator;
    const int w = control.Width();
    const int h = control.Height();
    RenderColorGradator(*this, gradator, kind, w, h);
    DrawFrame(*this, gradator, KeepScheme, 0, kGradatorEdges, w, h);
    PresentLayers(control, {&gradator});
}
