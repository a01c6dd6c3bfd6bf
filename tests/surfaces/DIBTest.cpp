#include "surfaces/DIB.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <fstream>
#include <new>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using platform::gfx::TBitmap;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A stream with a file header and a 40-byte info header; the caller appends the rest.
Bytes header(std::int32_t width, std::int32_t height, int bitCount, std::uint32_t compression,
             std::uint32_t colorsUsed = 0, std::uint32_t offBits = 0) {
    Bytes b{'B', 'M'};
    put32(b, 0);
    put32(b, 0);
    put32(b, offBits);
    put32(b, 40);
    put32(b, std::uint32_t(width));
    put32(b, std::uint32_t(height));
    put16(b, 1);
    put16(b, std::uint32_t(bitCount));
    put32(b, compression);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, colorsUsed);
    put32(b, 0);
    return b;
}

// A picture with distinct colours in every corner, drawn through the canvas.
TDIB pattern(int bitCount, const TDIBPixelFormat* format = nullptr) {
    TDIB d;
    d.SetSize(13, 7, bitCount);
    if (format) {
        d.SetPixelFormat(*format);
    }
    auto& c = d.Canvas();
    c.Brush.Color = platform::gfx::clWhite;
    c.FillRect({0, 0, 13, 7});
    c.Brush.Color = platform::gfx::clBlack;
    c.FillRect({0, 0, 5, 3});
    c.Brush.Color = bitCount == 1 ? platform::gfx::clWhite : platform::gfx::clRed;
    c.FillRect({8, 4, 13, 7});
    return d;
}

} // namespace

TEST(DIBImages, PitchPadsRowsToWords) {
    EXPECT_EQ(DIBPitch(1, 1), 4);
    EXPECT_EQ(DIBPitch(33, 1), 8);
    EXPECT_EQ(DIBPitch(3, 24), 12);
    EXPECT_EQ(DIBPitch(13, 4), 8);
    EXPECT_EQ(DIBPitch(5, 16), 12);
}

TEST(DIBImages, BadBitCountsAndFormatsAreRefused) {
    TDIB d;
    try {
        d.SetSize(4, 4, 7);
        FAIL();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "Bitcount in invalid (7)");
    }
    try {
        d.NewImage(4, 4, 16, MakeDIBPixelFormat(8, 8, 8), {});
        FAIL();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "PixelFormat in invalid");
    }
    EXPECT_THROW(d.NewImage(4, 4, 24, MakeDIBPixelFormat(5, 6, 5), {}), EInvalidGraphicOperation);
    d.NewImage(4, 4, 16, MakeDIBPixelFormat(5, 6, 5), {});
    EXPECT_EQ(d.PixelFormat().GBitMask, 0x07E0u);
    EXPECT_EQ(MakeDIBPixelFormat(5, 5, 5).RBitMask, 0x7C00u);
    EXPECT_EQ(MakeDIBPixelFormatMask(0xF800, 0x07E0, 0x001F), MakeDIBPixelFormat(5, 6, 5));
}

TEST(DIBImages, EveryFormatSurvivesWriteAndRead) {
    const TDIBPixelFormat f565 = MakeDIBPixelFormat(5, 6, 5);
    struct Case {
        int bits;
        const TDIBPixelFormat* format;
    };
    for (const Case& k : {Case{1, nullptr}, Case{4, nullptr}, Case{8, nullptr}, Case{16, nullptr},
                          Case{16, &f565}, Case{24, nullptr}, Case{32, nullptr}}) {
        SCOPED_TRACE(k.bits);
        const TDIB original = pattern(k.bits, k.format);
        const Bytes stream = original.SaveToBytes();
        TDIB read;
        read.LoadFromBytes(stream);
        EXPECT_EQ(read.BitCount(), k.bits);
        EXPECT_EQ(read.Width(), 13);
        EXPECT_EQ(read.Height(), 7);
        EXPECT_EQ(read.PixelFormat(), original.PixelFormat());
        EXPECT_EQ(read.ToBitmap().Pixels(), original.ToBitmap().Pixels());
        EXPECT_EQ(read.SaveToBytes(), stream);
        // the corners are where they were drawn: top-left black, bottom-right red (white at 1 bit)
        EXPECT_EQ(read.ToBitmap().GetPixel(0, 0), platform::gfx::clBlack);
        EXPECT_EQ(read.ToBitmap().GetPixel(12, 6),
                  k.bits == 1 ? platform::gfx::clWhite : platform::gfx::clRed);
    }
}

TEST(DIBImages, FilesAreWrittenAndRead) {
    const auto path = std::filesystem::path(TB_OUTPUT_DIR) / "dib-roundtrip.dib";
    const TDIB original = pattern(24);
    original.SaveToFile(path);
    TDIB read;
    read.LoadFromFile(path);
    EXPECT_EQ(read.ToBitmap().Pixels(), original.ToBitmap().Pixels());
}

