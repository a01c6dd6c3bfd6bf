#include "platform/gfx/Bitmap.h"

#include "platform/gfx/Picture.h"
#include "platform/gfx/RasterCanvas.h"

#include <algorithm>
#include <unordered_map>

namespace platform::gfx {

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) {
    SetSize(width, height);
}

TBitmap::TBitmap(int width, int height, std::vector<std::uint32_t>&& pixels) {
    if (width < 0 || height < 0 || std::int64_t(width) * height > kMaxBitmapPixels ||
        pixels.size() != std::size_t(width) * std::size_t(height)) {
        throw GraphicError("Bitmap image is too large");
    }
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
}

TBitmap::~TBitmap() = default;

TBitmap::TBitmap(const TBitmap& other)
    : RasterSurface(), Transparent(other.Transparent), width_(other.width_), height_(other.height_),
      pixels_(other.pixels_), pixelFormat_(other.pixelFormat_), palette_(other.palette_),
      indices_(other.indicesKept_ ? other.indices_ : std::vector<std::uint8_t>{}),
      indicesKept_(other.indicesKept_), transparentMode_(other.transparentMode_),
      transparentColor_(other.transparentColor_) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) {
        Transparent = other.Transparent;
        width_ = other.width_;
        height_ = other.height_;
        pixels_ = other.pixels_;
        pixelFormat_ = other.pixelFormat_;
        palette_ = other.palette_;
        indicesKept_ = other.indicesKept_;
        if (indicesKept_) {
            indices_ = other.indices_;
        }
        transparentMode_ = other.transparentMode_;
        transparentColor_ = other.transparentColor_;
        // The canvas (when there is one) keeps drawing on this bitmap.
    }
    return *this;
}

// A canvas draws on the object it was made for, so it never moves with the pixels.
TBitmap::TBitmap(TBitmap&& other) noexcept
    : RasterSurface(), Transparent(other.Transparent), width_(other.width_), height_(other.height_),
      pixels_(std::move(other.pixels_)), pixelFormat_(other.pixelFormat_),
      palette_(std::move(other.palette_)), indices_(std::move(other.indices_)),
      indicesKept_(other.indicesKept_), transparentMode_(other.transparentMode_),
      transparentColor_(other.transparentColor_) {
    other.width_ = 0;
    other.height_ = 0;
    other.pixels_.clear();
    other.indicesKept_ = false;
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
    if (this != &other) {
        Transparent = other.Transparent;
        width_ = other.width_;
        height_ = other.height_;
        pixels_ = std::move(other.pixels_);
        pixelFormat_ = other.pixelFormat_;
        palette_ = std::move(other.palette_);
        indices_ = std::move(other.indices_);
        indicesKept_ = other.indicesKept_;
        transparentMode_ = other.transparentMode_;
        transparentColor_ = other.transparentColor_;
        other.width_ = 0;
        other.height_ = 0;
        other.pixels_.clear();
        other.indicesKept_ = false;
    }
    return *this;
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) {
        return;
    }
    if (std::int64_t(width) * height > kMaxBitmapPixels) {
        throw GraphicError("Bitmap image is too large");
    }
    std::vector<std::uint32_t> next(std::size_t(width) * std::size_t(height), 0xFFFFFFFFu);
    const int w = std::min(width, width_);
    const int h = std::min(height, height_);
    for (int y = 0; y < h; ++y) {
        std::copy_n(ScanLine(y), w, next.data() + std::size_t(y) * std::size_t(width));
    }
    pixels_ = std::move(next);
    width_ = width;
    height_ = height;
    indicesKept_ = false;
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == TTransparentMode::tmFixed && transparentColor_ != clDefault) {
        return ColorToRGB(transparentColor_);
    }
    if (Empty()) {
        return clDefault;
    }
    return argbToColor(GetArgb(0, height_ - 1));
}

void TBitmap::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
}

TColor TBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    return argbToColor(GetArgb(x, y));
}

void TBitmap::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    SetArgb(x, y, colorToArgb(color));
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<RasterCanvas>(*this);
    }
    return *canvas_;
}

void TBitmap::LoadFromFile(const std::filesystem::path& path) {
    *this = loadPicture(path);
}

namespace {

int nearestIndex(const std::vector<TColor>& palette, std::uint32_t argb) {
    const int r = int((argb >> 16) & 0xFF);
    const int g = int((argb >> 8) & 0xFF);
    const int b = int(argb & 0xFF);
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = r - GetRValue(palette[i]);
        const int dg = g - GetGValue(palette[i]);
        const int db = b - GetBValue(palette[i]);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

} // namespace

const std::vector<TColor>& HalftonePalette() {
    static const std::vector<TColor> palette = [] {
        std::vector<TColor> p;
        for (int b = 0; b < 6; ++b) {
            for (int g = 0; g < 6; ++g) {
                for (int r = 0; r < 6; ++r) {
                    p.push_back(
                        RGB(std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51)));
                }
            }
        }
        for (int i = 1; i <= 40; ++i) {
            const auto v = std::uint8_t((i * 255) / 41);
            p.push_back(RGB(v, v, v));
        }
        return p;
    }();
    return palette;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    indicesKept_ = false;
    if (format != TPixelFormat::pf8bit) {
        pixelFormat_ = format;
        palette_.clear();
        return;
    }
    // The indices are found with the palette and kept, so the 8-bit form is not looked up again
    // when the picture is written.
    std::vector<TColor> palette;
    std::unordered_map<std::uint32_t, int> seen;
    indices_.resize(pixels_.size());
    bool tooMany = false;
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        const std::uint32_t key = pixels_[i] & 0xFFFFFFu;
        auto it = seen.find(key);
        if (it == seen.end()) {
            if (palette.size() == 256) {
                tooMany = true;
                break;
            }
            it = seen.emplace(key, int(palette.size())).first;
            palette.push_back(argbToColor(pixels_[i]));
        }
        indices_[i] = std::uint8_t(it->second);
    }
    if (tooMany) {
        palette = HalftonePalette();
        std::unordered_map<std::uint32_t, int> mapped;
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            std::uint32_t& p = pixels_[i];
            auto it = mapped.find(p);
            if (it == mapped.end()) {
                it = mapped.emplace(p, nearestIndex(palette, p)).first;
            }
            p = colorToArgb(palette[std::size_t(it->second)]);
            indices_[i] = std::uint8_t(it->second);
        }
    }
    palette_ = std::move(palette);
    pixelFormat_ = TPixelFormat::pf8bit;
    indicesKept_ = !palette_.empty();
}

std::vector<std::uint8_t> TBitmap::PaletteIndices() const {
    std::vector<std::uint8_t> out;
    if (pixelFormat_ != TPixelFormat::pf8bit || palette_.empty()) {
        return out;
    }
    if (indicesKept_) {
        return indices_;
    }
    out.reserve(pixels_.size());
    std::unordered_map<std::uint32_t, std::uint8_t> cache;
    for (std::uint32_t p : pixels_) {
        auto it = cache.find(p);
        if (it == cache.end()) {
            it = cache.emplace(p, std::uint8_t(nearestIndex(palette_, p))).first;
        }
        out.push_back(it->second);
    }
    return out;
}

} // namespace platform::gfx
