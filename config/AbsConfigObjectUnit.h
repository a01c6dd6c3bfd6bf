// The instrument's flash markup: how its record memory is divided between A-scans, maps and
// bands, how many records each area holds, and the device's kind and firmware version. It travels
// to and from the instrument as a 256-byte block and is re-divided by dragging on a pie chart.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace platform::gfx {
class PresentTarget;
class TBitmap;
} // namespace platform::gfx

// One area of the record memory. Addresses and sizes are byte addresses in the instrument's flash.
struct TCorvantaMemoryArea {
    std::uint32_t Start = 0;
    std::uint32_t End = 0;
    std::uint32_t Occupied = 0; // bytes in use
    std::uint16_t Count = 0;    // records stored

    // End - Start; negative only in a markup that is not valid.
    std::int64_t Length() const {
        return static_cast<std::int64_t>(End) - static_cast<std::int64_t>(Start);
    }
};

// The texts of the markup legend, indexed A-scans (0), bands (1), maps (2).
struct TCorvantaLegendTexts {
    std::array<std::string, 3> Capacity;
    std::array<std::string, 3> Occupancy;
};

// Three angles in degrees, in the order A-scans, maps, bands.
struct TCorvantaAngles {
    double AScans = 0.0;
    double Maps = 0.0;
    double Bands = 0.0;
};

class TCorvantaAbsConfigCell {
public:
    static constexpr std::size_t BlockSize = 256;
    // Bytes 0..59 carry the markup; the rest of a block the program sends stays 0.
    static constexpr std::size_t MarkupDataSize = 60;
    static constexpr std::size_t VersionTagOffset = 249;

    static constexpr std::uint32_t RequiredLayoutMark = 65;
    static constexpr std::uint32_t LowestAreasBase = 5185;
    static constexpr std::uint32_t DefaultAreasBase = 65 + 5376;
    static constexpr std::array<std::uint32_t, 2> MemorySizeTable = {0x0020FFFF, 0x0041FFFF};
    static constexpr std::uint16_t MaxAScans = 60;
    static constexpr std::uint16_t MaxMaps = 40;
    static constexpr std::uint16_t MaxBands = 40;

    // Mask bits of ClearAreas.
    static constexpr std::uint8_t ClearAScansBit = 1;
    static constexpr std::uint8_t ClearBandsBit = 2;
    static constexpr std::uint8_t ClearMapsBit = 4;

    // Fields in the order the instrument's firmware declares them. A new object is all zeros.
    std::uint32_t Reserved0 = 0;
    std::uint32_t LayoutMark = 0;
    std::uint32_t AreasBase = 0; // lowest address the record areas may use
    TCorvantaMemoryArea MapArea;
    TCorvantaMemoryArea AScanArea;
    TCorvantaMemoryArea BandArea;
    std::uint16_t Reserved1 = 0;
    std::uint8_t FlagByte = 0;
    std::array<std::uint8_t, 3> ParamBytes = {0, 0, 0};
    std::uint8_t MemorySizeIndex = 0;
    std::uint8_t DeviceKind = 0;
    std::uint8_t Major = 0;
    std::uint8_t Build = 0;
    std::uint8_t Minor = 0;
    std::uint8_t Modified = 0; // changed on the page and not yet sent

    // The factory division of an instrument with the small memory; marks the markup modified.
    // DeviceKind keeps its value.
    void SetDefaults();

    // Fills the object from a block read from the instrument and derives the version. Bytes past
    // the end of a short block read as 0.
    void ParseBlock(std::span<const std::uint8_t> block);

    // Zero-fills the block and writes the markup into bytes 0..59; the version tag is never sent.
    // Throws platform::text::RangeError when the block is shorter than 60 bytes.
    void BuildBlock(std::span<std::uint8_t> block) const;

    bool IsValid() const;

    // The last flash address of the memory, or 0 for an index outside the table.
    std::uint32_t MemoryEnd() const;

    TCorvantaAngles GetAreaAngles() const;
    TCorvantaAngles GetOccupiedAngles() const;

    // Moves the boundary between the map area and the band area to the angle of the mouse at
    // (x, y) on a control of the given size. The A-scan area keeps its size.
    void DragBoundary(int width, int height, int x, int y);

    // Empties the areas chosen by the mask (ClearAScansBit, ClearBandsBit, ClearMapsBit).
    void ClearAreas(std::uint8_t mask);
    // Empties the band and map areas, and the A-scan area too when asked.
    void ClearAll(bool withAScans);

    // The six texts of the legend beside the pie chart. The captions come from the language
    // texts; tests hand in their own lookup.
    TCorvantaLegendTexts GetLegendTexts(std::string (*caption)(int) = nullptr) const;

    // The pie chart: outer sectors the areas, inner sectors what they hold; rendered at the
    // target's size and presented on it.
    void DrawPieSurface(platform::gfx::PresentTarget& surface) const;
    // The same picture into a bitmap of the bitmap's size.
    void RenderPie(platform::gfx::TBitmap& picture) const;
    // The legend: the three swatches (A-scans, bands, maps) drawn at their size, and the six
    // label texts.
    void DrawPie(platform::gfx::TBitmap& aScanSwatch, platform::gfx::TBitmap& bandSwatch,
                 platform::gfx::TBitmap& mapSwatch, TCorvantaLegendTexts& labels) const;

    // Colours of the areas (outer) and of what they hold (inner).
    static constexpr std::uint32_t AScanColor = 0x00FF00;
    static constexpr std::uint32_t MapColor = 0xFF7F00;
    static constexpr std::uint32_t BandColor = 0x7F7FFF;
    static constexpr std::uint32_t AScanUsedColor = 0x007F00;
    static constexpr std::uint32_t MapUsedColor = 0xFF0000;
    static constexpr std::uint32_t BandUsedColor = 0x0000FF;
};
