#include "platform/emf/Metafile.h"

#include "platform/emf/Dib.h"
#include "platform/text/Cp1251.h"

#include <cmath>

namespace platform::emf {

namespace {

void need(bool ok, const char* what) {
    if (!ok) {
        throw EmfError(what);
    }
}

// An area of `count` items of `itemSize` bytes at `offset` lies inside a record of `size` bytes.
bool inside(std::uint64_t offset, std::uint64_t count, std::uint64_t itemSize, std::uint64_t size) {
    return offset <= size && count * itemSize <= size - offset;
}

std::uint32_t minimumSize(std::uint32_t type) {
    switch (type) {
    case EMR_HEADER:
        return kMinHeaderSize;
    case EMR_EOF:
        return 20;
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT:
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETROP2:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_RESTOREDC:
    case EMR_SETMAPPERFLAGS:
        return 12;
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBRUSHORGEX:
    case EMR_MOVETOEX:
    case EMR_LINETO:
    case EMR_OFFSETCLIPRGN:
        return 16;
    case EMR_SETPIXELV:
        return 20;
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT:
    case EMR_CREATEBRUSHINDIRECT:
        return 24;
    case EMR_CREATEPEN:
        return 28;
    case EMR_ROUNDRECT:
    case EMR_SETWORLDTRANSFORM:
        return 32;
    case EMR_MODIFYWORLDTRANSFORM:
        return 36;
    case EMR_PIE:
        return 40;
    case EMR_EXTSELECTCLIPRGN:
        return 16;
    case EMR_EXTCREATEFONTINDIRECTW:
        return 104;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
        return 76;
    case EMR_EXTCREATEPEN:
        return 52;
    case EMR_SETDIBITSTODEVICE:
        return 76;
    case EMR_STRETCHDIBITS:
        return 80;
    case EMR_BITBLT:
        return 100;
    case EMR_STRETCHBLT:
    case EMR_TRANSPARENTBLT:
        return 108;
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIER16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
        return 28;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16:
        return 32;
    default:
        return 8;
    }
}

void checkBitmap(std::span<const std::uint8_t> r, std::size_t offBmiAt) {
    const std::uint64_t size = r.size();
    const std::uint32_t offBmi = readU32(r, offBmiAt);
    const std::uint32_t cbBmi = readU32(r, offBmiAt + 4);
    const std::uint32_t offBits = readU32(r, offBmiAt + 8);
    const std::uint32_t cbBits = readU32(r, offBmiAt + 12);
    if (cbBmi == 0) {
        return; // a pattern or colour operation without a source
    }
    need(inside(offBmi, cbBmi, 1, size), "bitmap header outside its record");
    need(inside(offBits, cbBits, 1, size), "bitmap pixels outside their record");
    checkDib(r.subspan(offBmi, cbBmi), cbBits);
}

} // namespace

void validateRecord(const EmfRecord& rec) {
    const auto r = rec.bytes;
    const std::uint64_t size = r.size();
    need(size >= minimumSize(rec.type), "metafile record shorter than its type needs");
    switch (rec.type) {
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: {
        const std::uint32_t nChars = readU32(r, 44);
        const std::uint32_t offString = readU32(r, 48);
        const std::uint32_t options = readU32(r, 52);
        const std::uint32_t offDx = readU32(r, 72);
        const std::uint64_t charSize = rec.type == EMR_EXTTEXTOUTW ? 2 : 1;
        if (nChars > 0) {
            need(inside(offString, nChars, charSize, size), "text outside its record");
            if (offDx != 0) {
                const std::uint64_t dxSize = (options & 0x2000) ? 8 : 4; // ETO_PDY
                need(inside(offDx, nChars, dxSize, size), "text spacing outside its record");
            }
        }
        break;
    }
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
        need(inside(28, readU32(r, 24), 8, size), "points outside their record");
        break;
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIER16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
        need(inside(28, readU32(r, 24), 4, size), "points outside their record");
        break;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: {
        const std::uint32_t polys = readU32(r, 24);
        const std::uint32_t points = readU32(r, 28);
        const std::uint64_t pointSize =
            (rec.type == EMR_POLYPOLYLINE || rec.type == EMR_POLYPOLYGON) ? 8 : 4;
        need(inside(32, polys, 4, size), "polygon counts outside their record");
        need(inside(32 + std::uint64_t(polys) * 4, points, pointSize, size),
             "points outside their record");
        std::uint64_t sum = 0;
        for (std::uint32_t i = 0; i < polys; ++i) {
            sum += readU32(r, 32 + 4 * std::size_t(i));
        }
        need(sum == points, "polygon counts do not add up");
        break;
    }
    case EMR_EXTSELECTCLIPRGN: {
        const std::uint32_t cb = readU32(r, 8);
        need(inside(16, cb, 1, size), "region outside its record");
        if (cb > 0) {
            need(cb >= 32, "region header too short");
            const std::uint32_t count = readU32(r, 16 + 8);
            need(inside(48, count, 16, size), "region rectangles outside their record");
        }
        break;
    }
    case EMR_STRETCHDIBITS:
    case EMR_SETDIBITSTODEVICE:
        checkBitmap(r, 48);
        break;
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_TRANSPARENTBLT:
        checkBitmap(r, 84);
        break;
    case EMR_EXTCREATEPEN: {
        const std::uint32_t entries = readU32(r, 48);
        need(inside(52, entries, 4, size), "pen style entries outside their record");
        break;
    }
    default:
        break;
    }
}

std::uint32_t metafileLength(std::span<const std::uint8_t> head) {
    need(head.size() >= kMinHeaderSize, "metafile header truncated");
    need(readU32(head, 0) == EMR_HEADER, "not a metafile");
    const std::uint32_t headerSize = readU32(head, 4);
    need(headerSize >= kMinHeaderSize && headerSize % 4 == 0, "metafile header size wrong");
    need(readU32(head, 40) == kEmfSignature, "metafile signature missing");
    const std::uint32_t nBytes = readU32(head, 48);
    need(nBytes >= headerSize + 20 && nBytes % 4 == 0, "metafile length wrong");
    return nBytes;
}

Metafile::Metafile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    const std::span<const std::uint8_t> all(bytes_);
    const std::uint32_t nBytes = metafileLength(all);
    need(nBytes == bytes_.size(), "metafile length does not match its data");
    const std::uint32_t headerSize = readU32(all, 4);
    need(headerSize <= nBytes, "metafile header outside the file");
    frame_ = {readI32(all, 24), readI32(all, 28), readI32(all, 32), readI32(all, 36)};
    records_ = readU32(all, 52);
    handles_ = readU16(all, 56);
    const std::int32_t devX = readI32(all, 72);
    const std::int32_t devY = readI32(all, 76);
    const std::int32_t mmX = readI32(all, 80);
    const std::int32_t mmY = readI32(all, 84);
    if (devX > 0 && devY > 0 && mmX > 0 && mmY > 0) {
        dpmmX_ = double(devX) / mmX;
        dpmmY_ = double(devY) / mmY;
    }
    // Description and pixel format areas of the header must lie inside it.
    if (headerSize >= 68) {
        const std::uint32_t nDesc = readU32(all, 60);
        const std::uint32_t offDesc = readU32(all, 64);
        if (nDesc != 0) {
            need(inside(offDesc, nDesc, 2, nBytes), "metafile description outside the file");
        }
    }
    // The frame's corners come from the file: their difference may not fit an int.
    const double w = (double(frame_.Right) - double(frame_.Left)) * dpmmX_ / 100.0;
    const double h = (double(frame_.Bottom) - double(frame_.Top)) * dpmmY_ / 100.0;
    need(std::isfinite(w) && std::isfinite(h) && std::fabs(w) < 1e6 && std::fabs(h) < 1e6,
         "metafile frame out of range");
    width_ = int(std::nearbyint(std::fabs(w)));
    height_ = int(std::nearbyint(std::fabs(h)));

