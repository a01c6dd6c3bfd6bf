#include "surfaces/DIB.h"

#include "platform/gfx/RasterCanvas.h"
#include "platform/text/LineFile.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <fstream>
#include <iterator>

using platform::gfx::TBitmap;

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

[[noreturn]] void invalid() {
    throw EInvalidGraphic(DIBTexts::Invalid);
}

std::string bitCountText(int bitCount) {
    char text[64];
    std::snprintf(text, sizeof text, DIBTexts::BitCountInvalid, bitCount);
    return text;
}

bool validBitCount(int b) {
    return b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32;
}

std::shared_ptr<TDIBSharedImage> emptyImage() {
    static const auto empty = std::make_shared<TDIBSharedImage>();
    return empty;
}

TDIBColorTable defaultColorTable(int bitCount) {
    TDIBColorTable t{};
    auto set = [&](int i, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        t[std::size_t(i)] = {b, g, r, 0};
    };
    if (bitCount == 1) {
        set(1, 255, 255, 255);
    } else if (bitCount == 4) {
        const std::uint8_t vga[16][3] = {
            {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
            {192, 192, 192}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (int i = 0; i < 16; ++i) {
            set(i, vga[i][0], vga[i][1], vga[i][2]);
        }
    } else if (bitCount == 8) {
        const auto& h = platform::gfx::HalftonePalette();
        for (int i = 0; i < 256; ++i) {
            const auto c = h[std::size_t(i)];
            set(i, platform::gfx::GetRValue(c), platform::gfx::GetGValue(c),
                platform::gfx::GetBValue(c));
        }
    }
    return t;
}

std::uint32_t packComponent(std::uint32_t c8, int bits, int shift) {
    return (c8 >> (8 - bits)) << shift;
}

std::uint32_t unpackComponent(std::uint32_t value, std::uint32_t mask, int bits, int shift) {
    if (bits <= 0) {
        return 0;
    }
    std::uint32_t v = (value & mask) >> shift;
    if (bits >= 8) {
        return (v >> (bits - 8)) & 0xFF;
    }
    // Spread the component over 8 bits (a full component stays full).
    std::uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << bits) | v;
        filled += bits;
    }
    return (out >> (filled - 8)) & 0xFF;
}

struct Reader {
    std::span<const std::uint8_t> bytes;
    bool has(std::size_t offset, std::size_t count) const {
        return offset <= bytes.size() && count <= bytes.size() - offset;
    }
    std::uint32_t u16(std::size_t o) const { return bytes[o] | (std::uint32_t(bytes[o + 1]) << 8); }
    std::uint32_t u32(std::size_t o) const { return u16(o) | (u16(o + 2) << 16); }
};

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

TDIBPixelFormat MakeDIBPixelFormat(int rBits, int gBits, int bBits) {
    TDIBPixelFormat f;
    f.RBitCount = rBits;
    f.GBitCount = gBits;
    f.BBitCount = bBits;
    f.BShift = 0;
    f.GShift = bBits;
    f.RShift = gBits + bBits;
    f.BBitMask = (1u << bBits) - 1;
    f.GBitMask = ((1u << gBits) - 1) << f.GShift;
    f.RBitMask = ((1u << rBits) - 1) << f.RShift;
    return f;
}

TDIBPixelFormat MakeDIBPixelFormatMask(std::uint32_t rMask, std::uint32_t gMask,
                                       std::uint32_t bMask) {
    TDIBPixelFormat f;
    f.RBitMask = rMask;
    f.GBitMask = gMask;
    f.BBitMask = bMask;
    f.RBitCount = std::popcount(rMask);
    f.GBitCount = std::popcount(gMask);
    f.BBitCount = std::popcount(bMask);
    f.RShift = rMask ? std::countr_zero(rMask) : 0;
    f.GShift = gMask ? std::countr_zero(gMask) : 0;
    f.BShift = bMask ? std::countr_zero(bMask) : 0;
    return f;
}

bool IsValidPixelFormat(int bitCount, const TDIBPixelFormat& format) {
    if (bitCount == 16) {
        return format == MakeDIBPixelFormat(5, 5, 5) || format == MakeDIBPixelFormat(5, 6, 5);
    }
    return format == MakeDIBPixelFormat(8, 8, 8);
}

std::int64_t DIBPitch(std::int64_t width, int bitCount) {
    return ((width * bitCount + 31) >> 3) & ~std::int64_t(3);
}

