#include "platform/emf/Dib.h"

#include "platform/emf/EmfFormat.h"

namespace platform::emf {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

int maskShift(std::uint32_t mask) {
    int s = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++s;
    }
    return s;
}

std::uint8_t maskValue(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = maskShift(mask);
    const std::uint32_t max = mask >> shift;
    const std::uint32_t v = (pixel & mask) >> shift;
    return std::uint8_t((v * 255u + max / 2) / max);
}

} // namespace

DibInfo checkDib(std::span<const std::uint8_t> bmi, std::size_t bitsSize) {
    DibInfo info;
    if (bmi.size() < 40) {
        throw EmfError("bitmap header too short");
    }
    info.headerSize = readU32(bmi, 0);
    if (info.headerSize < 40 || info.headerSize > bmi.size()) {
        throw EmfError("bitmap header size out of range");
    }
    const std::int32_t w = readI32(bmi, 4);
    const std::int32_t h = readI32(bmi, 8);
    info.bitCount = readU16(bmi, 14);
    info.compression = readU32(bmi, 16);
    const std::uint32_t clrUsed = readU32(bmi, 32);
    if (w <= 0 || h == 0 || h == INT32_MIN) {
        throw EmfError("bitmap without size");
    }
    info.width = w;
    info.topDown = h < 0;
    info.height = h < 0 ? -h : h;
    if (std::int64_t(info.width) * info.height > gfx::kMaxBitmapPixels) {
        throw EmfError("bitmap too large");
    }
    switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        if (info.compression != BI_RGB) {
            throw EmfError("compressed bitmaps are not supported");
        }
        break;
    case 16:
    case 32:
        if (info.compression != BI_RGB && info.compression != BI_BITFIELDS) {
            throw EmfError("compressed bitmaps are not supported");
        }
        break;
    default:
        throw EmfError("unsupported bits per pixel");
    }
    info.colorsOffset = info.headerSize;
    if (info.compression == BI_BITFIELDS) {
        if (info.headerSize == 40) {
            info.masksOffset = 40;
            info.colorsOffset = 52;
        } else if (info.headerSize >= 52) {
            info.masksOffset = 40;
        } else {
            throw EmfError("bitmap masks missing");
        }
    }
    if (info.bitCount <= 8) {
        const std::size_t max = std::size_t(1) << info.bitCount;
        info.colorCount = clrUsed == 0 ? max : std::min<std::size_t>(clrUsed, max);
    } else {
        info.colorCount = 0; // a table beside true colour is only a hint for palettes
    }
    if (info.colorsOffset > bmi.size() || (bmi.size() - info.colorsOffset) / 4 < info.colorCount) {
        throw EmfError("bitmap colour table outside its record");
    }
    const std::uint64_t stride =
        ((std::uint64_t(info.width) * std::uint64_t(info.bitCount) + 31) / 32) * 4;
    if (stride * std::uint64_t(info.height) > bitsSize) {
        throw EmfError("bitmap pixels outside their record");
    }
    info.stride = std::size_t(stride);
    return info;
}

