#include "platform/emf/PlayerObjects.h"

#include "platform/emf/EmfFormat.h"
#include "platform/text/Cp1251.h"

#include <algorithm>
#include <cmath>

namespace platform::emf::playback {

static_assert(PS_SOLID == 0 && BS_SOLID == 0, "the objects' defaults are solid");

Xform xformAt(std::span<const std::uint8_t> r, std::size_t at) {
    Xform x{readF32(r, at),      readF32(r, at + 4),  readF32(r, at + 8),
            readF32(r, at + 12), readF32(r, at + 16), readF32(r, at + 20)};
    for (double v : {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy}) {
        if (!std::isfinite(v)) {
            return Xform{};
        }
    }
    return x;
}

FontObj fontAt(std::span<const std::uint8_t> r) {
    FontObj f;
    f.height = readI32(r, 12);
    f.weight = readI32(r, 28);
    f.italic = r[32] != 0;
    f.underline = r[33] != 0;
    f.strikeOut = r[34] != 0;
    f.charset = r[35];
    std::u32string face;
    for (std::size_t i = 0; i < 32; ++i) {
        const char32_t c = readU16(r, 40 + 2 * i);
        if (c == 0) {
            break;
        }
        face.push_back(c);
    }
    f.face = cp1251Of(face);
    return f;
}

bool selectStockObject(std::uint32_t handle, PenObj& pen, BrushObj& brush, FontObj& font) {
    if ((handle & kStockObject) == 0) {
        return false;
    }
    switch (handle & 0x7FFFFFFF) {
    case 0:
        brush = {BS_SOLID, 0xFFFFFF};
        break;
    case 1:
        brush = {BS_SOLID, 0xC0C0C0};
        break;
    case 2:
        brush = {BS_SOLID, 0x808080};
        break;
    case 3:
        brush = {BS_SOLID, 0x404040};
        break;
    case 4:
        brush = {BS_SOLID, 0};
        break;
    case 5:
        brush = {BS_NULL, 0};
        break;
    case 6:
        pen = {PS_SOLID, 0, 0xFFFFFF};
        break;
    case 7:
        pen = {PS_SOLID, 0, 0};
        break;
    case 8:
        pen = {PS_NULL, 0, 0};
        break;
    default:
        if ((handle & 0x7FFFFFFF) >= 10 && (handle & 0x7FFFFFFF) <= 17) {
            font = FontObj{};
        }
        break;
    }
    return true;
}

int toInt(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    constexpr double kLimit = double(1 << 30);
    return int(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

gfx::TColor colorOf(std::uint32_t ref) {
    return ref & 0xFFFFFFu;
}

gfx::TPenStyle penStyleOf(std::uint32_t style) {
    switch (style & 0xF) {
    case PS_DASH:
        return gfx::TPenStyle::psDash;
    case PS_DOT:
        return gfx::TPenStyle::psDot;
    case PS_DASHDOT:
        return gfx::TPenStyle::psDashDot;
    case PS_DASHDOTDOT:
        return gfx::TPenStyle::psDashDotDot;
    case PS_NULL:
        return gfx::TPenStyle::psClear;
    case PS_INSIDEFRAME:
        return gfx::TPenStyle::psInsideFrame;
    default:
        return gfx::TPenStyle::psSolid;
    }
}

std::string cp1251Of(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : text) {
        unsigned char b = '?';
        if (!text::codePointToCp1251(cp, b)) {
            b = '?';
        }
        out.push_back(char(b));
    }
    return out;
}

std::vector<gfx::TPoint> flattenBeziers(const std::vector<gfx::TPoint>& in) {
    std::vector<gfx::TPoint> out;
    if (in.empty()) {
        return out;
    }
    out.push_back(in[0]);
    for (std::size_t i = 0; i + 3 < in.size(); i += 3) {
        const auto& p0 = in[i];
        const auto& p1 = in[i + 1];
        const auto& p2 = in[i + 2];
        const auto& p3 = in[i + 3];
        for (int k = 1; k <= 16; ++k) {
            const double t = k / 16.0;
            const double u = 1 - t;
            const double x =
                u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X;
            const double y =
                u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y;
            out.push_back({toInt(x), toInt(y)});
        }
    }
    return out;
}

} // namespace platform::emf::playback