// ---- TDIB --------------------------------------------------------------------------------------

TDIB::TDIB() : image_(emptyImage()) {}

TDIB::TDIB(const TDIB& other) : RasterSurface(), image_(other.image_) {}

TDIB& TDIB::operator=(const TDIB& other) {
    image_ = other.image_;
    indexCache_.clear();
    return *this;
}

TDIB::~TDIB() = default;

void TDIB::makeUnique() {
    if (image_.use_count() > 1 || image_ == emptyImage()) {
        image_ = std::make_shared<TDIBSharedImage>(*image_);
    }
}

void TDIB::NewImage(int width, int height, int bitCount, const TDIBPixelFormat& format,
                    const TDIBColorTable& colorTable) {
    if (!validBitCount(bitCount)) {
        throw EInvalidGraphicOperation(bitCountText(bitCount));
    }
    if (!IsValidPixelFormat(bitCount, format)) {
        throw EInvalidGraphicOperation(DIBTexts::PixelFormatInvalid);
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    const std::int64_t pitch = DIBPitch(width, bitCount);
    if (std::int64_t(width) * height > platform::gfx::kMaxBitmapPixels ||
        pitch * height > 4 * platform::gfx::kMaxBitmapPixels) {
        throw EOutOfResources("DIB cannot be made");
    }
    auto image = std::make_shared<TDIBSharedImage>();
    image->BitCount = bitCount;
    image->Width = width;
    image->Height = height;
    image->WidthBytes = static_cast<int>(pitch);
    image->PixelFormat = format;
    image->ColorTable = colorTable;
    image->Bits.assign(std::size_t(pitch) * std::size_t(height), 0);
    image_ = std::move(image);
    indexCache_.clear();
}

void TDIB::SetSize(int width, int height, int bitCount) {
    TDIBPixelFormat format = MakeDIBPixelFormat(8, 8, 8);
    if (bitCount == 16) {
        format =
            IsValidPixelFormat(16, PixelFormat()) ? PixelFormat() : MakeDIBPixelFormat(5, 5, 5);
    }
    NewImage(width, height, bitCount, format, defaultColorTable(bitCount));
}

void TDIB::SetBitCount(int bitCount) {
    if (bitCount == BitCount()) {
        return;
    }
    TDIB old(*this);
    SetSize(old.Width(), old.Height(), bitCount);
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            SetArgb(x, y, old.GetArgb(x, y));
        }
    }
}

void TDIB::SetPixelFormat(const TDIBPixelFormat& format) {
    if (format == PixelFormat()) {
        return;
    }
    if (!IsValidPixelFormat(BitCount(), format)) {
        throw EInvalidGraphicOperation(DIBTexts::PixelFormatInvalid);
    }
    TDIB old(*this);
    NewImage(old.Width(), old.Height(), old.BitCount(), format, old.ColorTable());
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            SetArgb(x, y, old.GetArgb(x, y));
        }
    }
}

void TDIB::Clear() {
    image_ = emptyImage();
    indexCache_.clear();
}

void TDIB::SetColorTable(const TDIBColorTable& table) {
    if (table == image_->ColorTable) {
        return;
    }
    makeUnique();
    image_->ColorTable = table;
    indexCache_.clear();
}

const std::uint8_t* TDIB::ScanLine(int y) const {
    return image_->Bits.data() + std::size_t(Height() - 1 - y) * std::size_t(WidthBytes());
}

std::uint8_t* TDIB::ScanLineWritable(int y) {
    makeUnique();
    return image_->Bits.data() + std::size_t(Height() - 1 - y) * std::size_t(WidthBytes());
}

std::uint32_t TDIB::GetPixelValue(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
        return 0;
    }
    const std::uint8_t* row = ScanLine(y);
    switch (BitCount()) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    case 8:
        return row[x];
    case 16:
        return row[2 * x] | (std::uint32_t(row[2 * x + 1]) << 8);
    case 24:
        return row[3 * x] | (std::uint32_t(row[3 * x + 1]) << 8) |
               (std::uint32_t(row[3 * x + 2]) << 16);
    default:
        return row[4 * x] | (std::uint32_t(row[4 * x + 1]) << 8) |
               (std::uint32_t(row[4 * x + 2]) << 16) | (std::uint32_t(row[4 * x + 3]) << 24);
    }
}

