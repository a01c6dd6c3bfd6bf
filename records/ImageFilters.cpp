#include "records/ImageFilters.h"

#include "platform/text/Numbers.h"
#include "records/ViewMath.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Four lanes of 32-bit integers or floats; the compiler keeps them in vector registers.
using Int4 = std::int32_t __attribute__((vector_size(16)));
using Float4 = float __attribute__((vector_size(16)));

Int4 load4(const std::int32_t* p) {
    Int4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void store4(std::int32_t* p, Int4 v) {
    std::memcpy(p, &v, sizeof v);
}

// The largest magnitude a column value keeps when every column holds at least one sample.
constexpr std::int32_t kColumnLimit = 360;

// Sample positions far outside any trace read the same edge samples as nearer ones.
constexpr double kPositionLimit = 1099511627776.0; // 2^40

std::int64_t nearestSample(double position) {
    return platform::text::roundHalfEven(std::clamp(position, -kPositionLimit, kPositionLimit));
}

std::int32_t limitedMagnitude(std::int64_t v, std::int32_t limit) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(v < 0 ? -v : v, limit));
}

// m[i] := min(|t[i]|, 360) for i < count.
void columnMagnitudes(const std::int32_t* t, std::int64_t count, std::int16_t* m) {
    std::int64_t i = 0;
#if defined(__SSE2__)
    const __m128i cap = _mm_set1_epi16(kColumnLimit);
    const __m128i floor = _mm_set1_epi16(-kColumnLimit);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= count; i += 8) {
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 4));
        // Saturated to 16 bits, then limited: the order of the values up to 360 is kept.
        __m128i v = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(lo, hi), floor), cap);
        v = _mm_max_epi16(v, _mm_sub_epi16(zero, v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m + i), v);
    }
#endif
    for (; i < count; ++i) {
        m[i] = static_cast<std::int16_t>(limitedMagnitude(t[i], kColumnLimit));
    }
}

// m[i] := max(m[i], m[i + span]) for i < count, in place: each step reads ahead of what it
// writes.
void widenMaxima(std::int16_t* m, std::int64_t count, std::int64_t span) {
    std::int64_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= count; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i + span));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m + i), _mm_max_epi16(a, b));
    }
#endif
    for (; i < count; ++i) {
        m[i] = std::max(m[i], m[i + span]);
    }
}

// The largest magnitudes of columns of at least eight samples each, the columns' ends in
// `ends`: each run is read in blocks of eight, the last one overlapping the one before, and
// eight columns' lanes are reduced together.
void runMagnitudes(const std::int32_t* t, const std::int64_t* ends, std::int64_t count,
                   std::int32_t* out) {
    std::int64_t p = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i cap = _mm_set1_epi16(kColumnLimit);
    // Saturated to 16 bits, whose magnitudes keep the order of those up to 360.
    const auto block = [&](std::int64_t i) {
        const __m128i v =
            _mm_packs_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 4)));
        return _mm_max_epi16(v, _mm_subs_epi16(zero, v));
    };
    // Eight lanes whose largest is the column's.
    const auto lanes = [&](std::int64_t q) {
        const std::int64_t a = ends[q];
        const std::int64_t b = ends[q + 1];
        __m128i best = block(b - 8);
        for (std::int64_t i = a; i + 8 < b; i += 8) {
            best = _mm_max_epi16(best, block(i));
        }
        return best;
    };
    const auto pairs = [](__m128i x, __m128i y, auto lo, auto hi) {
        return _mm_max_epi16(lo(x, y), hi(x, y));
    };
    const auto lo16 = [](__m128i x, __m128i y) { return _mm_unpacklo_epi16(x, y); };
    const auto hi16 = [](__m128i x, __m128i y) { return _mm_unpackhi_epi16(x, y); };
    const auto lo32 = [](__m128i x, __m128i y) { return _mm_unpacklo_epi32(x, y); };
    const auto hi32 = [](__m128i x, __m128i y) { return _mm_unpackhi_epi32(x, y); };
    const auto lo64 = [](__m128i x, __m128i y) { return _mm_unpacklo_epi64(x, y); };
    const auto hi64 = [](__m128i x, __m128i y) { return _mm_unpackhi_epi64(x, y); };
    for (; p + 8 <= count; p += 8) {
        // Interleaving halves the lanes of each column at every step: after three, lane i holds
        // column p + i.
        const __m128i a = pairs(lanes(p), lanes(p + 1), lo16, hi16);
        const __m128i b = pairs(lanes(p + 2), lanes(p + 3), lo16, hi16);
        const __m128i c = pairs(lanes(p + 4), lanes(p + 5), lo16, hi16);
        const __m128i d = pairs(lanes(p + 6), lanes(p + 7), lo16, hi16);
        const __m128i all = pairs(pairs(a, b, lo32, hi32), pairs(c, d, lo32, hi32), lo64, hi64);
        const __m128i limited = _mm_min_epi16(all, cap);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + p), _mm_unpacklo_epi16(limited, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + p + 4),
                         _mm_unpackhi_epi16(limited, zero));
    }
