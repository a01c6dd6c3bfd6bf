#include "config/AbsConfigObjectUnit.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using Block = std::array<std::uint8_t, 257>;

constexpr std::uint32_t kSmallMemoryEnd = 0x0020FFFF;
constexpr std::uint32_t kLargeMemoryEnd = 0x0041FFFF;

void putWord(Block& b, std::size_t i, std::uint16_t v) {
    b[i] = static_cast<std::uint8_t>(v & 0xFF);
    b[i + 1] = static_cast<std::uint8_t>(v >> 8);
}

void putLong(Block& b, std::size_t i, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        b[i + k] = static_cast<std::uint8_t>(v >> (8 * k));
    }
}

std::uint32_t getLong(const Block& b, std::size_t i) {
    return b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (static_cast<std::uint32_t>(b[i + 3]) << 24);
}

// A block as the instrument sends it: layout mark 65, the given base and band end, areas laid out
// A-scans, maps, bands.
Block instrumentBlock(std::uint32_t areasBase, std::uint32_t bandEnd) {
    Block b{};
    putLong(b, 5, 65);
    putLong(b, 9, areasBase);
    putLong(b, 13, areasBase);           // A-scan start
    putLong(b, 17, areasBase + 0x3FC00); // A-scan end
    putLong(b, 27, areasBase + 0x3FC00); // map start
    putLong(b, 31, areasBase + 0x40000); // map end
    putLong(b, 41, areasBase + 0x40000); // band start
    putLong(b, 45, bandEnd);
    return b;
}

void addVersionTag(Block& b, std::uint8_t major, std::uint8_t minor, std::uint8_t build,
                   std::uint8_t kind) {
    b[249] = 'v';
    b[250] = 'e';
    b[251] = 'r';
    b[252] = major;
    b[253] = minor;
    b[254] = build;
    b[255] = kind;
}

TCorvantaAbsConfigCell defaults() {
    TCorvantaAbsConfigCell cell;
    cell.SetDefaults();
    return cell;
}

// A markup whose A-scan area is exactly a quarter of the memory: its angle is 90 degrees.
TCorvantaAbsConfigCell quarterMarkup() {
    TCorvantaAbsConfigCell cell = defaults();
    cell.AScanArea = {6000, 6250, 0, 0};
    cell.MapArea = {6250, 6260, 0, 0};
    cell.BandArea = {6260, 7000, 0, 0};
    return cell;
}

std::string fakeCaption(int n) {
    return "<" + std::to_string(n) + ">";
}

} // namespace

// ---- Defaults
// ------------------------------------------------------------------------------------

TEST(FlashMarkupDefaults, FactoryDivisionOfTheSmallMemory) {
    TCorvantaAbsConfigCell cell;
    cell.DeviceKind = 7;
    cell.SetDefaults();
    EXPECT_EQ(cell.Reserved0, 0u);
    EXPECT_EQ(cell.LayoutMark, 65u);
    EXPECT_EQ(cell.AreasBase, 5441u);
    EXPECT_EQ(cell.MemorySizeIndex, 0);
    EXPECT_EQ(cell.AScanArea.Start, 5441u);
    EXPECT_EQ(cell.AScanArea.End, 5441u + 261120u);
    EXPECT_EQ(cell.AScanArea.Occupied, 0u);
    EXPECT_EQ(cell.MapArea.Start, cell.AScanArea.End);
    EXPECT_EQ(cell.MapArea.End, cell.AScanArea.End + 160);
    EXPECT_EQ(cell.MapArea.Occupied, 160u);
    EXPECT_EQ(cell.BandArea.Start, cell.MapArea.End);
    EXPECT_EQ(cell.BandArea.End, kSmallMemoryEnd);
    EXPECT_EQ(cell.BandArea.Occupied, 160u);
    EXPECT_EQ(cell.AScanArea.Count + cell.MapArea.Count + cell.BandArea.Count, 0);
    EXPECT_EQ(cell.ParamBytes, (std::array<std::uint8_t, 3>{0, 18, 0}));
    EXPECT_EQ(cell.Major, 2);
    EXPECT_EQ(cell.Build, 0);
    EXPECT_EQ(cell.Minor, 0);
    EXPECT_EQ(cell.Modified, 1);
    EXPECT_EQ(cell.DeviceKind, 7) << "the device kind survives the defaults";
}

