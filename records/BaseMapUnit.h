// A map: rows x columns of A-scans taken over an area under one configuration, shown as the
// C-scan (the grid from above at one depth), the B-scan (the cursor row) and the D-scan (the
// cursor column). The map keeps the band's colour table and record text machinery and adds the
// map cursor, the size of a grid cell on screen and the grid-sized record text.
#pragma once

#include "records/BaseBandUnit.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

// Rows and columns a map may have.
constexpr std::uint32_t MaxMapSide = 40;

class TBaseMapCell : public TBaseBandCell {
public:
    // A 1 x 1 map.
    TBaseMapCell();

    // ---- Geometry -------------------------------------------------------------------------------

    // rows x columns A-scans of N samples (both at least 1, else platform::text::RangeError).
    // A change of rows or columns starts from zeros; a change of N alone keeps what fits.
    void SetMapSize(std::uint16_t rows, std::uint16_t columns);

    // Releases the samples; both counts become 0. The band parameters stay.
    void ClearData() override;

    // Selects row r when the map has it; the column goes back to 0 when the row has no such
    // column.
    void SetCurrentRow(std::uint16_t r);

    // The grid's rows and columns as far as both the configuration and the samples have them.
    std::uint32_t GridRows() const;
    std::uint32_t GridColumns() const;

    // After a reading over the link: the TVG on every A-scan, a fresh palette as for bands, the
    // cursor inside the grid.
    void ProcessReceived() override;

    // ---- Cursor and cells -----------------------------------------------------------------------

    // The side of a grid cell in a C-scan view width x height pixels: the largest square that
    // fits the grid, at least 1.
    void ComputeCellSize(std::uint16_t width, std::uint16_t height);

    void SetCursorRowFromMouse(std::uint16_t y);
    void SetCursorColumnFromMouse(std::uint16_t x) override;

    // Keeps the map cursor on the grid.
    void ClampCursors();

    // The depth the C-scan shows: cursor 1's time as a sample index, kept inside the trace.
    std::uint32_t CScanDepth() const;
    // The C-scan value of cell (row, column): |sample CScanDepth()| of its A-scan; 0 when the
    // cell holds no samples.
    std::int32_t CScanValue(std::uint32_t row, std::uint32_t column) const;
    // Whether the cell's A-scan holds a sample above 0 (the C-scan marks it).
    bool CellHasPositiveSample(std::uint32_t row, std::uint32_t column) const;

    // ---- Views (MapViews.cpp) -------------------------------------------------------------------
    // Kind and scheme arguments as for the band views. The B-scan uses the band's operations,
    // which reach the map's RenderImage and DrawCursorLines.

    void RenderImage(std::uint8_t kind, std::uint8_t scheme,
                     std::unique_ptr<platform::gfx::TBitmap>& bitmap, int w, int h) override;
    void DrawCursorLines(std::uint8_t scheme, int w, int h, views::CursorLayer& layer) override;

    void DrawCScanToSurfaceView(std::uint8_t kind, std::uint8_t scheme,
                                platform::gfx::PresentTarget& control);
    void RedrawCScanToSurfaceView(platform::gfx::PresentTarget& control);
    void DrawCScanToReport(std::uint8_t kind, std::uint8_t scheme,
                           platform::gfx::ReportImageTarget& image);
    void DrawDScanToSurfaceView(std::uint8_t kind, std::uint8_t scheme,
                                platform::gfx::PresentTarget& control);
    void RedrawDScanToSurfaceView(platform::gfx::PresentTarget& control);
    void DrawDScanToReport(std::uint8_t kind, std::uint8_t scheme,
                           platform::gfx::ReportImageTarget& image);

    // The row ruler ("Y") between the C-scan and the D-scan, the column ruler ("X") between the
    // C-scan and the B-scan.
    void DrawCDVerticMarkupToSurfaceView(std::uint8_t scheme,
                                         platform::gfx::PresentTarget& control);
    void DrawCDVerticMarkupToReport(std::uint8_t scheme, platform::gfx::ReportImageTarget& image);
    void DrawCBHorizMarkupToSurfaceView(std::uint8_t scheme, platform::gfx::PresentTarget& control);
    void DrawCBHorizMarkupToReport(std::uint8_t scheme, platform::gfx::ReportImageTarget& image);

    // ---- Record text ----------------------------------------------------------------------------

    void SetField(std::uint16_t index, std::string_view value) override;
    std::string GetFieldValue(std::uint16_t index) override;
    void SaveToOldText(platform::text::AtomicFileWriter& file) override;
    bool ReadAllSamples(platform::text::LineReader& file) override;

    // ---- Fields ---------------------------------------------------------------------------------

    TWorkImage SliceImageA;
    TWorkImage SliceImageB;
    // The last C-scan and D-scan pictures rendered for the surfaces.
    std::unique_ptr<platform::gfx::TBitmap> CScanPicture;
    std::unique_ptr<platform::gfx::TBitmap> DScanPicture;

    std::uint16_t MapRecordIndex = 0;
    std::uint16_t CellSize = 1;

protected:
    void WriteFieldLines(std::uint16_t index, platform::text::AtomicFileWriter& file) override;
    bool ReadFieldLines(std::uint16_t index, platform::text::LineReader& file) override;
    TRecordShape AnnouncedShape() const override {
        return {std::max<std::uint32_t>(Config->MapVerticPoints, 1),
                std::max<std::uint32_t>(Config->MapHorizPoints, 1), SampleCount()};
    }
    std::uint32_t ConformAfterLoad() override;

private:
    // The trace of cell (row, column): its first N samples.
    std::span<const std::int32_t> CellTrace(std::uint32_t row, std::uint32_t column) const;
};

using PMapsSet = std::vector<std::unique_ptr<TBaseMapCell>>;

bool EraseMap(PMapsSet& list, std::uint16_t index, std::uint16_t& count);
