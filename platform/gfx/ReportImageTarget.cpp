#include "platform/gfx/ReportImageTarget.h"

#include "platform/gfx/Canvas.h"

namespace platform::gfx {

void DrawOnReportImage(ReportImageTarget& image, std::initializer_list<const TBitmap*> pictures) {
    TBitmap* target = image.PictureBitmap();
    if (target == nullptr) {
        return;
    }
    TCanvas& canvas = target->Canvas();
    for (const TBitmap* picture : pictures) {
        if (picture != nullptr) {
            canvas.Draw(0, 0, *picture);
        }
    }
    target->SetPixelFormat(TPixelFormat::pf8bit);
}

TBitmap* MemoryReportImage::PictureBitmap() {
    if (holdsOtherGraphic) {
        return nullptr;
    }
    if (!made_) {
        picture_.SetSize(width_, height_);
        made_ = true;
    }
    return &picture_;
}

} // namespace platform::gfx