TEST(FlashMarkupDefaults, AreValid) {
    EXPECT_TRUE(defaults().IsValid());
}

TEST(FlashMarkupDefaults, NewObjectIsNotValid) {
    EXPECT_FALSE(TCorvantaAbsConfigCell{}.IsValid());
}

// ---- Parsing and the version rules
// ---------------------------------------------------------------

TEST(FlashMarkupParse, LargeMemoryWithoutTagIsVersion201) {
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(instrumentBlock(5185, 0x00300000));
    EXPECT_EQ(cell.MemorySizeIndex, 1);
    EXPECT_EQ(cell.Major, 2);
    EXPECT_EQ(cell.Minor, 0);
    EXPECT_EQ(cell.Build, 1);
    EXPECT_EQ(cell.DeviceKind, 1);
    EXPECT_EQ(cell.BandArea.End, kLargeMemoryEnd);
    EXPECT_TRUE(cell.IsValid());
}

TEST(FlashMarkupParse, SmallMemoryWithoutTagIsVersion111) {
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(instrumentBlock(5185, 0x00100000));
    EXPECT_EQ(cell.MemorySizeIndex, 0);
    EXPECT_EQ(cell.Major, 1);
    EXPECT_EQ(cell.Minor, 1);
    EXPECT_EQ(cell.Build, 1);
    EXPECT_EQ(cell.BandArea.End, kSmallMemoryEnd) << "the band area runs to the memory's end";
}

TEST(FlashMarkupParse, DefaultBaseWithoutTagIsMinor1Build9) {
    TCorvantaAbsConfigCell small;
    small.ParseBlock(instrumentBlock(5441, kSmallMemoryEnd));
    EXPECT_EQ(small.Major, 1);
    EXPECT_EQ(small.Minor, 1);
    EXPECT_EQ(small.Build, 9);

    TCorvantaAbsConfigCell large;
    large.ParseBlock(instrumentBlock(5441, 0x00300000));
    EXPECT_EQ(large.Major, 2);
    EXPECT_EQ(large.Minor, 1);
    EXPECT_EQ(large.Build, 9);
}

TEST(FlashMarkupParse, VersionTagGivesVersionKindAndLargeMemory) {
    Block b = instrumentBlock(5185, 0x00100000);
    addVersionTag(b, 3, 4, 5, 2);
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(b);
    EXPECT_EQ(cell.Major, 3);
    EXPECT_EQ(cell.Minor, 4);
    EXPECT_EQ(cell.Build, 5);
    EXPECT_EQ(cell.DeviceKind, 2);
    EXPECT_EQ(cell.MemorySizeIndex, 1);
    EXPECT_EQ(cell.BandArea.End, kSmallMemoryEnd)
        << "the band end follows the memory found before the tag was read";
    EXPECT_TRUE(cell.IsValid());
}

TEST(FlashMarkupParse, IncompleteTagIsIgnored) {
    Block b = instrumentBlock(5185, 0x00100000);
    addVersionTag(b, 3, 4, 5, 2);
    b[251] = 'R';
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(b);
    EXPECT_EQ(cell.Major, 1);
    EXPECT_EQ(cell.DeviceKind, 1);
    EXPECT_EQ(cell.MemorySizeIndex, 0);
}

TEST(FlashMarkupParse, FieldsAtTheirOffsets) {
    Block b = instrumentBlock(5300, kSmallMemoryEnd);
    b[0] = 1;
    putLong(b, 1, 0x12345678);
    putLong(b, 21, 1000);
    putWord(b, 25, 17);
    putLong(b, 35, 2000);
    putWord(b, 39, 3);
    putLong(b, 49, 3000);
    putWord(b, 53, 4);
    putWord(b, 55, 0xBEEF);
    b[57] = 9;
    b[58] = 8;
    b[59] = 7;
    TCorvantaAbsConfigCell cell;
    cell.Modified = 1;
    cell.ParseBlock(b);
    EXPECT_EQ(cell.FlagByte, 1);
    EXPECT_EQ(cell.Reserved0, 0x12345678u);
    EXPECT_EQ(cell.AreasBase, 5300u);
    EXPECT_EQ(cell.AScanArea.Start, 5300u);
    EXPECT_EQ(cell.AScanArea.Occupied, 1000u);
    EXPECT_EQ(cell.AScanArea.Count, 17);
    EXPECT_EQ(cell.MapArea.Start, 5300u + 0x3FC00);
    EXPECT_EQ(cell.MapArea.Occupied, 2000u);
    EXPECT_EQ(cell.MapArea.Count, 3);
    EXPECT_EQ(cell.BandArea.Start, 5300u + 0x40000);
    EXPECT_EQ(cell.BandArea.Occupied, 3000u);
    EXPECT_EQ(cell.BandArea.Count, 4);
    EXPECT_EQ(cell.Reserved1, 0xBEEF);
    EXPECT_EQ(cell.ParamBytes, (std::array<std::uint8_t, 3>{9, 8, 7}));
    EXPECT_EQ(cell.Modified, 0);
}

