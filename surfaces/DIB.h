// Device-independent bitmaps: an image of 1, 4, 8, 16, 24 or 32 bits per pixel stored bottom-up
// with rows padded to 4 bytes, as the bitmap file format keeps it, with a drawing canvas, reading
// and writing of the bitmap stream, and the process-wide palette manager that shares palettes
// between images. Images are shared between copies until one of them is changed.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// A graphic operation that cannot be done (bad bit count or pixel format).
class EInvalidGraphicOperation : public std::runtime_error {
public:
    explicit EInvalidGraphicOperation(const std::string& what) : std::runtime_error(what) {}
};
// A stream that is not a bitmap the reader accepts.
class EInvalidGraphic : public std::runtime_error {
public:
    explicit EInvalidGraphic(const std::string& what) : std::runtime_error(what) {}
};

// An image too large to be made.
class EOutOfResources : public std::runtime_error {
public:
    explicit EOutOfResources(const std::string& what) : std::runtime_error(what) {}
};

namespace DIBTexts {
constexpr const char* Invalid = "DIB is invalid";
constexpr const char* BitCountInvalid = "Bitcount in invalid (%d)";
constexpr const char* PixelFormatInvalid = "PixelFormat in invalid";
} // namespace DIBTexts

struct TRGBQuadEntry {
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
    friend bool operator==(const TRGBQuadEntry&, const TRGBQuadEntry&) = default;
};
using TDIBColorTable = std::array<TRGBQuadEntry, 256>;

// Masks, widths and shifts of the three components of a 16- or 32-bit pixel.
struct TDIBPixelFormat {
    std::uint32_t RBitMask = 0xFF0000, GBitMask = 0x00FF00, BBitMask = 0x0000FF;
    int RBitCount = 8, GBitCount = 8, BBitCount = 8;
    int RShift = 16, GShift = 8, BShift = 0; // position of each component's lowest bit
    friend bool operator==(const TDIBPixelFormat&, const TDIBPixelFormat&) = default;
};

// A pixel format from component widths (5-5-5, 5-6-5, 8-8-8) or from masks.
TDIBPixelFormat MakeDIBPixelFormat(int rBits, int gBits, int bBits);
TDIBPixelFormat MakeDIBPixelFormatMask(std::uint32_t rMask, std::uint32_t gMask,
                                       std::uint32_t bMask);
// Whether the format suits the bit count (5-5-5 or 5-6-5 for 16 bits, 8-8-8 otherwise).
bool IsValidPixelFormat(int bitCount, const TDIBPixelFormat& format);

// Row length in bytes: rows are padded to whole 32-bit words.
std::int64_t DIBPitch(std::int64_t width, int bitCount);

// The image data, shared between TDIB copies.
struct TDIBSharedImage {
    int BitCount = 0;
    int Width = 0;
    int Height = 0;
    int WidthBytes = 0; // the pitch
    TDIBPixelFormat PixelFormat;
    TDIBColorTable ColorTable{};
    std::vector<std::uint8_t> Bits; // bottom row first
};

class TDIB : public platform::gfx::RasterSurface {
public:
    TDIB();
    TDIB(const TDIB& other);
    TDIB& operator=(const TDIB& other);
    ~TDIB() override;

    int Width() const { return image_->Width; }
    int Height() const { return image_->Height; }
    int BitCount() const { return image_->BitCount; }
    int WidthBytes() const { return image_->WidthBytes; }
    bool Empty() const { return image_->Width == 0 || image_->Height == 0; }
    platform::gfx::TRect ClientRect() const { return {0, 0, Width(), Height()}; }
    const TDIBPixelFormat& PixelFormat() const { return image_->PixelFormat; }
    // Whether two DIBs share one image (no copy made yet).
    bool SharesImageWith(const TDIB& other) const { return image_ == other.image_; }

    // A new image; throws EInvalidGraphicOperation for a bad bit count or pixel format. The
    // pixels are 0.
    void NewImage(int width, int height, int bitCount, const TDIBPixelFormat& format,
                  const TDIBColorTable& colorTable);
    // A new image with the default format of the bit count (5-5-5 for 16 bits) and the default
    // colour table (black and white, the 16 VGA colours, or the 256-colour halftone palette).
    void SetSize(int width, int height, int bitCount);
    // Converts the picture to another bit count or 16-bit format, keeping its colours as far as
    // the new form can.
    void SetBitCount(int bitCount);
    void SetPixelFormat(const TDIBPixelFormat& format);
    void Clear();

    const TDIBColorTable& ColorTable() const { return image_->ColorTable; }
    // Writes the table into the image only when it differs (a shared image is copied first).
    void SetColorTable(const TDIBColorTable& table);

    // Raw pixel values (a colour index up to 8 bits, else the packed value).
    std::uint32_t GetPixelValue(int x, int y) const;
    void SetPixelValue(int x, int y, std::uint32_t value);
    // Row y (0 = top) of the pixel data.
    const std::uint8_t* ScanLine(int y) const;
    std::uint8_t* ScanLineWritable(int y);

    platform::gfx::TCanvas& Canvas();

    // The picture as a 32-bit bitmap, and a 24-bit copy of one.
    platform::gfx::TBitmap ToBitmap() const;
    void Assign(const platform::gfx::TBitmap& bitmap);

    // The bitmap stream: file header, info header (with masks for 16 and 32 bits), colour table
    // and pixel rows.
    std::vector<std::uint8_t> SaveToBytes() const;
    void SaveToFile(const std::filesystem::path& path) const;
    // Throws EInvalidGraphic "DIB is invalid" for anything the reader does not accept; sizes are
    // checked against the stream before anything is allocated.
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    void LoadFromFile(const std::filesystem::path& path);

    // RasterSurface
    int SurfaceWidth() const override { return Width(); }
    int SurfaceHeight() const override { return Height(); }
    std::uint32_t GetArgb(int x, int y) const override;
    void SetArgb(int x, int y, std::uint32_t argb) override;

private:
    void makeUnique();
    std::uint8_t nearestIndex(std::uint32_t argb);

    std::shared_ptr<TDIBSharedImage> image_;
    std::unique_ptr<platform::gfx::TCanvas> canvas_;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> indexCache_;
};

// ---- Palette manager ---------------------------------------------------------------------------

using HPALETTE = std::uintptr_t; // 0 = none

class TPaletteManager {
public:
    // A palette of the entries (at most 256); an identical one already made is shared.
    HPALETTE CreatePalette(const TRGBQuadEntry* entries, int count);
    // Drops one use of the palette and clears the caller's handle; the last use frees it.
    void DeletePalette(HPALETTE& palette);
    int Count() const { return static_cast<int>(items_.size()); }
    int RefCount(HPALETTE palette) const;
    // The entries of a palette (empty for an unknown handle).
    std::vector<TRGBQuadEntry> Entries(HPALETTE palette) const;

private:
    struct TPaletteItem {
        std::vector<TRGBQuadEntry> entries;
        std::uint32_t checksum = 0;
        int refCount = 0;
    };
    std::vector<std::unique_ptr<TPaletteItem>> items_;
};

// The process's palette manager, made on first use.
TPaletteManager& PaletteManager();
