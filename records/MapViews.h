// The pictures of a map: the C-scan (the grid from above at cursor 1's depth, one colour square
// per cell, plus marks on cells holding a positive sample), the D-scan (the cursor column's
// A-scans stacked, depth running right), the B-scan (the cursor row's A-scans side by side,
// depth downward, drawn by the band machinery), their cursor lines, the row and column rulers and
// the composite picture for the clipboard. The map's drawing operations are declared with the map
// (BaseMapUnit.h); these are the pieces they and the composite picture are made of.
#pragma once

#include "records/BaseMapUnit.h"

#include <cstdint>

namespace platform::gfx {
class TBitmap;
}

// The C-scan and D-scan pictures, w x h, with the palette `kind` and the scheme for this drawing.
void RenderCScan(TBaseMapCell& map, platform::gfx::TBitmap& bitmap, std::uint8_t kind,
                 std::uint8_t scheme, int w, int h);
void RenderDScan(TBaseMapCell& map, platform::gfx::TBitmap& bitmap, std::uint8_t kind,
                 std::uint8_t scheme, int w, int h);

// Their cursor lines over a picture w x h, drawn where `layer` puts them.
void DrawCScanCursors(TBaseMapCell& map, std::uint8_t scheme, int w, int h,
                      views::CursorLayer& layer);
void DrawDScanCursors(TBaseMapCell& map, std::uint8_t scheme, int w, int h,
                      views::CursorLayer& layer);
// The same, each a transparent picture w x h keyed on colour table entry 0.
void DrawCScanOverlay(TBaseMapCell& map, std::uint8_t scheme, int w, int h,
                      platform::gfx::TBitmap& bitmap);
void DrawDScanOverlay(TBaseMapCell& map, std::uint8_t scheme, int w, int h,
                      platform::gfx::TBitmap& bitmap);

// The row ruler ("Y", rows down its height) and the column ruler ("X", columns along its width).
void RenderRowMarkup(TBaseMapCell& map, platform::gfx::TBitmap& bitmap, std::uint8_t scheme, int w,
                     int h);
void RenderColumnMarkup(TBaseMapCell& map, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                        int w, int h);

// The sizes of the maps page's views the composite picture is made of.
struct TMapClipboardSizes {
    int CScanWidth = 0;  // the C-scan, the column ruler and the B-scan
    int RulerWidth = 0;  // the row ruler and the depth ruler
    int DScanWidth = 0;  // the D-scan, the gradator and the upright A-scan
    int CScanHeight = 0; // the C-scan, the row ruler and the D-scan
    int RulerHeight = 0; // the column ruler and the gradator
    int BScanHeight = 0; // the B-scan, the depth ruler and the upright A-scan
};

// All map views in one bitmap with the map's current palette and colours, each framed. Any
// selector but 0 leaves the bitmap as it is.
void CopyMapImageToClipboard(TBaseMapCell& map, std::uint8_t selector,
                             platform::gfx::TBitmap& bitmap, const TMapClipboardSizes& sizes);