TEST(FlashMarkupParse, FullThirtyTwoBitValuesMakeAnInvalidMarkupNotAnError) {
    Block b = instrumentBlock(5441, kSmallMemoryEnd);
    putLong(b, 1, 0xFFFFFFFF);
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(b);
    EXPECT_EQ(cell.Reserved0, 0xFFFFFFFFu) << "carried unchanged";
    EXPECT_TRUE(cell.IsValid());

    putLong(b, 17, 0x80000000); // A-scan end far beyond the memory
    cell.ParseBlock(b);
    EXPECT_EQ(cell.AScanArea.End, 0x80000000u);
    EXPECT_FALSE(cell.IsValid());
}

TEST(FlashMarkupParse, ShortAndEmptyBlocksAreReadAsZeros) {
    const Block full = instrumentBlock(5441, kSmallMemoryEnd);
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(std::span<const std::uint8_t>(full.data(), 60));
    EXPECT_TRUE(cell.IsValid());
    EXPECT_EQ(cell.AScanArea.End, 5441u + 0x3FC00);

    cell.ParseBlock(std::span<const std::uint8_t>(full.data(), 7));
    EXPECT_EQ(cell.LayoutMark, 65u) << "bytes 5 and 6 arrived, 7 and 8 read as 0";
    EXPECT_FALSE(cell.IsValid());

    cell.ParseBlock({});
    EXPECT_FALSE(cell.IsValid());
}

// ---- Building
// ------------------------------------------------------------------------------------

TEST(FlashMarkupBuild, WritesOnlyTheMarkupBytesAndZerosTheRest) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.FlagByte = 1;
    cell.Reserved0 = 0xA1B2C3D4;
    cell.AScanArea.Count = 12;
    cell.MapArea.Count = 0x0102;
    cell.BandArea.Count = 40;
    cell.Reserved1 = 0x5566;
    cell.Major = 9;
    cell.DeviceKind = 9;
    Block b;
    b.fill(0xCC);
    cell.BuildBlock(b);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(getLong(b, 1), 0xA1B2C3D4u);
    EXPECT_EQ(b[1], 0xD4) << "little-endian";
    EXPECT_EQ(getLong(b, 5), 65u);
    EXPECT_EQ(b[9], 0x41);
    EXPECT_EQ(b[10], 0x15);
    EXPECT_EQ(getLong(b, 13), 5441u);
    EXPECT_EQ(getLong(b, 17), 5441u + 261120u);
    EXPECT_EQ(b[25], 12);
    EXPECT_EQ(getLong(b, 27), 5441u + 261120u);
    EXPECT_EQ(getLong(b, 35), 160u);
    EXPECT_EQ(b[39], 0x02);
    EXPECT_EQ(b[40], 0x01);
    EXPECT_EQ(getLong(b, 45), kSmallMemoryEnd);
    EXPECT_EQ(b[53], 40);
    EXPECT_EQ(b[55], 0x66);
    EXPECT_EQ(b[56], 0x55);
    EXPECT_EQ(b[57], 0);
    EXPECT_EQ(b[58], 18);
    EXPECT_EQ(b[59], 0);
    for (std::size_t i = 60; i < b.size(); ++i) {
        ASSERT_EQ(b[i], 0) << "byte " << i << ": the version tag is never sent";
    }
}