#endif
    for (; p < count; ++p) {
        std::int32_t best = 0;
        for (std::int64_t j = ends[p]; j < ends[p + 1]; ++j) {
            best = std::max(best, limitedMagnitude(t[j], kColumnLimit));
        }
        out[p] = best;
    }
}

// The ends b = ceil((p + 1) r / w) of the columns p = 0, 1, ... of r samples over w columns,
// stepped on without a division per column.
class ColumnEnds {
public:
    ColumnEnds(std::int64_t r, std::int64_t w)
        : w_(w), step_(r / w), carry_(r % w), next_((r + w - 1) / w), rest_((r + w - 1) % w) {}
    std::int64_t next() {
        const std::int64_t b = next_;
        next_ += step_;
        rest_ += carry_;
        if (rest_ >= w_) {
            rest_ -= w_;
            ++next_;
        }
        return b;
    }

private:
    std::int64_t w_, step_, carry_, next_, rest_;
};

// B[y] := acc[y] / divisor for y in [first, last]: exactly, through single floats, which hold
// every sum below 2^24 exactly.
void divideExactly(const std::int32_t* acc, std::int32_t* b, int first, int last,
                   std::int32_t divisor) {
    const float d = static_cast<float>(divisor);
    const float inverse = 1.0f / d;
    int y = first;
    for (; y + 4 <= last + 1; y += 4) {
        const Float4 a = __builtin_convertvector(load4(acc + y), Float4);
        Float4 q = __builtin_convertvector(__builtin_convertvector(a * inverse, Int4), Float4);
        // The reciprocal may leave the quotient one off: the remainder says which way.
        const Float4 r = a - q * d;
        q = r < 0.0f ? q - 1.0f : q;
        q = r >= d ? q + 1.0f : q;
        store4(b + y, __builtin_convertvector(q, Int4));
    }
    for (; y <= last; ++y) {
        b[y] = acc[y] / divisor;
    }
}

// The same for sums below 2^21, where a quotient nudged by half a step is never off.
void divideSmall(const std::int32_t* acc, std::int32_t* b, int first, int last,
                 std::int32_t divisor) {
    const float inverse = 1.0f / static_cast<float>(divisor);
    int y = first;
    for (; y + 4 <= last + 1; y += 4) {
        const Float4 a = __builtin_convertvector(load4(acc + y), Float4);
        store4(b + y, __builtin_convertvector((a + 0.5f) * inverse, Int4));
    }
    for (; y <= last; ++y) {
        b[y] = acc[y] / divisor;
    }
}

template <std::int32_t Divisor>
void divideBy(const std::int32_t* acc, std::int32_t* b, int first, int last, std::int32_t) {
    for (int y = first; y <= last; ++y) {
        b[y] = static_cast<std::int32_t>(static_cast<std::uint32_t>(acc[y]) /
                                         static_cast<std::uint32_t>(Divisor));
    }
}

void divideByAny(const std::int32_t* acc, std::int32_t* b, int first, int last,
                 std::int32_t divisor) {
    for (int y = first; y <= last; ++y) {
        b[y] = acc[y] / divisor;
    }
}

using Divide = void (*)(const std::int32_t*, std::int32_t*, int, int, std::int32_t);

// The box sums go through single floats where they stay below 2^24; `largest` bounds them.
Divide divideFor(std::int64_t divisor, std::int64_t largest) {
    if (largest < (std::int64_t(1) << 21)) {
        return divideSmall;
    }
    if (std::int64_t(MergedLimit) * divisor < (std::int64_t(1) << 24)) {
        return divideExactly;
    }
    if (divisor == 15 * 15) {
        return divideBy<15 * 15>;
    }
    return divideByAny;
}

} // namespace

