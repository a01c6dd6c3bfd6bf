// Shared pieces of the picture tests: records built from scenes of the simulated instrument,
// plain records with hand-set samples, the program's language files for the unit words, and
// pixel probes that say where they looked.
#pragma once

#include "config/LocalStringsUnit.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Geometry.h"
#include "records/BaseAScanUnit.h"
#include "records/BaseBandUnit.h"
#include "records/BaseMapUnit.h"
#include "sim/SignalModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace pictest {

using platform::gfx::TBitmap;

// The program's own language files for the length of a test.
class ProgramTexts {
public:
    ProgramTexts() {
        UnloadLanguageFiles();
        loaded_ = LoadLanguageFiles(std::filesystem::path(TB_OUTPUT_DIR) / "tollerbank3");
    }
    ~ProgramTexts() { UnloadLanguageFiles(); }
    ProgramTexts(const ProgramTexts&) = delete;
    ProgramTexts& operator=(const ProgramTexts&) = delete;
    bool loaded() const { return loaded_; }

private:
    bool loaded_ = false;
};

inline void copySamples(std::span<const std::int32_t> from, std::span<std::int32_t> to) {
    std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
}

// Records holding a recording of the signal model, as they stand after a reading over the link.
inline std::unique_ptr<TBaseAScanCell> aScanOf(const sim::Recording& rec) {
    auto r = std::make_unique<TBaseAScanCell>();
    *r->Config = rec.config;
    copySamples(rec.scan(0, 0), r->Scan(0, 0));
    r->ProcessReceived();
    return r;
}

inline std::unique_ptr<TBaseBandCell> bandOf(const sim::Recording& rec) {
    auto b = std::make_unique<TBaseBandCell>();
    *b->Config = rec.config;
    b->SetScanCount(rec.columns);
    for (std::uint16_t j = 0; j < rec.columns; ++j) {
        copySamples(rec.scan(0, j), b->Scan(0, j));
    }
    b->ProcessReceived();
    return b;
}

inline std::unique_ptr<TBaseMapCell> mapOf(const sim::Recording& rec) {
    auto m = std::make_unique<TBaseMapCell>();
    *m->Config = rec.config;
    m->SetMapSize(rec.rows, rec.columns);
    for (std::uint16_t r = 0; r < rec.rows; ++r) {
        for (std::uint16_t c = 0; c < rec.columns; ++c) {
            copySamples(rec.scan(r, c), m->Scan(r, c));
        }
    }
    m->ProcessReceived();
    return m;
}

// A configuration of N samples with nothing on the views but what a test sets: one cursor at 0,
// strobe 1 of no length, TVG off, microseconds, signal type 0.
inline void plainConfig(TBaseConfigCell& c, std::uint16_t samples) {
    c.ResetAll(1);
    c.AScanRange = samples;
    c.SignalType = 0;
    c.ScaleDimension = 0;
    c.IndexMarkMks = 1;
    c.IndexMarkMm = 2;
    c.Velocity = 5920;
    c.CursorCount = 0;
    c.CursorTime = {0.0, 0.0};
    c.AuxTime = 0.0;
    c.StrobeBeginTime = {0.0, 0.0};
    c.StrobeLengthTime = {0.0, 0.0};
    c.StrobeLevel = {50, 50};
    c.TgvEnabled = 0;
    c.ScreenType = 0;
}

// An A-scan of N samples all equal to `value`.
inline std::unique_ptr<TBaseAScanCell> flatAScan(std::uint16_t samples, std::int32_t value) {
    auto r = std::make_unique<TBaseAScanCell>();
    plainConfig(*r->Config, samples);
    auto t = r->Trace();
    std::fill(t.begin(), t.end(), value);
    return r;
}

// A band of `scans` A-scans of N samples; A-scan j holds value(j, s).
template <typename Value>
std::unique_ptr<TBaseBandCell> plainBand(std::uint16_t scans, std::uint16_t samples, Value value) {
    auto b = std::make_unique<TBaseBandCell>();
    plainConfig(*b->Config, samples);
    b->Config->BandLastAScan = static_cast<std::uint16_t>(scans - 1);
    b->SetScanCount(scans);
    for (std::uint32_t j = 0; j < scans; ++j) {
        auto scan = b->Scan(0, j);
        for (std::uint32_t s = 0; s < samples; ++s) {
            scan[s] = value(j, s);
        }
    }
    return b;
}

// A map of rows x columns A-scans of N samples; A-scan (r, c) holds value(r, c, s).
template <typename Value>
std::unique_ptr<TBaseMapCell> plainMap(std::uint16_t rows, std::uint16_t columns,
                                       std::uint16_t samples, Value value) {
    auto m = std::make_unique<TBaseMapCell>();
    plainConfig(*m->Config, samples);
    m->Config->MapVerticPoints = rows;
    m->Config->MapHorizPoints = columns;
    m->Config->BandLastAScan = static_cast<std::uint16_t>(columns - 1);
    m->SetMapSize(rows, columns);
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t c = 0; c < columns; ++c) {
            auto scan = m->Scan(r, c);
            for (std::uint32_t s = 0; s < samples; ++s) {
                scan[s] = value(r, c, s);
            }
        }
    }
    return m;
}

// The rows of column x (or the columns of row y) that show `color`.
inline std::vector<int> rowsOf(const TBitmap& b, int x, TColor color, int from = 0, int to = -1) {
    std::vector<int> out;
    for (int y = from; y < (to < 0 ? b.Height() : to); ++y) {
        if (b.GetPixel(x, y) == color) {
            out.push_back(y);
        }
    }
    return out;
}

inline std::vector<int> columnsOf(const TBitmap& b, int y, TColor color, int from = 0,
                                  int to = -1) {
    std::vector<int> out;
    for (int x = from; x < (to < 0 ? b.Width() : to); ++x) {
        if (b.GetPixel(x, y) == color) {
            out.push_back(x);
        }
    }
    return out;
}

// How many pixels of the rectangle show `color`.
inline int countColor(const TBitmap& b, const platform::gfx::TRect& r, TColor color) {
    int n = 0;
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, b.Height()); ++y) {
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, b.Width()); ++x) {
            n += b.GetPixel(x, y) == color ? 1 : 0;
        }
    }
    return n;
}

// Every pixel of the rectangle shows `color`.
inline bool allColor(const TBitmap& b, const platform::gfx::TRect& r, TColor color) {
    return countColor(b, r, color) == r.Width() * r.Height();
}

inline std::vector<int> range(int from, int to) {
    std::vector<int> out;
    for (int i = from; i < to; ++i) {
        out.push_back(i);
    }
    return out;
}

} // namespace pictest
