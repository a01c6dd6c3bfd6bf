#include "platform/emf/RecordPictures.h"

#include "platform/emf/Dib.h"

#include <array>
#include <bit>

namespace platform::emf {

// Decoded bitmaps are handed over as rows of blue, green, red and spare bytes: their words'
// bytes in memory order.
static_assert(std::endian::native == std::endian::little);

void drawRecordBitmap(gfx::TCanvas& canvas, const gfx::TRect& dest,
                      std::span<const std::uint8_t> bmi, std::span<const std::uint8_t> bits,
                      const gfx::TRect& source, std::optional<gfx::TColor> key) {
    const DibInfo info = checkDib(bmi, bits.size());
    const gfx::TRect src = gfx::IntersectRect(source, {0, 0, info.width, info.height});
    if (src.IsEmpty() || dest.IsEmpty()) {
        return;
    }
    std::array<std::uint32_t, 256> colors{};
    gfx::TPixelRows rows;
    gfx::TBitmap decoded;
    if (!dibRows(bmi, bits, info, src, colors, rows)) {
        decoded = decodeDib(bmi, bits);
        rows.Layout = gfx::TPixelRows::TLayout::Bgrx32;
        rows.Width = src.Width();
        rows.Height = src.Height();
        rows.Top = reinterpret_cast<const std::uint8_t*>(decoded.ScanLine(src.Top) + src.Left);
        rows.Step = std::ptrdiff_t(decoded.Width()) * 4;
    }
    if (key) {
        rows.Keyed = true;
        rows.Key = *key;
    }
    canvas.StretchDrawRows(dest, rows);
}

} // namespace platform::emf
