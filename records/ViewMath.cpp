#include "records/ViewMath.h"

#include "config/BaseConfigObjectUnit.h"
#include "platform/text/Numbers.h"
#include "records/BaseAScanUnit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace text = platform::text;

namespace {

// Labels of the zoom ruler stand at most this far apart on the instrument's 320-pixel scale, and
// those of the depth ruler at most this far apart on the ruler itself.
constexpr double kZoomScale = 320.0;
constexpr double kZoomLabelSpacing = 40.0;
constexpr double kDepthLabelSpacing = 55.0;

// Pixel coordinates are pulled inside this before they become integers.
constexpr double kCoordinateLimit = 16777216.0;

// Sample positions far outside any trace read the same edge samples as nearer ones.
constexpr double kPositionLimit = 1099511627776.0; // 2^40

template <typename Table> auto entry(const Table& table, int index) {
    return table[static_cast<std::size_t>(std::clamp(index, 0, int(table.size()) - 1))];
}

// Depth in millimetres of `samples` samples at a velocity in m/s.
double depthOf(double samples, double velocity) {
    return velocity * samples / 2000.0;
}

std::int64_t nearestSample(double position) {
    return text::roundHalfEven(std::clamp(position, -kPositionLimit, kPositionLimit));
}

std::int32_t saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int64_t magnitude(std::int64_t v) {
    return v < 0 ? -v : v;
}

// The smallest and largest sample at indexes first..last, each index kept inside the trace.
struct Extremes {
    std::int32_t low;
    std::int32_t high;
};

Extremes extremes(std::span<const std::int32_t> trace, std::int64_t first, std::int64_t last) {
    const auto n = static_cast<std::int64_t>(trace.size());
    std::int32_t low = std::numeric_limits<std::int32_t>::max();
    std::int32_t high = std::numeric_limits<std::int32_t>::min();
    if (first < 0) {
        low = std::min(low, trace.front());
        high = std::max(high, trace.front());
    }
    if (last > n - 1) {
        low = std::min(low, trace.back());
        high = std::max(high, trace.back());
    }
    const std::int64_t a = std::max<std::int64_t>(first, 0);
    const std::int64_t b = std::min<std::int64_t>(last, n - 1);
    if (a > b) {
        return {low, high};
    }
    // Eight samples at a time in vector registers: a plain loop of minima and maxima is not
    // vectorised at the build's optimisation level, and this loop reads every sample of a band.
    using Lanes = std::int32_t __attribute__((vector_size(32)));
    constexpr std::int64_t lanes = sizeof(Lanes) / sizeof(std::int32_t);
    const std::int32_t* p = trace.data() + a;
    const std::int64_t count = b - a + 1;
    std::int64_t i = 0;
    if (count >= lanes) {
        Lanes lo;
        Lanes hi;
        std::memcpy(&lo, p, sizeof lo);
        hi = lo;
        for (i = lanes; i + lanes <= count; i += lanes) {
            Lanes v;
            std::memcpy(&v, p + i, sizeof v);
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
        for (std::int64_t k = 0; k < lanes; ++k) {
            low = std::min(low, lo[k]);
            high = std::max(high, hi[k]);
        }
    }
    for (; i < count; ++i) {
        low = std::min(low, p[i]);
        high = std::max(high, p[i]);
    }
    return {low, high};
}

// One column of the stroke table: positions along the amplitude axis, pulled to just outside
// the picture.
TTraceStroke stroke(TStrokeKind kind, std::int64_t from, std::int64_t to, int extent) {
    const auto pull = [extent](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, -1, extent));
    };
    return {kind, pull(from), pull(to)};
}

} // namespace

// ---- Rulers ---------------------------------------------------------------------------------

TRulerUnits RulerUnitsOf(const TBaseConfigCell& config, int scaleDimension) {
    TRulerUnits u;
    u.Millimetres = scaleDimension == 1;
    u.Step = u.Millimetres ? entry(MmRulerSteps, config.IndexMarkMm)
                           : entry(MksRulerSteps, config.IndexMarkMks);
    u.Velocity = config.Velocity;
    return u;
}

double GetRulerStep(const TRulerUnits& units, double width, double range) {
    const double extent = units.Millimetres ? depthOf(range, units.Velocity) : range;
    if (!(extent > 0.0)) {
        return 0.0;
    }
    return width / (extent / units.Step);
}

