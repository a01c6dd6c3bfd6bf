#include "platform/gfx/PixelRows.h"

#include <algorithm>
#include <bit>
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
std::uint64_t spread(std::uint32_t argb) {
    return (std::uint64_t((argb >> 8) & 0xFF) << 40) | (argb & 0x00FF00FFu);
}

std::uint32_t argbOfBgr(const std::uint8_t* p) {
    return 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

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

// The mean of a window's sum of `count` pixels as a 0xFFRRGGBB word.
class Mean {
public:
    explicit Mean(unsigned count)
        : power_((count & (count - 1)) == 0), shift_(std::countr_zero(count)),
          half_(power_ && shift_ > 0 ? (std::uint64_t(1) << (shift_ - 1)) * kOnes : 0),
          scale_((std::uint64_t(1) << 24) / count) {}

    std::uint32_t operator()(std::uint64_t sum) const {
        if (power_) {
            const std::uint64_t v = (sum + half_) >> shift_;
            return 0xFF000000u | (std::uint32_t(v) & 0x00FF00FFu) |
                   (std::uint32_t(v >> 32) & 0xFF00u);
        }
        constexpr std::uint64_t round = std::uint64_t(1) << 23;
        const std::uint64_t b = ((sum & 0xFFFF) * scale_ + round) >> 24;
        const std::uint64_t r = (((sum >> 16) & 0xFFFF) * scale_ + round) >> 24;
        const std::uint64_t g = ((sum >> 40) * scale_ + round) >> 24;
        return 0xFF000000u | std::uint32_t(r << 16) | std::uint32_t(g << 8) | std::uint32_t(b);
    }

private:
    static constexpr std::uint64_t kOnes = 1 | (1u << 16) | (std::uint64_t(1) << 40);
    bool power_;
    int shift_;
    std::uint64_t half_;
    std::uint64_t scale_;
};

// One target row: each pixel the mean of a window of cols.width x rows.size() picture pixels.
// `read` answers a picture pixel as a 0xFFRRGGBB word.
template <typename Read>
void boxRow(const std::vector<const std::uint8_t*>& rows, const Windows& cols, std::size_t w,
            Read read, std::uint32_t* out) {
    const int kw = cols.width;
    const int step = cols.step;
    const int* first = cols.first.data();
    std::size_t c = 0;
#if defined(__SSE2__)
    if (kw == 2 && rows.size() == 2) {
        // Between half and full size, the usual case on screen: four target pixels at a time,
        // each the mean of its two pixels in each row (per byte, so alpha stays 0xFF).
        const std::uint8_t* a = rows[0];
        const std::uint8_t* b = rows[1];
        for (; c + 4 <= w; c += 4) {
            const int x0 = first[c], x1 = first[c + 1], x2 = first[c + 2], x3 = first[c + 3];
            const auto word = [](std::uint32_t v) { return int(v); };
            const __m128i a0 = _mm_setr_epi32(word(read(a, x0)), word(read(a, x1)),
                                              word(read(a, x2)), word(read(a, x3)));
            const __m128i a1 = _mm_setr_epi32(word(read(a, x0 + 1)), word(read(a, x1 + 1)),
                                              word(read(a, x2 + 1)), word(read(a, x3 + 1)));
            const __m128i b0 = _mm_setr_epi32(word(read(b, x0)), word(read(b, x1)),
                                              word(read(b, x2)), word(read(b, x3)));
            const __m128i b1 = _mm_setr_epi32(word(read(b, x0 + 1)), word(read(b, x1 + 1)),
                                              word(read(b, x2 + 1)), word(read(b, x3 + 1)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c),
                             _mm_avg_epu8(_mm_avg_epu8(a0, a1), _mm_avg_epu8(b0, b1)));
        }
    }
#endif
    const Mean mean(unsigned(kw) * unsigned(rows.size()));
    for (; c < w; ++c) {
        const int x = first[c];
        std::uint64_t sum = 0;
        for (const std::uint8_t* row : rows) {
            for (int k = 0; k < kw; ++k) {
                sum += spread(read(row, x + k * step));
            }
        }
        out[c] = mean(sum);
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
    std::vector<const std::uint8_t*> window(std::size_t(lines.width));
    for (int y = 0; y < area.Height(); ++y) {
        for (int k = 0; k < lines.width; ++k) {
            window[std::size_t(k)] = rows.Row(lines.first[std::size_t(y)] + k * lines.step);
        }
        std::uint32_t* to = out + std::ptrdiff_t(y) * outStep;
        switch (rows.Layout) {
        case TPixelRows::TLayout::Indexed8:
            boxRow(
                window, cols, w,
                [colors = rows.Colors](const std::uint8_t* r, int x) { return colors[r[x]]; }, to);
            break;
        case TPixelRows::TLayout::Bgr24:
            boxRow(
                window, cols, w,
                [](const std::uint8_t* r, int x) { return argbOfBgr(r + 3 * std::ptrdiff_t(x)); },
                to);
            break;
        case TPixelRows::TLayout::Bgrx32:
            boxRow(
                window, cols, w,
                [](const std::uint8_t* r, int x) { return argbOfBgr(r + 4 * std::ptrdiff_t(x)); },
                to);
            break;
        }
    }
}

} // namespace platform::gfx
