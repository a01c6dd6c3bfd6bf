#include "platform/gfx/Picture.h"
#include "platform/gfx/QtImage.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

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
