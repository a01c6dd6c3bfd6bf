// Merging and box smoothing of the work images, and the fast paths of the band and map pictures
// against their plain definitions written out here loop by loop, over seeded random data of every
// shape the pictures meet.
#include "records/ImageFilters.h"
#include "records/ViewMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using Ints = std::vector<std::int32_t>;

TWorkImage image(int w, int h, std::int32_t value) {
    TWorkImage i;
    i.Reallocate(w, h);
    std::fill(i.Values.begin(), i.Values.end(), value);
    return i;
}

TEST(FilterImage, AnImpulseThroughTheSevenBySevenBoxFillsItsBlock) {
    TWorkImage b = image(20, 20, 0);
    TWorkImage a = image(20, 20, 0);
    a.At(10, 9) = -49 * 3; // merged to its magnitude first
    FilterWorkImages(b, a, 20, 20, 7, true);
    for (int x = 0; x < 20; ++x) {
        for (int y = 0; y < 20; ++y) {
            const bool inBlock = std::abs(x - 10) <= 3 && std::abs(y - 9) <= 3;
            EXPECT_EQ(b.At(x, y), inBlock ? 3 : 0) << x << "," << y;
        }
    }
    EXPECT_EQ(a.At(10, 9), 147); // A keeps the merged values
}

TEST(FilterImage, EdgesKeepTheirMergedValuesAndBinaryIsNotSmoothed) {
    // Stripes of 98 on even rows: seven rows about an odd row hold four (mean 56), about an even
    // row three (42). The first half rows and columns, the last half columns and the last
    // half + 1 rows keep their merged values.
    TWorkImage b = image(12, 12, 0);
    TWorkImage a = image(12, 12, 0);
    for (int x = 0; x < 12; ++x) {
        for (int y = 0; y < 12; y += 2) {
            a.At(x, y) = 98;
        }
    }
    TWorkImage unsmoothed = b;
    TWorkImage copy = a;
    FilterWorkImages(b, a, 12, 12, 7, true);
    const std::vector<std::tuple<int, int, int>> probes = {{3, 3, 56}, {3, 4, 42}, {2, 3, 0},
                                                           {3, 2, 98}, {3, 7, 56}, {3, 8, 98},
                                                           {8, 3, 56}, {9, 3, 0}};
    for (const auto& [x, y, v] : probes) {
        EXPECT_EQ(b.At(x, y), v) << x << "," << y;
    }
    FilterWorkImages(unsmoothed, copy, 12, 12, 7, false);
    EXPECT_EQ(unsmoothed.Values, copy.Values);
}

TEST(FilterImage, MergeLimitsAndSizesStayInsideBothImages) {
    TWorkImage b = image(6, 6, -1);
    TWorkImage a = image(4, 4, -2147483647 - 1);
    FilterWorkImages(b, a, 100, 100, 7, true);
    EXPECT_EQ(b.At(3, 3), MergedLimit);
    EXPECT_EQ(b.At(5, 5), -1); // outside A: untouched
}

// ---- Fast paths against their definitions -----------------------------------------------------

Ints mergedColumns(const Ints& trace, double start, double end, int width) {
    Ints upper(static_cast<std::size_t>(width), 0);
    Ints lower(static_cast<std::size_t>(width), 0);
    ResampleScan(trace, start, end, width, upper, lower);
    Ints out(static_cast<std::size_t>(width));
    for (std::size_t p = 0; p < out.size(); ++p) {
        const std::int64_t u = upper[p];
        const std::int64_t l = lower[p];
        out[p] = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::max(u < 0 ? -u : u, l < 0 ? -l : l), MergedLimit));
    }
    return out;
}

TEST(ResampleMagnitudes, EqualsTheReductionFollowedByTheMerge) {
    std::mt19937 rng(20240611);
    // Down a band picture, across a D-scan, down a B-scan strip, one or two samples per column,
    // hundreds, uneven columns, a short interpolated A-scan, past both ends, a rounded part,
    // empty and reversed ranges; samples small, beyond the table and beyond 16 bits.
    const std::vector<std::tuple<std::size_t, double, double, int>> shapes = {
        {4095, 0, 4095, 440},  {4095, 0, 4095, 337},  {4095, 0, 4095, 245}, {4095, 0, 4095, 4095},
        {4095, 0, 4095, 2000}, {4097, 0, 4097, 7},    {1000, 0, 1000, 300}, {30, 0, 30, 592},
        {100, -20, 130, 40},   {100, 50.5, 90.5, 16}, {100, 40, 40, 16},    {100, 60, 40, 16}};
    for (const auto& [n, start, end, width] : shapes) {
        for (const int spread : {300, 600, 40000, 2147483647}) {
            std::uniform_int_distribution<std::int32_t> value(-spread, spread);
            Ints trace(n);
            for (auto& v : trace) {
                v = value(rng);
            }
            Ints fast(static_cast<std::size_t>(width), -9);
            ResampleMagnitudes(trace, start, end, width, fast);
            EXPECT_EQ(fast, mergedColumns(trace, start, end, width))
                << n << " " << start << ".." << end << " onto " << width << " " << spread;
        }
    }
}

// The box means by definition, pixel by pixel.
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
    for (const int k : {7, 15, 5}) {
        for (const auto& [w, h] :
             std::vector<std::pair<int, int>>{{40, 37}, {17, 16}, {k, k + 1}, {64, 9}, {9, 64}}) {
            for (const int top : {360, 5000, MergedLimit}) {
                std::uniform_int_distribution<std::int32_t> value(0, top);
                TWorkImage a = image(w, h, 0);
                for (auto& v : a.Values) {
                    v = value(rng);
                }
                // Whole multiples of the box, and one less, must not slip either.
                a.At(0, 0) = top;
                TWorkImage b = image(w, h, -1);
                SmoothWorkImages(b, a, w, h, k);
                EXPECT_EQ(b.Values, boxMeans(a, k).Values) << k << " " << w << "x" << h;
                // Columns in runs of equal ones, as strips of A-scans give them: found by
                // looking, or told, when only the first of each run is read.
                for (const int run : {2, 5, k + 3}) {
                    for (int x = 0; x < w; ++x) {
                        std::copy_n(a.Column(x - x % run).begin(), h, a.Column(x).begin());
                    }
                    const TWorkImage expected = boxMeans(a, k);
                    SmoothWorkImages(b, a, w, h, k);
                    EXPECT_EQ(b.Values, expected.Values) << k << " " << w << "x" << h << " " << run;
                    TWorkImage firsts = a;
                    for (int x = 0; x < w; ++x) {
                        if (x % run != 0) {
                            std::ranges::fill(firsts.Column(x), -7);
                        }
                    }
                    SmoothWorkImages(b, firsts, w, h, k, run);
                    EXPECT_EQ(b.Values, expected.Values) << k << " " << w << "x" << h << " " << run;
                }
                std::fill(a.Values.begin(), a.Values.end(), top);
                a.At(w / 2, h / 2) = top - 1;
                SmoothWorkImages(b, a, w, h, k);
                EXPECT_EQ(b.Values, boxMeans(a, k).Values) << k << " " << w << "x" << h;
            }
        }
    }
}

} // namespace
