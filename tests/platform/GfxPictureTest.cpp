#include "platform/gfx/Picture.h"
#include "platform/gfx/QtImage.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

extern "C" {
#include <jpeglib.h>
// jerror.h needs the message table macro undefined to give the codes as an enumeration
#include <jerror.h>
}

using namespace platform::gfx;

namespace {

std::filesystem::path tempFile(const std::string& name) {
    const auto dir = std::filesystem::path(TB_OUTPUT_DIR) / "gfx-pictures";
    std::filesystem::create_directories(dir);
    return dir / name;
}

void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

QImage testImage() {
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    for (int y = 0; y < 16; ++y) {
        for (int x = 16; x < 32; ++x) {
            image.setPixel(x, y, qRgb(20, 40, 220));
        }
    }
    return image;
}

using Bytes = std::vector<std::uint8_t>;

// A JPEG made by libjpeg from rows of `components` samples in `space`; `adobe` decides the marker
// that tells decoders CMYK is stored inverted.
Bytes encodeJpeg(int width, int height, int components, J_COLOR_SPACE in, J_COLOR_SPACE stored,
                 const std::vector<JSAMPLE>& samples, bool adobe = true, bool progressive = false) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = components;
    c.in_color_space = in;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, stored);
    c.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_set_quality(&c, 100, TRUE);
    if (progressive) {
        jpeg_simple_progression(&c);
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data()) +
                       std::size_t(c.next_scanline) * std::size_t(width * components);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

// The offset of the first marker `code` (the byte after 0xFF).
std::size_t markerAt(const Bytes& jpeg, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) {
            return i;
        }
    }
    ADD_FAILURE() << "no marker " << int(code);
    return 0;
}

// How far the process's peak resident memory rose while f ran (Linux: the peak is reset first).
std::int64_t peakGrowthKb(const std::function<void()>& f) {
    auto field = [](const char* name) {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind(name, 0) == 0) {
                return std::stoll(line.substr(std::string(name).size()));
            }
        }
        return -1LL;
    };
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::int64_t before = field("VmRSS:");
    f();
    return field("VmHWM:") - before;
}

} // namespace

TEST(JpegPictures, ADecodedPictureKeepsSizeAndColours) {
    const auto path = tempFile("two-halves.jpg");
    ASSERT_TRUE(testImage().save(QString::fromStdString(path.string()), "JPG", 95));
    const TBitmap b = loadPicture(path);
    EXPECT_EQ(b.Width(), 32);
    EXPECT_EQ(b.Height(), 16);
    const TColor left = b.GetPixel(4, 8);
    const TColor right = b.GetPixel(28, 8);
    EXPECT_NEAR(GetRValue(left), 200, 12);
    EXPECT_NEAR(GetGValue(left), 30, 12);
    EXPECT_NEAR(GetBValue(right), 220, 12);
    EXPECT_NEAR(GetRValue(right), 20, 12);
}

TEST(JpegPictures, AGreyscalePictureDecodes) {
    const auto path = tempFile("grey.jpeg");
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(128);
    ASSERT_TRUE(grey.save(QString::fromStdString(path.string()), "JPG", 95));
    const TBitmap b = loadPicture(path);
    const TColor c = b.GetPixel(3, 3);
    EXPECT_NEAR(GetRValue(c), 128, 4);
    EXPECT_EQ(GetRValue(c), GetGValue(c));
}

TEST(JpegPictures, DecoderFailuresCarryTheirMessageNumber) {
    const auto path = tempFile("not-a.jpg");
    writeBytes(path, "this is no picture at all");
    try {
        loadPicture(path);
        FAIL() << "no error";
    } catch (const JpegError& e) {
        EXPECT_EQ(e.code(), JERR_NO_SOI);
        EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(JERR_NO_SOI));
    }
    // A stream cut short in its header.
    const std::string sig = "\xFF\xD8\xFF\xE0";
    EXPECT_THROW(
        decodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(sig.data()), sig.size())),
        JpegError);
}

// The address sanitizer keeps one shadow byte for every eight bytes of a block it hands out, so
// the pixels the decoder reserves (and never touches) for a 16383 x 16383 picture cost it 128 MB.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::int64_t kShadowOfReservedKb = std::int64_t(16383) * 16383 * 4 / 8 / 1024;
#else
constexpr std::int64_t kShadowOfReservedKb = 0;
#endif

