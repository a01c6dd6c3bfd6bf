// Reading picture files into bitmaps: JPEG through libjpeg (whose failures keep the library's
// message number), every other format Qt reads through Qt.
#pragma once

#include "platform/gfx/Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>

namespace platform::gfx {

// A JPEG stream the decoder refused: "JPEG error #n" with the decoder's message number.
class JpegError : public GraphicError {
public:
    explicit JpegError(int code);
    int code() const { return code_; }

private:
    int code_;
};

// Decodes a JPEG stream (greyscale, colour, CMYK or YCCK) into a 32-bit bitmap. A stream that
// ends before its last row is a JpegError with the decoder's premature-end warning number.
TBitmap decodeJpeg(std::span<const std::uint8_t> data);

// Reads a picture file: ".jpg" and ".jpeg" through decodeJpeg, anything else through Qt.
// Throws GraphicError (unreadable file, unknown format, picture too large) or JpegError.
TBitmap loadPicture(const std::filesystem::path& path);

} // namespace platform::gfx