TEST(FlashMarkupBuild, RoundTripKeepsEveryCarriedField) {
    TCorvantaAbsConfigCell sent = defaults();
    sent.Reserved0 = 77;
    sent.Reserved1 = 1234;
    sent.FlagByte = 1;
    sent.ParamBytes = {3, 2, 1};
    sent.AScanArea.Count = 60;
    sent.MapArea = {sent.MapArea.Start, sent.MapArea.Start + 5000, 4000, 40};
    sent.BandArea = {sent.MapArea.End, kSmallMemoryEnd, 100000, 39};
    Block b;
    sent.BuildBlock(b);
    TCorvantaAbsConfigCell got;
    got.ParseBlock(b);
    EXPECT_EQ(got.Reserved0, 77u);
    EXPECT_EQ(got.Reserved1, 1234);
    EXPECT_EQ(got.FlagByte, 1);
    EXPECT_EQ(got.ParamBytes, sent.ParamBytes);
    EXPECT_EQ(got.AreasBase, sent.AreasBase);
    EXPECT_EQ(got.AScanArea.Start, sent.AScanArea.Start);
    EXPECT_EQ(got.AScanArea.End, sent.AScanArea.End);
    EXPECT_EQ(got.AScanArea.Count, 60);
    EXPECT_EQ(got.MapArea.End, sent.MapArea.End);
    EXPECT_EQ(got.MapArea.Occupied, 4000u);
    EXPECT_EQ(got.MapArea.Count, 40);
    EXPECT_EQ(got.BandArea.Start, sent.BandArea.Start);
    EXPECT_EQ(got.BandArea.Occupied, 100000u);
    EXPECT_EQ(got.BandArea.Count, 39);
    EXPECT_TRUE(got.IsValid());
    EXPECT_EQ(got.Modified, 0);

    Block again;
    got.BuildBlock(again);
    EXPECT_EQ(again, b) << "parse and build are inverses for a valid markup";
}

TEST(FlashMarkupBuild, RefusesABufferTooShortForTheMarkup) {
    std::vector<std::uint8_t> b(59);
    EXPECT_THROW(defaults().BuildBlock(b), platform::text::RangeError);
    std::vector<std::uint8_t> exact(60, 0xFF);
    defaults().BuildBlock(exact);
    EXPECT_EQ(exact[58], 18);
}

// ---- Validity
// ------------------------------------------------------------------------------------

TEST(FlashMarkupValidity, RecordLimits) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.AScanArea.Count = 60;
    cell.MapArea.Count = 40;
    cell.BandArea.Count = 40;
    EXPECT_TRUE(cell.IsValid());
    cell.AScanArea.Count = 61;
    EXPECT_FALSE(cell.IsValid());
    cell.AScanArea.Count = 60;
    cell.MapArea.Count = 41;
    EXPECT_FALSE(cell.IsValid());
    cell.MapArea.Count = 40;
    cell.BandArea.Count = 41;
    EXPECT_FALSE(cell.IsValid());
}

TEST(FlashMarkupValidity, LayoutMarkBaseAndFlag) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.LayoutMark = 64;
    EXPECT_FALSE(cell.IsValid());
    cell = defaults();
    cell.FlagByte = 2;
    EXPECT_FALSE(cell.IsValid());
    cell = defaults();
    cell.AreasBase = 5442;
    EXPECT_FALSE(cell.IsValid());
    cell.AreasBase = 5185;
    EXPECT_TRUE(cell.IsValid());
    cell.AreasBase = 5184;
    EXPECT_FALSE(cell.IsValid());
    cell.AreasBase = 5185;
    cell.MemorySizeIndex = 2;
    EXPECT_FALSE(cell.IsValid());
}

TEST(FlashMarkupValidity, AreasInAddressOrderWithinTheMemory) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.AScanArea.Start = cell.AreasBase - 1;
    EXPECT_FALSE(cell.IsValid()) << "below the areas' base";

    cell = defaults();
    cell.AScanArea.End = cell.MapArea.Start + 1;
    EXPECT_FALSE(cell.IsValid()) << "A-scans overlap the maps";

    cell = defaults();
    cell.MapArea.End = cell.BandArea.Start + 1;
    EXPECT_FALSE(cell.IsValid()) << "maps overlap the bands";

    cell = defaults();
    cell.BandArea.End = kSmallMemoryEnd + 1;
    EXPECT_FALSE(cell.IsValid()) << "past the small memory";
    cell.MemorySizeIndex = 1;
    EXPECT_TRUE(cell.IsValid()) << "inside the large memory";

    cell = defaults();
    cell.MapArea.End = cell.MapArea.Start - 1;
    EXPECT_FALSE(cell.IsValid()) << "reversed area";
}

