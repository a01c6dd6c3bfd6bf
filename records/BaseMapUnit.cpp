#include "records/BaseMapUnit.h"

#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"
#include "records/RecordSlots.h"

#include <algorithm>
#include <limits>

namespace text = platform::text;

namespace {

constexpr std::uint16_t kFieldRecordIndex = 3;
constexpr std::uint16_t kFieldSamples = 6;

// A grid side read from a record text: 1..40.
std::uint16_t gridSide(std::string_view value) {
    const std::uint32_t side = FieldValue(value, MaxMapSide, std::nullopt);
    if (side == 0) {
        throw text::RangeError("Range check error: a map side of 0");
    }
    return static_cast<std::uint16_t>(side);
}

} // namespace

TBaseMapCell::TBaseMapCell() {
    SetMapSize(1, 1);
}

// ---- Geometry -------------------------------------------------------------------------------

void TBaseMapCell::SetMapSize(std::uint16_t rows, std::uint16_t columns) {
    if (rows == 0 || columns == 0) {
        throw text::RangeError("Range check error: a map of no rows or columns");
    }
    if (Count1 != rows || Count2 != columns) {
        ClearData();
    }
    Data.Reshape(rows, columns, SampleCount());
    Count1 = rows;
    Count2 = columns;
    Index1 = std::min<std::uint16_t>(Index1, static_cast<std::uint16_t>(rows - 1));
    Index2 = std::min<std::uint16_t>(Index2, static_cast<std::uint16_t>(columns - 1));
}

void TBaseMapCell::ClearData() {
    if (Count1 == 0 || Count2 == 0) {
        return;
    }
    Data.Release();
    Count1 = 0;
    Count2 = 0;
}

void TBaseMapCell::SetCurrentRow(std::uint16_t r) {
    if (r >= Config->MapVerticPoints || r >= Count1) {
        return;
    }
    Index1 = r;
    if (Index2 >= Config->MapHorizPoints) {
        SetCurrentScan(0);
    }
}

std::uint32_t TBaseMapCell::GridRows() const {
    return std::min<std::uint32_t>({Config->MapVerticPoints, Count1, Data.Rows()});
}

std::uint32_t TBaseMapCell::GridColumns() const {
    return std::min<std::uint32_t>({Config->MapHorizPoints, Count2, Data.Columns()});
}

void TBaseMapCell::ProcessReceived() {
    TBaseConfigCell& c = *Config;
    c.BuildTgvCurve();
    const std::uint32_t rows = GridRows();
    const std::uint32_t columns = GridColumns();
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t col = 0; col < columns; ++col) {
            Index1 = static_cast<std::uint16_t>(r);
            Index2 = static_cast<std::uint16_t>(col);
            ApplyTVG();
        }
    }
    PaletteKind = PaletteBinary;
    HueLow = 0;
    c.BandShift = 0;
    const double high = std::clamp(c.StrobeLevel[0] * 359.0 / 100.0, 0.0, 359.0);
    HueHigh = text::roundTo<std::uint16_t>(high);
    BuildPalette(KeepPalette, KeepBound, KeepBound);
    ClampCursors();
}

// ---- Cursor and cells -----------------------------------------------------------------------

void TBaseMapCell::ComputeCellSize(std::uint16_t width, std::uint16_t height) {
    constexpr std::uint32_t none = std::numeric_limits<std::uint16_t>::max();
    const std::uint32_t columns = Config->MapHorizPoints;
    const std::uint32_t rows = Config->MapVerticPoints;
    const std::uint32_t byWidth = columns ? width / columns : none;
    const std::uint32_t byHeight = rows ? height / rows : none;
    const std::uint32_t size = std::min(byWidth, byHeight);
    // A grid without rows and columns, or one wider than the view, still draws cells of a pixel.
    CellSize = static_cast<std::uint16_t>(size == none || size == 0 ? 1 : size);
}

void TBaseMapCell::SetCursorRowFromMouse(std::uint16_t y) {
    const std::uint32_t rows = Config->MapVerticPoints;
    const std::uint32_t row = y / std::max<std::uint16_t>(CellSize, 1);
    Config->MapCursorVertical = static_cast<std::uint16_t>(rows ? std::min(row, rows - 1) : 0);
}

void TBaseMapCell::SetCursorColumnFromMouse(std::uint16_t x) {
    const std::uint32_t columns = Config->MapHorizPoints;
    const std::uint32_t column = x / std::max<std::uint16_t>(CellSize, 1);
    Config->MapCursorHorizontal =
        static_cast<std::uint16_t>(columns ? std::min(column, columns - 1) : 0);
}

void TBaseMapCell::ClampCursors() {
    const std::uint32_t rows = GridRows();
    const std::uint32_t columns = GridColumns();
    TBaseConfigCell& c = *Config;
    c.MapCursorVertical = static_cast<std::uint16_t>(
        std::min<std::uint32_t>(c.MapCursorVertical, rows ? rows - 1 : 0));
    c.MapCursorHorizontal = static_cast<std::uint16_t>(
        std::min<std::uint32_t>(c.MapCursorHorizontal, columns ? columns - 1 : 0));
}

std::span<const std::int32_t> TBaseMapCell::CellTrace(std::uint32_t row,
                                                      std::uint32_t column) const {
    const auto scan = Data.Scan(row, column);
    return scan.first(std::min<std::size_t>(SampleCount(), scan.size()));
}

