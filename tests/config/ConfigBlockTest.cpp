// The configuration block: its bytes, the name with and without the slot prefix, parsing and the
// little-endian codecs.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

using platform::text::RangeError;
using tbtest::LanguageFiles;

namespace {

class ConfigBlock : public ::testing::Test {
protected:
    void SetUp() override { c.ResetAll(1); }

    LanguageFiles texts;
    TBaseConfigCell c{1, 1, 1};
};

// The block of a configuration reset with number 1 and the name "NONAME", written into a zeroed
// array. Worked out from the block layout by hand.
// clang-format off
const std::uint8_t kResetBlock[256] = {
    // 0: number, index, 2 unused, name N O N A M E in instrument codes, end 47
    1, 1, 0, 0, 0, 110, 111, 110, 97, 109, 101, 47, 0, 0, 0, 0,
    // 16
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 32: map points 10, 10 (37, 39), steps 10, 10 (41, 43), order 0 (45), cursor row 10 (46)
    0, 0, 0, 0, 0, 10, 0, 10, 0, 10, 0, 10, 0, 0, 10, 0,
    // 48: cursor column 10, aux 0, band last 0, current 0, step 10 (55), auto end, width,
    // shift (59), strobe 1 begin 30 (61), strobe 2 begin 50 (63)
    10, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 30, 0, 50,
    // 64: strobe 1 end 100 (65), strobe 2 end 90 (67), levels 10, 30 (69, 70), cursor pixels
    // 100, 100 (71, 73), zoom pixels 100, 100 (75, 77), in zoom 0 (79)
    0, 100, 0, 90, 0, 10, 30, 100, 0, 100, 0, 100, 0, 100, 0, 0,
    // 80: in zoom, cursor count, strobes enabled, scale, print (80..85), range 1024 (86),
    // catch algorithm (88), 4 unused, signal type, screen types (93..95)
    0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0,
    // 96: search level 10, cut-off 0, marks 1 (98) and 0 (101), dots 4000 twice (102, 104),
    // TVG point 0 (0, 0) at 106, point 1 (28, 64) at 109
    10, 0, 1, 0, 0, 0, 160, 15, 160, 15, 0, 0, 0, 28, 64, 0,
    // 112: points 2..7 at 64 * i
    28, 128, 0, 28, 192, 0, 28, 0, 1, 28, 64, 1, 28, 128, 1, 28,
    // 128
    192, 1, 28, 0, 2, 28, 64, 2, 28, 128, 2, 28, 192, 2, 28, 0,
    // 144
    3, 28, 64, 3, 28, 128, 3, 28, 192, 3, 28, 0, 4, 28, 64, 4,
    // 160
    28, 128, 4, 28, 192, 4, 28, 0, 5, 28, 64, 5, 28, 128, 5, 28,
    // 176: ... point 28 (28, 1792) at 190
    192, 5, 28, 0, 6, 28, 64, 6, 28, 128, 6, 28, 192, 6, 28, 0,
    // 192: point 29 (30, 1024) at 193, 30 (28, 1920), 31 (28, 1984); TVG off (202), cursor 30
    // (203), 30 active points (205), 2 unused
    7, 30, 0, 4, 28, 128, 7, 28, 192, 7, 0, 30, 0, 30, 0, 0,
    // 208: refresh 10, 4 unused, frequency 1 (213), delay 30 (214), probe type inverted (216),
    // voltage 0, half periods 1, filter 0, attenuators 30, 30, averager 0, Barker 1
    10, 0, 0, 0, 0, 1, 30, 0, 1, 0, 1, 0, 30, 30, 0, 1,
    // 224: velocity 2700
    140, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 240
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
// clang-format on

std::vector<std::uint8_t> nameBytes(const pByteArray& b, size_t from, size_t count) {
    return {b.begin() + static_cast<std::ptrdiff_t>(from),
            b.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

} // namespace

TEST_F(ConfigBlock, GoldenBytesOfAResetConfiguration) {
    pByteArray block(257, 0);
    BuildInstrumentBlock(c, block, 1);
    for (size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(block[i], kResetBlock[i]) << "byte " << i;
    }
    EXPECT_EQ(block[256], 0);
}

TEST_F(ConfigBlock, UnusedBytesKeepWhatTheArrayHeld) {
    pByteArray block(257, 0xEE);
    BuildInstrumentBlock(c, block, 1);
    for (size_t i :
         {3u, 4u, 12u, 36u, 89u, 92u, 99u, 100u, 206u, 207u, 209u, 212u, 226u, 255u, 256u}) {
        EXPECT_EQ(block[i], 0xEE) << "byte " << i;
    }
}

TEST_F(ConfigBlock, BuildingCopiesTheTvgState) {
    c.TgvEnabled = 1;
    c.TgvPrevState = 0;
    pByteArray block(256, 0);
    BuildInstrumentBlock(c, block, 1);
    EXPECT_EQ(c.TgvPrevState, 1);
    EXPECT_EQ(block[202], 1);
}

TEST_F(ConfigBlock, NameWithTheSlotPrefix) {
    c.DeviceKind = 2;
    c.DeviceVersion = 9;
    c.ConfigName = "WELD";
    pByteArray block(256, 0);
    BuildInstrumentBlock(c, block, 3);
    // "03.WELD": digits and the point keep their codes, Latin capitals sit at lower-case codes.
    EXPECT_EQ(nameBytes(block, 5, 8),
              (std::vector<std::uint8_t>{48, 51, 46, 119, 101, 108, 100, 47}));
    BuildInstrumentBlock(c, block, 12);
    EXPECT_EQ(nameBytes(block, 5, 3), (std::vector<std::uint8_t>{49, 50, 46}));

    TBaseConfigCell back(2, 9, 1);
    ParseInstrumentBlock(back, block, 12);
    EXPECT_EQ(back.ConfigName, "WELD");
}

TEST_F(ConfigBlock, NoPrefixForOtherDevices) {
    c.ConfigName = "WELD";
    pByteArray block(256, 0);
    c.DeviceKind = 2;
    c.DeviceVersion = 8;
    BuildInstrumentBlock(c, block, 3);
    EXPECT_EQ(nameBytes(block, 5, 5), (std::vector<std::uint8_t>{119, 101, 108, 100, 47}));
    c.DeviceKind = 1;
    c.DeviceVersion = 9;
    BuildInstrumentBlock(c, block, 3);
    EXPECT_EQ(block[5], 119);
}

TEST_F(ConfigBlock, FullLengthNameWithPrefixComesBackWhole) {
    c.DeviceKind = 2;
    c.DeviceVersion = 9;
    c.ConfigName = "ABCDEFGHIJKLMNOPQRSTUV"; // 22
    pByteArray block(256, 0);
    BuildInstrumentBlock(c, block, 3);
    EXPECT_EQ(block[29], 118); // 'V'
    EXPECT_EQ(block[30], 47);
    TBaseConfigCell back(2, 9, 1);
    ParseInstrumentBlock(back, block, 3);
    EXPECT_EQ(back.ConfigName, "ABCDEFGHIJKLMNOPQRSTUV");
}

TEST_F(ConfigBlock, PrefixIsStrippedOnlyWhenPresent) {
    c.ConfigName = "WELD";
    pByteArray block(256, 0);
    BuildInstrumentBlock(c, block, 3); // kind 1: no prefix written
    TBaseConfigCell back(2, 9, 1);
    ParseInstrumentBlock(back, block, 3);
    EXPECT_EQ(back.ConfigName, "WELD");

    c.ConfigName = "12AB";
    BuildInstrumentBlock(c, block, 3);
    ParseInstrumentBlock(back, block, 3);
    EXPECT_EQ(back.ConfigName, "12AB");
}

TEST_F(ConfigBlock, NameWithoutItsEndByteStopsAtTheNameArea) {
    pByteArray block(256, 0);
    BuildInstrumentBlock(c, block, 3);
    std::fill(block.begin() + 5, block.begin() + 37, 97); // 'A' all over the name area
    TBaseConfigCell back(1, 1, 1);
    ParseInstrumentBlock(back, block, 3);
    // 26 characters read, cut to 22 by validation, which reports the configuration invalid.
    EXPECT_EQ(back.ConfigName, std::string(22, 'A'));
    EXPECT_EQ(back.ConfigNumber, 3);
}

TEST_F(ConfigBlock, CharactersOutsideTheInstrumentSet) {
    c.ConfigName = "a/b"; // lower-case a and '/' are not in the set
    pByteArray block(256, 0);
    BuildInstrumentBlock(c, block, 1);
    EXPECT_EQ(nameBytes(block, 5, 4), (std::vector<std::uint8_t>{32, 32, 32, 47}));
}

TEST_F(ConfigBlock, ProbeTypeIsInverted) {
    pByteArray block(256, 0);
    c.ProbeType = 0;
    BuildInstrumentBlock(c, block, 1);
    EXPECT_EQ(block[216], 1);
    TBaseConfigCell back(1, 1, 1);
    ParseInstrumentBlock(back, block, 1);
    EXPECT_EQ(back.ProbeType, 0);

    c.ProbeType = 1;
    BuildInstrumentBlock(c, block, 1);
    EXPECT_EQ(block[216], 0);
    ParseInstrumentBlock(back, block, 1);
    EXPECT_EQ(back.ProbeType, 1);
}

TEST_F(ConfigBlock, HalfPeriodsAndHundredthsOfDots) {
    pByteArray block(256, 0);
    c.ZonderPeriods = 2.5;
    c.DotsPerCell = 33.125; // 3312.5 hundredths: halves go to the even neighbour
    BuildInstrumentBlock(c, block, 1);
    EXPECT_EQ(block[218], 5);
    EXPECT_EQ(GetWordLE(block, 102), 3312);
    EXPECT_EQ(GetWordLE(block, 104), 3312);
    TBaseConfigCell back(1, 1, 1);
    ParseInstrumentBlock(back, block, 1);
    EXPECT_EQ(back.ZonderPeriods, 2.5);
    EXPECT_EQ(back.DotsPerCell, 33.12);
    EXPECT_EQ(back.DotsPerCellPrev, 33.12);
}

TEST_F(ConfigBlock, CurrentAScanNeverPassesTheLast) {
    pByteArray block(256, 0);
    c.BandLastAScan = 40;
    c.BandCurrentAScan = 40;
    BuildInstrumentBlock(c, block, 1);
    PutWordLE(55, block, 53);
    TBaseConfigCell back(1, 1, 1);
    ParseInstrumentBlock(back, block, 1);
    EXPECT_EQ(back.BandLastAScan, 40);
    EXPECT_EQ(back.BandCurrentAScan, 40);
}

TEST_F(ConfigBlock, NegativeLevelIsRepairedAndTheSlotNumberTaken) {
    pByteArray block(256, 0);
    c.ConfigNumber = 4;
    BuildInstrumentBlock(c, block, 4);
    block[69] = 200;
    TBaseConfigCell back(1, 1, 1);
    ParseInstrumentBlock(back, block, 9);
    EXPECT_EQ(back.StrobeLevel[0], 10); // -56 was out of range
    EXPECT_EQ(back.ConfigNumber, 9);
}

TEST_F(ConfigBlock, ValidBlockKeepsItsOwnNumber) {
    // A fresh configuration holds no times; validation must judge the received pixels, so that
    // a valid block keeps the number it carries.
    pByteArray block(256, 0);
    c.ConfigNumber = 4;
    BuildInstrumentBlock(c, block, 4);
    std::unique_ptr<TBaseConfigCell> slot;
    TBaseConfigCell& back = NewConfigCell(1, 1, 1, slot);
    ParseInstrumentBlock(back, block, 9);
    EXPECT_EQ(back.ConfigNumber, 4);
}

TEST_F(ConfigBlock, RoundTripOfEveryCarriedField) {
    TBaseConfigCell sent = tbtest::variedConfig();
    sent.ConfigNumber = 7;
    pByteArray block(257, 0);
    BuildInstrumentBlock(sent, block, 7);

    std::unique_ptr<TBaseConfigCell> slot;
    TBaseConfigCell& got = NewConfigCell(2, 9, 1, slot);
    got.AuxTime = 5.0;
    ParseInstrumentBlock(got, block, 11);

    // What the block does not carry comes from the receiving side's rules.
    TBaseConfigCell expected = sent;
    expected.ConfigStrings.clear();
    expected.ConfigStringsCount = 0;
    expected.AuxTime = 0.0;
    expected.DotsPerCellPrev = sent.DotsPerCell;
    expected.CursorTime = {200.0 * 2048 / 320, 300.0 * 2048 / 320};
    expected.CursorZoomTime = got.CursorZoomTime; // not in the block
    expected.GlobalWorkTime = got.GlobalWorkTime;
    expected.SnapYear = got.SnapYear;
    expected.SnapMonth = got.SnapMonth;
    expected.SnapDay = got.SnapDay;
    expected.SnapHour = got.SnapHour;
    expected.SnapMinute = got.SnapMinute;
    expected.SnapSecond = got.SnapSecond;
    EXPECT_EQ(tbtest::differences(expected, got), "");
    EXPECT_EQ(got.ConfigNumber, 7);
    EXPECT_EQ(got.Modified, 0);
}

TEST_F(ConfigBlock, ShortBlocksAreRefused) {
    pByteArray small(100, 0);
    EXPECT_THROW(BuildInstrumentBlock(c, small, 1), RangeError);
    EXPECT_THROW(ParseInstrumentBlock(c, small, 1), RangeError);
}

TEST(ByteCodecs, LittleEndian) {
    pByteArray a(8, 0);
    PutWordLE(0x1234, a, 1);
    EXPECT_EQ(a[1], 0x34);
    EXPECT_EQ(a[2], 0x12);
    EXPECT_EQ(GetWordLE(a, 1), 0x1234);
    PutSmallIntLE(-2, a, 0);
    EXPECT_EQ(a[0], 0xFE);
    EXPECT_EQ(a[1], 0xFF);
    EXPECT_EQ(GetSmallIntLE(a, 0), -2);
    EXPECT_EQ(GetWordLE(a, 0), 0xFFFE);
    PutLongLE(0x12345678u, a, 4);
    EXPECT_EQ(a[4], 0x78);
    EXPECT_EQ(a[7], 0x12);
    EXPECT_EQ(GetLongLE(a, 4), 0x12345678u);
    PutLongLE(0xFFFFFFFFu, a, 4);
    EXPECT_EQ(GetLongLE(a, 4), 0xFFFFFFFFu);
}

TEST(ByteCodecs, IndicesOutsideTheArray) {
    pByteArray a(4, 0);
    EXPECT_THROW(PutWordLE(1, a, 3), RangeError);
    EXPECT_THROW(GetWordLE(a, 4), RangeError);
    EXPECT_THROW(PutLongLE(1, a, 1), RangeError);
    EXPECT_THROW(GetLongLE(a, static_cast<size_t>(-1)), RangeError);
    EXPECT_NO_THROW(GetLongLE(a, 0));
}
