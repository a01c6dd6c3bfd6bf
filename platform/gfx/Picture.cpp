#include "platform/gfx/Picture.h"

#include "platform/gfx/QtImage.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" {
#include <jpeglib.h>
// The message codes as an enumeration.
#include <jerror.h>
}

namespace platform::gfx {

JpegError::JpegError(int code) : GraphicError("JPEG error #" + std::to_string(code)), code_(code) {}

namespace {

// libjpeg reports a fatal error through error_exit, which must not return; it jumps back to the
// decoding step, which turns the message number into an exception outside the C frames.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void jpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

// A stream that ends early is only a warning to libjpeg, which then pads the picture with grey
// and reports success; here it is the error it is for the user. Other warnings stay silent.
extern "C" void jpegMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
        auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
        std::longjmp(err->jump, 1);
    }
}
extern "C" void jpegSilentOutput(j_common_ptr) {}

// Each step keeps only plain data in its frame, so the jump back skips no destructor.
int readHeader(jpeg_decompress_struct* cinfo, JpegErrorManager* err, const std::uint8_t* data,
               unsigned long size) {
    if (setjmp(err->jump)) {
        return err->pub.msg_code == 0 ? -1 : err->pub.msg_code;
    }
    jpeg_mem_src(cinfo, data, size);
    jpeg_read_header(cinfo, TRUE);
    // libjpeg makes RGB from one or three components only; four (CMYK, and YCCK, which it turns
    // into CMYK) are converted here.
    switch (cinfo->jpeg_color_space) {
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK;
        break;
    case JCS_GRAYSCALE:
        cinfo->out_color_space = JCS_GRAYSCALE;
        break;
    default:
        cinfo->out_color_space = JCS_RGB;
        break;
    }
    jpeg_calc_output_dimensions(cinfo);
    return 0;
}

std::uint32_t rgb(unsigned r, unsigned g, unsigned b) {
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// One decoded row into 0xFFRRGGBB words. Writers that mark their files as Adobe's store CMYK
// inverted (0 is full ink), which is what most CMYK JPEGs are; the others store plain ink.
void convertRow(const JSAMPLE* src, std::uint32_t* dst, JDIMENSION width, J_COLOR_SPACE space,
                bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x) {
        switch (space) {
        case JCS_GRAYSCALE:
            dst[x] = rgb(src[x], src[x], src[x]);
            break;
        case JCS_CMYK: {
            const JSAMPLE* p = src + 4 * x;
            // Light left after ink: (1 - c)(1 - k) in the plain form, c k in the inverted one.
            auto light = [&](unsigned ink) {
                const unsigned keep = inverted ? ink : 255u - ink;
                const unsigned key = inverted ? p[3] : 255u - p[3];
                return (keep * key + 127u) / 255u;
            };
            dst[x] = rgb(light(p[0]), light(p[1]), light(p[2]));
            break;
        }
        default: {
            const JSAMPLE* p = src + 3 * x;
            dst[x] = rgb(p[0], p[1], p[2]);
            break;
        }
        }
    }
}

// Rows go straight into the pixels, whose room was reserved but is touched only as rows arrive,
// so a stream that ends early costs no more memory than the rows it held.
int readPixels(jpeg_decompress_struct* cinfo, JpegErrorManager* err, JSAMPLE* row,
               std::vector<std::uint32_t>* pixels) {
    if (setjmp(err->jump)) {
        return err->pub.msg_code == 0 ? -1 : err->pub.msg_code;
    }
    jpeg_start_decompress(cinfo);
    const bool inverted = cinfo->saw_Adobe_marker != 0;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(cinfo, rows, 1) != 1) {
            return JWRN_JPEG_EOF; // only a source that ran dry hands out no row
        }
        const std::size_t at = pixels->size();
        pixels->resize(at + cinfo->output_width);
        convertRow(row, pixels->data() + at, cinfo->output_width, cinfo->out_color_space, inverted);
    }
    jpeg_finish_decompress(cinfo);
    return 0;
}

struct Decompressor {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager err{};
    Decompressor() {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = jpegErrorExit;
        err.pub.emit_message = jpegMessage;
        err.pub.output_message = jpegSilentOutput;
        jpeg_create_decompress(&cinfo);
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw GraphicError("Cannot open file \"" + path.string() + "\"");
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TBitmap decodeJpeg(std::span<const std::uint8_t> data) {
    auto d = std::make_unique<Decompressor>();
    if (const int code = readHeader(&d->cinfo, &d->err, data.data(), data.size())) {
        throw JpegError(code);
    }
    const int width = static_cast<int>(d->cinfo.output_width);
    const int height = static_cast<int>(d->cinfo.output_height);
    if (std::int64_t(width) * height > kMaxBitmapPixels) {
        throw GraphicError("Bitmap image is too large");
    }
    std::vector<JSAMPLE> row(std::size_t(width) * std::size_t(d->cinfo.out_color_components));
    std::vector<std::uint32_t> pixels;
    pixels.reserve(std::size_t(width) * std::size_t(height));
    if (const int code = readPixels(&d->cinfo, &d->err, row.data(), &pixels)) {
        throw JpegError(code);
    }
    TBitmap bitmap(width, height, std::move(pixels));
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    return bitmap;
}

TBitmap loadPicture(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::vector<std::uint8_t> bytes = readFile(path);
    if (ext == ".jpg" || ext == ".jpeg") {
        return decodeJpeg(bytes);
    }
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size()))) {
        throw GraphicError("Unknown picture file format (" + path.filename().string() + ")");
    }
    if (std::int64_t(image.width()) * image.height() > kMaxBitmapPixels) {
        throw GraphicError("Bitmap image is too large");
    }
    return bitmapFromImage(image);
}

} // namespace platform::gfx
