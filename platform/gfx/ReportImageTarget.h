// A report image as the model sees it. The records draw their pictures onto the bitmap that a
// report image owns and then turn that bitmap into its 8-bit form, as printed report pictures are
// kept; the report engine implements this interface for its image control, so the records never
// depend on the report engine. MemoryReportImage stands in for it in tests and off-screen use.
#pragma once

#include "platform/gfx/Bitmap.h"

#include <initializer_list>

namespace platform::gfx {

class ReportImageTarget {
public:
    virtual ~ReportImageTarget() = default;

    // The image's size in pixels: the size every picture drawn onto it is rendered at.
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // The bitmap the image's picture holds, made at Width() x Height() when the picture holds
    // nothing yet (a picture once made is reused by later drawings). nullptr when the picture
    // holds a graphic that is not a bitmap: nothing can be drawn then.
    virtual TBitmap* PictureBitmap() = 0;
};

// Draws the pictures at (0, 0) onto the image's bitmap in the order given (later ones over
// earlier ones, colour keys honoured), then sets the bitmap to 8 bits per pixel. Nothing happens
// when the image has no bitmap to draw on.
void DrawOnReportImage(ReportImageTarget& image, std::initializer_list<const TBitmap*> pictures);

// A report image in memory.
class MemoryReportImage : public ReportImageTarget {
public:
    MemoryReportImage(int width, int height) : width_(width), height_(height) {}

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    TBitmap* PictureBitmap() override;

    // The picture as drawn so far; empty before the first drawing.
    const TBitmap& Picture() const { return picture_; }
    bool HasPicture() const { return made_; }

    // A picture of another kind than a bitmap: PictureBitmap answers nullptr.
    bool holdsOtherGraphic = false;

private:
    int width_;
    int height_;
    bool made_ = false;
    TBitmap picture_;
};

} // namespace platform::gfx
