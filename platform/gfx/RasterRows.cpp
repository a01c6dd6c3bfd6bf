// The raster canvas drawing pixel rows kept elsewhere (a page's pictures) straight from their
// bytes: no bitmap of the picture is made on the way.
#include "platform/gfx/RasterCanvas.h"

#include <algorithm>
#include <vector>

namespace platform::gfx {

void RasterCanvas::StretchDrawRows(const TRect& dest, const TPixelRows& rows) {
    if (rows.Empty() || dest.IsEmpty()) {
        return;
    }
    const TRect area = IntersectRect(dest, ClipRect());
    if (area.IsEmpty()) {
        return;
    }
    const std::size_t w = std::size_t(area.Width());
    std::vector<std::uint32_t> line(w);
    if (!rows.Keyed && ShrinksRows(rows, dest)) {
        std::vector<std::uint32_t> block(w * std::size_t(area.Height()));
        ScaleRows(rows, dest, area, block.data(), std::ptrdiff_t(w));
        for (int ty = area.Top; ty < area.Bottom; ++ty) {
            const std::uint32_t* from = block.data() + std::size_t(ty - area.Top) * w;
            if (std::uint32_t* row = surface_.Row(ty)) {
                std::copy_n(from, w, row + area.Left);
            } else {
                for (std::size_t i = 0; i < w; ++i) {
                    surface_.SetArgb(area.Left + int(i), ty, from[i]);
                }
            }
        }
        return;
    }
    const long long dw = (long long)dest.Right - dest.Left;
    const long long dh = (long long)dest.Bottom - dest.Top;
    const bool oneToOne = dw == rows.Width;
    std::vector<int> columns(oneToOne ? 0 : w);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columns[i] = SampledIndex((long long)area.Left + (long long)i - dest.Left, dw, rows.Width);
    }
    const std::uint32_t key = colorToArgb(rows.Key) & 0xFFFFFFu;
    for (int ty = area.Top; ty < area.Bottom; ++ty) {
        const int sy = SampledIndex((long long)ty - dest.Top, dh, rows.Height);
        std::uint32_t* row = surface_.Row(ty);
        // Straight into the surface's row when every pixel is taken.
        std::uint32_t* to = row != nullptr && !rows.Keyed ? row + area.Left : line.data();
        if (oneToOne) {
            rows.ReadRow(sy, area.Left - dest.Left, int(w), to);
        } else if (rows.Layout == TPixelRows::TLayout::Indexed8) {
            const std::uint8_t* src = rows.Row(sy);
            for (std::size_t i = 0; i < w; ++i) {
                to[i] = rows.Colors[src[columns[i]]];
            }
        } else {
            for (std::size_t i = 0; i < w; ++i) {
                to[i] = rows.Pixel(columns[i], sy);
            }
        }
        if (to != line.data()) {
            continue;
        }
        for (std::size_t i = 0; i < w; ++i) {
            const std::uint32_t p = line[i];
            if (rows.Keyed && (p & 0xFFFFFFu) == key) {
                continue;
            }
            if (row) {
                row[area.Left + int(i)] = p;
            } else {
                surface_.SetArgb(area.Left + int(i), ty, p);
            }
        }
    }
}

} // namespace platform::gfx
