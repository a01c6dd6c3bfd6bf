#include "platform/gfx/PixelRows.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::gfx {

namespace {

// A shrunk pixel is the mean of a window of the picture as many pixels wide (and high) as one
// target pixel spans, rounded up, starting where the target pixel starts. Consecutive windows
// are never further apart than they are wide, so every pixel of the picture lands in one.
// Windows larger than this are thinned out evenly: such pictures are no more than a speck.
constexpr int kMaxWindow = 16;

// Sums keep the channels side by side in one word: blue in bits 0-15, red in 16-31, green from
// 40 on, room for 256 pixels of 255 each. Shifted down by a power of two the channels come out
// where a 0xAARRGGBB word wants them but for green, which is one shift away.
constexpr std::uint64_t kOnes = 1 | (1u << 16) | (std::uint64_t(1) << 40);

constexpr std::uint64_t spread(std::uint32_t argb) {
    return (std::uint64_t((argb >> 8) & 0xFF) << 40) | (argb & 0x00FF00FFu);
}

std::uint32_t argbOfBgr(const std::uint8_t* p) {
    return 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

// Readers of one picture pixel of a row as a spread word. An 8-bit picture's colours are spread
// once, not at every pixel.
struct IndexedPixels {
    const std::uint64_t* spreadColors;
    // Each colour's blue, green, red and alpha as four 16-bit numbers.
    const std::uint64_t* laneColors;
    std::uint64_t operator()(const std::uint8_t* row, int x) const { return spreadColors[row[x]]; }
};

struct Bgr24Pixels {
    std::uint64_t operator()(const std::uint8_t* row, int x) const {
        const std::uint8_t* p = row + 3 * std::ptrdiff_t(x);
        return (std::uint64_t(p[1]) << 40) | (std::uint32_t(p[2]) << 16) | p[0];
    }
};

struct Bgrx32Pixels {
    std::uint64_t operator()(const std::uint8_t* row, int x) const {
        std::uint32_t word;
        std::memcpy(&word, row + 4 * std::ptrdiff_t(x), sizeof word);
        return (std::uint64_t(word & 0xFF00u) << 32) | (word & 0x00FF00FFu);
    }
};

// The windows of target indices [from, to) of a stretch from `source` to `target` pixels: the
// first source index of each, and their width (the same for all; 1 when not shrinking, where
// the pixel under the centre is the window).
struct Windows {
    std::vector<int> first;
    int width = 1;
    int step = 1; // between the taps of a window thinned out
};

Windows windowsOf(long long from, long long to, long long target, long long source) {
    Windows w;
    w.first.reserve(std::size_t(to - from));
    if (target >= source) {
        for (long long d = from; d < to; ++d) {
            w.first.push_back(SampledIndex(d, target, source));
        }
        return w;
    }
    const long long span = (source + target - 1) / target;
    w.width = int(std::min<long long>(span, kMaxWindow));
    w.step = int(span / w.width);
    const long long reach = (long long)(w.width - 1) * w.step + 1;
    for (long long d = from; d < to; ++d) {
        w.first.push_back(int(std::min(d * source / target, source - reach)));
    }
    return w;
}

// The mean of a window's sum of `count` pixels as a 0xFFRRGGBB word: each channel's sum divided
// by the count, halves rounded up.
std::uint32_t byShift(std::uint64_t sum, int shift) {
    const std::uint64_t half = shift > 0 ? (std::uint64_t(1) << (shift - 1)) * kOnes : 0;
    const std::uint64_t v = (sum + half) >> shift;
    return 0xFF000000u | (std::uint32_t(v) & 0x00FF00FFu) | (std::uint32_t(v >> 32) & 0xFF00u);
}

template <unsigned Count> std::uint32_t meanOf(std::uint64_t sum) {
    if constexpr ((Count & (Count - 1)) == 0) {
        return byShift(sum, std::countr_zero(Count));
    } else {
        const auto channel = [](std::uint64_t c) { return std::uint32_t((c + Count / 2) / Count); };
        return 0xFF000000u | (channel((sum >> 16) & 0xFFFF) << 16) | (channel(sum >> 40) << 8) |
               channel(sum & 0xFFFF);
    }
}

class Mean {
public:
    explicit Mean(unsigned count)
        : power_((count & (count - 1)) == 0), shift_(std::countr_zero(count)), half_(count / 2),
          // Exact for every sum a window holds: a channel's sum and half stay below 2^17 and the
          // reciprocal is off by less than one count.
          reciprocal_(((std::uint64_t(1) << 32) + count - 1) / count) {}

    std::uint32_t operator()(std::uint64_t sum) const {
        if (power_) {
            return byShift(sum, shift_);
        }
        const auto channel = [this](std::uint64_t c) {
            return std::uint32_t(((c + half_) * reciprocal_) >> 32);
        };
        return 0xFF000000u | (channel((sum >> 16) & 0xFFFF) << 16) | (channel(sum >> 40) << 8) |
               channel(sum & 0xFFFF);
    }

private:
    bool power_;
    int shift_;
    std::uint64_t half_;
    std::uint64_t reciprocal_;
};

// One target row: each pixel the mean of a window of Width x Height picture pixels side by side
// (the small windows of the usual zooms, unrolled).
template <int Width, int Height, typename Read>
void boxRow(const std::uint8_t* const* rows, const int* first, std::size_t w, Read read,
            std::uint32_t* out) {
    for (std::size_t c = 0; c < w; ++c) {
        const int x = first[c];
        std::uint64_t sum = 0;
        for (int k = 0; k < Height; ++k) {
            for (int j = 0; j < Width; ++j) {
                sum += read(rows[k], x + j);
            }
        }
        out[c] = meanOf<unsigned(Width * Height)>(sum);
    }
}

#if defined(__SSE2__)
// Between half and full size, the usual case on screen, for 8-bit pictures: two target pixels
// at a time, the channels of their four colours summed side by side as 16-bit numbers.
template <>
void boxRow<2, 2, IndexedPixels>(const std::uint8_t* const* rows, const int* first, std::size_t w,
                                 IndexedPixels read, std::uint32_t* out) {
    const std::uint8_t* a = rows[0];
    const std::uint8_t* b = rows[1];
    const std::uint64_t* lanes = read.laneColors;
    const auto colour = [lanes](std::uint8_t i) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(lanes + i));
    };
    const auto sum = [&](int x) {
        return _mm_add_epi16(_mm_add_epi16(colour(a[x]), colour(a[x + 1])),
                             _mm_add_epi16(colour(b[x]), colour(b[x + 1])));
    };
    const __m128i half = _mm_set1_epi16(2);
    std::size_t c = 0;
    for (; c + 2 <= w; c += 2) {
        const __m128i s = _mm_unpacklo_epi64(sum(first[c]), sum(first[c + 1]));
        const __m128i mean = _mm_srli_epi16(_mm_add_epi16(s, half), 2);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + c), _mm_packus_epi16(mean, mean));
    }
    for (; c < w; ++c) {
        const __m128i mean = _mm_srli_epi16(_mm_add_epi16(sum(first[c]), half), 2);
        out[c] = std::uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(mean, mean)));
    }
}
#endif