void TDIB::SetPixelValue(int x, int y, std::uint32_t value) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
        return;
    }
    std::uint8_t* row = ScanLineWritable(y);
    switch (BitCount()) {
    case 1: {
        const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
        row[x >> 3] = std::uint8_t((value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
        break;
    }
    case 4: {
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? std::uint8_t((b & 0xF0) | (value & 0xF))
                    : std::uint8_t((b & 0x0F) | ((value & 0xF) << 4));
        break;
    }
    case 8:
        row[x] = std::uint8_t(value);
        break;
    case 16:
        row[2 * x] = std::uint8_t(value);
        row[2 * x + 1] = std::uint8_t(value >> 8);
        break;
    case 24:
        row[3 * x] = std::uint8_t(value);
        row[3 * x + 1] = std::uint8_t(value >> 8);
        row[3 * x + 2] = std::uint8_t(value >> 16);
        break;
    default:
        for (int i = 0; i < 4; ++i) {
            row[4 * x + i] = std::uint8_t(value >> (8 * i));
        }
        break;
    }
}

std::uint32_t TDIB::GetArgb(int x, int y) const {
    const std::uint32_t v = GetPixelValue(x, y);
    if (BitCount() <= 8) {
        const TRGBQuadEntry& q = image_->ColorTable[v & 0xFF];
        return 0xFF000000u | (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) |
               q.rgbBlue;
    }
    const TDIBPixelFormat& f = PixelFormat();
    return 0xFF000000u | (unpackComponent(v, f.RBitMask, f.RBitCount, f.RShift) << 16) |
           (unpackComponent(v, f.GBitMask, f.GBitCount, f.GShift) << 8) |
           unpackComponent(v, f.BBitMask, f.BBitCount, f.BShift);
}

std::uint8_t TDIB::nearestIndex(std::uint32_t argb) {
    argb &= 0xFFFFFFu;
    for (const auto& [key, index] : indexCache_) {
        if (key == argb) {
            return index;
        }
    }
    const int count = 1 << BitCount();
    const int r = int(argb >> 16) & 0xFF;
    const int g = int(argb >> 8) & 0xFF;
    const int b = int(argb) & 0xFF;
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < count; ++i) {
        const TRGBQuadEntry& q = image_->ColorTable[std::size_t(i)];
        const int d = (r - q.rgbRed) * (r - q.rgbRed) + (g - q.rgbGreen) * (g - q.rgbGreen) +
                      (b - q.rgbBlue) * (b - q.rgbBlue);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    if (indexCache_.size() > 64) {
        indexCache_.clear();
    }
    indexCache_.emplace_back(argb, std::uint8_t(best));
    return std::uint8_t(best);
}

void TDIB::SetArgb(int x, int y, std::uint32_t argb) {
    if (BitCount() <= 8) {
        SetPixelValue(x, y, nearestIndex(argb));
        return;
    }
    const TDIBPixelFormat& f = PixelFormat();
    const std::uint32_t v = packComponent((argb >> 16) & 0xFF, f.RBitCount, f.RShift) |
                            packComponent((argb >> 8) & 0xFF, f.GBitCount, f.GShift) |
                            packComponent(argb & 0xFF, f.BBitCount, f.BShift);
    SetPixelValue(x, y, v);
}

platform::gfx::TCanvas& TDIB::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<platform::gfx::RasterCanvas>(*this);
    }
    return *canvas_;
}

TBitmap TDIB::ToBitmap() const {
    TBitmap b(Width(), Height());
    for (int y = 0; y < Height(); ++y) {
        std::uint32_t* row = b.ScanLine(y);
        for (int x = 0; x < Width(); ++x) {
            row[x] = GetArgb(x, y);
        }
    }
    return b;
}

void TDIB::Assign(const TBitmap& bitmap) {
    SetSize(bitmap.Width(), bitmap.Height(), 24);
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            SetArgb(x, y, bitmap.GetArgb(x, y));
        }
    }
}

