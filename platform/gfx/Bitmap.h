// Off-screen pictures. A TBitmap keeps 32-bit RGB pixels that the raster canvas draws on; the
// palettised 8-bit form is what report images are turned into once drawn. RasterSurface is what
// the raster canvas needs of any pixel store, so device-independent bitmaps and display surfaces
// can be drawn on by the same code.
#pragma once

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::gfx {

class TCanvas;

// A picture that cannot be made, read or converted.
class GraphicError : public std::runtime_error {
public:
    explicit GraphicError(const std::string& what) : std::runtime_error(what) {}
};

// Pixels as 0xAARRGGBB words (alpha unused). Row access is optional; without it the canvas goes
// pixel by pixel.
class RasterSurface {
public:
    virtual ~RasterSurface() = default;
    virtual int SurfaceWidth() const = 0;
    virtual int SurfaceHeight() const = 0;
    virtual std::uint32_t GetArgb(int x, int y) const = 0;
    virtual void SetArgb(int x, int y, std::uint32_t argb) = 0;
    // A writable row of SurfaceWidth() words, or nullptr when the store has no such rows.
    virtual std::uint32_t* Row(int /*y*/) { return nullptr; }
};

enum class TPixelFormat { pfDevice, pf8bit, pf24bit, pf32bit };
enum class TTransparentMode { tmAuto, tmFixed };

// The largest picture the program makes: 2^28 pixels (1 GiB of pixel memory).
constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 28;

class TBitmap : public RasterSurface {
public:
    TBitmap();
    TBitmap(int width, int height);
    // Takes rows of 0xFFRRGGBB words made elsewhere (a decoder); the count must be width x height
    // within kMaxBitmapPixels (GraphicError otherwise).
    TBitmap(int width, int height, std::vector<std::uint32_t>&& pixels);
    ~TBitmap() override;
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    TBitmap(TBitmap&& other) noexcept;
    TBitmap& operator=(TBitmap&& other) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Resizing keeps the overlapping part; new pixels are white. Negative sizes count as 0;
    // a size above kMaxBitmapPixels throws GraphicError.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }

    TPixelFormat PixelFormat() const { return pixelFormat_; }
    // pf8bit reduces the picture to at most 256 colours: its own colours when there are no more
    // than that (in order of first appearance), otherwise the nearest of a fixed 256-colour
    // palette. The other formats keep 24-bit colour.
    void SetPixelFormat(TPixelFormat format);
    // The colour table of the 8-bit form (empty otherwise).
    const std::vector<TColor>& Palette() const { return palette_; }
    // Each pixel's index into Palette() (the nearest entry); only for the 8-bit form.
    std::vector<std::uint8_t> PaletteIndices() const;
    // Row y of those indices as SetPixelFormat found them, so the 8-bit form is made once;
    // nullptr in the other forms and once a pixel may have changed (any writing access).
    const std::uint8_t* PaletteIndexRow(int y) const {
        return indicesKept_ ? indices_.data() + std::size_t(y) * std::size_t(width_) : nullptr;
    }

    // Colour-keyed drawing: with Transparent set, pixels of TransparentColor() are not drawn.
    // In tmAuto mode the key is the colour of the bottom-left pixel.
    bool Transparent = false;
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode) { transparentMode_ = mode; }
    TColor TransparentColor() const;
    // Setting a colour switches to tmFixed.
    void SetTransparentColor(TColor color);

    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Rows of 0xFFRRGGBB words, top row first.
    std::uint32_t* ScanLine(int y) {
        indicesKept_ = false;
        return pixels_.data() + std::size_t(y) * std::size_t(width_);
    }
    const std::uint32_t* ScanLine(int y) const {
        return pixels_.data() + std::size_t(y) * std::size_t(width_);
    }
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

    // The raster canvas of this bitmap, made on first use.
    TCanvas& Canvas();

    // Reads a picture file (see Picture.h); throws GraphicError or JpegError.
    void LoadFromFile(const std::filesystem::path& path);

    int SurfaceWidth() const override { return width_; }
    int SurfaceHeight() const override { return height_; }
    std::uint32_t GetArgb(int x, int y) const override {
        return pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
    }
    void SetArgb(int x, int y, std::uint32_t argb) override {
        indicesKept_ = false;
        pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)] = argb | 0xFF000000u;
    }
    std::uint32_t* Row(int y) override { return ScanLine(y); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    TPixelFormat pixelFormat_ = TPixelFormat::pfDevice;
    std::vector<TColor> palette_;
    std::vector<std::uint8_t> indices_;
    bool indicesKept_ = false;
    TTransparentMode transparentMode_ = TTransparentMode::tmAuto;
    TColor transparentColor_ = clDefault;
    std::unique_ptr<TCanvas> canvas_;
};

// The fixed palette used when a picture has more than 256 colours: a 6 x 6 x 6 colour cube
// followed by 40 greys.
const std::vector<TColor>& HalftonePalette();

} // namespace platform::gfx
