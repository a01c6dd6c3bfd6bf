// What the records of a page make and select while it plays: pens, brushes, fonts and world
// transforms as the records describe them, the stock objects, and the conversions from record
// values to canvas values. Kept apart from the player so the player reads as the record loop.
#pragma once

#include "platform/gfx/Canvas.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform::emf::playback {

struct Xform {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    // this applied after `a`
    Xform after(const Xform& a) const {
        return {a.m11 * m11 + a.m12 * m21,    a.m11 * m12 + a.m12 * m22,
                a.m21 * m11 + a.m22 * m21,    a.m21 * m12 + a.m22 * m22,
                a.dx * m11 + a.dy * m21 + dx, a.dx * m12 + a.dy * m22 + dy};
    }
};

struct PenObj {
    std::uint32_t style = 0; // PS_SOLID
    int width = 0;
    std::uint32_t color = 0;
};
struct BrushObj {
    std::uint32_t style = 0; // BS_SOLID
    std::uint32_t color = 0xFFFFFF;
};
struct FontObj {
    int height = -12;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = 1;
    std::string face = "MS Sans Serif";
};
using Object = std::variant<PenObj, BrushObj, FontObj>;

// The transform at `at` of a record; the identity when any of its numbers is not finite.
Xform xformAt(std::span<const std::uint8_t> r, std::size_t at);
// The font of an EXTCREATEFONTINDIRECTW record.
FontObj fontAt(std::span<const std::uint8_t> r);
// Selects a stock object (a handle with the stock bit) into pen, brush or font; false for other
// handles.
bool selectStockObject(std::uint32_t handle, PenObj& pen, BrushObj& brush, FontObj& font);

// Rounded to the nearest integer within +-2^30; 0 for what is not a number.
int toInt(double v);
gfx::TColor colorOf(std::uint32_t ref);
gfx::TPenStyle penStyleOf(std::uint32_t style);
// Characters outside Windows-1251 become '?'.
std::string cp1251Of(std::u32string_view text);
// Cubic Bezier segments (a start point, then three points per segment) as a polyline.
std::vector<gfx::TPoint> flattenBeziers(const std::vector<gfx::TPoint>& in);

} // namespace platform::emf::playback
