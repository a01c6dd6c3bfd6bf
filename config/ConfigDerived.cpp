// Quantities a configuration keeps twice or computes from its parameters: strobes and cursors as
// pixels of the instrument's 320-pixel A-scan and as times, the limits that keep strobe 1 on the
// picture, the time-varied gain curve, cursor distances, gains in dB and depths.
#include "config/BaseConfigObjectUnit.h"

#include "platform/text/Numbers.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace text = platform::text;

namespace {

constexpr int kPictureWidth = 320;
constexpr int kLastPixel = 319;
constexpr int kZoomWidth = 240;
constexpr int kShortestStrobePixels = 10;

void checkStrobe(int strobe) {
    if (strobe != 0 && strobe != 1) {
        throw std::invalid_argument("strobe number out of range");
    }
}

} // namespace

std::int32_t TBaseConfigCell::TimeToPixel(double time) const {
    if (AScanRange == 0) {
        return 0;
    }
    return text::roundTo<std::int32_t>(time * kPictureWidth / AScanRange);
}

double TBaseConfigCell::PixelToTime(std::int32_t pixel) const {
    const std::int64_t product = static_cast<std::int64_t>(pixel) * AScanRange;
    return static_cast<double>(product) / kPictureWidth;
}

namespace {

// The pixel of a time, held within [low, high] before it is rounded, so that a time far off the
// picture (typed by the user, read from a file) cannot overflow the conversion.
std::int32_t pixelWithin(const TBaseConfigCell& c, double time, double low, double high) {
    if (c.AScanRange == 0) {
        return 0;
    }
    double v = time * kPictureWidth / c.AScanRange;
    if (std::isnan(v)) {
        v = 0.0;
    }
    return text::roundTo<std::int32_t>(std::clamp(v, low, high));
}

// Pixels the limit rules compare; far beyond the picture on either side.
std::int32_t limitPixel(const TBaseConfigCell& c, double time) {
    return pixelWithin(c, time, -1.0e6, 1.0e6);
}

} // namespace

void TBaseConfigCell::StrobeTimesFromPixels(int strobe) {
    checkStrobe(strobe);
    const auto k = static_cast<size_t>(strobe);
    StrobeBeginTime[k] = PixelToTime(StrobeBeginPixel[k]);
    StrobeLengthTime[k] = PixelToTime(StrobeEndPixel[k]) - StrobeBeginTime[k];
}

void TBaseConfigCell::StrobePixelsFromTimes(int strobe) {
    checkStrobe(strobe);
    const auto k = static_cast<size_t>(strobe);
    const std::int32_t begin = pixelWithin(*this, StrobeBeginTime[k], -32768.0, kLastPixel);
    std::int32_t end =
        pixelWithin(*this, StrobeBeginTime[k] + StrobeLengthTime[k], -32768.0, kPictureWidth);
    if (end < begin + 1) {
        end = begin + 1;
    }
    StrobeBeginPixel[k] = static_cast<std::int16_t>(begin);
    StrobeEndPixel[k] = static_cast<std::int16_t>(end);
}

bool TBaseConfigCell::LimitStrobeLength(int strobe, double& shortest, double& longest) {
    checkStrobe(strobe);
    const auto k = static_cast<size_t>(strobe);
    const std::int32_t b = limitPixel(*this, StrobeBeginTime[k]);
    std::int32_t l = limitPixel(*this, StrobeLengthTime[k]);
    const std::int32_t e = limitPixel(*this, StrobeBeginTime[k] + StrobeLengthTime[k]);
    shortest = PixelToTime(kShortestStrobePixels);
    longest = PixelToTime(kLastPixel - b);
    bool unchanged = true;
    if (e > kLastPixel) {
        StrobeLengthTime[k] = PixelToTime(kLastPixel - b);
        l = kLastPixel - b;
        unchanged = false;
    }
    if (l < kShortestStrobePixels) {
        StrobeLengthTime[k] = PixelToTime(kShortestStrobePixels);
        unchanged = false;
    }
    return unchanged;
}

bool TBaseConfigCell::LimitStrobeBegin(int strobe, double& earliest, double& latest) {
    checkStrobe(strobe);
    const auto k = static_cast<size_t>(strobe);
    const std::int32_t b = limitPixel(*this, StrobeBeginTime[k]);
    const std::int32_t l = limitPixel(*this, StrobeLengthTime[k]);
    bool unchanged = true;
    if (b == 0) {
        earliest = PixelToTime(1);
        latest = PixelToTime(kLastPixel - l);
        StrobeBeginTime[k] = PixelToTime(1);
        unchanged = false;
    }
    if (kLastPixel - l < b) {
        earliest = PixelToTime(1);
        latest = PixelToTime(kLastPixel - l);
        StrobeBeginTime[k] = PixelToTime(kLastPixel - l);
        unchanged = false;
    }
    return unchanged;
}

void TBaseConfigCell::Recalculate() {
    BuildTgvCurve();
    StrobeTimesFromPixels(0);
    StrobeTimesFromPixels(1);
    for (size_t k = 0; k < 2; ++k) {
        CursorTime[k] = static_cast<double>(CursorPixel[k]) * AScanRange / kPictureWidth;
    }
    ConfigStrings.clear();
    ConfigStringsCount = 0;
    Modified = 0;
}