// Any window: cols.width taps `step` apart in each of `height` rows.
template <typename Read>
void boxRow(const std::uint8_t* const* rows, int height, const Windows& cols, std::size_t w,
            Read read, std::uint32_t* out) {
    const int kw = cols.width;
    const int step = cols.step;
    const Mean mean(unsigned(kw) * unsigned(height));
    for (std::size_t c = 0; c < w; ++c) {
        const int x = cols.first[c];
        std::uint64_t sum = 0;
        for (int k = 0; k < height; ++k) {
            for (int j = 0; j < kw; ++j) {
                sum += read(rows[k], x + j * step);
            }
        }
        out[c] = mean(sum);
    }
}

template <typename Read>
void scaleRowsWith(const TPixelRows& rows, const Windows& cols, const Windows& lines, std::size_t w,
                   int h, Read read, std::uint32_t* out, std::ptrdiff_t outStep) {
    using Row = void (*)(const std::uint8_t* const*, const int*, std::size_t, Read, std::uint32_t*);
    // Windows up to three pixels each way have their own loop.
    static constexpr Row kSmall[3][3] = {
        {boxRow<1, 1, Read>, boxRow<2, 1, Read>, boxRow<3, 1, Read>},
        {boxRow<1, 2, Read>, boxRow<2, 2, Read>, boxRow<3, 2, Read>},
        {boxRow<1, 3, Read>, boxRow<2, 3, Read>, boxRow<3, 3, Read>},
    };
    const bool small = cols.width <= 3 && cols.step == 1 && lines.width <= 3 && lines.step == 1;
    const Row row = small ? kSmall[lines.width - 1][cols.width - 1] : nullptr;
    std::vector<const std::uint8_t*> window(std::size_t(lines.width));
    for (int y = 0; y < h; ++y) {
        for (int k = 0; k < lines.width; ++k) {
            window[std::size_t(k)] = rows.Row(lines.first[std::size_t(y)] + k * lines.step);
        }
        std::uint32_t* to = out + std::ptrdiff_t(y) * outStep;
        if (row != nullptr) {
            row(window.data(), cols.first.data(), w, read, to);
        } else {
            boxRow(window.data(), lines.width, cols, w, read, to);
        }
    }
}

} // namespace