std::uint32_t TBaseMapCell::CScanDepth() const {
    const std::uint32_t n = std::min<std::uint32_t>(SampleCount(), Data.SamplesPerScan());
    if (n == 0) {
        return 0;
    }
    const double t = std::clamp(Config->CursorTime[0], 0.0, static_cast<double>(n - 1));
    return static_cast<std::uint32_t>(text::roundHalfEven(t));
}

std::int32_t TBaseMapCell::CScanValue(std::uint32_t row, std::uint32_t column) const {
    const auto trace = CellTrace(row, column);
    const std::uint32_t s = CScanDepth();
    if (s >= trace.size()) {
        return 0;
    }
    const std::int64_t v = trace[s];
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(v < 0 ? -v : v, std::numeric_limits<std::int32_t>::max()));
}

bool TBaseMapCell::CellHasPositiveSample(std::uint32_t row, std::uint32_t column) const {
    return !TraceIsNonPositive(CellTrace(row, column));
}

// ---- Record text ----------------------------------------------------------------------------

void TBaseMapCell::SetField(std::uint16_t index, std::string_view value) {
    if (SetSharedField(index, value)) {
        return;
    }
    if (index == kFieldRecordIndex) {
        MapRecordIndex = static_cast<std::uint16_t>(FieldValue(value, 65535, std::nullopt));
    } else if (index == kFieldSamples) {
        // "columns:rows"
        const std::size_t colon = value.find(':');
        const std::string_view rowsText =
            colon == std::string_view::npos ? std::string_view() : value.substr(colon + 1);
        const std::uint16_t columns = gridSide(value.substr(0, colon));
        const std::uint16_t rows = gridSide(rowsText);
        Config->MapHorizPoints = columns;
        Config->MapVerticPoints = rows;
    }
}

std::string TBaseMapCell::GetFieldValue(std::uint16_t index) {
    std::string value;
    if (GetSharedFieldValue(index, value)) {
        return value;
    }
    if (index == kFieldRecordIndex) {
        return text::formatInteger(MapRecordIndex);
    }
    if (index == kFieldSamples) {
        return text::formatInteger(Config->MapHorizPoints) + ":" +
               text::formatInteger(Config->MapVerticPoints);
    }
    return {};
}

void TBaseMapCell::WriteFieldLines(std::uint16_t index, text::AtomicFileWriter& file) {
    if (index != kFieldSamples) {
        TBaseBandCell::WriteFieldLines(index, file);
        return;
    }
    const std::uint32_t n = SampleCount();
    for (std::uint32_t r = 0; r < Config->MapVerticPoints; ++r) {
        for (std::uint32_t c = 0; c < Config->MapHorizPoints; ++c) {
            WriteSampleLines(file, Data.Scan(r, c), n);
        }
    }
}

bool TBaseMapCell::ReadFieldLines(std::uint16_t index, text::LineReader& file) {
    if (index != kFieldSamples) {
        return TBaseBandCell::ReadFieldLines(index, file);
    }
    return ReadAllSamples(file);
}

bool TBaseMapCell::ReadAllSamples(text::LineReader& file) {
    const std::uint32_t n = CheckedSampleCount();
    const std::uint16_t rows = Config->MapVerticPoints;
    const std::uint16_t columns = Config->MapHorizPoints;
    if (rows > MaxMapSide || columns > MaxMapSide) {
        throw text::RangeError("Range check error: a map of " + text::formatInteger(rows) + " x " +
                               text::formatInteger(columns));
    }
    if (!SampleLinesMayFollow(file, std::uint64_t(rows) * columns * n)) {
        return false;
    }
    SetMapSize(rows, columns);
    // Each A-scan is read as the current one, so the last one read stays selected.
    for (std::uint32_t r = 0; r < rows; ++r) {
        SetCurrentRow(static_cast<std::uint16_t>(r));
        for (std::uint32_t c = 0; c < columns; ++c) {
            SetCurrentScan(static_cast<std::uint16_t>(c));
            if (!ReadSampleLines(file, Data.Scan(r, c), n)) {
                return false;
            }
        }
    }
    ClampCursors();
    return true;
}

std::uint32_t TBaseMapCell::ConformAfterLoad() {
    const std::uint16_t rows = std::max<std::uint16_t>(Config->MapVerticPoints, 1);
    const std::uint16_t columns = std::max<std::uint16_t>(Config->MapHorizPoints, 1);
    if (Count1 != rows || Count2 != columns || Data.Rows() != rows || Data.Columns() != columns ||
        Data.SamplesPerScan() != SampleCount()) {
        SetMapSize(rows, columns);
    }
    Config->MapVerticPoints = rows;
    Config->MapHorizPoints = columns;
    ClampCursors();
    return static_cast<std::uint32_t>(rows) * columns;
}

void TBaseMapCell::SaveToOldText(text::AtomicFileWriter& file) {
    WriteLegacyBlock(*Config, file);
    WriteFieldLines(kFieldSamples, file);
}

// ---- Lists ----------------------------------------------------------------------------------

bool EraseMap(PMapsSet& list, std::uint16_t index, std::uint16_t& count) {
    return EraseRecord(list, index, count);
}
