// The page player onto both canvases, the one over pixels and the one over a Qt paint device,
// at the size of a thumbnail and at a size of its own chosen by the input's first byte. Seeded
// with pages whose coordinates and pen widths stand at their limits; run with a timeout of one
// second, so a shape that takes too long to draw is a finding too. Each canvas gets its pen,
// brush, font and text alignment back.
#include "FuzzSupport.h"

#include "PageFileChecks.h"
#include "platform/emf/Metafile.h"
#include "platform/emf/MetafilePlayer.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/PainterCanvas.h"

#include <QImage>

#include <memory>
#include <vector>

namespace {

void play(const platform::emf::Metafile& page, platform::gfx::TCanvas& canvas,
          const platform::gfx::TRect& dest) {
    canvas.Pen.Width = 3;
    canvas.Brush.Color = platform::gfx::clRed;
    const platform::gfx::TPen pen = canvas.Pen;
    const platform::gfx::TBrush brush = canvas.Brush;
    const platform::gfx::TFont font = canvas.Font;
    const unsigned align = canvas.TextAlign;
    platform::emf::playMetafile(page, canvas, dest);
    fuzz::check(canvas.Pen == pen && canvas.Brush == brush && canvas.Font == font &&
                    canvas.TextAlign == align,
                "the player gives the canvas's tools back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::guiApplication("fuzz_page_player");
    if (size == 0) {
        return 0;
    }
    std::unique_ptr<platform::emf::Metafile> page;
    try {
        page = std::make_unique<platform::emf::Metafile>(
            std::vector<std::uint8_t>(data + 1, data + size));
    } catch (const platform::emf::EmfError&) {
        return 0;
    }
    // The first byte: a destination from 1 x 1 to 256 x 256, placed off the origin.
    const int side = 1 + data[0];
    const platform::gfx::TRect rects[] = {{0, 0, 64, 48}, {-7, 5, side - 7, 5 + side}};
    for (const platform::gfx::TRect& dest : rects) {
        platform::gfx::TBitmap bitmap(64, 64);
        play(*page, bitmap.Canvas(), dest);
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        platform::gfx::PainterCanvas canvas(image);
        play(*page, canvas, dest);
    }
    return 0;
}