std::vector<std::uint8_t> TDIB::SaveToBytes() const {
    std::vector<std::uint8_t> out;
    const int b = Empty() ? 24 : BitCount();
    const bool bitfields = b == 16 || b == 32;
    const std::uint32_t colors = b <= 8 ? (1u << b) : 0;
    const std::uint32_t headerSize = 14 + 40 + (bitfields ? 12 : 0) + colors * 4;
    const std::uint32_t imageSize = std::uint32_t(image_->Bits.size());
    out.reserve(headerSize + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, headerSize + imageSize);
    put32(out, 0);
    put32(out, headerSize);
    put32(out, 40);
    put32(out, std::uint32_t(Width()));
    put32(out, std::uint32_t(Height()));
    put16(out, 1);
    put16(out, std::uint32_t(b));
    put32(out, bitfields ? BI_BITFIELDS : BI_RGB);
    put32(out, imageSize);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    if (bitfields) {
        put32(out, PixelFormat().RBitMask);
        put32(out, PixelFormat().GBitMask);
        put32(out, PixelFormat().BBitMask);
    }
    for (std::uint32_t i = 0; i < colors; ++i) {
        const TRGBQuadEntry& q = image_->ColorTable[i];
        out.insert(out.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
    }
    out.insert(out.end(), image_->Bits.begin(), image_->Bits.end());
    return out;
}

void TDIB::SaveToFile(const std::filesystem::path& path) const {
    const std::vector<std::uint8_t> bytes = SaveToBytes();
    platform::text::AtomicFileWriter writer(path);
    writer.write(bytes.data(), bytes.size());
    writer.commit();
}

void TDIB::LoadFromFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw platform::text::IoError("Cannot open file \"" + path.string() + "\"");
    }
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    LoadFromBytes(bytes);
}

void TDIB::LoadFromBytes(std::span<const std::uint8_t> bytes) {
    const Reader r{bytes};
    if (!r.has(0, 14) || bytes[0] != 'B' || bytes[1] != 'M') {
        invalid();
    }
    const std::uint32_t offBits = r.u32(10);
    if (!r.has(14, 4)) {
        Clear(); // a file header alone: an empty picture
        return;
    }
    const std::uint32_t headerSize = r.u32(14);
    std::int64_t width;
    std::int64_t height;
    int bitCount;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colorsUsed = 0;
    std::size_t entrySize = 4;
    if (headerSize == 12) {
        if (!r.has(14, 12)) {
            invalid();
        }
        width = r.u16(18);
        height = r.u16(20);
        bitCount = int(r.u16(24));
        entrySize = 3;
    } else if (headerSize == 40) {
        if (!r.has(14, 40)) {
            invalid();
        }
        width = std::int32_t(r.u32(18));
        height = std::int32_t(r.u32(22));
        bitCount = int(r.u16(28));
        compression = r.u32(30);
        colorsUsed = r.u32(46);
    } else {
        invalid();
    }
    if (!validBitCount(bitCount)) {
        throw EInvalidGraphicOperation(bitCountText(bitCount));
    }
    std::size_t tableOffset = 14 + headerSize;
    TDIBPixelFormat format =
        bitCount == 16 ? MakeDIBPixelFormat(5, 5, 5) : MakeDIBPixelFormat(8, 8, 8);
    switch (compression) {
    case BI_RGB:
        break;
    case BI_BITFIELDS:
        if ((bitCount != 16 && bitCount != 32) || !r.has(tableOffset, 12)) {
            invalid();
        }
        format = MakeDIBPixelFormatMask(r.u32(tableOffset), r.u32(tableOffset + 4),
                                        r.u32(tableOffset + 8));
        tableOffset += 12;
        break;
    case BI_RLE8:
        if (bitCount != 8) {
            invalid();
        }
        break;
    case BI_RLE4:
        if (bitCount != 4) {
            invalid();
        }
        break;
    default:
        invalid();
    }
    if (!IsValidPixelFormat(bitCount, format)) {
        throw EInvalidGraphicOperation(DIBTexts::PixelFormatInvalid);
    }
    std::uint32_t colorCount = colorsUsed;
    if (colorCount == 0 && bitCount <= 8) {
        colorCount = 1u << bitCount;
    }
    colorCount = std::min<std::uint32_t>(colorCount, 256);
    if (!r.has(tableOffset, std::size_t(colorCount) * entrySize)) {
        invalid();
    }
    const bool topDown = height < 0;
    const std::int64_t rows = topDown ? -height : height;
    if (width < 0 || (topDown && compression != BI_RGB && compression != BI_BITFIELDS)) {
        invalid();
    }
    if (width == 0 || rows == 0) {
        Clear(); // no pixels at all: an empty picture, as the writer stores one
        return;
    }
    if (width * rows > platform::gfx::kMaxBitmapPixels) {
        invalid();
    }
    const std::int64_t pitch = DIBPitch(width, bitCount);
    const std::size_t dataStart =
        offBits != 0 ? std::size_t(offBits) : tableOffset + std::size_t(colorCount) * entrySize;
    if (dataStart > bytes.size()) {
        invalid();
    }
    const std::size_t available = bytes.size() - dataStart;
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (!rle && std::uint64_t(pitch) * std::uint64_t(rows) > available) {
        invalid(); // the stream cannot hold the pixels it announces
    }
    // One two-byte run gives at most 255 pixels.
    if (rle && std::uint64_t(width) * std::uint64_t(rows) > std::uint64_t(available) * 128 + 255) {
        invalid();
    }

    TDIBColorTable table{};
    for (std::uint32_t i = 0; i < colorCount && bitCount <= 8; ++i) {
        const std::size_t o = tableOffset + i * entrySize;
        table[i] = {bytes[o], bytes[o + 1], bytes[o + 2], 0};
    }
    TDIB result;
    result.NewImage(int(width), int(rows), bitCount, format, table);
    TDIBSharedImage& image = *result.image_;
    const std::uint8_t* data = bytes.data() + dataStart;
    if (!rle) {
        for (std::int64_t i = 0; i < rows; ++i) {
            // Storage is bottom-up; a top-down stream starts with the top row.
            const std::int64_t storageRow = topDown ? rows - 1 - i : i;
            std::copy_n(data + i * pitch, pitch,
                        image.Bits.data() + storageRow * std::int64_t(image.WidthBytes));
        }
    } else {
        const bool four = compression == BI_RLE4;
        std::size_t p = 0;
        std::int64_t x = 0;
        std::int64_t y = 0; // rows from the bottom
        auto put = [&](std::uint32_t v) {
            if (x < width && y < rows) {
                const int top = int(rows - 1 - y);
                result.SetPixelValue(int(x), top, v);
            }
            ++x;
        };
        while (p + 1 < available && y < rows) {
            const std::uint32_t count = data[p];
            const std::uint32_t value = data[p + 1];
            p += 2;
            if (count > 0) {
                for (std::uint32_t k = 0; k < count; ++k) {
                    put(four ? ((k & 1) ? (value & 0xF) : (value >> 4)) : value);
                }
                continue;
            }
            if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                if (p + 1 >= available) {
                    break;
                }
                x += data[p];
                y += data[p + 1];
                p += 2;
            } else {
                const std::size_t n = value;
                const std::size_t used = four ? (n + 1) / 2 : n;
                if (used > available - p) {
                    break;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    put(four ? ((k & 1) ? (data[p + k / 2] & 0xF) : (data[p + k / 2] >> 4))
                             : data[p + k]);
                }
                p += used + (used & 1);
            }
        }
    }
    image_ = std::move(result.image_);
    indexCache_.clear();
}

