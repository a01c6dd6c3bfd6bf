// The 256-byte block in which a configuration travels to and from the instrument (and heads every
// record the instrument sends), with its little-endian codecs.
#include "config/BaseConfigObjectUnit.h"

#include "config/CharMappingUnit.h"
#include "platform/text/Numbers.h"

namespace text = platform::text;

namespace {

constexpr std::uint8_t kNameEnd = 47; // '/'
constexpr std::size_t kNameOffset = 5;
// The name area: a slot prefix of three characters, 22 name characters and the end byte.
constexpr std::size_t kNameAreaSize = 26;
constexpr std::size_t kTgvOffset = 106;

void checkIndex(std::size_t size, std::size_t index, std::size_t width) {
    if (index > size || size - index < width) {
        throw text::RangeError("Range check error");
    }
}

void checkBlock(const pByteArray& block) {
    if (block.size() < ConfigBlockSize) {
        throw text::RangeError("Range check error");
    }
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

void PutWordLE(std::uint16_t value, pByteArray& array, std::size_t index) {
    checkIndex(array.size(), index, 2);
    array[index] = static_cast<std::uint8_t>(value & 0xFF);
    array[index + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutSmallIntLE(std::int16_t value, pByteArray& array, std::size_t index) {
    PutWordLE(static_cast<std::uint16_t>(value), array, index);
}

void PutLongLE(std::uint32_t value, pByteArray& array, std::size_t index) {
    checkIndex(array.size(), index, 4);
    for (std::size_t i = 0; i < 4; ++i) {
        array[index + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

std::uint16_t GetWordLE(const pByteArray& array, std::size_t index) {
    checkIndex(array.size(), index, 2);
    return static_cast<std::uint16_t>(array[index] + 256 * array[index + 1]);
}

std::int16_t GetSmallIntLE(const pByteArray& array, std::size_t index) {
    return static_cast<std::int16_t>(GetWordLE(array, index));
}

std::uint32_t GetLongLE(const pByteArray& array, std::size_t index) {
    checkIndex(array.size(), index, 4);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(array[index + i]) << (8 * i);
    }
    return value;
}

bool UsesSlotPrefix(const TBaseConfigCell& c) {
    return c.DeviceKind == 2 && c.DeviceVersion > 8;
}

void BuildInstrumentBlock(TBaseConfigCell& c, pByteArray& b, int slotNumber) {
    checkBlock(b);
    b[0] = static_cast<std::uint8_t>(c.ConfigNumber & 0xFF);
    PutWordLE(c.ConfigIndex, b, 1);

    std::string name = c.ConfigName.substr(0, MaxConfigNameLength);
    if (UsesSlotPrefix(c)) {
        const int slot = text::checkedCast<std::uint8_t>(slotNumber);
        if (slot > 99) {
            throw text::RangeError("Range check error");
        }
        name = std::string{static_cast<char>('0' + slot / 10), static_cast<char>('0' + slot % 10),
                           '.'} +
               name;
    }
    std::size_t at = kNameOffset;
    for (char ch : name) {
        b[at++] = CharToInstrCode(std::string(1, ch));
    }
    b[at] = kNameEnd;

    PutWordLE(c.MapVerticPoints, b, 37);
    PutWordLE(c.MapHorizPoints, b, 39);
    PutWordLE(c.MapVerticStep, b, 41);
    PutWordLE(c.MapHorizStep, b, 43);
    b[45] = c.MapScanningOrder;
    PutWordLE(c.MapCursorVertical, b, 46);
    PutWordLE(c.MapCursorHorizontal, b, 48);
    b[50] = c.MapAuxAreaContent;
    PutWordLE(c.BandLastAScan, b, 51);
    PutWordLE(c.BandCurrentAScan, b, 53);
    PutWordLE(c.BandStep, b, 55);
    b[57] = c.BandAutoEnd;
    b[58] = c.BandElementWidthIndex;
    PutWordLE(c.BandShift, b, 59);
    PutSmallIntLE(c.StrobeBeginPixel[0], b, 61);
    PutSmallIntLE(c.StrobeBeginPixel[1], b, 63);
    PutSmallIntLE(c.StrobeEndPixel[0], b, 65);
    PutSmallIntLE(c.StrobeEndPixel[1], b, 67);
    b[69] = static_cast<std::uint8_t>(c.StrobeLevel[0] & 0xFF);
    b[70] = static_cast<std::uint8_t>(c.StrobeLevel[1] & 0xFF);
    PutWordLE(c.CursorPixel[0], b, 71);
    PutWordLE(c.CursorPixel[1], b, 73);
    PutWordLE(c.CursorZoomPixel[0], b, 75);
    PutWordLE(c.CursorZoomPixel[1], b, 77);
    b[79] = c.CursorInZoom[0];
    b[80] = c.CursorInZoom[1];
    b[81] = c.CursorCount;
    b[82] = c.StrobeEnabled[0];
    b[83] = c.StrobeEnabled[1];
    b[84] = c.ScaleDimension;
    b[85] = c.FullOverviewPrint;
    PutWordLE(c.AScanRange, b, 86);
    b[88] = c.SignalCatchAlgorithm;
    b[93] = c.SignalType;
    b[94] = c.ScreenType;
    b[95] = c.PrevScreenType;
    b[96] = c.SearchLevel;
    b[97] = c.CutOffLevel;
    b[98] = text::checkedCast<std::uint8_t>(c.IndexMarkMks);
    b[101] = text::checkedCast<std::uint8_t>(c.IndexMarkMm);
    const std::uint16_t dots = text::roundTo<std::uint16_t>(c.DotsPerCell * 100.0);
    PutWordLE(dots, b, 102);
    PutWordLE(dots, b, 104);
    for (std::size_t i = 0; i < static_cast<std::size_t>(TgvPointCount); ++i) {
        b[kTgvOffset + 3 * i] = c.TgvGain[i];
        PutWordLE(c.TgvPos[i], b, kTgvOffset + 3 * i + 1);
    }
    b[202] = c.TgvEnabled;
    PutWordLE(c.TgvCursorPos, b, 203);
    b[205] = c.TgvActivePoints;
    b[208] = c.RefreshFrequency;
    b[213] = c.ProbeFrequencyIndex;
    PutSmallIntLE(c.ProbeDelay, b, 214);
    // The instrument counts the probe type the other way round.
    b[216] = c.ProbeType == 0 ? 1 : 0;
    b[217] = c.ZonderVoltageIndex;
    b[218] = text::roundTo<std::uint8_t>(c.ZonderPeriods * 2.0);
    b[219] = c.FilterBandIndex;
    b[220] = c.AttenuatorCount2;
    b[221] = c.AttenuatorCount1;
    b[222] = c.AveragerIndex;
    b[223] = c.BarkerOrder;
    PutWordLE(c.Velocity, b, 224);

    c.TgvPrevState = c.TgvEnabled;
}

void ParseInstrumentBlock(TBaseConfigCell& c, const pByteArray& b, int slotNumber) {
    checkBlock(b);
    c.ConfigNumber = b[0];
    c.ConfigIndex = GetWordLE(b, 1);

    std::string name;
    for (std::size_t i = 0; i < kNameAreaSize && b[kNameOffset + i] != kNameEnd; ++i) {
        name += InstrCodeToChar(b[kNameOffset + i]);
    }
    // The slot prefix goes only when it is there: a name the instrument kept without one stays
    // whole.
    if (UsesSlotPrefix(c) && name.size() >= 3 && isDigit(name[0]) && isDigit(name[1]) &&
        name[2] == '.') {
        name.erase(0, 3);
    }
    c.ConfigName = name;

    c.MapVerticPoints = GetWordLE(b, 37);
    c.MapHorizPoints = GetWordLE(b, 39);
    c.MapVerticStep = GetWordLE(b, 41);
    c.MapHorizStep = GetWordLE(b, 43);
    c.MapScanningOrder = b[45];
    c.MapCursorVertical = GetWordLE(b, 46);
    c.MapCursorHorizontal = GetWordLE(b, 48);
    c.MapAuxAreaContent = b[50];
    c.BandLastAScan = GetWordLE(b, 51);
    c.BandCurrentAScan = GetWordLE(b, 53);
    c.BandStep = GetWordLE(b, 55);
    c.BandAutoEnd = b[57];
    c.BandElementWidthIndex = b[58];
    c.BandShift = GetWordLE(b, 59);
    c.StrobeBeginPixel[0] = GetSmallIntLE(b, 61);
    c.StrobeBeginPixel[1] = GetSmallIntLE(b, 63);
    c.StrobeEndPixel[0] = GetSmallIntLE(b, 65);
    c.StrobeEndPixel[1] = GetSmallIntLE(b, 67);
    c.StrobeLevel[0] = static_cast<std::int8_t>(b[69]);
    c.StrobeLevel[1] = static_cast<std::int8_t>(b[70]);
    c.CursorPixel[0] = GetWordLE(b, 71);
    c.CursorPixel[1] = GetWordLE(b, 73);
    c.CursorZoomPixel[0] = GetWordLE(b, 75);
    c.CursorZoomPixel[1] = GetWordLE(b, 77);
    c.CursorInZoom[0] = b[79];
    c.CursorInZoom[1] = b[80];
    c.CursorCount = b[81];
    c.StrobeEnabled[0] = b[82];
    c.StrobeEnabled[1] = b[83];
    c.ScaleDimension = b[84];
    c.FullOverviewPrint = b[85];
    c.AScanRange = GetWordLE(b, 86);
    c.SignalCatchAlgorithm = b[88];
    c.SignalType = b[93];
    c.ScreenType = b[94];
    c.PrevScreenType = b[95];
    c.SearchLevel = b[96];
    c.CutOffLevel = b[97];
    c.IndexMarkMks = b[98];
    c.IndexMarkMm = b[101];
    c.DotsPerCell = GetWordLE(b, 102) / 100.0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(TgvPointCount); ++i) {
        c.TgvGain[i] = b[kTgvOffset + 3 * i];
        c.TgvPos[i] = GetWordLE(b, kTgvOffset + 3 * i + 1);
    }
    c.TgvEnabled = b[202];
    c.TgvCursorPos = GetWordLE(b, 203);
    c.TgvActivePoints = b[205];
    c.RefreshFrequency = b[208];
    c.ProbeFrequencyIndex = b[213];
    c.ProbeDelay = GetSmallIntLE(b, 214);
    c.ZonderVoltageIndex = b[217];
    c.FilterBandIndex = b[219];
    c.AttenuatorCount2 = b[220];
    c.AttenuatorCount1 = b[221];
    c.AveragerIndex = b[222];
    c.BarkerOrder = b[223];
    c.Velocity = GetWordLE(b, 224);

    c.DotsPerCellPrev = c.DotsPerCell;
    c.TgvPrevState = c.TgvEnabled;
    c.ProbeType = b[216] == 0 ? 1 : 0;
    c.ZonderPeriods = b[218] / 2.0;
    if (c.BandCurrentAScan > c.BandLastAScan) {
        c.BandCurrentAScan = c.BandLastAScan;
    }
    c.AuxTime = 0.0;

    // The block carries no times: validate the times of the received pixels, not whatever the
    // configuration held before.
    c.StrobeTimesFromPixels(0);
    c.StrobeTimesFromPixels(1);
    for (std::size_t k = 0; k < 2; ++k) {
        c.CursorTime[k] = static_cast<double>(c.CursorPixel[k]) * c.AScanRange / 320.0;
    }
    if (!c.ValidateAll()) {
        c.ConfigNumber = text::checkedCast<std::uint16_t>(slotNumber);
    }
    c.Recalculate();
}
