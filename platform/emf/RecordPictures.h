// The pictures of a page's bitmap records drawn onto a canvas. The record's bitmap is handed to
// the canvas as it lies in the record (8, 24 and 32 bits per pixel, the depths pages hold), so
// playing a page makes no bitmap of its pictures; other depths are decoded first.
#pragma once

#include "platform/gfx/Canvas.h"

#include <cstdint>
#include <optional>
#include <span>

namespace platform::emf {

// The part `source` of the record's bitmap (rows counted from the top) stretched over `dest`,
// pixels of the colour `key` left out when one is given. Throws EmfError for a bitmap that does
// not check.
void drawRecordBitmap(gfx::TCanvas& canvas, const gfx::TRect& dest,
                      std::span<const std::uint8_t> bmi, std::span<const std::uint8_t> bits,
                      const gfx::TRect& source, std::optional<gfx::TColor> key);

} // namespace platform::emf