TZoomRulerStep GetZoomRulerStep(bool millimetres, double velocity, double start, double end,
                                double width) {
    TZoomRulerStep z;
    const double span = millimetres ? depthOf(end - start, velocity) : end - start;
    const double from = millimetres ? depthOf(start, velocity) : start;
    const auto step = [millimetres](int i) {
        return millimetres ? entry(MmZoomSteps, i) : double(entry(MksZoomSteps, i));
    };
    int i = millimetres ? int(MmZoomSteps.size()) - 1 : int(MksZoomSteps.size()) - 1;
    if (!(span > 0.0)) {
        z.Step = step(0);
        return z;
    }
    double p = kZoomLabelSpacing + 1.0;
    while (p > kZoomLabelSpacing && i >= 0) {
        p = kZoomScale / (span / step(i));
        --i;
    }
    ++i;
    z.TableIndex = i;
    z.Step = step(i);
    const double first = std::ceil(from / z.Step);
    z.FirstLabelIndex = std::max<std::int64_t>(0, text::truncateTowardZero(first));
    z.FirstOffset = (double(z.FirstLabelIndex) * z.Step - from) * width / span;
    z.PixelsPerStep = width / (span / z.Step);
    return z;
}

TDepthRulerStep GetDepthRulerStep(bool millimetres, double velocity, double height, double range) {
    TDepthRulerStep d;
    const double extent = millimetres ? depthOf(range, velocity) : range;
    const auto step = [millimetres](int i) {
        return millimetres ? double(entry(MmRulerSteps, i)) : double(entry(MksRulerSteps, i));
    };
    if (!(extent > 0.0)) {
        d.Step = step(0);
        return d;
    }
    int i = millimetres ? int(MmRulerSteps.size()) - 1 : int(MksRulerSteps.size()) - 1;
    double p = kDepthLabelSpacing + 1.0;
    while (p > kDepthLabelSpacing && i >= 0) {
        p = height / (extent / step(i));
        --i;
    }
    ++i;
    d.TableIndex = i;
    d.Step = step(i);
    d.PixelsPerStep = height / (extent / d.Step);
    return d;
}

TRulerLabelForm RulerLabelForm(bool millimetres, double step) {
    if (step < 200.0) {
        return {1.0, 0, millimetres ? 11 : 10};
    }
    return {1000.0, 1, millimetres ? 19 : 20};
}

TRulerLabelForm ZoomRulerLabelForm(bool millimetres, double step) {
    if (millimetres && step < 1.0) {
        return {1.0, 1, 11};
    }
    return RulerLabelForm(millimetres, step);
}

std::string RulerLabel(double value, const TRulerLabelForm& form) {
    return text::formatFixed(value / form.Divisor, form.Decimals,
                             text::formatSettings().decimalSeparator);
}

TScanRulerPeriods ScanRulerPeriods(int widthIndex) {
    static constexpr std::array<TScanRulerPeriods, 4> kPeriods = {
        TScanRulerPeriods{10, 50}, TScanRulerPeriods{5, 25}, TScanRulerPeriods{2, 10},
        TScanRulerPeriods{1, 5}};
    return entry(kPeriods, widthIndex);
}

int MapRulerPeriod(int count) {
    if (count - 1 < 6) {
        return 1;
    }
    if (count - 1 < 11) {
        return 2;
    }
    return 5;
}

// ---- Traces ---------------------------------------------------------------------------------

void ResampleScan(std::span<const std::int32_t> trace, double start, double end, int width,
                  std::span<std::int32_t> upper, std::span<std::int32_t> lower) {
    const auto w = static_cast<std::int64_t>(std::min<std::size_t>(
        {static_cast<std::size_t>(std::max(width, 0)), upper.size(), lower.size()}));
    if (w == 0) {
        return;
    }
    const std::int64_t s0 = nearestSample(start);
    const std::int64_t r = nearestSample(end) - s0;
    if (r <= 0 || trace.empty()) {
        std::fill_n(upper.begin(), w, 0);
        std::fill_n(lower.begin(), w, 0);
        return;
    }
    constexpr std::int32_t limit = 360;
    if (r >= w) {
        // Column p takes the samples j with p r / w <= j < (p + 1) r / w, counted exactly in
        // integers so that the last column ends on the range's last sample.
        std::int64_t j = 0;
        for (std::int64_t p = 0; p < w; ++p) {
            const std::int64_t next = ((p + 1) * r + w - 1) / w;
            const Extremes e = extremes(trace, s0 + j, s0 + next - 1);
            upper[static_cast<std::size_t>(p)] = std::clamp(e.high, -limit, limit);
            lower[static_cast<std::size_t>(p)] = std::clamp(e.low, -limit, limit);
            j = next;
        }
        return;
    }
    const auto n = static_cast<std::int64_t>(trace.size());
    const auto at = [&trace, n](std::int64_t i) -> double {
        return trace[static_cast<std::size_t>(std::clamp<std::int64_t>(i, 0, n - 1))];
    };
    const double step = double(r) / double(w);
    std::int64_t j = 0;
    double slope = 0.0;
    for (std::int64_t p = 0; p + 1 < w; ++p) {
        double value;
        if (double(p) > double(j) / step || j == 0) {
            slope = (at(s0 + j + 1) - at(s0 + j)) * step;
            value =
                at(s0 + j) + double(text::roundHalfEven((double(p) - double(j) / step) * slope));
            ++j;
        } else {
            value = at(s0 + j - 1) +
                    double(text::roundHalfEven((double(p) - double(j - 1) / step) * slope));
        }
        const std::int32_t v = saturate(static_cast<std::int64_t>(value));
        upper[static_cast<std::size_t>(p)] = v;
        lower[static_cast<std::size_t>(p)] = v;
    }
    upper[static_cast<std::size_t>(w - 1)] = 0;
    lower[static_cast<std::size_t>(w - 1)] = 0;
}