TEST(DIBReading, TopDownStreamsKeepTheirRowOrder) {
    Bytes b = header(2, -2, 24, 0);
    const std::uint8_t rows[] = {0,   0, 255, 0,   255, 0,   0, 0,  // top: red, green
                                 255, 0, 0,   255, 255, 255, 0, 0}; // bottom: blue, white
    b.insert(b.end(), std::begin(rows), std::end(rows));
    TDIB d;
    d.LoadFromBytes(b);
    const TBitmap bm = d.ToBitmap();
    EXPECT_EQ(bm.GetPixel(0, 0), platform::gfx::clRed);
    EXPECT_EQ(bm.GetPixel(1, 0), platform::gfx::clLime);
    EXPECT_EQ(bm.GetPixel(0, 1), platform::gfx::clBlue);
    EXPECT_EQ(bm.GetPixel(1, 1), platform::gfx::clWhite);
}

TEST(DIBReading, CoreHeadersHaveThreeByteColours) {
    Bytes b{'B', 'M'};
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 12);
    put16(b, 2); // width
    put16(b, 1); // height
    put16(b, 1);
    put16(b, 1);                               // 1 bit
    b.insert(b.end(), {0, 0, 255, 0, 255, 0}); // red, green
    b.insert(b.end(), {0x40, 0, 0, 0});        // row: 0, 1
    TDIB d;
    d.LoadFromBytes(b);
    EXPECT_EQ(d.ToBitmap().GetPixel(0, 0), platform::gfx::clRed);
    EXPECT_EQ(d.ToBitmap().GetPixel(1, 0), platform::gfx::clLime);
}

TEST(DIBReading, RunLengthEncodedPicturesAreDecoded) {
    Bytes b = header(4, 2, 8, 1, 2);
    b.insert(b.end(), {0, 0, 0, 0, 0, 0, 255, 0}); // black, red
    // bottom row: 3 x index 1, then absolute 1 pixel is not allowed (< 3): run 1 x index 0
    b.insert(b.end(), {3, 1, 1, 0, 0, 0});
    // top row: absolute run of 3 (padded to even), then end of picture
    b.insert(b.end(), {0, 3, 0, 1, 0, 0, 0, 1});
    TDIB d;
    d.LoadFromBytes(b);
    const TBitmap bm = d.ToBitmap();
    EXPECT_EQ(bm.GetPixel(0, 1), platform::gfx::clRed);
    EXPECT_EQ(bm.GetPixel(2, 1), platform::gfx::clRed);
    EXPECT_EQ(bm.GetPixel(3, 1), platform::gfx::clBlack);
    EXPECT_EQ(bm.GetPixel(0, 0), platform::gfx::clBlack);
    EXPECT_EQ(bm.GetPixel(1, 0), platform::gfx::clRed);
    EXPECT_EQ(bm.GetPixel(2, 0), platform::gfx::clBlack);

    Bytes f = header(4, 1, 4, 2, 2);
    f.insert(f.end(), {0, 0, 0, 0, 0, 0, 255, 0});
    f.insert(f.end(), {4, 0x10, 0, 1}); // alternating 1, 0, 1, 0
    TDIB four;
    four.LoadFromBytes(f);
    EXPECT_EQ(four.GetPixelValue(0, 0), 1u);
    EXPECT_EQ(four.GetPixelValue(1, 0), 0u);
    EXPECT_EQ(four.GetPixelValue(2, 0), 1u);
}

TEST(DIBReading, RunsBeyondThePictureAreCutNotWritten) {
    Bytes b = header(2, 2, 8, 1, 2);
    b.insert(b.end(), {0, 0, 0, 0, 0, 0, 255, 0});
    b.insert(b.end(), {255, 1, 0, 2, 200, 200, 255, 1, 0, 250, 1}); // long runs, a wild delta,
    TDIB d;                                                         // a cut absolute run
    d.LoadFromBytes(b);
    EXPECT_EQ(d.GetPixelValue(0, 1), 1u);
    EXPECT_EQ(d.GetPixelValue(1, 1), 1u);
    EXPECT_EQ(d.GetPixelValue(0, 0), 0u);
}

