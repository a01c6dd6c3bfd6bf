// JPEG pictures through the project's decoder.
#include "FuzzSupport.h"

#include "platform/gfx/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const platform::gfx::TBitmap bitmap = platform::gfx::decodeJpeg(fuzz::bytes(data, size));
        fuzz::check(bitmap.Pixels().size() ==
                        std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()),
                    "every row decoded");
    } catch (const platform::gfx::GraphicError&) {
    }
    return 0;
}