void TPixelRows::ReadRow(int y, int x, int count, std::uint32_t* out) const {
    const std::uint8_t* row = Row(y);
    if (Layout == TLayout::Indexed8) {
        const std::uint8_t* p = row + x;
        for (int i = 0; i < count; ++i) {
            out[i] = Colors[p[i]];
        }
        return;
    }
    const std::ptrdiff_t size = Layout == TLayout::Bgr24 ? 3 : 4;
    const std::uint8_t* p = row + size * std::ptrdiff_t(x);
    for (int i = 0; i < count; ++i, p += size) {
        out[i] = argbOfBgr(p);
    }
}

std::uint32_t TPixelRows::Pixel(int x, int y) const {
    const std::uint8_t* row = Row(y);
    switch (Layout) {
    case TLayout::Indexed8:
        return Colors[row[x]];
    case TLayout::Bgr24:
        return argbOfBgr(row + 3 * std::ptrdiff_t(x));
    case TLayout::Bgrx32:
        break;
    }
    return argbOfBgr(row + 4 * std::ptrdiff_t(x));
}

bool ShrinksRows(const TPixelRows& rows, const TRect& dest) {
    return (long long)dest.Right - dest.Left < rows.Width ||
           (long long)dest.Bottom - dest.Top < rows.Height;
}

void ScaleRows(const TPixelRows& rows, const TRect& dest, const TRect& area, std::uint32_t* out,
               std::ptrdiff_t outStep) {
    if (rows.Empty() || area.IsEmpty() || dest.IsEmpty()) {
        return;
    }
    const long long dw = (long long)dest.Right - dest.Left;
    const long long dh = (long long)dest.Bottom - dest.Top;
    const Windows cols = windowsOf((long long)area.Left - dest.Left,
                                   (long long)area.Right - dest.Left, dw, rows.Width);
    const Windows lines = windowsOf((long long)area.Top - dest.Top,
                                    (long long)area.Bottom - dest.Top, dh, rows.Height);
    const std::size_t w = std::size_t(area.Width());
    const int h = area.Height();
    switch (rows.Layout) {
    case TPixelRows::TLayout::Indexed8: {
        std::array<std::uint64_t, 256> spreadColors;
        std::array<std::uint64_t, 256> laneColors;
        for (std::size_t i = 0; i < spreadColors.size(); ++i) {
            const std::uint32_t c = rows.Colors[i] | 0xFF000000u;
            spreadColors[i] = spread(c);
            laneColors[i] = (std::uint64_t(c >> 24) << 48) |
                            (std::uint64_t((c >> 16) & 0xFF) << 32) | ((c >> 8) & 0xFF) << 16 |
                            (c & 0xFF);
        }
        scaleRowsWith(rows, cols, lines, w, h,
                      IndexedPixels{spreadColors.data(), laneColors.data()}, out, outStep);
        break;
    }
    case TPixelRows::TLayout::Bgr24:
        scaleRowsWith(rows, cols, lines, w, h, Bgr24Pixels{}, out, outStep);
        break;
    case TPixelRows::TLayout::Bgrx32:
        scaleRowsWith(rows, cols, lines, w, h, Bgrx32Pixels{}, out, outStep);
        break;
    }
}

} // namespace platform::gfx