void ResampleMagnitudes(std::span<const std::int32_t> trace, double start, double end, int width,
                        std::span<std::int32_t> out) {
    const auto w = static_cast<std::int64_t>(
        std::min<std::size_t>(static_cast<std::size_t>(std::max(width, 0)), out.size()));
    if (w == 0) {
        return;
    }
    const std::int64_t s0 = nearestSample(start);
    const std::int64_t r = nearestSample(end) - s0;
    const auto n = static_cast<std::int64_t>(trace.size());
    if (r <= 0 || n == 0) {
        std::fill_n(out.begin(), w, 0);
        return;
    }
    if (r < w || s0 < 0 || s0 + r > n) {
        // Interpolated columns, or a range reaching past the trace: as the definition says.
        thread_local std::vector<std::int32_t> upper;
        thread_local std::vector<std::int32_t> lower;
        upper.resize(static_cast<std::size_t>(w));
        lower.resize(static_cast<std::size_t>(w));
        ResampleScan(trace, start, end, int(w), upper, lower);
        for (std::int64_t p = 0; p < w; ++p) {
            const auto k = static_cast<std::size_t>(p);
            out[k] = limitedMagnitude(
                std::max<std::int64_t>(upper[k] < 0 ? -std::int64_t(upper[k]) : upper[k],
                                       lower[k] < 0 ? -std::int64_t(lower[k]) : lower[k]),
                MergedLimit);
        }
        return;
    }
    // Column p takes the samples j with p r / w <= j < (p + 1) r / w: at least `shortest` of
    // them and at most one more.
    const std::int64_t shortest = r / w;
    ColumnEnds ends(r, w);
    if (shortest >= 8) {
        // Every A-scan of a picture has the same columns.
        thread_local std::vector<std::int64_t> bounds;
        thread_local std::int64_t boundsFor[2] = {0, 0};
        if (boundsFor[0] != r || boundsFor[1] != w) {
            bounds.resize(static_cast<std::size_t>(w) + 1);
            bounds[0] = 0;
            for (std::int64_t p = 1; p <= w; ++p) {
                bounds[static_cast<std::size_t>(p)] = ends.next();
            }
            boundsFor[0] = r;
            boundsFor[1] = w;
        }
        runMagnitudes(trace.data() + s0, bounds.data(), w, out.data());
        return;
    }
    // Shorter columns: with maxima over runs of `span` samples, where span is the largest power
    // of two not above the shortest column, any column is covered by two runs.
    thread_local std::vector<std::int16_t> m;
    m.resize(static_cast<std::size_t>(r));
    columnMagnitudes(trace.data() + s0, r, m.data());
    std::int64_t span = 1;
    std::int64_t valid = r; // m[i] is the maximum over [i, i + span) for i < valid
    for (; span * 2 <= shortest; span *= 2) {
        valid -= span;
        widenMaxima(m.data(), valid, span);
    }
    std::int64_t a = 0;
    for (std::int64_t p = 0; p < w; ++p) {
        const std::int64_t b = ends.next();
        out[static_cast<std::size_t>(p)] =
            std::max(m[static_cast<std::size_t>(a)], m[static_cast<std::size_t>(b - span)]);
        a = b;
    }
}

void MergeWorkImages(TWorkImage& imageB, TWorkImage& imageA, int W, int h) {
    W = std::min({W, imageB.Width, imageA.Width});
    h = std::min({h, imageB.Height, imageA.Height});
    for (int x = 0; x < W; ++x) {
        std::int32_t* b = imageB.Column(x).data();
        std::int32_t* a = imageA.Column(x).data();
        for (int y = 0; y < h; ++y) {
            const std::int32_t v =
                std::max(limitedMagnitude(a[y], MergedLimit), limitedMagnitude(b[y], MergedLimit));
            b[y] = v;
            a[y] = v;
        }
    }
}

