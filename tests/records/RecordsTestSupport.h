// Shared pieces of the record tests: small deterministic records of every kind (negative samples,
// comments, colour schemes, palettes, distinct values per map cell), an encoder of the
// instrument's raw sample format, and comparisons that name what differs.
#pragma once

#include "config/ConfigTestSupport.h"
#include "records/BaseAScanUnit.h"
#include "records/BaseBandUnit.h"
#include "records/BaseMapUnit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tbtest {

// The instrument's code of one sample for averager index s: a (10 + s)-bit two's complement
// value of v x 2^s, low byte first.
inline std::pair<std::uint8_t, std::uint8_t> encodeSample(int v, int s) {
    const int raw = v >= 0 ? v << s : (1 << (10 + s)) + v * (1 << s);
    return {static_cast<std::uint8_t>(raw & 0xFF), static_cast<std::uint8_t>(raw >> 8)};
}

inline std::vector<std::uint8_t> encodeBlock(const std::vector<int>& samples, int s) {
    std::vector<std::uint8_t> block;
    for (int v : samples) {
        const auto [lo, hi] = encodeSample(v, s);
        block.push_back(lo);
        block.push_back(hi);
    }
    return block;
}

// A sample value that differs for every record, A-scan and position, negative on odd samples.
inline std::int32_t patternSample(int seed, std::uint32_t scan, std::uint32_t s) {
    const auto v = static_cast<std::int32_t>((seed * 7919 + scan * 131 + s * 17) % 1000);
    return s % 2 ? -v : v;
}

// A configuration reset to its defaults and validated, with N samples per A-scan.
inline void prepareConfig(TBaseConfigCell& c, std::uint16_t samples, int seed) {
    c.ResetAll(static_cast<std::uint16_t>(1 + seed % 20));
    c.AScanRange = samples;
    c.Velocity = static_cast<std::uint16_t>(2000 + seed);
    c.ConfigName = "REC " + std::to_string(seed);
    c.ValidateAll();
    c.BuildTgvCurve();
}

inline void setIdentity(TBaseAScanCell& r, int seed) {
    r.Kind = static_cast<std::uint8_t>(seed % 3);
    r.Version = static_cast<std::uint8_t>(10 + seed);
    r.Identity3 = static_cast<std::uint8_t>(200 + seed);
    r.Comments = {"comment of " + std::to_string(seed), "second: line with a colon", ""};
    r.ColorScheme = static_cast<std::uint8_t>(seed % 2);
    r.SetColorScheme(r.ColorScheme);
}

inline std::unique_ptr<TBaseAScanCell> makeAScan(int seed, std::uint16_t samples = 64) {
    auto r = std::make_unique<TBaseAScanCell>();
    prepareConfig(*r->Config, samples, seed);
    setIdentity(*r, seed);
    r->RecordIndex = static_cast<std::uint16_t>(100 + seed);
    r->ConfigIndex = static_cast<std::uint16_t>(3 + seed);
    auto trace = r->Trace();
    for (std::uint32_t s = 0; s < trace.size(); ++s) {
        trace[s] = patternSample(seed, 0, s);
    }
    return r;
}

inline std::unique_ptr<TBaseBandCell> makeBand(int seed, std::uint16_t scans = 4,
                                               std::uint16_t samples = 40) {
    auto b = std::make_unique<TBaseBandCell>();
    prepareConfig(*b->Config, samples, seed);
    setIdentity(*b, seed);
    b->BandRecordIndex = static_cast<std::uint16_t>(50 + seed);
    b->SetScanCount(scans);
    for (std::uint32_t j = 0; j < scans; ++j) {
        auto scan = b->Scan(0, j);
        for (std::uint32_t s = 0; s < samples; ++s) {
            scan[s] = patternSample(seed, j, s);
        }
    }
    b->PaletteKind = static_cast<std::uint8_t>(1 + seed % 3);
    b->HueLow = static_cast<std::uint16_t>(10 + seed);
    b->HueHigh = static_cast<std::uint16_t>(300 - seed);
    b->BuildPalette(KeepPalette, KeepBound, KeepBound);
    return b;
}