TEST(DIBReading, HostileHeadersAreRefused) {
    auto refused = [](const Bytes& b) {
        TDIB d;
        try {
            d.LoadFromBytes(b);
        } catch (const EInvalidGraphic& e) {
            return std::string(e.what()) == "DIB is invalid";
        }
        return false;
    };
    EXPECT_TRUE(refused({'X', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}));
    EXPECT_TRUE(refused({'B', 'M', 0}));
    // A giant picture announced by a few bytes: refused before anything is allocated.
    Bytes giant = header(0x7FFFFFFF, 0x7FFFFFFF, 32, 0);
    EXPECT_TRUE(refused(giant));
    Bytes big = header(30000, 30000, 24, 0);
    big.resize(big.size() + 1000);
    EXPECT_TRUE(refused(big));
    Bytes bigRle = header(60000, 60000, 8, 1);
    bigRle.resize(bigRle.size() + 1024 + 10);
    EXPECT_TRUE(refused(bigRle));
    EXPECT_TRUE(refused(header(-5, 5, 24, 0)));
    Bytes shortRows = header(4, 4, 24, 0);
    shortRows.resize(shortRows.size() + 47); // one byte short
    EXPECT_TRUE(refused(shortRows));
    Bytes badHeader = header(4, 4, 24, 0);
    badHeader[14] = 108; // newer header versions are not read
    EXPECT_TRUE(refused(badHeader));
    EXPECT_TRUE(refused(header(4, 4, 24, 7)));        // unknown compression
    EXPECT_TRUE(refused(header(4, 4, 24, 1)));        // run length with 24 bits
    EXPECT_TRUE(refused(header(4, -4, 8, 1, 0, 0)));  // top-down run length
    EXPECT_TRUE(refused(header(2, 2, 8, 0, 0, 999))); // pixels past the end
    Bytes noTable = header(2, 2, 8, 0);               // 256 colours promised, none there
    EXPECT_TRUE(refused(noTable));
    // A header with no size at all is an empty picture.
    TDIB empty = pattern(8);
    empty.LoadFromBytes(Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(empty.Empty());
    // A bit count the format does not have.
    TDIB d;
    EXPECT_THROW(d.LoadFromBytes(header(2, 2, 3, 0)), EInvalidGraphicOperation);
}

TEST(DIBReading, PicturesWithoutWidthOrHeightAreEmpty) {
    const Bytes written = TDIB().SaveToBytes();
    TDIB d = pattern(8);
    d.LoadFromBytes(written); // what the writer makes of an empty picture reads back
    EXPECT_TRUE(d.Empty());
    for (const Bytes& b :
         {header(5, 0, 24, 0), header(0, 3, 24, 0), header(0, std::int32_t(0x80000000u), 32, 0)}) {
        TDIB e = pattern(24);
        e.LoadFromBytes(b);
        EXPECT_TRUE(e.Empty());
        EXPECT_EQ(e.ToBitmap().Width() * e.ToBitmap().Height(), 0);
    }
}

TEST(DIBReading, PlainSixteenAndThirtyTwoBitsUseTheirDefaultFormats) {
    Bytes b = header(2, 1, 16, 0);
    b.insert(b.end(), {0x00, 0x7C, 0xE0, 0x03}); // 5-5-5 red, green
    TDIB d;
    d.LoadFromBytes(b);
    EXPECT_EQ(d.PixelFormat(), MakeDIBPixelFormat(5, 5, 5));
    EXPECT_EQ(d.ToBitmap().GetPixel(0, 0), platform::gfx::clRed);
    EXPECT_EQ(d.ToBitmap().GetPixel(1, 0), platform::gfx::clLime);

    Bytes w = header(1, 1, 32, 0);
    w.insert(w.end(), {0x10, 0x20, 0x30, 0});
    TDIB t;
    t.LoadFromBytes(w);
    EXPECT_EQ(t.PixelFormat(), MakeDIBPixelFormat(8, 8, 8));
    EXPECT_EQ(t.ToBitmap().GetPixel(0, 0), platform::gfx::RGB(0x30, 0x20, 0x10));
}

TEST(DIBReading, FourBitRunsWithDeltasAndPaddedAbsoluteRuns) {
    Bytes b = header(6, 2, 4, 2, 2);
    b.insert(b.end(), {0, 0, 0, 0, 0, 0, 255, 0});
    b.insert(b.end(), {2, 0x11, 0, 2, 2, 0, 2, 0x11, 0, 0}); // bottom: 1 1 . . 1 1, line end
    // top: five pixels given one by one (three bytes, padded to four), then a run of one
    b.insert(b.end(), {0, 5, 0x10, 0x10, 0x10, 0x00, 1, 0x10, 0, 1});
    TDIB d;
    d.LoadFromBytes(b);
    auto row = [&](int y) {
        std::string s;
        for (int x = 0; x < 6; ++x) {
            s += char('0' + d.GetPixelValue(x, y));
        }
        return s;
    };
    EXPECT_EQ(row(1), "110011");
    EXPECT_EQ(row(0), "101011");
}

// Pictures just below the pixel limit whose stream holds almost nothing must be refused from the
// stream's size alone. A child process whose address space leaves room for no such picture reads
// them; any allocation that fails there ends it with code 3.
TEST(DIBReading, HostileHeadersBelowThePixelLimitAllocateNothingLarge) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#else
    constexpr std::int32_t kSide = 16383; // 16383 x 16383 pixels stay below the limit
    ASSERT_LE(std::int64_t(kSide) * kSide, platform::gfx::kMaxBitmapPixels);
    std::vector<Bytes> hostile;
    hostile.push_back(header(kSide, kSide, 32, 0));
    hostile.back().resize(hostile.back().size() + 4096);
    hostile.push_back(header(kSide, -kSide, 24, 0)); // top-down
    hostile.back().resize(hostile.back().size() + 4096);
    hostile.push_back(header(kSide, kSide, 8, 1)); // run length: a few runs for a giant picture
    hostile.back().resize(hostile.back().size() + 1024 + 64, 0);
    const auto readInLittleRoom = [&hostile] {
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t room = 256u << 20; // far below the 768 MiB the smallest would take
        const rlimit limit{pages * rlim_t(sysconf(_SC_PAGESIZE)) + room, RLIM_INFINITY};
        if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0) {
            std::_Exit(2);
        }
        std::set_new_handler([] { std::_Exit(3); });
        for (const Bytes& b : hostile) {
            TDIB d;
            try {
                d.LoadFromBytes(b);
                std::_Exit(4); // read as a picture
            } catch (const EInvalidGraphic&) {
            }
        }
        std::_Exit(0);
    };
    EXPECT_EXIT(readInLittleRoom(), ::testing::ExitedWithCode(0), "");
