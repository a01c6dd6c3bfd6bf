// The pictures of a band and what stands around it: the band picture (each A-scan a vertical
// strip of colour, depth downward, colours from the band's table by absolute amplitude), its
// cursor lines, the scan-direction ruler, the colour gradator and the composite picture for the
// clipboard. The band's own drawing operations are declared with the band (BaseBandUnit.h); the
// pieces here are shared with the map's B-scan and composite picture.
#pragma once

#include "records/BaseBandUnit.h"

#include <cstdint>
#include <functional>
#include <span>

namespace platform::gfx {
class TBitmap;
}

// The scan-direction ruler, w x h: variant 0 hangs its marks from the bottom edge (above the
// picture), variant 1 from the top edge (below it). The numbers are A-scan numbers.
void RenderScanMarkup(TBaseBandCell& band, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                      int variant, int w, int h);

// The colour table laid out across w x h with the two hue handles.
void RenderColorGradator(TBaseBandCell& band, platform::gfx::TBitmap& bitmap, std::uint8_t kind,
                         int w, int h);

// The palette a drawing shows: the band's own for KeepPalette, else the kind given (kinds past
// the last palette count as the last, as BuildPalette takes them).
std::uint8_t PaletteInEffect(const TBaseBandCell& band, std::uint8_t kind);

// A picture of vertical strips, w x h: `count` A-scans (scanOf(i) gives the trace of strip i),
// each resampled over its whole depth onto h rows, `stripWidth` columns wide, merged and, when
// `smooth`, smoothed (k = 7) in the band's work images, and coloured from its table; what the
// strips leave free shows table entry 0. The band's palette and colours must already be those
// wanted.
void RenderStrips(TBaseBandCell& band, platform::gfx::TBitmap& bitmap, int w, int h, int count,
                  int stripWidth, bool smooth,
                  const std::function<std::span<const std::int32_t>(int)>& scanOf);

// Colours a picture from a work image: pixel (x, y) shows the table entry of |value| (at most
// maxEntry) of image[x][y], or of image[y][x] when `lines` (an image of pixel rows). Only the
// first W columns and h rows are painted.
void PaintWorkImage(platform::gfx::TBitmap& bitmap, const TWorkImage& image, int W, int h,
                    const std::array<TColor, ColorTableSize>& table, int maxEntry, bool lines);

// The sizes of the bands page's views the composite picture is made of.
struct TBandClipboardSizes {
    int PictureWidth = 0;  // the band picture and the rulers above it
    int RulerWidth = 0;    // the depth ruler
    int AScanWidth = 0;    // the upright A-scan and the gradator above it
    int UpperHeight = 0;   // the upper ruler and the gradator
    int PictureHeight = 0; // the band picture, the depth ruler and the upright A-scan
};

// The band's views in one bitmap with its current palette and colours: the upper ruler and the
// gradator above, the band picture with its cursors, the depth ruler and the current A-scan
// upright below. Any selector but 0 leaves the bitmap as it is.
void CopyBandImageToClipboard(TBaseBandCell& band, std::uint8_t selector,
                              platform::gfx::TBitmap& bitmap, const TBandClipboardSizes& sizes);
