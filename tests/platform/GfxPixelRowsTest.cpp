#include "platform/gfx/PixelRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace platform::gfx;

namespace {

// A picture of uneven colours in all three layouts, the same pixels in each.
struct Picture {
    static constexpr int kWidth = 97;
    static constexpr int kHeight = 61;
    std::uint32_t colors[256];
    std::vector<std::uint8_t> indexed, bgr, bgrx;

    Picture() : indexed(kWidth * kHeight), bgr(kWidth * kHeight * 3), bgrx(kWidth * kHeight * 4) {
        for (unsigned i = 0; i < 256; ++i) {
            colors[i] = 0xFF000000u | ((i * 37u) & 0xFF) << 16 | ((i * 91u + 7) & 0xFF) << 8 |
                        ((255 - i * 13u) & 0xFF);
        }
        colors[1] = 0xFFFFFFFFu;
        colors[2] = 0xFF000000u;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                // Lines one pixel wide of the extremes among noise.
                const int v = x % 17 == 0 ? 1 : y % 11 == 0 ? 2 : (x * 7 + y * y * 3 + x * y) % 256;
                const std::size_t at = std::size_t(y * kWidth + x);
                indexed[at] = std::uint8_t(v);
                const std::size_t up = std::size_t((kHeight - 1 - y) * kWidth + x);
                std::memcpy(&bgrx[up * 4], &colors[v], 4);
                std::memcpy(&bgr[at * 3], &colors[v], 3);
            }
        }
    }

    TPixelRows rows(TPixelRows::TLayout layout) const {
        TPixelRows r;
        r.Layout = layout;
        r.Width = kWidth;
        r.Height = kHeight;
        r.Colors = colors;
        switch (layout) {
        case TPixelRows::TLayout::Indexed8:
            r.Top = indexed.data();
            r.Step = kWidth;
            break;
        case TPixelRows::TLayout::Bgr24:
            r.Top = bgr.data();
            r.Step = kWidth * 3;
            break;
        case TPixelRows::TLayout::Bgrx32:
            // Stored bottom-up, as bitmaps in records are.
            r.Top = bgrx.data() + std::size_t((kHeight - 1) * kWidth * 4);
            r.Step = -kWidth * 4;
            break;
        }
        return r;
    }

    std::uint32_t pixel(int x, int y) const { return colors[indexed[std::size_t(y * kWidth + x)]]; }
};

// The first picture pixel and the width and spacing of the window of target index d along one
// axis, as the averaging is defined: as wide as a target pixel spans (rounded up, at most 16
// taps spread evenly over it), from where the target pixel starts; the pixel under the centre
// where the picture is not shrunk.
struct Window {
    int first, taps, step;
};
Window windowOf(long long d, long long target, long long source) {
    if (target >= source) {
        return {SampledIndex(d, target, source), 1, 1};
    }
    const long long span = (source + target - 1) / target;
    const int taps = int(std::min(span, 16LL));
    const int step = int(span / taps);
    const long long reach = (long long)(taps - 1) * step + 1;
    return {int(std::min(d * source / target, source - reach)), taps, step};
}

// The mean of the window, each channel rounded to the nearest value, halves up.
std::uint32_t expectedPixel(const Picture& p, const TRect& dest, int tx, int ty) {
    const Window wx = windowOf(tx - dest.Left, dest.Width(), Picture::kWidth);
    const Window wy = windowOf(ty - dest.Top, dest.Height(), Picture::kHeight);
    unsigned sums[3] = {0, 0, 0};
    for (int j = 0; j < wy.taps; ++j) {
        for (int i = 0; i < wx.taps; ++i) {
            const std::uint32_t c = p.pixel(wx.first + i * wx.step, wy.first + j * wy.step);
            for (int ch = 0; ch < 3; ++ch) {
                sums[ch] += (c >> (8 * ch)) & 0xFF;
            }
        }
    }
    const unsigned n = unsigned(wx.taps * wy.taps);
    std::uint32_t out = 0xFF000000u;
    for (int ch = 0; ch < 3; ++ch) {
        out |= ((sums[ch] + n / 2) / n) << (8 * ch);
    }
    return out;
}

TEST(PixelRows, ShrunkPixelsAreTheMeanOfTheirWindowInEveryLayoutAndSize) {
    const Picture picture;
    struct Case {
        TRect dest; // where the picture is stretched to
        TRect area; // the part of it made
    };
    const Case cases[] = {
        {{0, 0, 60, 40}, {0, 0, 60, 40}},     // a little smaller: windows of 2 x 2
        {{5, 3, 53, 33}, {5, 3, 53, 33}},     // half size and a pixel more
        {{0, 0, 32, 20}, {0, 0, 32, 20}},     // a third: 4 x 4 (3.03 rounded up)
        {{0, 0, 40, 61}, {0, 0, 40, 61}},     // narrower only: 3 x 1
        {{0, 0, 97, 25}, {0, 0, 97, 25}},     // lower only: 1 x 3
        {{0, 0, 150, 30}, {0, 0, 150, 30}},   // wider but lower: sampled across, averaged down
        {{0, 0, 19, 13}, {0, 0, 19, 13}},     // a fifth: 6 x 5, counts that are no power of two
        {{0, 0, 5, 3}, {0, 0, 5, 3}},         // a speck: windows of 16 taps, thinned out
        {{-20, -7, 70, 45}, {0, 0, 50, 38}},  // only the visible part, its windows as in whole
        {{10, 10, 59, 41}, {33, 17, 34, 18}}, // a single pixel
    };
    for (const auto layout :
         {TPixelRows::TLayout::Indexed8, TPixelRows::TLayout::Bgr24, TPixelRows::TLayout::Bgrx32}) {
        const TPixelRows rows = picture.rows(layout);
        for (const Case& c : cases) {
            const int w = c.area.Width();
            const int h = c.area.Height();
            const int step = w + 3; // rows of the output further apart than they are wide
            std::vector<std::uint32_t> out(std::size_t(step * h), 0x12345678u);
            ScaleRows(rows, c.dest, c.area, out.data(), step);
            int wrong = 0;
            std::string first;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t expected =
                        expectedPixel(picture, c.dest, c.area.Left + x, c.area.Top + y);
                    const std::uint32_t got = out[std::size_t(y * step + x)];
                    if (got != expected && wrong++ == 0) {
                        first = std::to_string(x) + "," + std::to_string(y);
                    }
                }
                for (int x = w; x < step; ++x) {
                    EXPECT_EQ(out[std::size_t(y * step + x)], 0x12345678u) << "beyond the row";
                }
            }
            EXPECT_EQ(wrong, 0) << "layout " << int(layout) << ", destination " << c.dest.Width()
                                << " x " << c.dest.Height() << ", first at " << first;
        }
    }
}

} // namespace