#endif
}

TEST(DIBImages, CopiesShareTheImageUntilOneChanges) {
    TDIB a = pattern(8);
    TDIB b = a;
    EXPECT_TRUE(b.SharesImageWith(a));
    b.SetColorTable(a.ColorTable()); // the same table: nothing written, still shared
    EXPECT_TRUE(b.SharesImageWith(a));
    TDIBColorTable table = a.ColorTable();
    table[0] = {1, 2, 3, 0};
    b.SetColorTable(table);
    EXPECT_FALSE(b.SharesImageWith(a));
    EXPECT_EQ(a.ColorTable()[0], (TRGBQuadEntry{0, 0, 0, 0}));
    TDIB c = a;
    c.SetPixelValue(0, 0, 77);
    EXPECT_FALSE(c.SharesImageWith(a));
    EXPECT_NE(a.GetPixelValue(0, 0), 77u);
}

TEST(DIBImages, BitCountConversionKeepsColours) {
    TDIB d = pattern(24);
    const TBitmap before = d.ToBitmap();
    d.SetBitCount(32);
    EXPECT_EQ(d.ToBitmap().Pixels(), before.Pixels());
    d.SetBitCount(8); // black, white and red are in the halftone palette
    EXPECT_EQ(d.ToBitmap().Pixels(), before.Pixels());
    d.SetBitCount(16);
    d.SetPixelFormat(MakeDIBPixelFormat(5, 6, 5));
    EXPECT_EQ(d.ToBitmap().Pixels(), before.Pixels());
    EXPECT_THROW(d.SetPixelFormat(MakeDIBPixelFormat(8, 8, 8)), EInvalidGraphicOperation);
}

TEST(PaletteManagerTest, IdenticalPalettesAreShared) {
    TPaletteManager m;
    const TRGBQuadEntry a[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    const TRGBQuadEntry b[2] = {{1, 2, 3, 0}, {4, 5, 7, 0}};
    const TRGBQuadEntry swapped[2] = {{4, 5, 6, 0}, {1, 2, 3, 0}}; // same checksum
    HPALETTE p1 = m.CreatePalette(a, 2);
    HPALETTE p2 = m.CreatePalette(a, 2);
    HPALETTE p3 = m.CreatePalette(b, 2);
    HPALETTE p4 = m.CreatePalette(swapped, 2);
    EXPECT_EQ(p1, p2);
    EXPECT_NE(p1, p3);
    EXPECT_NE(p1, p4);
    EXPECT_EQ(m.Count(), 3);
    EXPECT_EQ(m.RefCount(p1), 2);
    EXPECT_EQ(m.Entries(p4)[0], swapped[0]);
    m.DeletePalette(p1);
    EXPECT_EQ(p1, 0u);
    EXPECT_EQ(m.RefCount(p2), 1);
    m.DeletePalette(p2);
    EXPECT_EQ(m.Count(), 2);
    EXPECT_TRUE(m.Entries(p4).size() == 2);
    HPALETTE unknown = 12345;
    m.DeletePalette(unknown);
    EXPECT_EQ(unknown, 0u);
    EXPECT_EQ(&PaletteManager(), &PaletteManager());
}
