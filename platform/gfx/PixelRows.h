// Pixel rows that live elsewhere (the bitmap of a page's picture record), read where they are
// instead of being turned into a bitmap first, and the arithmetic of drawing them stretched.
// Shrinking gives each target pixel the mean of a window of the picture as large as the part it
// covers (rounded up to whole pixels), so lines one pixel wide stay visible at any size;
// enlarging, and one to one, takes the picture's pixel under each target pixel's centre, as
// StretchDraw does.
#pragma once

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

#include <cstddef>
#include <cstdint>

namespace platform::gfx {

struct TPixelRows {
    enum class TLayout {
        Indexed8, // one byte per pixel, an index into Colors
        Bgr24,    // blue, green and red bytes per pixel
        Bgrx32,   // blue, green, red and an unused byte per pixel (a bitmap's 0xAARRGGBB words)
    };
    TLayout Layout = TLayout::Indexed8;
    int Width = 0;
    int Height = 0;
    const std::uint8_t* Top = nullptr; // the first pixel of the top row
    std::ptrdiff_t Step = 0;           // bytes from a row to the one below (negative: bottom-up)
    // Indexed8: the 0xFFRRGGBB word of each of the 256 indices.
    const std::uint32_t* Colors = nullptr;
    // Pixels of the colour Key are left out when Keyed.
    bool Keyed = false;
    TColor Key = clBlack;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    const std::uint8_t* Row(int y) const { return Top + std::ptrdiff_t(y) * Step; }
    // `count` pixels of row y from column x on, as 0xFFRRGGBB words.
    void ReadRow(int y, int x, int count, std::uint32_t* out) const;
    // One pixel as a 0xFFRRGGBB word.
    std::uint32_t Pixel(int x, int y) const;
};

// Whether drawing the rows over `dest` makes them smaller along either axis.
bool ShrinksRows(const TPixelRows& rows, const TRect& dest);

// The pixels of `area` (a part of `dest`) of the rows stretched over `dest`, as 0xFFRRGGBB words:
// area.Height() rows of area.Width() words, `outStep` words apart. Along an axis the rows shrink
// on, each pixel is the mean of its window; along the others it is the pixel under its centre.
// The colour key plays no part here.
void ScaleRows(const TPixelRows& rows, const TRect& dest, const TRect& area, std::uint32_t* out,
               std::ptrdiff_t outStep);

// The column (or row) of the rows under the centre of target column `d` of `destSize`: how
// StretchDraw picks its pixels.
inline int SampledIndex(long long d, long long destSize, long long sourceSize) {
    return int(((2 * d + 1) * sourceSize) / (2 * destSize));
}

} // namespace platform::gfx
