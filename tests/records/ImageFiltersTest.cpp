// The fast paths of the band and map pictures against their plain definitions, written out here
// loop by loop: the largest magnitude per column against the reduction followed by the merge, and
// the box means against sums taken pixel by pixel, over seeded random data of every shape the
// pictures meet.
#include "records/ImageFilters.h"
#include "records/ViewMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

std::int64_t magnitude(std::int64_t v) {
    return v < 0 ? -v : v;
}

// The definition: reduce to upper and lower values, then merge.
std::vector<std::int32_t> mergedColumns(const std::vector<std::int32_t>& trace, double start,
                                        double end, int width) {
    std::vector<std::int32_t> upper(std::size_t(width), 0);
    std::vector<std::int32_t> lower(std::size_t(width), 0);
    ResampleScan(trace, start, end, width, upper, lower);
    std::vector<std::int32_t> out(static_cast<std::size_t>(width));
    for (std::size_t p = 0; p < out.size(); ++p) {
        out[p] = static_cast<std::int32_t>(std::min<std::int64_t>(
            std::max(magnitude(upper[p]), magnitude(lower[p])), MergedLimit));
    }
    return out;
}

std::vector<std::int32_t> randomTrace(std::mt19937& rng, std::size_t n, int spread) {
    std::uniform_int_distribution<int> value(-spread, spread);
    std::vector<std::int32_t> t(n);
    for (auto& v : t) {
        v = value(rng);
    }
    return t;
}

TEST(ResampleMagnitudes, EqualsTheReductionFollowedByTheMerge) {
    std::mt19937 rng(20240611);
    struct Shape {
        std::size_t n;
        double start;
        double end;
        int width;
    };
    const std::vector<Shape> shapes = {
        {4095, 0, 4095, 440},  // a band's A-scan down its picture
        {4095, 0, 4095, 337},  // a D-scan line
        {4095, 0, 4095, 245},  // a B-scan strip
        {4095, 0, 4095, 4095}, // one sample per column
        {4095, 0, 4095, 2000}, // one or two
        {4097, 0, 4097, 7},    // hundreds per column
        {1000, 0, 1000, 300},  // uneven columns
        {30, 0, 30, 592},      // a short A-scan: interpolated
        {100, -20, 130, 40},   // past both ends of the trace
        {100, 50.5, 90.5, 16}, // a part, rounded to even samples
        {100, 40, 40, 16},     // empty
        {100, 60, 40, 16},     // reversed
    };
    for (const Shape& s : shapes) {
        for (const int spread : {300, 600, 40000}) {
            const auto trace = randomTrace(rng, s.n, spread);
            std::vector<std::int32_t> fast(std::size_t(s.width), -9);
            ResampleMagnitudes(trace, s.start, s.end, s.width, fast);
            EXPECT_EQ(fast, mergedColumns(trace, s.start, s.end, s.width))
                << s.n << " " << s.start << ".." << s.end << " onto " << s.width << ", spread "
                << spread;
        }
    }
}

TEST(ResampleMagnitudes, ExtremeSamplesAreLimited) {
    std::vector<std::int32_t> trace(64, 0);
    trace[5] = -2147483647 - 1;
    trace[40] = 2147483647;
    std::vector<std::int32_t> out(8, -1);
    ResampleMagnitudes(trace, 0, 64, 8, out);
    EXPECT_EQ(out, (std::vector<std::int32_t>{360, 0, 0, 0, 0, 360, 0, 0}));
    // Interpolated, the values go unlimited up to the merge's limit.
    std::vector<std::int32_t> wide(200, -1);
    ResampleMagnitudes(trace, 0, 64, 200, wide);
    EXPECT_EQ(*std::max_element(wide.begin(), wide.end()), MergedLimit);
}

TEST(ResampleMagnitudes, EmptyTraceOrWidth) {
    std::vector<std::int32_t> out(4, -1);
    ResampleMagnitudes({}, 0, 10, 4, out);
    EXPECT_EQ(out, std::vector<std::int32_t>(4, 0));
    std::vector<std::int32_t> none;
    ResampleMagnitudes(std::vector<std::int32_t>(10, 5), 0, 10, 4, none);
    EXPECT_TRUE(none.empty());
}

// ---- Box means ------------------------------------------------------------------------------

TWorkImage randomImage(std::mt19937& rng, int w, int h, int top) {
    std::uniform_int_distribution<int> value(0, top);
    TWorkImage image;
    image.Reallocate(w, h);
    for (auto& v : image.Values) {
        v = value(rng);
    }
    return image;
}

// The definition, pixel by pixel.
TWorkImage boxMeans(const TWorkImage& a, int k) {
    TWorkImage b = a;
    const int half = k / 2;
    for (int x = half; x <= a.Width - half - 1; ++x) {
        for (int y = half; y <= a.Height - half - 2; ++y) {
            std::int64_t sum = 0;
            for (int dx = -half; dx <= half; ++dx) {
                for (int dy = -half; dy <= half; ++dy) {
                    sum += a.At(x + dx, y + dy);
                }
            }
            b.At(x, y) = static_cast<std::int32_t>(sum / (k * k));
        }
    }
    return b;
}

TEST(SmoothWorkImages, EqualsTheBoxMeansByDefinition) {
    std::mt19937 rng(7);
    for (const int k : {7, 15, 5, 3}) {
        for (const auto& [w, h] :
             std::vector<std::pair<int, int>>{{40, 37}, {17, 16}, {k, k + 1}, {64, 9}, {9, 64}}) {
            for (const int top : {360, 5000, MergedLimit}) {
                const TWorkImage a = randomImage(rng, w, h, top);
                TWorkImage b;
                b.Reallocate(w, h);
                SmoothWorkImages(b, a, w, h, k);
                EXPECT_EQ(b.Values, boxMeans(a, k).Values) << k << " " << w << "x" << h;
            }
        }
    }
}

TEST(SmoothWorkImages, MultiplesOfTheBoxDivideExactly) {
    // Every block sum a multiple of 49, and one less: the quotient must not slip.
    for (const int v : {1, 360, 17639, MergedLimit}) {
        TWorkImage a;
        a.Reallocate(20, 20);
        std::fill(a.Values.begin(), a.Values.end(), v);
        TWorkImage b;
        b.Reallocate(20, 20);
        SmoothWorkImages(b, a, 20, 20, 7);
        EXPECT_EQ(b.At(10, 10), v);
        a.At(10, 10) = v - 1;
        SmoothWorkImages(b, a, 20, 20, 7);
        EXPECT_EQ(b.At(10, 10), v - 1);
        EXPECT_EQ(b.At(12, 12), v - 1);
        EXPECT_EQ(b.At(14, 10), v);
    }
}

TEST(MergeWorkImages, LargerMagnitudeLimitedInBoth) {
    TWorkImage a;
    TWorkImage b;
    a.Reallocate(2, 2);
    b.Reallocate(2, 2);
    a.Values = {-5, 7, -2147483647 - 1, 0};
    b.Values = {3, -9, 0, 100000};
    MergeWorkImages(b, a, 2, 2);
    EXPECT_EQ(b.Values, (std::vector<std::int32_t>{5, 9, MergedLimit, MergedLimit}));
    EXPECT_EQ(a.Values, b.Values);
}

} // namespace