std::vector<TTraceStroke> TraceStrokes(std::span<const std::int32_t> upper,
                                       std::span<const std::int32_t> lower, int extent,
                                       int signalType, bool upright) {
    const std::size_t count = std::min(upper.size(), lower.size());
    std::vector<TTraceStroke> out(count);
    if (count == 0 || extent <= 0 || signalType < 0 || signalType > 2) {
        return out;
    }
    double scale = double(extent) / AmplitudeReference;
    if (signalType == 2) {
        scale /= 2.0;
    }
    const auto scaled = [scale](std::int64_t v) { return text::roundHalfEven(double(v) * scale); };

    if (signalType == 0) {
        for (std::size_t x = 0; x < count; ++x) {
            const std::int64_t a = scaled(std::max(magnitude(upper[x]), magnitude(lower[x])));
            out[x] = upright ? stroke(TStrokeKind::Line, 0, a, extent)
                             : stroke(TStrokeKind::Line, extent, extent - a, extent);
        }
        return out;
    }

    // Each column reaches the previous one, so the trace stays one connected line.
    const bool rectified = signalType == 1;
    const std::int64_t mid = extent - extent / 2;
    std::int64_t hi = upper[0];
    std::int64_t lo = lower[0];
    for (std::size_t x = 0; x < count; ++x) {
        std::int64_t u = rectified ? magnitude(upper[x]) : upper[x];
        std::int64_t l = rectified ? magnitude(lower[x]) : lower[x];
        if (l > hi) {
            l = hi;
        }
        if (u < lo) {
            u = lo;
        }
        hi = u;
        lo = l;
        const std::int64_t su = scaled(u);
        const std::int64_t sl = scaled(l);
        std::int64_t from;
        std::int64_t to;
        if (rectified) {
            from = upright ? su : extent - su;
            to = upright ? sl : extent - sl;
        } else {
            from = mid - su;
            to = mid - sl;
        }
        out[x] = stroke(su == sl ? TStrokeKind::Dot : TStrokeKind::Line, from, to, extent);
    }
    return out;
}

std::vector<platform::gfx::TPoint> TgvCurvePoints(const TBaseConfigCell& config, int width,
                                                  int height) {
    std::vector<platform::gfx::TPoint> out;
    const double n = config.AScanRange;
    const int last = std::min<int>(config.TgvActivePoints, TgvPointCount - 1);
    if (n <= 0.0 || width <= 0 || height <= 0 || last < 1) {
        return out;
    }
    const double w = width;
    const double h = height;
    struct Point {
        double x;
        double y; // row
    };
    const auto point = [&](int i) {
        const auto k = static_cast<std::size_t>(i);
        const double above = h * 0.25 + config.TgvGain[k] / 30.0 * h * 0.75;
        return Point{config.TgvPos[k] / n * w, h - above};
    };
    const auto pixel = [](Point p) { return platform::gfx::TPoint{Pixel(p.x), Pixel(p.y)}; };

    Point previous = point(0);
    if (previous.x >= w) {
        return out;
    }
    out.push_back(pixel(previous));
    for (int i = 1; i <= last; ++i) {
        Point p = point(i);
        if (p.x < previous.x) {
            continue;
        }
        if (p.x > w) {
            // The end moves back along the segment onto the right edge.
            p.y = previous.y + (w - previous.x) * (p.y - previous.y) / (p.x - previous.x);
            p.x = w;
        }
        out.push_back(pixel(p));
        if (p.x >= w) {
            break;
        }
        previous = p;
    }
    return out;
}

// ---- Band and map pictures ------------------------------------------------------------------

int MapCursorPixel(int index, int cellSize) {
    const double c = cellSize;
    return Pixel(cellSize > 1 ? (index + 0.5) * c : index * c);
}

int GradatorEntry(int x, int width) {
    const double s = (width - 3.0) / 360.0;
    if (!(s > 0.0)) {
        return 0;
    }
    return std::clamp(Pixel(x / s), 0, 360);
}

// ---- Coordinates ----------------------------------------------------------------------------

int Pixel(double value) {
    if (!std::isfinite(value)) {
        throw text::RangeError("Range check error: a coordinate that is not a number");
    }
    return static_cast<int>(
        text::roundHalfEven(std::clamp(value, -kCoordinateLimit, kCoordinateLimit)));
}

double TimeToView(double t, double n, double extent) {
    return n > 0.0 ? t / n * extent : 0.0;
}