// ---- Palette manager ---------------------------------------------------------------------------

HPALETTE TPaletteManager::CreatePalette(const TRGBQuadEntry* entries, int count) {
    count = std::clamp(count, 0, 256);
    std::vector<TRGBQuadEntry> list(entries, entries + count);
    std::uint32_t checksum = std::uint32_t(count);
    for (const auto& e : list) {
        checksum += std::uint32_t(e.rgbRed) + e.rgbGreen + e.rgbBlue;
    }
    for (auto& item : items_) {
        if (item->checksum == checksum && item->entries == list) {
            ++item->refCount;
            return reinterpret_cast<HPALETTE>(item.get());
        }
    }
    auto item = std::make_unique<TPaletteItem>();
    item->entries = std::move(list);
    item->checksum = checksum;
    item->refCount = 1;
    items_.push_back(std::move(item));
    return reinterpret_cast<HPALETTE>(items_.back().get());
}

void TPaletteManager::DeletePalette(HPALETTE& palette) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& item) {
        return reinterpret_cast<HPALETTE>(item.get()) == palette;
    });
    palette = 0;
    if (it == items_.end()) {
        return;
    }
    if (--(*it)->refCount <= 0) {
        items_.erase(it);
    }
}

int TPaletteManager::RefCount(HPALETTE palette) const {
    for (const auto& item : items_) {
        if (reinterpret_cast<HPALETTE>(item.get()) == palette) {
            return item->refCount;
        }
    }
    return 0;
}

std::vector<TRGBQuadEntry> TPaletteManager::Entries(HPALETTE palette) const {
    for (const auto& item : items_) {
        if (reinterpret_cast<HPALETTE>(item.get()) == palette) {
            return item->entries;
        }
    }
    return {};
}

TPaletteManager& PaletteManager() {
    static TPaletteManager manager;
    return manager;
}
