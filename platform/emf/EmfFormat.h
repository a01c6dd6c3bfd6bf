// Enhanced-metafile record numbers, constants and the little-endian byte helpers the writer, the
// reader and the player share. Report pages are kept in this format, so a page file is a
// standard metafile container that other tools can read.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::emf {

// Record types.
enum : std::uint32_t {
    EMR_HEADER = 1,
    EMR_POLYBEZIER = 2,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_SETBRUSHORGEX = 13,
    EMR_EOF = 14,
    EMR_SETPIXELV = 15,
    EMR_SETMAPPERFLAGS = 16,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETROP2 = 20,
    EMR_SETSTRETCHBLTMODE = 21,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_OFFSETCLIPRGN = 26,
    EMR_MOVETOEX = 27,
    EMR_EXCLUDECLIPRECT = 29,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_PIE = 47,
    EMR_LINETO = 54,
    EMR_GDICOMMENT = 70,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_SETDIBITSTODEVICE = 80,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_EXTCREATEPEN = 95,
    EMR_TRANSPARENTBLT = 116,
};

constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kEmfVersion = 0x10000;
constexpr std::uint32_t kHeaderSize = 108;
constexpr std::uint32_t kMinHeaderSize = 88;

// Stock objects.
constexpr std::uint32_t kStockObject = 0x80000000u;
constexpr std::uint32_t WHITE_BRUSH = kStockObject | 0;
constexpr std::uint32_t BLACK_BRUSH = kStockObject | 4;
constexpr std::uint32_t NULL_BRUSH = kStockObject | 5;
constexpr std::uint32_t WHITE_PEN = kStockObject | 6;
constexpr std::uint32_t BLACK_PEN = kStockObject | 7;
constexpr std::uint32_t NULL_PEN = kStockObject | 8;
constexpr std::uint32_t SYSTEM_FONT = kStockObject | 13;
constexpr std::uint32_t DEFAULT_GUI_FONT = kStockObject | 17;

// Pen and brush styles.
constexpr std::uint32_t PS_SOLID = 0;
constexpr std::uint32_t PS_DASH = 1;
constexpr std::uint32_t PS_DOT = 2;
constexpr std::uint32_t PS_DASHDOT = 3;
constexpr std::uint32_t PS_DASHDOTDOT = 4;
constexpr std::uint32_t PS_NULL = 5;
constexpr std::uint32_t PS_INSIDEFRAME = 6;
constexpr std::uint32_t BS_SOLID = 0;
constexpr std::uint32_t BS_NULL = 1;

constexpr std::uint32_t TRANSPARENT = 1;
constexpr std::uint32_t OPAQUE = 2;
constexpr std::uint32_t COLORONCOLOR = 3;
constexpr std::uint32_t RGN_AND = 1;
constexpr std::uint32_t RGN_COPY = 5;
constexpr std::uint32_t TA_UPDATECP = 1;
constexpr std::uint32_t ETO_OPAQUE = 2;
constexpr std::uint32_t ETO_CLIPPED = 4;
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;
constexpr std::uint32_t DIB_RGB_COLORS = 0;

// A metafile that cannot be read: truncated, inconsistent or lying about its sizes.
class EmfError : public std::runtime_error {
public:
    explicit EmfError(const std::string& what) : std::runtime_error(what) {}
};

inline std::uint32_t readU32(std::span<const std::uint8_t> b, std::size_t at) {
    if (at > b.size() || b.size() - at < 4) {
        throw EmfError("metafile record too short");
    }
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) |
           (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 3]) << 24);
}
inline std::int32_t readI32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::int32_t(readU32(b, at));
}
inline std::uint16_t readU16(std::span<const std::uint8_t> b, std::size_t at) {
    if (at > b.size() || b.size() - at < 2) {
        throw EmfError("metafile record too short");
    }
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}
inline float readF32(std::span<const std::uint8_t> b, std::size_t at) {
    const std::uint32_t u = readU32(b, at);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// Appends little-endian values to a byte buffer.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void u8(std::uint8_t v) { out_.push_back(v); }
    void u16(std::uint16_t v) {
        out_.push_back(std::uint8_t(v));
        out_.push_back(std::uint8_t(v >> 8));
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out_.push_back(std::uint8_t(v >> (8 * i)));
        }
    }
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void f32(float v) {
        std::uint32_t u;
        std::memcpy(&u, &v, 4);
        u32(u);
    }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    void pad4() {
        while (out_.size() % 4 != 0) {
            out_.push_back(0);
        }
    }
    void patchU32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out_[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
        }
    }
    std::size_t size() const { return out_.size(); }

private:
    std::vector<std::uint8_t>& out_;
};

} // namespace platform::emf