TEST(FlashMarkupValidity, OccupiedSizeMustFitItsArea) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.MapArea.Occupied = 160;
    EXPECT_TRUE(cell.IsValid());
    cell.MapArea.Occupied = 161;
    EXPECT_FALSE(cell.IsValid());
    cell = defaults();
    cell.AScanArea.Occupied = 261121;
    EXPECT_FALSE(cell.IsValid());
}

// ---- Angles
// --------------------------------------------------------------------------------------

TEST(FlashMarkupAngles, ZeroLengthAreasGiveThreeEqualSectors) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.AScanArea = {6000, 6000, 0, 0};
    cell.MapArea = {6000, 6000, 0, 0};
    cell.BandArea = {6000, 6000, 0, 0};
    const TCorvantaAngles a = cell.GetAreaAngles();
    EXPECT_EQ(a.AScans, 120.0);
    EXPECT_EQ(a.Maps, 120.0);
    EXPECT_EQ(a.Bands, 120.0);
}

TEST(FlashMarkupAngles, BelowOneHundredBytesTheSectorsAreEqual) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.AScanArea = {6000, 6090, 0, 0};
    cell.MapArea = {6090, 6095, 0, 0};
    cell.BandArea = {6095, 6099, 0, 0};
    EXPECT_EQ(cell.GetAreaAngles().Maps, 120.0) << "99 bytes in all";
    cell.BandArea.End = 6100;
    EXPECT_DOUBLE_EQ(cell.GetAreaAngles().AScans, 324.0) << "100 bytes: by length";
}

TEST(FlashMarkupAngles, DefaultsByLength) {
    const TCorvantaAngles a = defaults().GetAreaAngles();
    const double total = 261120.0 + 160.0 + (0x0020FFFF - 5441.0 - 261120.0 - 160.0);
    EXPECT_DOUBLE_EQ(a.AScans, 261120.0 / total * 360.0);
    EXPECT_NEAR(a.AScans, 43.5756, 1e-4);
    EXPECT_NEAR(a.Maps, 0.0267, 1e-4);
    EXPECT_NEAR(a.Bands, 316.3977, 1e-4);
    EXPECT_DOUBLE_EQ(a.AScans + a.Maps + a.Bands, 360.0);
}

TEST(FlashMarkupAngles, OccupiedShares) {
    TCorvantaAbsConfigCell cell = quarterMarkup(); // 1000 bytes: 250, 10, 740
    cell.AScanArea.Count = 30;
    cell.MapArea.Occupied = 5;
    cell.BandArea.Occupied = 100;
    const TCorvantaAngles o = cell.GetOccupiedAngles();
    EXPECT_DOUBLE_EQ(o.AScans, 45.0) << "half of the 90-degree A-scan sector";
    EXPECT_DOUBLE_EQ(o.Maps, 1.8);
    EXPECT_DOUBLE_EQ(o.Bands, 36.0);
}

TEST(FlashMarkupAngles, OccupiedByCountsWhenTheMemoryIsEmpty) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.AScanArea = {6000, 6000, 0, 15};
    cell.MapArea = {6000, 6000, 999, 10};
    cell.BandArea = {6000, 6000, 999, 20};
    const TCorvantaAngles o = cell.GetOccupiedAngles();
    EXPECT_DOUBLE_EQ(o.AScans, 30.0);
    EXPECT_DOUBLE_EQ(o.Maps, 30.0);
    EXPECT_DOUBLE_EQ(o.Bands, 60.0);
}

// ---- Dragging (the page's chart is 545 x 545) ------------------------------------------------

TEST(FlashMarkupDrag, StraightUpPutsTheBoundaryAtNinetyDegrees) {
    TCorvantaAbsConfigCell cell = defaults();
    const std::uint32_t aScanEnd = cell.AScanArea.End;
    // (272, 0): dx = -0.5, dy = -272.5, angle 90.105 degrees; the A-scan sector is 43.576
    // degrees, so the maps take (90.105 - 43.576) / (360 - 43.576) of 1896126 bytes.
    cell.DragBoundary(545, 545, 272, 0);
    EXPECT_EQ(cell.MapArea.End, 545382u);
    EXPECT_EQ(cell.BandArea.Start, 545382u);
    EXPECT_EQ(cell.BandArea.End, kSmallMemoryEnd);
    EXPECT_EQ(cell.AScanArea.End, aScanEnd) << "the A-scan area is never resized";
    EXPECT_EQ(cell.MapArea.Start, aScanEnd);
    EXPECT_TRUE(cell.IsValid());
}

