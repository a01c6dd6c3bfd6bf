// Shared pieces of the picture tests: records built from scenes of the simulated instrument and
// with hand-set samples, the program's language files for the unit words, and pixel probes.
#pragma once

#include "config/LocalStringsUnit.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Geometry.h"
#include "records/BaseMapUnit.h"
#include "sim/SignalModel.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A record holding a recording of the signal model, prepared as after a reading over the link
// (`prepare` may change the configuration first, for instance to switch the TVG on).
template <typename Record, typename Prepare>
std::unique_ptr<Record> recordOf(const sim::Recording& rec, Prepare prepare) {
    auto r = std::make_unique<Record>();
    *r->Config = rec.config;
    prepare(*r->Config);
    if constexpr (std::is_same_v<Record, TBaseMapCell>) {
        r->SetMapSize(rec.rows, rec.columns);
    } else if constexpr (std::is_same_v<Record, TBaseBandCell>) {
        r->SetScanCount(rec.columns);
    }
    for (std::uint16_t row = 0; row < rec.rows; ++row) {
        for (std::uint16_t c = 0; c < rec.columns; ++c) {
            copySamples(rec.scan(row, c), r->Scan(row, c));
        }
    }
    r->Config->BuildTgvCurve();
    r->ProcessReceived();
    return r;
}

template <typename Record> std::unique_ptr<Record> recordOf(const sim::Recording& rec) {
    return recordOf<Record>(rec, [](TBaseConfigCell&) {});
}

// A configuration of N samples with nothing on the views but what a test sets: one cursor at 0,
// strobe 1 of no length at 50 %, TVG off, microseconds with a step of 50, signal type 0.
inline void plainConfig(TBaseConfigCell& c, std::uint16_t samples) {
    c.ResetAll(1);
    c.AScanRange = samples;
    c.SignalType = 0;
    c.ScaleDimension = 0;
    c.IndexMarkMks = 1;
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

inline std::unique_ptr<TBaseAScanCell> flatAScan(std::uint16_t samples, std::int32_t value) {
    auto r = std::make_unique<TBaseAScanCell>();
    plainConfig(*r->Config, samples);
    std::ranges::fill(r->Trace(), value);
    return r;
}

// A map of rows x columns A-scans of N samples, A-scan (r, c) holding value(r, c, s); a band is
// the same with one row. BAND_LAST_ASCAN is the column count - 1, as the link sets it.
template <typename Record, typename Value>
std::unique_ptr<Record> plainRecord(std::uint16_t rows, std::uint16_t columns,
                                    std::uint16_t samples, Value value) {
    auto m = std::make_unique<Record>();
    plainConfig(*m->Config, samples);
    m->Config->BandLastAScan = static_cast<std::uint16_t>(columns - 1);
    if constexpr (std::is_same_v<Record, TBaseMapCell>) {
        m->Config->MapVerticPoints = rows;
        m->Config->MapHorizPoints = columns;
        m->SetMapSize(rows, columns);
    } else {
        m->SetScanCount(columns);
    }
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

inline void setPalette(TBaseBandCell& b, std::uint8_t kind, std::uint16_t low = 0,
                       std::uint16_t high = 359) {
    b.PaletteKind = kind;
    b.HueLow = low;
    b.HueHigh = high;
    b.BuildPalette(KeepPalette, KeepBound, KeepBound);
}

inline TColor entry(const TBaseBandCell& b, int amplitude) {
    return b.ColorTable[static_cast<std::size_t>(amplitude)];
}

// The rows of column x (the columns of row y) between from and to that show `color`.
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

inline int countColor(const TBitmap& b, const platform::gfx::TRect& r, TColor color) {
    int n = 0;
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, b.Height()); ++y) {
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, b.Width()); ++x) {
            n += b.GetPixel(x, y) == color ? 1 : 0;
        }
    }
    return n;
}

inline bool allColor(const TBitmap& b, const platform::gfx::TRect& r, TColor color) {
    return countColor(b, r, color) == r.Width() * r.Height();
}

// The longest run of `color` along row y from x0 to x1.
inline int longestRun(const TBitmap& b, int y, int x0, int x1, TColor color) {
    int best = 0;
    int run = 0;
    for (int x = x0; x < x1; ++x) {
        run = b.GetPixel(x, y) == color ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

inline std::vector<int> range(int from, int to) {
    std::vector<int> out;
    for (int i = from; i < to; ++i) {
        out.push_back(i);
    }
    return out;
}

} // namespace pictest
