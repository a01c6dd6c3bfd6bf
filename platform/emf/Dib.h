// Device-independent bitmaps as metafile records carry them: a BITMAPINFO (header and colour
// table) and the pixel rows, bottom-up unless the height is negative, each row padded to four
// bytes. Report images are written with 8 bits and their own palette, other pictures with 24.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/PixelRows.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace platform::emf {

struct DibInfo {
    int width = 0;
    int height = 0; // always positive
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::size_t stride = 0;
    std::size_t colorCount = 0;   // entries of the colour table
    std::size_t headerSize = 0;   // BITMAPINFOHEADER or larger
    std::size_t masksOffset = 0;  // where BI_BITFIELDS masks start (0: none)
    std::size_t colorsOffset = 0; // where the colour table starts
};

// Checks a BITMAPINFO and the size of its pixel data; throws EmfError. Compressed (RLE, JPEG,
// PNG) bitmaps are refused: the report engine never writes them.
DibInfo checkDib(std::span<const std::uint8_t> bmi, std::size_t bitsSize);

// Decodes a checked bitmap.
gfx::TBitmap decodeDib(std::span<const std::uint8_t> bmi, std::span<const std::uint8_t> bits);

// The part `source` (rows counted from the top, inside the bitmap) of a checked bitmap as rows
// read where they lie: 8 bits with the colour table put into `colors` (indices past it black),
// 24 bits, and 32 bits without masks. False, and nothing set, for the other kinds.
bool dibRows(std::span<const std::uint8_t> bmi, std::span<const std::uint8_t> bits,
             const DibInfo& info, const gfx::TRect& source, std::array<std::uint32_t, 256>& colors,
             gfx::TPixelRows& rows);

// The BITMAPINFO and the pixel rows of the part `source` of a picture: 8 bits with the
// picture's palette for the 8-bit form, 24 bits otherwise.
struct EncodedDib {
    std::vector<std::uint8_t> bmi;
    std::vector<std::uint8_t> bits;
};
EncodedDib encodeDib(const gfx::TBitmap& picture, const gfx::TRect& source);

// The same appended to `out`: the BITMAPINFO, then the rows; answers the two sizes.
struct DibSizes {
    std::size_t bmi = 0;
    std::size_t bits = 0;
};
DibSizes appendDib(const gfx::TBitmap& picture, const gfx::TRect& source,
                   std::vector<std::uint8_t>& out);

} // namespace platform::emf
