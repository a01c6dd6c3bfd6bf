// Preparing a received A-scan and reading it at the measuring point: the time-varied gain, the
// echo search inside strobe 1, the marker from mouse clicks and the amplitude read-outs. Every
// sample index is kept inside the trace; an empty trace or strobe changes nothing.
#include "records/BaseAScanUnit.h"

#include "platform/text/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace text = platform::text;

void TBaseAScanCell::ProcessReceived() {
    ApplyTVG();
    FindGateEcho();
}

void TBaseAScanCell::ApplyTVG() {
    const auto trace = Trace();
    const std::vector<double>& curve = Config->TgvCurve;
    for (std::size_t s = 0; s < trace.size(); ++s) {
        const double factor = s < curve.size() && std::isfinite(curve[s]) ? curve[s] : 1.0;
        trace[s] = text::roundTo<std::int32_t>(static_cast<double>(trace[s]) * factor);
    }
}

void TBaseAScanCell::FindGateEcho() {
    TBaseConfigCell& c = *Config;
    c.AuxTime = c.CursorTime[0];
    if (c.SignalCatchAlgorithm == 1) {
        return;
    }
    const auto trace = Trace();
    if (trace.empty()) {
        return;
    }
    const std::int64_t last = static_cast<std::int64_t>(trace.size()) - 1;
    const std::int64_t begin =
        std::max<std::int64_t>(text::truncateTowardZero(c.StrobeBeginTime[0]), 0);
    const std::int64_t end =
        std::min(text::roundHalfEven(c.StrobeBeginTime[0] + c.StrobeLengthTime[0]), last);
    if (begin > end) {
        return;
    }
    const double threshold = AmplitudeReference * c.StrobeLevel[0] / 100.0;
    bool found = false;
    std::int32_t peak = 0;
    for (std::int64_t s = begin; s <= end; ++s) {
        const std::int32_t v = trace[static_cast<std::size_t>(s)];
        if (!found) {
            if (v >= threshold) {
                found = true;
                peak = v;
                c.AuxTime = static_cast<double>(s);
            }
        } else if (v < threshold) {
            // Only the first echo that reaches the level counts.
            break;
        } else if (v > peak) {
            peak = v;
            c.AuxTime = static_cast<double>(s);
        }
    }
}

void TBaseAScanCell::SetMarkerFromMouse(std::uint16_t x, std::uint16_t width) {
    if (width == 0) {
        return;
    }
    TBaseConfigCell& c = *Config;
    const double t = static_cast<double>(x) / width * SampleCount();
    c.AuxTime = t;
    c.CursorTime[c.CursorCount == 1 ? 1 : 0] = t;
}

void TBaseAScanCell::SetZoomMarkerFromMouse(std::uint16_t x, std::uint16_t width) {
    if (width == 0) {
        return;
    }
    TBaseConfigCell& c = *Config;
    const double t = static_cast<double>(x) / width * c.StrobeLengthTime[0] + c.StrobeBeginTime[0];
    c.AuxTime = t;
    c.CursorTime[c.CursorCount == 1 ? 1 : 0] = t;
}

std::int32_t TBaseAScanCell::GetAmplitude() const {
    const auto trace = Trace();
    if (trace.empty()) {
        return 0;
    }
    const TBaseConfigCell& c = *Config;
    const double p = c.CursorCount == 1 ? c.CursorTime[1] : c.AuxTime;
    const std::size_t last = trace.size() - 1;
    // Before the first sample (or not a number) reads the first; at or past the last sample
    // reads the last.
    if (!(p > 0.0)) {
        return trace[0];
    }
    if (p >= static_cast<double>(last)) {
        return trace[last];
    }
    const auto i = static_cast<std::size_t>(p);
    const double fraction = p - static_cast<double>(i);
    if (std::fabs(fraction) <= 0.05) {
        return trace[i];
    }
    const double a = trace[i];
    const double b = trace[i + 1];
    return text::roundTo<std::int32_t>(a + fraction * (b - a));
}

double TBaseAScanCell::GetAmplitudeDb() const {
    std::int64_t a = std::llabs(static_cast<std::int64_t>(GetAmplitude()));
    if (a == 0) {
        a = 1;
    }
    return 20.0 * std::log10(static_cast<double>(a)) + 100.0 - Config->AttenuatorCount1;
}

bool TraceIsNonPositive(std::span<const std::int32_t> trace) {
    // The last sample is not looked at.
    for (std::size_t s = 0; s + 1 < trace.size(); ++s) {
        if (trace[s] > 0) {
            return false;
        }
    }
    return true;
}

bool TBaseAScanCell::IsNonPositive() const {
    return TraceIsNonPositive(Trace());
}
