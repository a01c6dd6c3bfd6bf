#include "platform/gfx/QtImage.h"

#include <algorithm>

namespace platform::gfx {

QImage imageFromBitmap(const TBitmap& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::copy_n(bitmap.ScanLine(y), bitmap.Width(),
                    reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    }
    return image;
}

QImage keyedImageFromBitmap(const TBitmap& bitmap) {
    if (!bitmap.Transparent) {
        return imageFromBitmap(bitmap);
    }
    const std::uint32_t key = colorToArgb(bitmap.TransparentColor()) & 0xFFFFFFu;
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint32_t* src = bitmap.ScanLine(y);
        auto* dst = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x) {
            dst[x] = (src[x] & 0xFFFFFFu) == key ? 0u : (src[x] | 0xFF000000u);
        }
    }
    return image;
}

TBitmap bitmapFromImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    TBitmap bitmap(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        std::uint32_t* dst = bitmap.ScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            dst[x] = src[x] | 0xFF000000u;
        }
    }
    return bitmap;
}

} // namespace platform::gfx