void TBaseConfigCell::PixelsOntoPicture() {
    auto within = [](std::int32_t v, std::int32_t low, std::int32_t high) {
        return static_cast<std::int16_t>(std::clamp(v, low, high));
    };
    // Strobe 1 as its limit rules keep it: not on pixel 0, at least the shortest strobe, no
    // further than the last pixel.
    StrobeBeginPixel[0] = within(StrobeBeginPixel[0], 1, kLastPixel - kShortestStrobePixels);
    StrobeEndPixel[0] =
        within(StrobeEndPixel[0], StrobeBeginPixel[0] + kShortestStrobePixels, kLastPixel);
    StrobeBeginPixel[1] = within(StrobeBeginPixel[1], 0, kLastPixel);
    StrobeEndPixel[1] = within(StrobeEndPixel[1], StrobeBeginPixel[1], kLastPixel);
    for (auto& pixel : CursorPixel) {
        pixel = std::min<std::uint16_t>(pixel, kLastPixel);
    }
}

void TBaseConfigCell::UpdateCursors() {
    StrobePixelsFromTimes(0);
    StrobePixelsFromTimes(1);
    for (size_t k = 0; k < 2; ++k) {
        double zoom = StrobeLengthTime[0] > 0.0
                          ? CursorZoomTime[k] * kZoomWidth / StrobeLengthTime[0]
                          : CursorZoomTime[k];
        if (std::isnan(zoom) || zoom < 0.0) {
            zoom = 0.0;
        }
        // Rounded only once it is known to lie on the zoom view, so nothing can overflow.
        CursorZoomPixel[k] = zoom >= kZoomWidth
                                 ? static_cast<std::uint16_t>(kZoomWidth - 1)
                                 : std::min(text::roundTo<std::uint16_t>(zoom),
                                            static_cast<std::uint16_t>(kZoomWidth - 1));
        if (AScanRange != 0) {
            CursorPixel[k] =
                text::roundTo<std::uint16_t>(CursorTime[k] * kPictureWidth / AScanRange);
        }
        const double begin = StrobeBeginTime[0];
        CursorInZoom[k] =
            begin < CursorTime[k] && CursorTime[k] < begin + StrobeLengthTime[0] ? 1 : 0;
    }
    Modified = 0;
}

void TBaseConfigCell::BuildTgvCurve() {
    const size_t range = AScanRange;
    if (TgvCurve.size() <= range) {
        TgvCurve.resize(range + 1, 0.0);
    }
    auto factor = [](double gainDb) {
        const double f = std::pow(10.0, gainDb / 20.0);
        return std::isfinite(f) ? f : 1.0;
    };
    if (TgvEnabled != 1) {
        std::fill(TgvCurve.begin(), TgvCurve.begin() + static_cast<std::ptrdiff_t>(range), 1.0);
        return;
    }
    const size_t n = std::min<size_t>(TgvActivePoints, TgvPointCount);
    if (n == 0) {
        std::fill(TgvCurve.begin(), TgvCurve.begin() + static_cast<std::ptrdiff_t>(range), 1.0);
        return;
    }
    if (n == 1) {
        std::fill(TgvCurve.begin(), TgvCurve.begin() + static_cast<std::ptrdiff_t>(range),
                  factor(TgvGain[0]));
        return;
    }
    const auto g = [this](size_t i) { return static_cast<double>(TgvGain[i]); };
    const auto p = [this](size_t i) { return static_cast<double>(TgvPos[i]); };
    size_t k = 1;
    for (size_t s = 0; s < range; ++s) {
        const double sd = static_cast<double>(s);
        double gain;
        if (sd <= p(n - 1)) {
            // Points at the same position make a step to the later point's gain.
            gain = p(k) == p(k - 1)
                       ? g(k)
                       : g(k - 1) + (sd - p(k - 1)) * (g(k) - g(k - 1)) / (p(k) - p(k - 1));
        } else {
            gain = g(n - 1);
        }
        TgvCurve[s] = factor(gain);
        if (p(k) <= sd && k < n - 1) {
            ++k;
        }
    }
}

double TBaseConfigCell::GetCursorDistance(bool inMm) const {
    const double v = Velocity;
    double t1 = CursorTime[0];
    double t2 = CursorTime[1];
    if (ScreenType == 2) {
        // On the zoom screen a cursor inside the zoom view is measured there.
        if (CursorInZoom[0] == 1) {
            t1 = CursorZoomTime[0];
        }
        if (CursorInZoom[1] == 1) {
            t2 = CursorZoomTime[1];
        }
    }
    if (CursorCount == 0) {
        return inMm ? v * t1 / 2000.0 : t1;
    }
    return inMm ? std::fabs(v * (t2 - t1) / 2000.0) : std::fabs(t2 - t1);
}

double TBaseConfigCell::CountToGainDb(std::int32_t levelCount) const {
    const double amplitude = 1.6 * levelCount + 1.0;
    // Counts below zero have no gain; validation keeps the levels at 1..100.
    if (!(amplitude > 0.0)) {
        return 0.0;
    }
    return 20.0 * std::log10(amplitude) + 100.0 - AttenuatorCount1;
}

std::int32_t TBaseConfigCell::GainDbToCount(double gainDb) const {
    return text::roundTo<std::int32_t>(
        (std::pow(10.0, (gainDb - 100.0 + AttenuatorCount1) / 20.0) - 1.0) / 1.6);
}

double TBaseConfigCell::StrobeBeginMm() const {
    return Velocity * StrobeBeginTime[0] / 2000.0;
}

double TBaseConfigCell::StrobeLengthMm() const {
    return Velocity * StrobeLengthTime[0] / 2000.0;
}
