// What is drawn over the trace of the signal view and of the zoom view of strobe 1: the grid
// with its percent labels, the cursors, the measuring point with its amplitude, and strobe 1 at
// its level. 100 % of level and amplitude stands at the top edge. Scheme arguments work as in
// AScanViews.h.
#pragma once

#include "records/BaseAScanUnit.h"

#include <cstdint>

namespace platform::gfx {
class TBitmap;
}

// Over the signal view of [start, end), W x H; a time t stands at x = t / N x W.
void DrawSignalOverlay(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                       double start, double end, int W, int H);

// Over the zoom view, which shows exactly strobe 1: t stands at (t - begin) / length x W.
void DrawZoomOverlay(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                     double start, double end, int W, int H);