TEST(FlashMarkupDrag, OtherDirections) {
    struct Case {
        int x, y;
        std::uint32_t mapEnd;
    };
    for (const Case& c : {Case{0, 272, 1083434u}, Case{272, 544, 1622743u}, Case{0, 0, 814408u},
                          Case{544, 0, 275728u}, Case{400, 100, 326216u}}) {
        TCorvantaAbsConfigCell cell = defaults();
        cell.DragBoundary(545, 545, c.x, c.y);
        EXPECT_EQ(cell.MapArea.End, c.mapEnd) << c.x << "," << c.y;
        EXPECT_EQ(cell.BandArea.Start, c.mapEnd);
    }
}

TEST(FlashMarkupDrag, InsideTheAScanSectorNothingChanges) {
    TCorvantaAbsConfigCell cell = defaults();
    const TCorvantaAbsConfigCell before = cell;
    cell.DragBoundary(545, 545, 544, 271); // 0.3 degrees
    cell.DragBoundary(545, 545, 545, 272); // just above 3 o'clock
    EXPECT_EQ(cell.MapArea.End, before.MapArea.End);
    EXPECT_EQ(cell.BandArea.Start, before.BandArea.Start);
}

TEST(FlashMarkupDrag, AxisDirectionsAndTheAScanAngleItself) {
    TCorvantaAbsConfigCell cell = quarterMarkup(); // A-scan sector exactly 90 degrees
    cell.DragBoundary(544, 544, 272, 0);           // straight up: exactly 90
    EXPECT_EQ(cell.MapArea.End, 6260u) << "an angle equal to the A-scan angle changes nothing";

    cell.DragBoundary(544, 544, 0, 272); // straight left: 180, a third of the rest
    EXPECT_EQ(cell.MapArea.End, 6500u);
    EXPECT_EQ(cell.BandArea.Start, 6500u);

    cell = quarterMarkup();
    cell.DragBoundary(544, 544, 272, 544); // straight down: 270, two thirds
    EXPECT_EQ(cell.MapArea.End, 6750u);

    cell = quarterMarkup();
    cell.DragBoundary(544, 544, 544, 272); // straight right: 0, inside the A-scan sector
    EXPECT_EQ(cell.MapArea.End, 6260u);
}

TEST(FlashMarkupDrag, JustPastTheAScanSectorLeavesOneMapByte) {
    TCorvantaAbsConfigCell cell = quarterMarkup();
    cell.DragBoundary(545, 545, 272, 0); // 90.105 degrees: 0.29 bytes of maps
    EXPECT_EQ(cell.MapArea.End, 6251u);
    EXPECT_EQ(cell.BandArea.Start, 6251u);
    EXPECT_EQ(cell.BandArea.End, 7000u);
}

TEST(FlashMarkupDrag, AlmostFullCircleLeavesOneBandByte) {
    TCorvantaAbsConfigCell cell = quarterMarkup();
    cell.DragBoundary(545, 545, 544, 273); // 359.89 degrees: rounds to the whole rest
    EXPECT_EQ(cell.BandArea.Start, 6999u);
    EXPECT_EQ(cell.MapArea.End, 6999u);
    EXPECT_EQ(cell.BandArea.End, 7000u);
    EXPECT_TRUE(cell.IsValid());
}

TEST(FlashMarkupDrag, DoesNotSetModified) {
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(instrumentBlock(5441, kSmallMemoryEnd));
    cell.DragBoundary(545, 545, 0, 0);
    EXPECT_EQ(cell.Modified, 0) << "the page marks the change";
}

// ---- Clearing
// ------------------------------------------------------------------------------------

namespace {
TCorvantaAbsConfigCell filled() {
    TCorvantaAbsConfigCell cell = defaults();
    cell.AScanArea.Count = 5;
    cell.AScanArea.Occupied = 10;
    cell.MapArea.Count = 6;
    cell.BandArea.Count = 7;
    return cell;
}
} // namespace

