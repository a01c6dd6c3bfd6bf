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

extern "C" void jpegSilentMessage(j_common_ptr, int) {}
extern "C" void jpegSilentOutput(j_common_ptr) {}

// Each step keeps only plain data in its frame, so the jump back skips no destructor.
int readHeader(jpeg_decompress_struct* cinfo, JpegErrorManager* err, const std::uint8_t* data,
               unsigned long size) {
    if (setjmp(err->jump)) {
        return err->pub.msg_code == 0 ? -1 : err->pub.msg_code;
    }
    jpeg_mem_src(cinfo, data, size);
    jpeg_read_header(cinfo, TRUE);
    cinfo->out_color_space = cinfo->num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_calc_output_dimensions(cinfo);
    return 0;
}

int readPixels(jpeg_decompress_struct* cinfo, JpegErrorManager* err, std::uint8_t* rows,
               std::size_t stride) {
    if (setjmp(err->jump)) {
        return err->pub.msg_code == 0 ? -1 : err->pub.msg_code;
    }
    jpeg_start_decompress(cinfo);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = rows + std::size_t(cinfo->output_scanline) * stride;
        jpeg_read_scanlines(cinfo, &row, 1);
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
        err.pub.emit_message = jpegSilentMessage;
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
    const int components = d->cinfo.out_color_components;
    if (std::int64_t(width) * height > kMaxBitmapPixels) {
        throw GraphicError("Bitmap image is too large");
    }
    const std::size_t stride = std::size_t(width) * std::size_t(components);
    std::vector<std::uint8_t> rows(stride * std::size_t(height));
    if (const int code = readPixels(&d->cinfo, &d->err, rows.data(), stride)) {
        throw JpegError(code);
    }
    TBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = rows.data() + std::size_t(y) * stride;
        std::uint32_t* dst = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (components == 1) {
                const std::uint32_t v = src[x];
                dst[x] = 0xFF000000u | (v << 16) | (v << 8) | v;
            } else {
                const std::uint8_t* p = src + 3 * x;
                dst[x] =
                    0xFF000000u | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
            }
        }
    }
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