// A map of rows x columns whose every sample tells its cell: row x 1000 + column x 100 + s,
// negative on odd samples.
inline std::unique_ptr<TBaseMapCell>
makeMap(int seed, std::uint16_t rows = 2, std::uint16_t columns = 3, std::uint16_t samples = 32) {
    auto m = std::make_unique<TBaseMapCell>();
    prepareConfig(*m->Config, samples, seed);
    setIdentity(*m, seed);
    m->MapRecordIndex = static_cast<std::uint16_t>(70 + seed);
    m->Config->MapVerticPoints = rows;
    m->Config->MapHorizPoints = columns;
    m->Config->MapCursorVertical = static_cast<std::uint16_t>(rows - 1);
    m->Config->MapCursorHorizontal = static_cast<std::uint16_t>(columns / 2);
    m->SetMapSize(rows, columns);
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t c = 0; c < columns; ++c) {
            auto scan = m->Scan(r, c);
            for (std::uint32_t s = 0; s < samples; ++s) {
                const auto v = static_cast<std::int32_t>(seed * 10000 + r * 1000 + c * 100 + s);
                scan[s] = s % 2 ? -v : v;
            }
        }
    }
    m->PaletteKind = PaletteThermal;
    m->HueLow = 5;
    m->HueHigh = 250;
    m->BuildPalette(KeepPalette, KeepBound, KeepBound);
    return m;
}

// Every sample of every A-scan the record holds, row by row.
inline std::vector<std::int32_t> allSamples(const TBaseAScanCell& r) {
    std::vector<std::int32_t> out;
    const std::uint32_t n = r.SampleCount();
    for (std::uint32_t row = 0; row < r.Count1; ++row) {
        for (std::uint32_t col = 0; col < r.Count2; ++col) {
            const auto scan = r.Scan(row, col);
            for (std::uint32_t s = 0; s < n; ++s) {
                out.push_back(s < scan.size() ? scan[s] : 0);
            }
        }
    }
    return out;
}

// The parameters as the parameter-numbered text carries them.
inline std::vector<std::string> rawParams(const TBaseConfigCell& c) {
    std::vector<std::string> out;
    for (int n = 0; n < ParamCount; ++n) {
        out.push_back(std::to_string(n) + ":" + c.GetParamRawString(n));
    }
    return out;
}

// What every form keeps of a record: its shape and samples.
inline void expectSameSamples(const TBaseAScanCell& a, const TBaseAScanCell& b) {
    EXPECT_EQ(a.SampleCount(), b.SampleCount());
    EXPECT_EQ(a.Count1, b.Count1);
    EXPECT_EQ(a.Count2, b.Count2);
    EXPECT_EQ(allSamples(a), allSamples(b));
}

// What the current form keeps beyond that.
inline void expectSameRecordText(const TBaseAScanCell& a, const TBaseAScanCell& b) {
    expectSameSamples(a, b);
    EXPECT_EQ(a.Kind, b.Kind);
    EXPECT_EQ(a.Version, b.Version);
    EXPECT_EQ(a.Identity3, b.Identity3);
    EXPECT_EQ(a.Comments, b.Comments);
    EXPECT_EQ(a.ColorScheme, b.ColorScheme);
    EXPECT_EQ(a.Colors, b.Colors);
    EXPECT_EQ(rawParams(*a.Config), rawParams(*b.Config));
}

inline void expectSamePalette(const TBaseBandCell& a, const TBaseBandCell& b) {
    EXPECT_EQ(a.PaletteKind, b.PaletteKind);
    EXPECT_EQ(a.HueLow, b.HueLow);
    EXPECT_EQ(a.HueHigh, b.HueHigh);
    EXPECT_EQ(a.ColorTable, b.ColorTable);
    EXPECT_EQ(a.CursorColor, b.CursorColor);
}

} // namespace tbtest