TEST(FlashMarkupClear, MaskChoosesTheAreas) {
    TCorvantaAbsConfigCell cell = filled();
    cell.ClearAreas(2);
    EXPECT_EQ(cell.BandArea.Count, 0);
    EXPECT_EQ(cell.BandArea.Occupied, 0u);
    EXPECT_EQ(cell.MapArea.Count, 6);
    EXPECT_EQ(cell.MapArea.Occupied, 160u);
    EXPECT_EQ(cell.AScanArea.Count, 5);

    cell = filled();
    cell.ClearAreas(4);
    EXPECT_EQ(cell.MapArea.Count, 0);
    EXPECT_EQ(cell.MapArea.Occupied, 0u);
    EXPECT_EQ(cell.BandArea.Count, 7);

    cell = filled();
    cell.ClearAreas(1);
    EXPECT_EQ(cell.AScanArea.Count, 0);
    EXPECT_EQ(cell.AScanArea.Occupied, 0u);
    EXPECT_EQ(cell.MapArea.Count, 6);

    cell = filled();
    cell.ClearAreas(0);
    EXPECT_EQ(cell.AScanArea.Count + cell.MapArea.Count + cell.BandArea.Count, 18);
}

TEST(FlashMarkupClear, ClearAllKeepsTheAScansUnlessAsked) {
    TCorvantaAbsConfigCell cell = filled();
    const std::uint32_t mapEnd = cell.MapArea.End;
    cell.ClearAll(false);
    EXPECT_EQ(cell.MapArea.Count, 0);
    EXPECT_EQ(cell.BandArea.Count, 0);
    EXPECT_EQ(cell.BandArea.Occupied, 0u);
    EXPECT_EQ(cell.AScanArea.Count, 5);
    EXPECT_EQ(cell.MapArea.End, mapEnd) << "the division itself stays";
    cell.ClearAll(true);
    EXPECT_EQ(cell.AScanArea.Count, 0);
    EXPECT_EQ(cell.AScanArea.Occupied, 0u);
}

// ---- Legend
// --------------------------------------------------------------------------------------

TEST(FlashMarkupLegend, CapacityTexts) {
    const TCorvantaLegendTexts t = defaults().GetLegendTexts(fakeCaption);
    EXPECT_EQ(t.Capacity[0], "<327>  60  <328>\r 255 kB (100%)");
    EXPECT_EQ(t.Capacity[1], "<327>  40  <329>\r 1852 kB (100%)");
    EXPECT_EQ(t.Capacity[2], "<327>  40  <330>\r 0 kB (100%)");
}

TEST(FlashMarkupLegend, ModifiedMarkupShowsNothingUsed) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.AScanArea.Count = 30;
    cell.BandArea.Count = 3;
    cell.BandArea.Occupied = 1 << 20;
    ASSERT_EQ(cell.Modified, 1);
    const TCorvantaLegendTexts t = cell.GetLegendTexts(fakeCaption);
    EXPECT_EQ(t.Occupancy[0], "0 <328><338>\r0 kB (0%) <331>");
    EXPECT_EQ(t.Occupancy[1], "0 <329><338>\r0 kB (0%) <331>");
}

TEST(FlashMarkupLegend, OccupancyRoundsHalvesToEven) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.Modified = 0;
    cell.AScanArea.Count = 2;         // 2 / 60 x 255 kB = 8.5 kB -> 8; 8 x 100 / 255 -> 3 %
    cell.BandArea.Count = 3;          //
    cell.BandArea.Occupied = 1 << 20; // 1024 kB of 1852: 55.29 %
    cell.MapArea.Count = 1;
    const TCorvantaLegendTexts t = cell.GetLegendTexts(fakeCaption);
    EXPECT_EQ(t.Occupancy[0], "2 <328><338>\r8 kB (3%) <331>");
    EXPECT_EQ(t.Occupancy[1], "3 <329><338>\r1024 kB (55%) <331>");

    cell.AScanArea.Count = 6; // 25.5 kB -> 26; 10.2 % -> 10
    EXPECT_EQ(cell.GetLegendTexts(fakeCaption).Occupancy[0], "6 <328><338>\r26 kB (10%) <331>");
}

TEST(FlashMarkupLegend, AreaBelowOneKilobyteShowsZeroPercent) {
    TCorvantaAbsConfigCell cell = defaults();
    cell.Modified = 0;
    cell.MapArea.Count = 1;
    cell.MapArea.Occupied = 160; // the whole 160-byte map area: 0 kB of 0 kB
    const TCorvantaLegendTexts t = cell.GetLegendTexts(fakeCaption);
    EXPECT_EQ(t.Occupancy[2], "1 <330><338>\r0 kB (0%) <331>");
}
