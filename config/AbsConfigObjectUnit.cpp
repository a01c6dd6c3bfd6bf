#include "config/AbsConfigObjectUnit.h"

#include "config/LocalStringsUnit.h"
#include "platform/text/Numbers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using platform::text::formatInteger;
using platform::text::roundHalfEven;

// Block offsets of the markup fields.
constexpr std::size_t kFlagByteOffset = 0;
constexpr std::size_t kReserved0Offset = 1;
constexpr std::size_t kLayoutMarkOffset = 5;
constexpr std::size_t kAreasBaseOffset = 9;
constexpr std::size_t kAScanAreaOffset = 13;
constexpr std::size_t kMapAreaOffset = 27;
constexpr std::size_t kBandAreaOffset = 41;
constexpr std::size_t kReserved1Offset = 55;
constexpr std::size_t kParamBytesOffset = 57;
constexpr std::size_t kMajorOffset = 252;
constexpr std::size_t kMinorOffset = 253;
constexpr std::size_t kBuildOffset = 254;
constexpr std::size_t kDeviceKindOffset = 255;

constexpr std::uint32_t kDefaultAScanAreaLength = 261120; // 0x3FC00
constexpr std::uint32_t kDefaultMapAreaLength = 160;
constexpr std::uint32_t kDefaultOccupied = 160;

// Little-endian access to a block. Reads past a short block give 0, so a truncated transfer can
// only make the markup invalid, never read outside the buffer.
std::uint8_t byteAt(std::span<const std::uint8_t> block, std::size_t index) {
    return index < block.size() ? block[index] : 0;
}

std::uint16_t getWord(std::span<const std::uint8_t> block, std::size_t index) {
    return static_cast<std::uint16_t>(byteAt(block, index) | (byteAt(block, index + 1) << 8));
}

// All 32 bits count: a large value is simply an invalid address, handled by IsValid.
std::uint32_t getLong(std::span<const std::uint8_t> block, std::size_t index) {
    return static_cast<std::uint32_t>(getWord(block, index)) |
           (static_cast<std::uint32_t>(getWord(block, index + 2)) << 16);
}

