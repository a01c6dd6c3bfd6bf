// Conversions between bitmaps and Qt images, for the widgets and the Qt-side backends.
#pragma once

#include "platform/gfx/Bitmap.h"

#include <QImage>

namespace platform::gfx {

// A copy in QImage::Format_RGB32.
QImage imageFromBitmap(const TBitmap& bitmap);

// A copy with the colour key turned into full transparency (Format_ARGB32) when the bitmap is
// Transparent, else as imageFromBitmap.
QImage keyedImageFromBitmap(const TBitmap& bitmap);

// A copy of any image; transparent pixels come out black, as on a device without alpha.
TBitmap bitmapFromImage(const QImage& image);

} // namespace platform::gfx
