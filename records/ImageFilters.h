// The arithmetic that turns the A-scans of a band or map into the values of its pictures: every
// A-scan reduced to the largest magnitude per pixel, the merging of the two work images and their
// k x k box smoothing. These run over every sample and every pixel of the largest pictures the
// program draws, so they are written to run at close to the speed of reading the samples; the
// results are exactly those of the plain definitions, which the tests check them against.
#pragma once

#include "records/WorkImage.h"

#include <cstdint>
#include <span>

// Merged pixel values are limited to this. A block mean that takes in a limited value is still
// at least 360 (the colour table's end) for boxes up to 15 x 15, so no picture changes, and every
// box sum stays below 2^24.
inline constexpr std::int32_t MergedLimit = 360 * 15 * 15;

// What ResampleScan followed by the merge gives each column: the larger of the magnitudes of its
// upper and lower value, limited to MergedLimit. With at least one sample per column that is the
// largest magnitude among its samples, at most 360.
void ResampleMagnitudes(std::span<const std::int32_t> trace, double start, double end, int width,
                        std::span<std::int32_t> out);

// B := A := min(max(|A|, |B|), MergedLimit) over W x h (kept inside both images).
void MergeWorkImages(TWorkImage& imageB, TWorkImage& imageA, int W, int h);

// B := the k x k box mean of A (integer division) over rows half .. h - half - 2 and columns
// half .. W - half - 1 (half = k div 2), the merged value of A elsewhere. A holds merged values.
// Nothing happens for a picture too small for the box. With `run` above 1, A's columns come in
// runs of that many equal ones from column 0 on, and only the first of each run is read.
void SmoothWorkImages(TWorkImage& imageB, const TWorkImage& imageA, int W, int h, int k,
                      int run = 1);

// Merges the two work images over W x h and, when asked, smooths B with the k x k box mean of A.
void FilterWorkImages(TWorkImage& imageB, TWorkImage& imageA, int W, int h, int k, bool smooth);