void SmoothWorkImages(TWorkImage& imageB, const TWorkImage& imageA, int W, int h, int k, int run) {
    run = std::max(run, 1);
    // A's column x, read from the first of its run.
    const auto columnA = [&](int x) { return imageA.Column(x - x % run).data(); };
    W = std::min({W, imageB.Width, imageA.Width});
    h = std::min({h, imageB.Height, imageA.Height});
    if (W <= 0 || h <= 0) {
        return;
    }
    k = std::max(k, 1);
    const int half = k / 2;
    const int window = 2 * half + 1;
    const int firstRow = half;
    const int lastRow = h - half - 2;
    const int firstColumn = half;
    const int lastColumn = W - half - 1;
    const bool smoothed = lastRow >= firstRow && lastColumn >= firstColumn;
    // What the box leaves out keeps A's values.
    for (int x = 0; x < W; ++x) {
        const std::int32_t* a = columnA(x);
        std::int32_t* b = imageB.Column(x).data();
        if (!smoothed || x < firstColumn || x > lastColumn) {
            std::copy_n(a, h, b);
        } else {
            std::copy_n(a, firstRow, b);
            std::copy(a + lastRow + 1, a + h, b + lastRow + 1);
        }
    }
    if (!smoothed) {
        return;
    }

    // Sums of `window` rows centred on each row, column by column, then a window of such
    // columns sliding along x: every block sum costs a few additions, four rows at a time.
    // Pictures repeat each A-scan across its strip: a column equal to the one before shares its
    // sums, and where the window gains and loses equal columns the means stay as they were.
    thread_local std::vector<std::int32_t> sums;
    thread_local std::vector<std::int32_t> running;
    thread_local std::vector<int> source; // the column whose sums stand for each column
    sums.resize(static_cast<std::size_t>(W) * static_cast<std::size_t>(h));
    running.resize(static_cast<std::size_t>(h) + 4);
    source.resize(static_cast<std::size_t>(W));
    const auto sumColumn = [&](int x) {
        return sums.data() + static_cast<std::size_t>(source[static_cast<std::size_t>(x)]) *
                                 static_cast<std::size_t>(h);
    };
    // Every bit set in some window sum: a bound on them (a negative one counts as huge).
    Int4 bits = {0, 0, 0, 0};
    for (int x = 0; x < W; ++x) {
        const std::int32_t* a = columnA(x);
        if (x > 0 && (run > 1 ? x % run != 0 : std::equal(a, a + h, columnA(x - 1)))) {
            source[static_cast<std::size_t>(x)] = source[static_cast<std::size_t>(x - 1)];
            continue;
        }
        source[static_cast<std::size_t>(x)] = x;
        std::int32_t* s = sumColumn(x);
        int y = firstRow;
        if (window == 7) {
            // The pictures' box, spelled out.
            for (; y + 4 <= lastRow + 1; y += 4) {
                const std::int32_t* r = a + y - 3;
                const Int4 v = (load4(r) + load4(r + 1)) + (load4(r + 2) + load4(r + 3)) +
                               ((load4(r + 4) + load4(r + 5)) + load4(r + 6));
                bits |= v;
                store4(s + y, v);
            }
        }
        for (; y + 4 <= lastRow + 1; y += 4) {
            Int4 v = load4(a + y - half);
            for (int d = 1; d < window; ++d) {
                v += load4(a + y - half + d);
            }
            bits |= v;
            store4(s + y, v);
        }
        for (; y <= lastRow; ++y) {
            std::int32_t v = 0;
            for (int d = 0; d < window; ++d) {
                v += a[y - half + d];
            }
            bits[0] |= v;
            s[y] = v;
        }
    }
    std::int32_t* acc = running.data();
    std::fill(acc, acc + h, 0);
    for (int x = firstColumn - half; x <= firstColumn + half; ++x) {
        const std::int32_t* s = sumColumn(x);
        for (int y = firstRow; y <= lastRow; ++y) {
            acc[y] += s[y];
        }
    }
    const auto largestSum = static_cast<std::uint32_t>(bits[0] | bits[1] | bits[2] | bits[3]);
    const Divide divide = divideFor(std::int64_t(k) * k, std::int64_t(window) * largestSum);
    const auto divisor = static_cast<std::int32_t>(k * k);
    bool same = false; // the window holds the same sums as for the column before
    for (int x = firstColumn; x <= lastColumn; ++x) {
        std::int32_t* b = imageB.Column(x).data();
        if (same) {
            const std::int32_t* before = imageB.Column(x - 1).data();
            std::copy(before + firstRow, before + lastRow + 1, b + firstRow);
        } else {
            divide(acc, b, firstRow, lastRow, divisor);
        }
        if (x == lastColumn) {
            break;
        }
        const std::int32_t* in = sumColumn(x + half + 1);
        const std::int32_t* out = sumColumn(x - half);
        same = in == out;
        if (same) {
            continue;
        }
        int y = firstRow;
        for (; y + 4 <= lastRow + 1; y += 4) {
            store4(acc + y, load4(acc + y) + load4(in + y) - load4(out + y));
        }
        for (; y <= lastRow; ++y) {
            acc[y] += in[y] - out[y];
        }
    }
}

void FilterWorkImages(TWorkImage& imageB, TWorkImage& imageA, int W, int h, int k, bool smooth) {
    MergeWorkImages(imageB, imageA, W, h);
    if (smooth && k > 0) {
        SmoothWorkImages(imageB, imageA, W, h, k);
    }
}