void putWord(std::span<std::uint8_t> block, std::size_t index, std::uint16_t value) {
    block[index] = static_cast<std::uint8_t>(value & 0xFF);
    block[index + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putLong(std::span<std::uint8_t> block, std::size_t index, std::uint32_t value) {
    putWord(block, index, static_cast<std::uint16_t>(value & 0xFFFF));
    putWord(block, index + 2, static_cast<std::uint16_t>(value >> 16));
}

TCorvantaMemoryArea readArea(std::span<const std::uint8_t> block, std::size_t offset) {
    TCorvantaMemoryArea area;
    area.Start = getLong(block, offset);
    area.End = getLong(block, offset + 4);
    area.Occupied = getLong(block, offset + 8);
    area.Count = getWord(block, offset + 12);
    return area;
}

void writeArea(std::span<std::uint8_t> block, std::size_t offset, const TCorvantaMemoryArea& area) {
    putLong(block, offset, area.Start);
    putLong(block, offset + 4, area.End);
    putLong(block, offset + 8, area.Occupied);
    putWord(block, offset + 12, area.Count);
}

bool areaFits(const TCorvantaMemoryArea& area, std::uint32_t lowest, std::uint32_t highest,
              std::uint16_t maxCount) {
    return lowest <= area.Start && area.Start <= area.End && area.End <= highest &&
           area.Length() >= static_cast<std::int64_t>(area.Occupied) && area.Count <= maxCount;
}

// The three areas' lengths together: the whole of the pie.
double totalLength(const TCorvantaAbsConfigCell& cell) {
    return static_cast<double>(cell.AScanArea.Length() + cell.MapArea.Length() +
                               cell.BandArea.Length());
}

double degrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

} // namespace

void TCorvantaAbsConfigCell::SetDefaults() {
    Reserved0 = 0;
    LayoutMark = RequiredLayoutMark;
    AreasBase = DefaultAreasBase;
    MemorySizeIndex = 0;
    AScanArea = {DefaultAreasBase, DefaultAreasBase + kDefaultAScanAreaLength, 0, 0};
    MapArea = {AScanArea.End, AScanArea.End + kDefaultMapAreaLength, kDefaultOccupied, 0};
    BandArea = {MapArea.End, MemorySizeTable[0], kDefaultOccupied, 0};
    Reserved1 = 0;
    FlagByte = 0;
    ParamBytes = {0, 18, 0};
    Major = 2;
    Build = 0;
    Minor = 0;
    Modified = 1;
}

void TCorvantaAbsConfigCell::ParseBlock(std::span<const std::uint8_t> block) {
    FlagByte = byteAt(block, kFlagByteOffset);
    Reserved0 = getLong(block, kReserved0Offset);
    LayoutMark = getLong(block, kLayoutMarkOffset);
    AreasBase = getLong(block, kAreasBaseOffset);
    AScanArea = readArea(block, kAScanAreaOffset);
    MapArea = readArea(block, kMapAreaOffset);
    BandArea = readArea(block, kBandAreaOffset);

    // Instruments without a version tag are told apart by their memory and their areas' base.
    DeviceKind = 1;
    if (BandArea.End > MemorySizeTable[0]) {
        MemorySizeIndex = 1;
        Major = 2;
        Minor = 0;
        Build = 1;
    } else {
        MemorySizeIndex = 0;
        Major = 1;
        Minor = 1;
        Build = 1;
    }
    if (AreasBase == DefaultAreasBase) {
        Minor = 1;
        Build = 9;
    }
    // The band area always runs to the end of the memory.
    BandArea.End = MemorySizeTable[MemorySizeIndex];

    Reserved1 = getWord(block, kReserved1Offset);
    for (std::size_t i = 0; i < ParamBytes.size(); ++i) {
        ParamBytes[i] = byteAt(block, kParamBytesOffset + i);
    }
    Modified = 0;

    if (byteAt(block, VersionTagOffset) == 'v' && byteAt(block, VersionTagOffset + 1) == 'e' &&
        byteAt(block, VersionTagOffset + 2) == 'r') {
        Major = byteAt(block, kMajorOffset);
        Minor = byteAt(block, kMinorOffset);
        Build = byteAt(block, kBuildOffset);
        DeviceKind = byteAt(block, kDeviceKindOffset);
        MemorySizeIndex = 1;
    }
}

void TCorvantaAbsConfigCell::BuildBlock(std::span<std::uint8_t> block) const {
    if (block.size() < MarkupDataSize) {
        throw platform::text::RangeError("Range check error");
    }
    std::fill(block.begin(), block.end(), std::uint8_t{0});
    block[kFlagByteOffset] = FlagByte;
    putLong(block, kReserved0Offset, Reserved0);
    putLong(block, kLayoutMarkOffset, LayoutMark);
    putLong(block, kAreasBaseOffset, AreasBase);
    writeArea(block, kAScanAreaOffset, AScanArea);
    writeArea(block, kMapAreaOffset, MapArea);
    writeArea(block, kBandAreaOffset, BandArea);
    putWord(block, kReserved1Offset, Reserved1);
    for (std::size_t i = 0; i < ParamBytes.size(); ++i) {
        block[kParamBytesOffset + i] = ParamBytes[i];
    }
}

std::uint32_t TCorvantaAbsConfigCell::MemoryEnd() const {
    return MemorySizeIndex < MemorySizeTable.size() ? MemorySizeTable[MemorySizeIndex] : 0;
}

bool TCorvantaAbsConfigCell::IsValid() const {
    if (LayoutMark != RequiredLayoutMark || AreasBase < LowestAreasBase ||
        AreasBase > DefaultAreasBase) {
        return false;
    }
    if (MemorySizeIndex >= MemorySizeTable.size()) {
        return false;
    }
    return areaFits(AScanArea, AreasBase, MapArea.Start, MaxAScans) &&
           areaFits(MapArea, AScanArea.End, BandArea.Start, MaxMaps) &&
           areaFits(BandArea, MapArea.End, MemoryEnd(), MaxBands) && FlagByte < 2;
}

TCorvantaAngles TCorvantaAbsConfigCell::GetAreaAngles() const {
    const double total = totalLength(*this);
    if (total < 100.0) {
        return {120.0, 120.0, 120.0};
    }
    return {static_cast<double>(AScanArea.Length()) / total * 360.0,
            static_cast<double>(MapArea.Length()) / total * 360.0,
            static_cast<double>(BandArea.Length()) / total * 360.0};
}

TCorvantaAngles TCorvantaAbsConfigCell::GetOccupiedAngles() const {
    const TCorvantaAngles area = GetAreaAngles();
    const double total = totalLength(*this);
    TCorvantaAngles occupied;
    occupied.AScans = AScanArea.Count / static_cast<double>(MaxAScans) * area.AScans;
    if (total <= 1e-7) {
        occupied.Maps = MapArea.Count / static_cast<double>(MaxMaps) * area.Maps;
        occupied.Bands = BandArea.Count / static_cast<double>(MaxBands) * area.Bands;
    } else {
        occupied.Maps = MapArea.Occupied / total * 360.0;
        occupied.Bands = BandArea.Occupied / total * 360.0;
    }
    return occupied;
}

void TCorvantaAbsConfigCell::DragBoundary(int width, int height, int x, int y) {
    const double dx = x - width / 2.0;
    const double dy = y - height / 2.0;
    double angle;
    if (std::fabs(dy) < 0.0001) {
        angle = dx > 0 ? 0.0 : 180.0;
    } else if (std::fabs(dx) < 0.0001) {
        angle = dy >= 0 ? 270.0 : 90.0;
    } else {
        // Screen y grows downward; the chart's angles run counter-clockwise from 3 o'clock.
        angle = degrees(std::atan(-dy / dx));
        if (dx < 0) {
            angle += 180.0;
        } else if (dy > 0) {
            angle += 360.0;
        }
    }

    const double aScanAngle = GetAreaAngles().AScans;
    if (angle <= aScanAngle) {
        return;
    }
    const double f = (angle - aScanAngle) / (360.0 - aScanAngle);
    const std::int64_t shared = MapArea.Length() + BandArea.Length();
    std::uint32_t mapEnd = platform::text::checkedCast<std::uint32_t>(
        static_cast<std::int64_t>(MapArea.Start) + roundHalfEven(f * static_cast<double>(shared)));
    if (mapEnd == MapArea.Start) {
        mapEnd = MapArea.Start + 1;
    }
    MapArea.End = mapEnd;
    BandArea.Start = MapArea.End;
    if (BandArea.Start == BandArea.End && BandArea.End != 0) {
        BandArea.Start = BandArea.End - 1;
        MapArea.End = BandArea.Start;
    }
}

void TCorvantaAbsConfigCell::ClearAreas(std::uint8_t mask) {
    auto clear = [](TCorvantaMemoryArea& area) {
        area.Occupied = 0;
        area.Count = 0;
    };
    if (mask & ClearAScansBit) {
        clear(AScanArea);
    }
    if (mask & ClearBandsBit) {
        clear(BandArea);
    }
    if (mask & ClearMapsBit) {
        clear(MapArea);
    }
}

void TCorvantaAbsConfigCell::ClearAll(bool withAScans) {
    ClearAreas(static_cast<std::uint8_t>(ClearBandsBit | ClearMapsBit |
                                         (withAScans ? ClearAScansBit : 0)));
}

TCorvantaLegendTexts TCorvantaAbsConfigCell::GetLegendTexts(std::string (*caption)(int)) const {
    if (caption == nullptr) {
        caption = GetCaptionString;
    }
    struct Entry {
        const TCorvantaMemoryArea* area;
        std::uint16_t limit;
        int caption;
        bool countsOnly; // A-scans record no occupied size: their use follows the count
    };
    const std::array<Entry, 3> entries = {{
        {&AScanArea, MaxAScans, 328, true},
        {&BandArea, MaxBands, 329, false},
        {&MapArea, MaxMaps, 330, false},
    }};

    TCorvantaLegendTexts texts;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const std::string areaCaption = caption(e.caption);
        const std::int64_t areaKb = roundHalfEven(static_cast<double>(e.area->Length()) / 1024.0);
        std::int64_t count = 0;
        std::int64_t occupiedKb = 0;
        if (Modified == 0) {
            count = e.area->Count;
            occupiedKb = e.countsOnly ? roundHalfEven(count / static_cast<double>(e.limit) *
                                                      static_cast<double>(areaKb))
                                      : roundHalfEven(e.area->Occupied / 1024.0);
        }
        // An area too small to show a whole kilobyte holds 0 % rather than a division by zero.
        const std::int64_t percent = areaKb == 0
                                         ? 0
                                         : roundHalfEven(static_cast<double>(occupiedKb) * 100.0 /
                                                         static_cast<double>(areaKb));

        texts.Capacity[i] = caption(327) + "  " + formatInteger(e.limit) + "  " + areaCaption +
                            "\r " + formatInteger(areaKb) + " kB (100%)";
        texts.Occupancy[i] = formatInteger(count) + " " + areaCaption + caption(338) + "\r" +
                             formatInteger(occupiedKb) + " kB (" + formatInteger(percent) + "%) " +
                             caption(331);
    }
    return texts;
}