// A stream cut off after its header announced a huge picture fails at once with the decoder's
// premature-end number and without allocating the picture (96 bytes once became 1.26 GB of
// decoder fill-in reported as a success).
TEST(JpegPictures, AStreamThatEndsEarlyIsAnErrorAndCostsNoMemory) {
    std::vector<JSAMPLE> grey(64 * 64);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        grey[i] = static_cast<JSAMPLE>(i * 7);
    }
    for (const bool progressive : {false, true}) {
        SCOPED_TRACE(progressive);
        const Bytes whole =
            encodeJpeg(64, 64, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, grey, false, progressive);
        ASSERT_EQ(decodeJpeg(whole).Height(), 64);
        // Cut in the middle of the pixel data, and just after the first scan's header with the
        // frame announcing 16383 x 16383 pixels.
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2));
        const std::size_t sof = markerAt(whole, progressive ? 0xC2 : 0xC0);
        const std::size_t sos = markerAt(whole, 0xDA);
        Bytes huge(whole.begin(),
                   whole.begin() +
                       static_cast<long>(sos + 2 + (whole[sos + 2] << 8 | whole[sos + 3])));
        for (std::size_t at : {sof + 5, sof + 7}) {
            huge[at] = 0x3F;
            huge[at + 1] = 0xFF;
        }
        for (const Bytes* bytes : {&cut, &huge}) {
            const auto start = std::chrono::steady_clock::now();
            const std::int64_t grown = peakGrowthKb([&] {
                try {
                    decodeJpeg(*bytes);
                    ADD_FAILURE() << "decoded " << bytes->size() << " bytes";
                } catch (const JpegError& e) {
                    EXPECT_EQ(e.code(), JWRN_JPEG_EOF);
                }
            });
            EXPECT_LT(grown, 64 * 1024 + kShadowOfReservedKb) << bytes->size() << " bytes";
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        }
    }
}

// Four-component JPEGs (CMYK, and YCCK, which the decoder turns into CMYK) load; files marked as
// Adobe's hold inverted ink and agree with Qt's own decoder, the others hold plain ink.
TEST(JpegPictures, CmykAndYcckPicturesLoad) {
    // Quarters wide enough that YCCK's halved colour resolution leaves their middles alone.
    constexpr int w = 64;
    constexpr int h = 16;
    // Inverted ink per quarter: cyan, magenta, yellow, a grey from key alone.
    const std::array<std::array<int, 4>, 4> inks{
        {{55, 255, 255, 255}, {255, 55, 255, 255}, {255, 255, 55, 255}, {255, 255, 255, 128}}};
    std::vector<JSAMPLE> inverted;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int v : inks[static_cast<std::size_t>(x / 16)]) {
                inverted.push_back(static_cast<JSAMPLE>(v));
            }
        }
    }
    std::vector<JSAMPLE> plain;
    for (JSAMPLE v : inverted) {
        plain.push_back(static_cast<JSAMPLE>(255 - v));
    }
    const std::array<TColor, 4> expected{RGB(55, 255, 255), RGB(255, 55, 255), RGB(255, 255, 55),
                                         RGB(128, 128, 128)};
    for (const J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
        const Bytes adobe = encodeJpeg(w, h, 4, JCS_CMYK, stored, inverted, true);
        // Only the Adobe marker can say a stream is YCCK, so plain ink comes as CMYK alone.
        const Bytes bare = encodeJpeg(w, h, 4, JCS_CMYK, JCS_CMYK, plain, false);
        const TBitmap a = decodeJpeg(adobe);
        const TBitmap b = decodeJpeg(bare);
        QImage qt;
        ASSERT_TRUE(qt.loadFromData(adobe.data(), static_cast<int>(adobe.size()), "JPG"));
        for (int q = 0; q < 4; ++q) {
            SCOPED_TRACE(std::to_string(stored) + " quarter " + std::to_string(q));
            const int x = 16 * q + 8;
            const QRgb independent = qt.pixel(x, 8);
            for (const TBitmap* bitmap : {&a, &b}) {
                const TColor c = bitmap->GetPixel(x, 8);
                EXPECT_NEAR(GetRValue(c), GetRValue(expected[q]), 3);
                EXPECT_NEAR(GetGValue(c), GetGValue(expected[q]), 3);
                EXPECT_NEAR(GetBValue(c), GetBValue(expected[q]), 3);
            }
            EXPECT_NEAR(GetRValue(a.GetPixel(x, 8)), qRed(independent), 2);
            EXPECT_NEAR(GetGValue(a.GetPixel(x, 8)), qGreen(independent), 2);
            EXPECT_NEAR(GetBValue(a.GetPixel(x, 8)), qBlue(independent), 2);
        }
    }
}

TEST(Pictures, OtherFormatsGoThroughQt) {
    const auto png = tempFile("two-halves.png");
    ASSERT_TRUE(testImage().save(QString::fromStdString(png.string()), "PNG"));
    TBitmap b;
    b.LoadFromFile(png);
    EXPECT_EQ(b.GetPixel(1, 1), RGB(200, 30, 30));
    EXPECT_EQ(b.GetPixel(31, 15), RGB(20, 40, 220));

    const auto junk = tempFile("junk.png");
    writeBytes(junk, "junk");
    EXPECT_THROW(loadPicture(junk), GraphicError);
    EXPECT_THROW(loadPicture(tempFile("missing.bmp")), GraphicError);
}

TEST(Pictures, ImageConversionsRoundTripAndKeyTransparency) {
    TBitmap b(3, 2);
    b.SetPixel(0, 0, clRed);
    b.SetPixel(2, 1, clBlue);
    const QImage image = imageFromBitmap(b);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(bitmapFromImage(image).Pixels(), b.Pixels());
    b.Transparent = true;
    b.SetTransparentColor(clRed);
    const QImage keyed = keyedImageFromBitmap(b);
    EXPECT_EQ(qAlpha(keyed.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(keyed.pixel(1, 0)), 255);
}