gfx::TBitmap decodeDib(std::span<const std::uint8_t> bmi, std::span<const std::uint8_t> bits) {
    const DibInfo info = checkDib(bmi, bits.size());
    std::vector<std::uint32_t> table(info.colorCount);
    for (std::size_t i = 0; i < info.colorCount; ++i) {
        const std::size_t at = info.colorsOffset + 4 * i;
        table[i] = 0xFF000000u | (std::uint32_t(bmi[at + 2]) << 16) |
                   (std::uint32_t(bmi[at + 1]) << 8) | bmi[at];
    }
    std::uint32_t masks[3] = {0, 0, 0};
    if (info.masksOffset != 0) {
        for (int i = 0; i < 3; ++i) {
            masks[i] = readU32(bmi, info.masksOffset + 4 * std::size_t(i));
        }
    } else if (info.bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (info.bitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    gfx::TBitmap out(info.width, info.height);
    const std::uint32_t black = 0xFF000000u;
    if (info.bitCount == 8 || info.bitCount == 24) {
        // The depths the report engine writes, a row at a time.
        std::uint32_t lut[256];
        for (std::size_t i = 0; i < 256; ++i) {
            lut[i] = i < table.size() ? table[i] : black;
        }
        for (int y = 0; y < info.height; ++y) {
            const std::size_t srcRow = std::size_t(info.topDown ? y : info.height - 1 - y);
            const std::uint8_t* row = bits.data() + srcRow * info.stride;
            std::uint32_t* dst = out.ScanLine(y);
            if (info.bitCount == 8) {
                for (int x = 0; x < info.width; ++x) {
                    dst[x] = lut[row[x]];
                }
            } else {
                for (int x = 0; x < info.width; ++x) {
                    const std::uint8_t* q = row + 3 * std::size_t(x);
                    dst[x] =
                        black | (std::uint32_t(q[2]) << 16) | (std::uint32_t(q[1]) << 8) | q[0];
                }
            }
        }
        return out;
    }
    for (int y = 0; y < info.height; ++y) {
        const std::size_t srcRow = std::size_t(info.topDown ? y : info.height - 1 - y);
        const std::uint8_t* row = bits.data() + srcRow * info.stride;
        std::uint32_t* dst = out.ScanLine(y);
        for (int x = 0; x < info.width; ++x) {
            std::uint32_t argb = black;
            switch (info.bitCount) {
            case 1:
            case 4:
            case 8: {
                const int bpp = info.bitCount;
                const std::size_t bit = std::size_t(x) * std::size_t(bpp);
                const int shift = 8 - bpp - int(bit % 8);
                const std::size_t index = (row[bit / 8] >> shift) & ((1u << bpp) - 1);
                argb = index < table.size() ? table[index] : black;
                break;
            }
            case 16: {
                const std::uint32_t p =
                    std::uint32_t(row[2 * x]) | (std::uint32_t(row[2 * x + 1]) << 8);
                argb = black | (std::uint32_t(maskValue(p, masks[0])) << 16) |
                       (std::uint32_t(maskValue(p, masks[1])) << 8) | maskValue(p, masks[2]);
                break;
            }
            case 24: {
                const std::uint8_t* p = row + 3 * std::size_t(x);
                argb = black | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
                break;
            }
            case 32: {
                const std::uint8_t* q = row + 4 * std::size_t(x);
                const std::uint32_t p = std::uint32_t(q[0]) | (std::uint32_t(q[1]) << 8) |
                                        (std::uint32_t(q[2]) << 16) | (std::uint32_t(q[3]) << 24);
                argb = black | (std::uint32_t(maskValue(p, masks[0])) << 16) |
                       (std::uint32_t(maskValue(p, masks[1])) << 8) | maskValue(p, masks[2]);
                break;
            }
            }
            dst[x] = argb;
        }
    }
    return out;
}

bool dibRows(std::span<const std::uint8_t> bmi, std::span<const std::uint8_t> bits,
             const DibInfo& info, const gfx::TRect& source, std::array<std::uint32_t, 256>& colors,
             gfx::TPixelRows& rows) {
    using Layout = gfx::TPixelRows::TLayout;
    Layout layout = Layout::Indexed8;
    if (info.bitCount == 24) {
        layout = Layout::Bgr24;
    } else if (info.bitCount == 32 && info.compression == BI_RGB) {
        layout = Layout::Bgrx32;
    } else if (info.bitCount != 8) {
        return false;
    }
    if (layout == Layout::Indexed8) {
        colors.fill(0xFF000000u);
        for (std::size_t i = 0; i < info.colorCount; ++i) {
            const std::size_t at = info.colorsOffset + 4 * i;
            colors[i] = 0xFF000000u | (std::uint32_t(bmi[at + 2]) << 16) |
                        (std::uint32_t(bmi[at + 1]) << 8) | bmi[at];
        }
        rows.Colors = colors.data();
    }
    const std::size_t top = std::size_t(info.topDown ? source.Top : info.height - 1 - source.Top);
    rows.Layout = layout;
    rows.Width = source.Width();
    rows.Height = source.Height();
    rows.Top = bits.data() + top * info.stride + std::size_t(source.Left) * (info.bitCount / 8);
    rows.Step = info.topDown ? std::ptrdiff_t(info.stride) : -std::ptrdiff_t(info.stride);
    return true;
}

EncodedDib encodeDib(const gfx::TBitmap& picture, const gfx::TRect& source) {
    std::vector<std::uint8_t> all;
    const DibSizes sizes = appendDib(picture, source, all);
    EncodedDib out;
    out.bmi.assign(all.begin(), all.begin() + std::ptrdiff_t(sizes.bmi));
    out.bits.assign(all.begin() + std::ptrdiff_t(sizes.bmi), all.end());
    return out;
}

DibSizes appendDib(const gfx::TBitmap& picture, const gfx::TRect& source,
                   std::vector<std::uint8_t>& out) {
    DibSizes sizes;
    const std::size_t start = out.size();
    const gfx::TRect r = gfx::IntersectRect(source, {0, 0, picture.Width(), picture.Height()});
    const int w = r.Width();
    const int h = r.Height();
    const auto& palette = picture.Palette();
    const bool indexed = picture.PixelFormat() == gfx::TPixelFormat::pf8bit && !palette.empty() &&
                         palette.size() <= 256;
    const int bpp = indexed ? 8 : 24;
    const std::size_t stride = ((std::size_t(w) * std::size_t(bpp) + 31) / 32) * 4;
    ByteWriter b(out);
    b.u32(40);
    b.i32(w);
    b.i32(h);
    b.u16(1);
    b.u16(std::uint16_t(bpp));
    b.u32(0);
    b.u32(std::uint32_t(stride * std::size_t(h)));
    b.i32(3780); // 96 dpi in pixels per metre
    b.i32(3780);
    b.u32(indexed ? std::uint32_t(palette.size()) : 0);
    b.u32(0);
    if (indexed) {
        for (gfx::TColor c : palette) {
            b.u8(gfx::GetBValue(c));
            b.u8(gfx::GetGValue(c));
            b.u8(gfx::GetRValue(c));
            b.u8(0);
        }
    }
    sizes.bmi = out.size() - start;
    sizes.bits = stride * std::size_t(std::max(0, h));
    const std::size_t bitsAt = out.size();
    out.resize(bitsAt + sizes.bits, 0);
    if (w <= 0 || h <= 0) {
        return sizes;
    }
    std::uint8_t* const bits = out.data() + bitsAt;
    if (indexed && picture.PaletteIndexRow(0) != nullptr) {
        // The 8-bit form as it was made.
        for (int y = 0; y < h; ++y) {
            std::copy_n(picture.PaletteIndexRow(r.Top + y) + r.Left, w,
                        bits + std::size_t(h - 1 - y) * stride);
        }
    } else if (indexed) {
        // The 8-bit form holds only palette colours, so an exact look-up nearly always answers;
        // the rare miss takes the nearest entry. A small open-addressed table keeps the look-up
        // to a multiply and a probe or two per change of colour.
        constexpr std::size_t kSlots = 1024;
        constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
        std::vector<std::uint32_t> keys(kSlots, kEmpty);
        std::vector<std::uint8_t> values(kSlots, 0);
        auto slotOf = [](std::uint32_t key) { return std::size_t((key * 0x9E3779B1u) >> 22); };
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const std::uint32_t key = gfx::colorToArgb(palette[i]) & 0xFFFFFFu;
            std::size_t slot = slotOf(key);
            while (keys[slot] != kEmpty && keys[slot] != key) {
                slot = (slot + 1) % kSlots;
            }
            if (keys[slot] == kEmpty) {
                keys[slot] = key;
                values[slot] = std::uint8_t(i);
            }
        }
        auto lookup = [&](std::uint32_t key, std::uint8_t& index) {
            std::size_t slot = slotOf(key);
            while (keys[slot] != kEmpty) {
                if (keys[slot] == key) {
                    index = values[slot];
                    return true;
                }
                slot = (slot + 1) % kSlots;
            }
            return false;
        };
        auto nearest = [&](std::uint32_t argb) {
            int best = 0;
            int bestDistance = 1 << 30;
            for (std::size_t i = 0; i < palette.size(); ++i) {
                const int dr = int((argb >> 16) & 0xFF) - gfx::GetRValue(palette[i]);
                const int dg = int((argb >> 8) & 0xFF) - gfx::GetGValue(palette[i]);
                const int db = int(argb & 0xFF) - gfx::GetBValue(palette[i]);
                const int d = dr * dr + dg * dg + db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = int(i);
                }
            }
            return std::uint8_t(best);
        };
        std::uint32_t lastPixel = 0xFFFFFFFFu;
        std::uint8_t lastIndex = 0;
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* src = picture.ScanLine(r.Top + y) + r.Left;
            std::uint8_t* dst = bits + std::size_t(h - 1 - y) * stride;
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = src[x] & 0xFFFFFFu;
                if (p != lastPixel) {
                    if (!lookup(p, lastIndex)) {
                        lastIndex = nearest(p);
                    }
                    lastPixel = p;
                }
                dst[x] = lastIndex;
            }
        }
    } else {
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* src = picture.ScanLine(r.Top + y) + r.Left;
            std::uint8_t* dst = bits + std::size_t(h - 1 - y) * stride;
            for (int x = 0; x < w; ++x) {
                dst[3 * x] = std::uint8_t(src[x]);
                dst[3 * x + 1] = std::uint8_t(src[x] >> 8);
                dst[3 * x + 2] = std::uint8_t(src[x] >> 16);
            }
        }
    }
    return sizes;
}

} // namespace platform::emf