    std::size_t at = 0;
    std::uint32_t count = 0;
    std::uint32_t lastType = 0;
    while (at < nBytes) {
        need(nBytes - at >= 8, "metafile record truncated");
        const std::uint32_t type = readU32(all, at);
        const std::uint32_t size = readU32(all, at + 4);
        need(size >= 8 && size % 4 == 0 && size <= nBytes - at, "metafile record size wrong");
        need((count == 0) == (type == EMR_HEADER), "metafile header misplaced");
        validateRecord({type, all.subspan(at, size)});
        ++count;
        lastType = type;
        at += size;
        if (type == EMR_EOF) {
            break;
        }
    }
    need(lastType == EMR_EOF && at == nBytes, "metafile does not end with its end record");
    need(count == records_, "metafile record count wrong");
}

void Metafile::ForEachRecord(const std::function<bool(const EmfRecord&)>& visit) const {
    const std::span<const std::uint8_t> all(bytes_);
    std::size_t at = 0;
    while (at + 8 <= bytes_.size()) {
        const std::uint32_t type = readU32(all, at);
        const std::uint32_t size = readU32(all, at + 4);
        if (!visit({type, all.subspan(at, size)}) || type == EMR_EOF) {
            return;
        }
        at += size;
    }
}

bool recordText(const EmfRecord& rec, std::string& utf8) {
    if (rec.type != EMR_EXTTEXTOUTW && rec.type != EMR_EXTTEXTOUTA) {
        return false;
    }
    const std::uint32_t nChars = readU32(rec.bytes, 44);
    const std::uint32_t offString = readU32(rec.bytes, 48);
    utf8.clear();
    if (rec.type == EMR_EXTTEXTOUTA) {
        if (nChars > 0) {
            const auto s = rec.bytes.subspan(offString, nChars);
            utf8 = text::cp1251ToUtf8(
                std::string_view(reinterpret_cast<const char*>(s.data()), s.size()));
        }
        return true;
    }
    for (std::uint32_t i = 0; i < nChars; ++i) {
        char32_t cp = readU16(rec.bytes, offString + 2 * std::size_t(i));
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < nChars) {
            const char32_t low = readU16(rec.bytes, offString + 2 * std::size_t(i + 1));
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            utf8.push_back(char(cp));
        } else if (cp < 0x800) {
            utf8.push_back(char(0xC0 | (cp >> 6)));
            utf8.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            utf8.push_back(char(0xE0 | (cp >> 12)));
            utf8.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            utf8.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            utf8.push_back(char(0xF0 | (cp >> 18)));
            utf8.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            utf8.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            utf8.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return true;
}

std::vector<std::string> metafileTexts(const Metafile& metafile) {
    std::vector<std::string> out;
    std::string s;
    metafile.ForEachRecord([&](const EmfRecord& rec) {
        if (recordText(rec, s)) {
            out.push_back(s);
        }
        return true;
    });
    return out;
}

} // namespace platform::emf
